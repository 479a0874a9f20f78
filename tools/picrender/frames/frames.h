#pragma once
// Animation frames drawn in code. Each sequence file returns its distinct frames,
// each a file name and a function that paints it on a FrameSize canvas.

#include <QList>
#include <QPainter>
#include <QSize>
#include <QString>
#include <functional>

namespace frames {

inline constexpr QSize FrameSize{300, 240};

struct Drawing
{
    QString name;                        // file name in the data folder, e.g. "granit1.jpg"
    std::function<void(QPainter &)> draw; // paints the whole frame
};

QList<Drawing> granit();  // sequence 1
QList<Drawing> vento();   // sequence 2
QList<Drawing> terraz();  // sequence 3
QList<Drawing> carsis();  // sequence 4
QList<Drawing> ghiac();   // sequence 5
QList<Drawing> fales();   // sequence 6

inline QList<Drawing> all()
{
    QList<Drawing> out;
    for (const auto &list : {granit(), vento(), terraz(), carsis(), ghiac(), fales()})
        out += list;
    return out;
}

} // namespace frames
