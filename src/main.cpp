#include "app/commandline.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // The command line first: --help, --version and a wrong option answer on
    // the terminal without needing a screen.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine line = app::readCommandLine(arguments);
    if (line.action != app::CommandLine::Action::Run) {
        QCoreApplication core(argc, argv);
        return app::runWithoutWindow(line);
    }
    app::readFontsMeanwhile();
    QApplication app(argc, argv);
    app::startUp(line);
    return app.exec();
}
