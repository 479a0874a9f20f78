// The yardstick for start-up: a bare Qt Widgets window, shown and painted,
// reporting the way the program's own start-up child does (see
// startupchild.cpp), so the two are timed side by side.
#include <QApplication>
#include <QWidget>

#include "shown.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    window.repaint();
    QApplication::processEvents();
    reportShown();
}
