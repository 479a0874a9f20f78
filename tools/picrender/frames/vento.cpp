// Sequence 2, "Il vento": corrasion. In a desert the wind drives sand grains
// against a pillar of layered rock. The grains fly low, in long hops, so they
// strike the foot of the pillar hardest; the soft layers wear faster than the
// hard ones, the pillar becomes a mushroom rock and at last its neck breaks.
//
// Frames vento1, vento1a, ..., vento13a are one time line of 26 steps; the "a"
// frames fall half-way between the numbered ones.

#include "draw.h"
#include "frames.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>

namespace frames {

namespace {

using namespace palette;
using namespace draw;

constexpr double W = 300;
constexpr double H = 240;
constexpr double SceneH = H - TallCaption.height; // the scene, above the caption band
constexpr double Horizon = 140;
constexpr double GroundY = 184;    // the foot of the rock and the line the grains hop on
constexpr double Metre = 40;       // pixels per metre of height
constexpr double Pi = 3.14159265358979;

// The pillar before the wind has worked on it.
constexpr double RockLeft = 150;
constexpr double RockRight = 236;
constexpr double RockHeight = 120;

constexpr int Steps = 26;          // frames in the sequence
constexpr int WornOutStep = 22;    // the neck is at its thinnest here, then it breaks
constexpr double NeckHeight = 16;  // where the neck is thinnest, and breaks

// ------------------------------------------------------------------- the desert

void paintDesert(QPainter &p)
{
    // dusty air near the ground
    verticalGradient(p, QRectF(0, 0, W, Horizon), SkyTop, mix(SkyHorizon, Sand, 0.3), Horizon);

    // far dunes
    QPainterPath dunes;
    dunes.moveTo(0, Horizon);
    dunes.lineTo(0, 128);
    dunes.cubicTo(30, 118, 60, 122, 90, 130);
    dunes.cubicTo(130, 116, 170, 112, 220, 126);
    dunes.cubicTo(250, 118, 280, 120, 300, 124);
    dunes.lineTo(W, Horizon);
    dunes.closeSubpath();
    p.setPen(outlinePen(1, mix(SandShade, Outline, 0.3)));
    p.setBrush(mix(Sand, SkyHorizon, 0.35));
    p.drawPath(dunes);

    verticalGradient(p, QRectF(0, Horizon, W, SceneH - Horizon), mix(Sand, SkyHorizon, 0.2), SandShade,
                     SceneH);
    p.setPen(outlinePen(1));
    p.drawLine(QPointF(0, Horizon), QPointF(W, Horizon));

    // ripples drawn by the wind in the sand
    p.setPen(outlinePen(1, mix(SandShade, Outline, 0.25)));
    p.setBrush(Qt::NoBrush);
    Series s(17);
    for (int i = 0; i < 16; ++i) {
        const double y = s.between(Horizon + 6, SceneH - 4), x = s.between(0, 290);
        const double len = 8 + (y - Horizon) / 3;
        QPainterPath r;
        r.moveTo(x, y);
        r.quadTo(x + len / 2, y - 2.5, x + len, y);
        p.drawPath(r);
    }
}

// A metre rule at the left edge, to show how low the grains fly.
void paintRule(QPainter &p)
{
    const double x = 12;
    p.setPen(outlinePen(1.5));
    p.drawLine(QPointF(x, GroundY), QPointF(x, GroundY - Metre));
    for (double f : {0.0, 0.5, 1.0})
        p.drawLine(QPointF(x - (f == 0.5 ? 2 : 4), GroundY - f * Metre),
                   QPointF(x + (f == 0.5 ? 2 : 4), GroundY - f * Metre));
    label(p, "1 m", QPointF(x + 4, GroundY - Metre - 11), {}, PinnedLabel);
}

void paintWind(QPainter &p)
{
    arrow(p, QPointF(14, 62), QPointF(104, 62), BoldArrow);
    arrow(p, QPointF(30, 86), QPointF(120, 86), BoldArrow);
    label(p, "vento", QPointF(58, 44), {}, PinnedLabel);
}

// --------------------------------------------------------------------- the rock

struct Layer
{
    double from, to;  // height above the ground, pixels
    QColor colour;
    double softness;  // how fast the grains wear it away
};

// From the foot upwards: a soft base, a harder band, another soft layer and
// the hard cap.
const Layer Layers[] = {
    {0, 34, SoftRock, 1.0},
    {34, 56, Limestone, 0.7},
    {56, 70, mix(SoftRock, Sand, 0.45), 0.9},
    {70, RockHeight + 1, Rock, 0.05},
};

double softnessAt(double h)
{
    for (const Layer &l : Layers)
        if (h < l.to)
            return l.softness;
    return Layers[3].softness;
}

// How hard the grains strike at a given height: most of them hop within the
// first metre, striking hardest a little above the ground.
double impactAt(double h)
{
    const double peak = 16;
    const double bell = std::exp(-std::pow((h - peak) / 40, 2));
    return h < peak ? 0.8 + 0.2 * h / peak : bell;
}

// Depth worn into each side of the pillar at height h when `wear` (0 .. 1) of
// the work is done. The windward side wears more than the sheltered one.
double wornLeft(double h, double wear) { return 44 * wear * impactAt(h) * softnessAt(h); }
double wornRight(double h, double wear) { return 30 * wear * impactAt(h) * softnessAt(h); }

// The untouched pillar: slightly irregular sides and a rounded top.
double roundTop(double h)
{
    const double r = 12, start = RockHeight - r;
    return h <= start ? 0 : r - std::sqrt(std::max(0.0, r * r - (h - start) * (h - start)));
}
double leftSide(double h) { return RockLeft + 2 * std::sin(h * 0.19) + roundTop(h); }
double rightSide(double h) { return RockRight + 1.5 * std::sin(h * 0.23 + 1) - roundTop(h); }

QPainterPath rockOutline(double wear)
{
    QList<double> heights;
    for (double h = 0; h < RockHeight; h += 2)
        heights << h;
    for (const Layer &l : Layers) // sharp steps where a harder layer sticks out
        heights << l.from - 0.01 << l.from + 0.01;
    heights << RockHeight;
    std::sort(heights.begin(), heights.end());
    heights.erase(std::remove_if(heights.begin(), heights.end(),
                                 [](double h) { return h < 0 || h > RockHeight; }),
                  heights.end());

    QPolygonF poly;
    for (double h : heights)
        poly << QPointF(leftSide(h) + wornLeft(h, wear), GroundY - h);
    for (auto it = heights.crbegin(); it != heights.crend(); ++it)
        poly << QPointF(rightSide(*it) - wornRight(*it, wear), GroundY - *it);
    return polygonPath(poly);
}

// Fills a piece of the pillar with its layers and outlines it. The layers are
// laid out for the upright pillar; `t` places the piece where it lies now.
void paintRock(QPainter &p, const QPainterPath &shape, const QTransform &t = {})
{
    p.save();
    p.setTransform(t, true);
    p.setClipPath(shape, Qt::IntersectClip);
    for (const Layer &l : Layers)
        p.fillRect(QRectF(RockLeft - 60, GroundY - l.to, RockRight - RockLeft + 120, l.to - l.from),
                   l.colour);
    // fine bedding inside the layers, and the layer boundaries
    p.setPen(outlinePen(0.8, withAlpha(Bedding, 200)));
    for (double h = 5; h < RockHeight; h += 7)
        p.drawLine(QPointF(RockLeft - 60, GroundY - h), QPointF(RockRight + 60, GroundY - h));
    p.setPen(outlinePen(1, withAlpha(Outline, 180)));
    for (const Layer &l : Layers)
        if (l.from > 0)
            p.drawLine(QPointF(RockLeft - 60, GroundY - l.from), QPointF(RockRight + 60, GroundY - l.from));
    // a few joints in the hard cap
    p.setPen(outlinePen(1, withAlpha(RockDark, 200)));
    p.drawLine(QPointF(176, GroundY - 72), QPointF(179, GroundY - 92));
    p.drawLine(QPointF(214, GroundY - 98), QPointF(211, GroundY - 118));
    // light from the left, shade on the right
    QLinearGradient shade(RockLeft - 20, 0, RockRight + 10, 0);
    shade.setColorAt(0, withAlpha(LabelBack, 50));
    shade.setColorAt(0.45, withAlpha(LabelBack, 0));
    shade.setColorAt(1, withAlpha(RockDark, 90));
    p.fillPath(shape, shade);
    p.restore();
    p.save();
    p.setTransform(t, true);
    p.setPen(outlinePen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.restore();
}

// ---------------------------------------------------------------- one moment

struct Moment
{
    double wear;      // share of the wearing done, 0 .. 1
    bool cracked;     // a crack runs across the neck
    double tilt;      // degrees the broken top has turned towards the wind
    bool lying;       // the broken top lies on the ground
};

Moment momentAt(int step)
{
    const double wear = std::min(1.0, double(step) / WornOutStep);
    switch (step - WornOutStep) {
    case 1: return {wear, true, -7, false};
    case 2: return {wear, true, -38, false};
    case 3: return {wear, true, -90, true};
    default: return {wear, false, 0, false};
    }
}

QPainterPath halfPlane(bool above, double y)
{
    return rectPath(above ? QRectF(-50, -50, W + 100, y + 50) : QRectF(-50, y, W + 100, H));
}

// Where the broken top is: turned about the windward edge of the neck, and
// when it lies on the ground, lowered until it rests there.
QTransform topPlacement(const Moment &m, const QPainterPath &top)
{
    const QPointF pivot(leftSide(NeckHeight) + wornLeft(NeckHeight, m.wear), GroundY - NeckHeight);
    QTransform t;
    t.translate(pivot.x(), pivot.y());
    t.rotate(m.tilt);
    t.translate(-pivot.x(), -pivot.y());
    if (m.lying) {
        const QRectF r = t.map(top).boundingRect();
        t *= QTransform::fromTranslate(0, GroundY + 5 - r.bottom());
    }
    return t;
}

// The rock as the grains meet it, in frame coordinates.
QPainterPath obstacle(const Moment &m)
{
    const QPainterPath rock = rockOutline(m.wear);
    if (m.tilt == 0)
        return rock;
    const QPainterPath top = rock.intersected(halfPlane(true, GroundY - NeckHeight));
    return rock.intersected(halfPlane(false, GroundY - NeckHeight)).united(topPlacement(m, top).map(top));
}

void paintRockAt(QPainter &p, const Moment &m)
{
    const QPainterPath rock = rockOutline(m.wear);

    // the pillar as it was at the start, for comparison
    const QPen dashed = dashedPen(withAlpha(Outline, 170), 3, 3);

    // shadow on the sheltered side, small once only the stump is left standing
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(RockDark, 80));
    if (m.tilt > -20)
        p.drawEllipse(QPointF(220, GroundY + 2), 44, 6);
    else
        p.drawEllipse(QPointF(212, GroundY + 2), 18, 4);

    if (m.tilt == 0) {
        paintRock(p, rock);
        if (m.wear > 0) {
            p.setPen(dashed);
            p.setBrush(Qt::NoBrush);
            p.drawPath(rockOutline(0));
        }
        return;
    }
    const QPainterPath top = rock.intersected(halfPlane(true, GroundY - NeckHeight));
    const QPainterPath stump = rock.intersected(halfPlane(false, GroundY - NeckHeight));
    paintRock(p, stump);
    paintRock(p, top, topPlacement(m, top));
    if (m.cracked && m.tilt > -10) {
        // the fresh break across the neck
        const double y = GroundY - NeckHeight;
        p.setPen(outlinePen(1.5, QColor(0x20, 0x20, 0x20)));
        const double l = leftSide(NeckHeight) + wornLeft(NeckHeight, m.wear);
        const double r = rightSide(NeckHeight) - wornRight(NeckHeight, m.wear);
        p.drawPolyline(QPolygonF{QPointF(l - 2, y), QPointF(l + (r - l) * 0.35, y - 2),
                                 QPointF(l + (r - l) * 0.7, y + 1.5), QPointF(r + 2, y - 1)});
    }
}

// --------------------------------------------------------------------- grains

struct Grain
{
    double phase;   // where it is in its flight at step 0, 0 .. 1
    double speed;   // share of the whole flight covered in one step
    double hop;     // length of one hop, pixels
    double height;  // height of its hops, pixels
    double offset;  // where its hops start
};

constexpr double FlightStart = -30, FlightEnd = 330;

// Most grains hop within the first metre; a few bounce higher.
const QList<Grain> &grains()
{
    static const QList<Grain> list = [] {
        QList<Grain> out;
        Series s(29);
        for (int i = 0; i < 42; ++i) {
            const double r = s.next();
            const double height = r < 0.72 ? s.between(6, Metre - 4)
                                 : r < 0.92 ? s.between(Metre, 1.5 * Metre)
                                            : s.between(1.5 * Metre, 2 * Metre);
            out.append({s.next(), s.between(0.13, 0.17), height * s.between(2.4, 3.4), height,
                        s.between(0, 60)});
        }
        return out;
    }();
    return list;
}

QPointF flightPoint(const Grain &g, double x)
{
    const double y = GroundY - 2 - g.height * std::abs(std::sin(Pi * (x - g.offset) / g.hop));
    return {x, y};
}

// First place along the grain's path, from the start of the flight up to x,
// where it meets the rock.
std::optional<QPointF> hitBefore(const Grain &g, double x, const QPainterPath &rock)
{
    for (double u = 100; u <= x; u += 1) {
        const QPointF pt = flightPoint(g, u);
        if (rock.contains(pt))
            return pt;
    }
    return std::nullopt;
}

void paintGrains(QPainter &p, int step, const QPainterPath &rock)
{
    const double span = FlightEnd - FlightStart;
    for (const Grain &g : grains()) {
        const double progress = std::fmod(g.phase + g.speed * step, 1.0);
        const double x = FlightStart + progress * span;
        const double stepLength = g.speed * span;
        const std::optional<QPointF> hit = hitBefore(g, x, rock);
        if (hit) {
            // it struck the rock during the last step: a burst where it hit,
            // and the grain bouncing back
            if (x - hit->x() < stepLength) {
                const QPointF at = *hit;
                p.setPen(outlinePen(1.3, Arrow));
                for (double a : {-150.0, -120.0, 150.0, 180.0, -180.0 + 90})
                    p.drawLine(at + QPointF(std::cos(a * Pi / 180), std::sin(a * Pi / 180)) * 3,
                               at + QPointF(std::cos(a * Pi / 180), std::sin(a * Pi / 180)) * 7);
                const double back = (x - hit->x()) / stepLength;
                const QPointF bounce = at + QPointF(-6 - 10 * back, -4 - 6 * back);
                p.setPen(outlinePen(0.6));
                p.setBrush(SandShade);
                p.drawEllipse(bounce, 1.6, 1.6);
                // a tiny chip knocked off the rock
                p.setBrush(RockDark);
                p.drawRect(QRectF(at + QPointF(-4 - 6 * back, 3 * back), QSizeF(2, 2)));
            }
            continue;
        }
        // a streak behind the grain shows its flight
        QPolygonF trail;
        for (double u = x - stepLength * 0.45; u <= x; u += 2)
            trail << flightPoint(g, u);
        p.setPen(outlinePen(1.5, withAlpha(mix(SandShade, Outline, 0.35), 170)));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(trail);
        p.setPen(outlinePen(0.6));
        p.setBrush(mix(Sand, SandShade, 0.5));
        p.drawEllipse(flightPoint(g, x), 2.1, 2.1);
    }
}

// ------------------------------------------------------------------- captions

QString captionAt(int step)
{
    if (step <= 1)
        return "Il vento soffia da sinistra e trascina i granelli di sabbia";
    if (step <= 3)
        return "I granelli volano bassi, a salti: quasi tutti entro un metro dal suolo";
    if (step <= 6)
        return "I granelli di sabbia colpiscono la base della roccia";
    if (step <= 9)
        return "Ogni colpo stacca minuscoli frammenti: la base si consuma";
    if (step <= 12)
        return "Gli strati teneri si consumano più in fretta di quelli duri";
    if (step <= 15)
        return "In alto i colpi sono pochi e la roccia dura resiste";
    if (step <= 19)
        return "La parte bassa si consuma di più: si forma un fungo di roccia";
    if (step <= WornOutStep)
        return "Il collo del fungo diventa sempre più sottile";
    switch (step - WornOutStep) {
    case 1: return "Il collo non regge più il peso e si spezza...";
    case 2: return "...e il cappello di roccia dura si rovescia";
    default: return "Il cappello giace a terra: il vento continua il suo lavoro";
    }
}

void paintStep(QPainter &p, int step)
{
    const Moment m = momentAt(step);
    paintDesert(p);
    paintRockAt(p, m);
    paintRule(p);
    paintWind(p);

    // labels follow the cap when it falls
    const QPainterPath rock = rockOutline(m.wear);
    const QTransform capPlace = m.tilt == 0
        ? QTransform()
        : topPlacement(m, rock.intersected(halfPlane(true, GroundY - NeckHeight)));
    label(p, "roccia dura", QPointF(252, 30), {capPlace.map(QPointF(222, GroundY - 100))}, PinnedLabel);
    label(p, "roccia tenera", QPointF(254, 198),
          {QPointF(rightSide(12) - wornRight(12, m.wear) - 3, GroundY - 12)}, PinnedLabel);

    paintGrains(p, step, obstacle(m));
    caption(p, captionAt(step), TallCaption);
    border(p);
}

} // namespace

QList<Drawing> vento()
{
    QList<Drawing> out;
    for (int step = 0; step < Steps; ++step) {
        const QString name = QStringLiteral("vento%1%2.jpg").arg(step / 2 + 1).arg(step % 2 ? "a" : "");
        out.append({name, [step](QPainter &p) { paintStep(p, step); }});
    }
    return out;
}

} // namespace frames
