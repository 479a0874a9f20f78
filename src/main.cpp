#include "shell/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    shell::startUp();
    return app.exec();
}
