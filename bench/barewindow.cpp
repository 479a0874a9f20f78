// The yardstick for start-up: a bare Qt Widgets window, shown and painted,
// reporting the way the program's own start-up child does (see
// startupchild.cpp), so the two are timed side by side.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "shown.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    // With --caption, one line of text as well: the least any window that
    // shows words pays for the machine's fonts.
    if (app.arguments().contains(QStringLiteral("--caption")))
        (new QLabel(QStringLiteral("Valdoria"), &window))->move(20, 20);
    window.show();
    window.repaint();
    QApplication::processEvents();
    reportShown();
}
