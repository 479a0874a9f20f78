// Sequence 3, "La pioggia ed i fiumi": river terraces. A cross-section of a
// valley, with the level of the sea shown in a small gauge at the top right.
// The sea rises and the river fills its valley with gravel and sand; the sea
// falls and the river cuts down into its own deposits, leaving flat steps on
// both sides, the terraces; it widens a new floor, the sea falls again, and a
// second, lower pair of terraces is left. terraz6 and terraz7, the first cut
// and the first terraces, are shown twice as long as the others.

#include "draw.h"
#include "frames.h"
#include "palette.h"

#include <QPainterPath>
#include <QPolygonF>

#include <iterator>

namespace frames {

namespace {

using namespace palette;
using namespace draw;

constexpr double W = 300;
constexpr double H = 240;
constexpr double SceneH = H - TallCaption.height; // the scene, above the caption band
constexpr double LandY = 62;       // the land surface either side of the valley
constexpr double BedFloor = 198;   // floor of the valley cut in the rock
constexpr double PlainY = 118;     // top of the deposits once the valley is filled
constexpr double Floor1 = 154;     // floor after the first cutting
constexpr double Floor2 = 184;     // floor after the second cutting
constexpr double RiserSlope = 0.4; // horizontal run of a cut bank per pixel of depth
constexpr double Middle = 150;

// ------------------------------------------------------------------- the valley

// The valley cut in the rock, before any deposit: the open space between its walls.
QPainterPath valley()
{
    const QList<QPointF> left{QPointF(18, LandY), QPointF(34, 90), QPointF(50, PlainY),
                              QPointF(78, 158), QPointF(102, 184), QPointF(118, BedFloor)};
    QPolygonF poly{QPointF(0, LandY - 40), QPointF(0, LandY)};
    for (QPointF pt : left)
        poly << pt;
    for (auto it = left.crbegin(); it != left.crend(); ++it)
        poly << QPointF(2 * Middle - it->x(), it->y());
    poly << QPointF(W, LandY) << QPointF(W, LandY - 40);
    return polygonPath(poly);
}

// A trench the river has cut: a flat floor between two steep banks.
struct Cut
{
    double top = 0;        // level it is cut from
    double floor = 0;      // its floor; 0 = not cut
    double halfWidth = 0;  // half the width of the floor
    double centre = Middle;

