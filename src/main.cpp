#include "app/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app::startUp(app.arguments());
    return app.exec();
}
