#pragma once
// What the start-up children report once their first window is painted: the
// word "shown" and the memory resident then, after which they end at once.

#include <QFile>

#include <cstdio>
#include <cstdlib>

inline long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

[[noreturn]] inline void reportShown()
{
    std::printf("shown %ld\n", residentKb());
    std::fflush(stdout);
    std::_Exit(0);
}
