// The yardstick for start-up: a bare Qt Widgets window, shown and painted,
// reporting the way the program's own start-up child does (see
// startupchild.cpp), so the two are timed side by side.
#include <QApplication>
#include <QFile>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    window.repaint();
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
