// The program's real start-up, linked like the program itself: says when the
// menu has been painted, then ends (timed by valdoria_bench).
#include "app/startup.h"
#include "platform/form.h"
#include "shown.h"

#include <QApplication>

int main(int argc, char **argv)
{
    app::readFontsMeanwhile();
    QApplication app(argc, argv);
    app::startUp();
    platform::forms::existing(QStringLiteral("Fscelte"))->repaint();
    QApplication::processEvents();
    reportShown();
}