    bool exists() const { return floor > top; }
    QPainterPath shape() const
    {
        const double run = RiserSlope * (floor - top) + 1;
        return polygonPath({QPointF(centre - halfWidth - run, top - 1),
                            QPointF(centre + halfWidth + run, top - 1), QPointF(centre + halfWidth, floor),
                            QPointF(centre - halfWidth, floor)});
    }
};

// Deposits, from the bottom up: each frame of the filling adds one.
struct Deposit
{
    double top;
    bool gravel;
};

const Deposit Deposits[] = {{180, true}, {160, false}, {139, true}, {PlainY, false}};

// One moment of the story.
struct Stage
{
    double fillTop;     // top of the deposits (BedFloor: none yet)
    Cut first, second;
    double river;       // centre of the river
    double sea;         // level in the gauge, 0 (low) .. 1 (high)
    int seaMoving;      // +1 rising, -1 falling, 0 still
    int bankWork;       // arrow at the river: 0 none, 2 down (cutting), -1 / +1 sideways
    const char *caption;
};

const Stage Stages[] = {
    {BedFloor, {}, {}, Middle, 0.5, 0, 0,
     "Un fiume scorre sul fondo della sua valle, scavata nella roccia"},
    {180, {}, {}, Middle, 0.62, +1, 0,
     "Il clima cambia e il mare si alza: il fiume rallenta e deposita ghiaia e sabbia"},
    {160, {}, {}, Middle, 0.72, +1, 0,
     "Strato dopo strato, i depositi alzano il fondo della valle"},
    {139, {}, {}, Middle, 0.8, +1, 0,
     "La valle si riempie di alluvioni: ghiaia e sabbia"},
    {PlainY, {}, {}, Middle, 0.84, 0, 0,
     "Il fondovalle ora è una piana alluvionale, larga e piatta"},
    {PlainY, {PlainY, 136, 13, Middle}, {}, Middle, 0.33, -1, 2,
     "Il mare si abbassa: il fiume torna a scavare, dentro i suoi stessi depositi"},
    {PlainY, {PlainY, Floor1, 15, Middle}, {}, Middle, 0.33, 0, 0,
     "Ai due lati restano ripiani piatti, più alti del fiume: sono i terrazzi"},
    {PlainY, {PlainY, Floor1, 38, 138}, {}, 116, 0.33, 0, -1,
     "Il fiume sposta il suo letto da un lato all'altro e allarga un nuovo fondovalle"},
    {PlainY, {PlainY, Floor1, 62, Middle}, {}, 192, 0.33, 0, +1,
     "Il nuovo fondovalle è più basso: i terrazzi restano ai lati, in alto"},
    {PlainY, {PlainY, Floor1, 62, Middle}, {Floor1, 168, 12, Middle}, Middle, 0.1, -1, 2,
     "Il mare si abbassa di nuovo: il fiume riprende a scavare"},
    {PlainY, {PlainY, Floor1, 62, Middle}, {Floor1, Floor2, 14, Middle}, Middle, 0.1, 0, 0,
     "Nel fondovalle scavato si forma una seconda coppia di terrazzi, più in basso"},
    {PlainY, {PlainY, Floor1, 62, Middle}, {Floor1, Floor2, 21, 143}, 128, 0.1, 0, -1,
     "Il fiume allarga di nuovo il suo letto..."},
    {PlainY, {PlainY, Floor1, 62, Middle}, {Floor1, Floor2, 28, Middle}, 168, 0.1, 0, +1,
     "...e si forma un fondovalle ancora più basso"},
    {PlainY, {PlainY, Floor1, 62, Middle}, {Floor1, Floor2, 28, Middle}, Middle, 0.1, 0, 0,
     "Due coppie di terrazzi: i più alti sono i più antichi"},
};

QPainterPath dugOut(const Stage &s)
{
    QPainterPath out;
    for (const Cut &c : {s.first, s.second})
        if (c.exists())
            out = out.united(c.shape());
    return out;
}

double riverLevel(const Stage &s)
{
    if (s.second.exists())
        return s.second.floor;
    if (s.first.exists())
        return s.first.floor;
    return s.fillTop;
}

void paintBedrock(QPainter &p)
{
    const QPainterPath rock = rectPath({0, LandY, W, SceneH - LandY}).subtracted(valley());
    p.save();
    p.setClipPath(rock);
    p.fillRect(QRectF(0, LandY, W, SceneH - LandY), Rock);
    p.setPen(outlinePen(1, withAlpha(RockDark, 130)));
    for (double y = LandY + 8; y < SceneH + 20; y += 11)
        p.drawLine(QPointF(0, y), QPointF(W, y - 8));
    p.restore();
}

// The deposits laid down so far, less what the river has carried away again.
void paintDeposits(QPainter &p, const Stage &s)
{
    const QPainterPath removed = dugOut(s);
    double bottom = BedFloor + 1;
    for (int i = 0; i < int(std::size(Deposits)); ++i) {
        const Deposit &d = Deposits[i];
        if (d.top < s.fillTop - 0.5)
            break;
        const QPainterPath body =
            valley().intersected(rectPath({0, d.top, W, bottom - d.top})).subtracted(removed);
        bottom = d.top;
        p.save();
        p.setClipPath(body);
        p.fillPath(body, d.gravel ? mix(Gravel, Sand, 0.45) : Sand);
        Series grains(40 + i);
        if (d.gravel) {
            p.setPen(outlinePen(0.6, withAlpha(Outline, 170)));
            p.setBrush(Gravel);
            for (int k = 0; k < 150; ++k)
                p.drawEllipse(QPointF(grains.between(40, 260), grains.between(d.top, d.top + 24)),
                              grains.between(1.3, 2.6), grains.between(1.0, 1.8));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(SandShade);
            for (int k = 0; k < 260; ++k)
                p.drawEllipse(QPointF(grains.between(40, 260), grains.between(d.top, d.top + 24)), 0.7,
                              0.7);
        }
        p.restore();
        p.setPen(outlinePen(0.8, withAlpha(Outline, 170)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(body);
    }
}

// Grass on the flat surfaces that the river no longer floods.
void paintGrass(QPainter &p, const Stage &s, const QPainterPath &ground)
{
    QList<double> levels{LandY};
    if (s.fillTop <= PlainY)
        levels << PlainY;
    if (s.first.exists() && s.first.halfWidth > 30)
        levels << Floor1;
    if (s.second.exists() && s.second.halfWidth > 25)
        levels << Floor2;
    // the skin of the ground just under the open air
    QPainterPath air = rectPath({0, -10, W, SceneH + 10}).subtracted(ground);
    air.translate(0, 3.5);
    const QPainterPath skin = ground.intersected(air);
    for (double y : levels)
        p.fillPath(skin.intersected(rectPath({0, y - 0.5, W, 4.5})), Grass);
}

void paintRiver(QPainter &p, const Stage &s)
{
    const double y = riverLevel(s), half = 13;
    QPainterPath water;
    water.moveTo(s.river - half, y - 1);
    water.lineTo(s.river + half, y - 1);
    water.cubicTo(s.river + half - 3, y + 6, s.river - half + 3, y + 6, s.river - half, y - 1);
    p.setPen(outlinePen(1.2));
    p.setBrush(Water);
    p.drawPath(water);
    p.setPen(outlinePen(1.5, WaterLight));
    p.drawLine(QPointF(s.river - half + 3, y), QPointF(s.river + half - 3, y));

    switch (s.bankWork) {
    case 2: // cutting down
        arrow(p, QPointF(s.river, y - 20), QPointF(s.river, y - 2), BoldArrow);
        break;
    case -1:
    case +1: // wearing one bank away
        arrow(p, QPointF(s.river + s.bankWork * (half + 2), y - 4),
              QPointF(s.river + s.bankWork * (half + 20), y - 4), BoldArrow);
        break;
    default:
        break;
    }
}

// The level of the sea, at the top right: a small coast seen side on.
void paintSeaGauge(QPainter &p, const Stage &s)
{
    const QRectF box(240, 4, 55, 54);
    const double waterTop = 20, waterBottom = box.bottom();
    const auto levelY = [&](double level) { return waterBottom - 6 - level * (waterBottom - waterTop - 10); };

    p.save();
    p.setClipRect(box);
    sky(p, box, box.bottom());
    const double y = levelY(s.sea);
    p.fillRect(QRectF(box.left(), y, box.width(), waterBottom - y), Water);
    p.setPen(outlinePen(1.2, WaterLight));
    p.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    // the coast sloping down into the sea
    p.setPen(outlinePen(1));
    p.setBrush(Rock);
    p.drawPolygon(QPolygonF{QPointF(box.left(), box.top() + 16), QPointF(box.left() + 8, box.top() + 18),
                            QPointF(box.left() + 30, box.bottom()), QPointF(box.left(), box.bottom())});
    // where the sea stood at the start
    p.setPen(dashedPen(Outline, 2, 2));
    p.drawLine(QPointF(box.left(), levelY(0.5)), QPointF(box.right(), levelY(0.5)));
    p.restore();

    if (s.seaMoving != 0) {
        const double x = box.right() - 9;
        arrow(p, QPointF(x, y - s.seaMoving * 4 + s.seaMoving * 14), QPointF(x, y - s.seaMoving * 4),
              BoldArrow);
    }
    p.setPen(outlinePen(1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    p.setFont(labelFont());
    p.setPen(LabelText);
    p.drawText(QRectF(box.left() + 12, box.top() + 1, box.width() - 12, 14), Qt::AlignCenter, "mare");
}

void paintStage(QPainter &p, int index)
{
    const Stage &s = Stages[index];
    sky(p, QRectF(0, 0, W, SceneH), SceneH);
    paintBedrock(p);
    paintDeposits(p, s);

    // the solid ground, outlined as one surface
    QPainterPath deposits = valley().intersected(rectPath({0, s.fillTop, W, BedFloor + 1 - s.fillTop}));
    const QPainterPath ground =
        rectPath({0, LandY, W, SceneH - LandY}).subtracted(valley()).united(deposits.subtracted(dugOut(s)));
    paintGrass(p, s, ground);
    p.setPen(outlinePen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(ground.intersected(rectPath({-2, 0, W + 4, SceneH - 1})));

    paintRiver(p, s);
    paintSeaGauge(p, s);

    // names for the terraces, once they exist
    const double upperL = (50 + Middle - 62 - RiserSlope * (Floor1 - PlainY)) / 2;
    const double lowerL = (Middle - 62 + Middle - 28 - RiserSlope * (Floor2 - Floor1)) / 2;
    const int number = index + 1;
    if (number == 7) {
        const double edge = (50 + Middle - 15 - RiserSlope * (Floor1 - PlainY)) / 2;
        label(p, "terrazzo", QPointF(edge, 100), {QPointF(edge, PlainY)}, PinnedLabel);
        label(p, "terrazzo", QPointF(2 * Middle - edge, 100), {QPointF(2 * Middle - edge, PlainY)},
              PinnedLabel);
    } else if (number >= 8 && number <= 13) {
        label(p, "terrazzi", QPointF(Middle, 92),
              {QPointF(upperL, PlainY), QPointF(2 * Middle - upperL, PlainY)}, PinnedLabel);
        if (number >= 11)
            label(p, "nuovi terrazzi", QPointF(Middle, 136),
                  {QPointF(lowerL, Floor1), QPointF(2 * Middle - lowerL, Floor1)}, PinnedLabel);
    } else if (number == 14) {
        label(p, "terrazzi più antichi", QPointF(Middle, 92),
              {QPointF(upperL, PlainY), QPointF(2 * Middle - upperL, PlainY)}, PinnedLabel);
        label(p, "terrazzi più recenti", QPointF(Middle, 136),
              {QPointF(lowerL, Floor1), QPointF(2 * Middle - lowerL, Floor1)}, PinnedLabel);
        label(p, "fiume", QPointF(Middle + 44, 174), {QPointF(Middle + 12, Floor2 + 1)}, PinnedLabel);
    }

    caption(p, s.caption, TallCaption);
    border(p);
}

} // namespace

QList<Drawing> terraz()
{
    QList<Drawing> out;
    for (int i = 0; i < int(std::size(Stages)); ++i)
        out.append({QStringLiteral("terraz%1.jpg").arg(i + 1), [i](QPainter &p) { paintStage(p, i); }});
    return out;
}

} // namespace frames
