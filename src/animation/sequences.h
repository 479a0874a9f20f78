#pragma once
// The frame sequences of the animation player, in the order in which they are
// played. A name that occurs twice is shown twice. The picture renderer reads the
// same table to lay out one strip per sequence on the contact sheet.

#include <QString>
#include <QStringList>

namespace animation {

struct Sequence
{
    int number;        // value of numanimazione that selects it
    const char *stem;  // what the lesson shows: used in strip headings
    QStringList frames; // file names inside the data folder, in played order
};

inline QList<Sequence> sequences()
{
    QList<Sequence> all;

    QStringList granit{"granit1.jpg"};
    for (int i = 0; i < 5; ++i)
        granit << "granit2.jpg" << "granit3.jpg";
    granit << "granit5.jpg" << "granit4.jpg";
    all.append({1, "granito", granit});

    QStringList vento;
    for (int i = 1; i <= 13; ++i)
        vento << QStringLiteral("vento%1.jpg").arg(i) << QStringLiteral("vento%1a.jpg").arg(i);
    all.append({2, "vento", vento});

    QStringList terraz;
    for (int i = 1; i <= 5; ++i)
        terraz << QStringLiteral("terraz%1.jpg").arg(i);
    terraz << "terraz6.jpg" << "terraz6.jpg" << "terraz7.jpg" << "terraz7.jpg";
    for (int i = 8; i <= 14; ++i)
        terraz << QStringLiteral("terraz%1.jpg").arg(i);
    all.append({3, "terrazzi fluviali", terraz});

    QStringList carsis;
    for (int i = 9; i <= 30; ++i)
        if (i != 19)
            carsis << QStringLiteral("carsis%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    all.append({4, "carsismo", carsis});

    QStringList ghiac;
    for (int i = 1; i <= 15; ++i)
        ghiac << QStringLiteral("ghiac%1.jpg").arg(i);
    all.append({5, "ghiacciaio", ghiac});

    QStringList fales;
    for (int i = 1; i <= 17; ++i)
        fales << QStringLiteral("fales%1.jpg").arg(i);
    all.append({6, "falesia", fales});

    return all;
}

} // namespace animation
