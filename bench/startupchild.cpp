// The program's real start-up, linked like the program itself: says when the
// menu has been painted, then ends (timed by valdoria_bench).
#include "app/startup.h"
#include "platform/form.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app::startUp();
    platform::forms::existing(QStringLiteral("Fscelte"))->repaint();
    QApplication::processEvents();
    long kb = -1;
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                kb = line.mid(6).trimmed().split(' ').first().toLong();
    std::printf("shown %ld\n", kb);
    std::fflush(stdout);
    std::_Exit(0);
}
