// Sequence 1, "L'aria ed il calore": a granite boulder on the bare desert ground
// breaks up under the daily swing of temperature. It is played as the intact
// boulder (granit1), then day and night five times over (granit2, granit3), then
// the shells peeling off (granit5) and at last the boulder in pieces (granit4).
//
// The boulder is drawn as an outer shell round an inner core: by day the sun
// heats only the shell, which swells; by night the shell shrinks while the core
// stays as it was, so the two pull apart and the rock cracks.

#include "draw.h"
#include "frames.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <utility>

namespace frames {

namespace {

using namespace palette;
using namespace draw;

constexpr double W = 300;
constexpr double H = 240;
constexpr double SceneH = H - TallCaption.height; // the scene, above the caption band
constexpr double Horizon = 126;
constexpr double GroundY = 172;       // the boulder rests on the ground here
constexpr double CoreScale = 0.82;    // size of the inner core against the whole rock
constexpr double Pi = 3.14159265358979;

const QPointF Centre{150, 118};      // centre of the boulder's outline
const QPointF CoreCentre{150, 126};  // the core sits low, on the same ground
const QPointF SunAt{52, 30};

double rad(double degrees) { return degrees * Pi / 180; }

// ---------------------------------------------------------------- the landscape

enum class Sky { Calm, Day, Night };

QPainterPath hills()
{
    QPainterPath path;
    path.moveTo(0, Horizon);
    for (QPointF pt : {QPointF(0, 106), QPointF(34, 99), QPointF(70, 108), QPointF(112, 95),
                       QPointF(160, 104), QPointF(214, 90), QPointF(256, 101), QPointF(300, 96)})
        path.lineTo(pt);
    path.lineTo(W, Horizon);
    path.closeSubpath();
    return path;
}

QPainterPath ground() { return rectPath(QRectF(0, Horizon, W, SceneH - Horizon)); }

void paintSky(QPainter &p, Sky sky)
{
    const QRectF above(0, 0, W, Horizon);
    if (sky == Sky::Night)
        verticalGradient(p, above, NightTop, NightHorizon, Horizon);
    else if (sky == Sky::Day) // the hot day gets a warm, hazy horizon
        verticalGradient(p, above, SkyTop, mix(SkyHorizon, Sun, 0.45), Horizon);
    else
        draw::sky(p, above, Horizon);

    switch (sky) {
    case Sky::Calm:
        clouds(p, {QRectF(40, 30, 44, 12), QRectF(58, 23, 30, 14), QRectF(206, 46, 50, 11),
                   QRectF(224, 40, 26, 12)},
               withAlpha(Snow, 220));
        break;
    case Sky::Day: {
        const QPointF sun = SunAt;
        p.setPen(outlinePen(2, Sun));
        for (int i = 0; i < 12; ++i) {
            const double a = rad(i * 30 + 15);
            const QPointF u(std::cos(a), std::sin(a));
            p.drawLine(sun + u * 19, sun + u * 25);
        }
        p.setPen(outlinePen(1.2, mix(Sun, Outline, 0.35)));
        p.setBrush(Sun);
        p.drawEllipse(sun, 14, 14);
        break;
    }
    case Sky::Night: {
        Series s(7);
        p.setPen(Qt::NoPen);
        p.setBrush(Moon);
        for (int i = 0; i < 26; ++i) {
            const QPointF at(s.between(4, 296), s.between(4, 92));
            const double r = s.between(0.5, 1.2);
            p.drawEllipse(at, r, r);
        }
        QPainterPath moon, bite;
        moon.addEllipse(QPointF(242, 32), 13, 13);
        bite.addEllipse(QPointF(249, 27), 11, 11);
        p.setPen(outlinePen(1.2, mix(Moon, Outline, 0.4)));
        p.drawPath(moon.subtracted(bite));
        break;
    }
    }
}

void paintLand(QPainter &p)
{
    p.setPen(outlinePen(1, mix(Rock, Outline, 0.3)));
    p.setBrush(mix(Rock, SkyHorizon, 0.45));
    p.drawPath(hills());

    verticalGradient(p, QRectF(0, Horizon, W, SceneH - Horizon), mix(Sand, Rock, 0.2),
                     mix(SandShade, Rock, 0.3), SceneH);
    p.setPen(outlinePen(1));
    p.drawLine(QPointF(0, Horizon), QPointF(W, Horizon));

    // a few scattered pebbles, bigger towards the viewer
    Series s(11);
    p.setPen(outlinePen(0.8));
    p.setBrush(Gravel);
    for (int i = 0; i < 26; ++i) {
        const double y = s.between(Horizon + 4, SceneH - 4);
        const double x = s.between(4, 296);
        const double size = 1 + (y - Horizon) / 22;
        if (x > 52 && x < 250 && y < GroundY + 14)
            continue; // keep the boulder's foot clear
        p.drawEllipse(QPointF(x, y), size * 1.5, size);
    }
}

// ------------------------------------------------------------------ the boulder

// Offset of the boulder's outline from its centre in the direction a (radians,
// screen y downwards): an ellipse made lumpy so that it reads as a rock.
QPointF radius(double a)
{
    const double k = 1 + 0.045 * std::sin(3 * a + 0.8) + 0.03 * std::cos(5 * a + 0.3)
                     + 0.02 * std::sin(7 * a);
    return {84 * std::cos(a) * k, 58 * std::sin(a) * k};
}

QPainterPath loop(QPointF centre, double scale)
{
    QPolygonF poly;
    for (int i = 0; i < 144; ++i)
        poly << centre + scale * radius(2 * Pi * i / 144);
    return polygonPath(poly).intersected(rectPath(QRectF(0, 0, W, GroundY)));
}

// The whole rock, grown or shrunk about its centre; it always stands on the ground.
QPainterPath body(double scale = 1) { return loop(Centre, scale); }
QPainterPath core() { return loop(CoreCentre, CoreScale); }

QPointF onSurface(double degrees, double scale = 1) { return Centre + scale * radius(rad(degrees)); }
QPointF onCore(double degrees) { return CoreCentre + CoreScale * radius(rad(degrees)); }

// The sector of the plane between two directions seen from the boulder's centre.
QPainterPath sector(double fromDeg, double toDeg)
{
    QPolygonF poly{Centre};
    for (double d = fromDeg; d < toDeg; d += 5)
        poly << Centre + 300 * QPointF(std::cos(rad(d)), std::sin(rad(d)));
    poly << Centre + 300 * QPointF(std::cos(rad(toDeg)), std::sin(rad(toDeg)));
    return polygonPath(poly);
}

struct Fleck
{
    QPointF at;
    double size;
    bool dark;
};

// The grains of the granite: dark mica and light feldspar on the greyish-pink rock.
const QList<Fleck> &flecks()
{
    static const QList<Fleck> list = [] {
        QList<Fleck> out;
        Series s(3);
        for (int i = 0; i < 900; ++i) {
            const bool dark = s.next() < 0.5;
            out.append({QPointF(s.between(55, 245), s.between(50, 180)),
                        dark ? s.between(0.7, 1.4) : s.between(0.9, 1.8), dark});
        }
        return out;
    }();
    return list;
}

// Fills a shape with flecked granite, a light shading and an optional tint
// (warm by day, cold by night), then outlines it.
void paintGranite(QPainter &p, const QPainterPath &shape, const QColor &tint = {})
{
    p.save();
    p.setClipPath(shape, Qt::IntersectClip);
    p.fillPath(shape, Granite);
    p.setPen(Qt::NoPen);
    for (bool dark : {false, true}) {
        p.setBrush(dark ? GraniteDark : GraniteLight);
        for (const Fleck &s : flecks())
            if (s.dark == dark)
                p.drawEllipse(s.at, s.size * 1.3, s.size);
    }
    QLinearGradient shade(Centre - QPointF(60, 55), Centre + QPointF(70, 50));
    shade.setColorAt(0, withAlpha(GraniteLight, 60));
    shade.setColorAt(0.5, withAlpha(GraniteLight, 0));
    shade.setColorAt(1, withAlpha(RockDark, 80));
    p.fillPath(shape, shade);
    if (tint.isValid())
        p.fillPath(shape, tint);
    p.restore();
    p.setPen(outlinePen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

void shadow(QPainter &p, double halfWidth = 92)
{
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(RockDark, 90));
    p.drawEllipse(QPointF(160, GroundY + 1), halfWidth, 7);
}

// A curved plate of rock lying on the ground: a shell that has fallen off.
void flake(QPainter &p, QPointF at, double length, double thick, double angle, double bend = 5)
{
    QPainterPath path;
    path.moveTo(-length / 2, 0);
    path.quadTo(0, -bend * 2, length / 2, 0);
    path.lineTo(length / 2 - 2, thick);
    path.quadTo(0, thick - bend * 2 + 2, -length / 2 + 2, thick);
    path.closeSubpath();
    QTransform t;
    t.translate(at.x(), at.y());
    t.rotate(angle);
    paintGranite(p, t.map(path));
}

void pebble(QPainter &p, QPointF at, double size, double angle, const QColor &colour)
{
    QPolygonF poly;
    for (int i = 0; i < 5; ++i) {
        const double a = rad(angle + i * 72 + (i % 2) * 18);
        const double r = size * (i % 2 ? 0.8 : 1.1);
        poly << at + QPointF(std::cos(a) * r * 1.3, std::sin(a) * r);
    }
    p.setPen(outlinePen(1));
    p.setBrush(colour);
    p.drawPolygon(poly);
}

// ---------------------------------------------------------------- day and night

// The outer shell keeps the same place through the frames; by day it swells to
// `scale` > 1, by night it shrinks below 1, while the core stays put.
struct Weather
{
    Sky sky;
    double scale;
    QColor tint;
};

void paintDashedRest(QPainter &p)
{
    p.setPen(dashedPen(withAlpha(Outline, 200), 3, 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body());
}

// Thin cracks of a cold night: across the shell, and along the boundary
// between shell and core where the two part.
void paintNightCracks(QPainter &p, double scale)
{
    p.setPen(outlinePen(1.2, QColor(0x1c, 0x1c, 0x1c)));
    p.setBrush(Qt::NoBrush);
    for (double d : {-160.0, -128.0, -96.0, -62.0, -30.0, -4.0}) {
        const QPointF out = onSurface(d, scale), in = onCore(d + 3);
        const QPointF mid = (out + in) / 2 + QPointF(std::sin(d) * 2.5, std::cos(d) * 2.5);
        p.drawPolyline(QPolygonF{out, mid, in});
    }
    for (auto [from, to] : {std::pair(-172.0, -140.0), std::pair(-118.0, -72.0),
                            std::pair(-50.0, -14.0)}) {
        QPolygonF arc;
        for (double d = from; d <= to; d += 4)
            arc << CoreCentre + (CoreScale + 0.015) * radius(rad(d));
        p.drawPolyline(arc);
    }
}

void paintWeather(QPainter &p, const Weather &w)
{
    paintSky(p, w.sky);
    paintLand(p);
    shadow(p, 92 * w.scale);
    const QPainterPath rock = body(w.scale);
    paintGranite(p, rock);

    const bool night = w.sky == Sky::Night;
    if (night) {
        QPainterPath dark = hills().united(ground()).united(rock);
        p.fillPath(dark, withAlpha(NightTop, 95));
    }
    if (w.tint.isValid()) {
        // only the outer shell feels the heat of the day or the cold of the night
        p.fillPath(rock.subtracted(core()), w.tint);
        p.setPen(dashedPen(withAlpha(Outline, 150), 2, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(core());
        p.setPen(outlinePen());
        p.drawPath(rock);
        paintDashedRest(p);
    }

    if (w.sky == Sky::Day) {
        // the sun's heat falls on the rock, whose shell swells outwards
        const QPointF sun = SunAt;
        for (double deg : {-112.0, -136.0, -162.0}) {
            const QPointF hit = onSurface(deg, w.scale);
            const QPointF d = hit - sun;
            const QPointF u = d / std::hypot(d.x(), d.y());
            arrow(p, sun + u * 28, hit - u * 4, BoldArrow, Heat);
        }
        for (double d : {-70.0, -28.0, 10.0}) {
            const QPointF at = onSurface(d, w.scale);
            const QPointF u = (at - Centre) / std::hypot((at - Centre).x(), (at - Centre).y());
            arrow(p, at + u * 2, at + u * 15, BoldArrow);
        }
    } else if (night) {
        paintNightCracks(p, w.scale);
        // the cold of the night: the shell shrinks inwards
        for (double d : {-155.0, -110.0, -70.0, -28.0, 10.0}) {
            const QPointF at = onSurface(d, w.scale);
            const QPointF u = (at - Centre) / std::hypot((at - Centre).x(), (at - Centre).y());
            arrow(p, at + u * 17, at + u * 3, BoldArrow, Cold);
        }
    }
    if (w.tint.isValid()) {
        label(p, "parte esterna", QPointF(250, 148), {onSurface(14, w.scale * 0.93)}, PinnedLabel);
        label(p, "interno", QPointF(150, 192), {CoreCentre + QPointF(0, 20)}, PinnedLabel);
    }
}

// ----------------------------------------------------------- breaking up

// The two long cracks that at last split the core, from top to ground.
const QPolygonF CrackA{QPointF(124, 56), QPointF(134, 108), QPointF(140, 150), QPointF(143, 185)};
const QPolygonF CrackB{QPointF(200, 64), QPointF(190, 110), QPointF(182, 150), QPointF(178, 185)};

// A crack drawn as an open wedge, widest where it starts at the top.
QPainterPath openCrack(const QPolygonF &line, double width)
{
    QPolygonF left, right;
    for (int i = 0; i < line.size(); ++i) {
        const double w = width * (1 - double(i) / (line.size() - 1)) / 2;
        left << line[i] - QPointF(w, 0);
        right.prepend(line[i] + QPointF(w, 0));
    }
    return polygonPath(left + right);
}

// The half-plane to the left of a crack line.
QPainterPath leftOf(const QPolygonF &line)
{
    QPolygonF poly{QPointF(-10, line.first().y() - 80)};
    poly += line;
    poly << QPointF(-10, line.last().y() + 10);
    return polygonPath(poly);
}

// A piece of the shell between two directions.
QPainterPath shellPiece(double fromDeg, double toDeg)
{
    return body().subtracted(core()).intersected(sector(fromDeg, toDeg));
}

QTransform turnAbout(QPointF pivot, double degrees, QPointF shift = {})
{
    QTransform t;
    t.translate(pivot.x() + shift.x(), pivot.y() + shift.y());
    t.rotate(degrees);
    t.translate(-pivot.x(), -pivot.y());
    return t;
}

// The same placement, moved up or down until the piece rests at `y`.
QTransform restingOn(const QPainterPath &piece, const QTransform &t, double y)
{
    return t * QTransform::fromTranslate(0, y - t.map(piece).boundingRect().bottom());
}

void paintPiece(QPainter &p, const QPainterPath &piece, const QTransform &t)
{
    p.save();
    p.setTransform(t, true);
    paintGranite(p, piece);
    p.restore();
}

void paintPeeling(QPainter &p)
{
    paintSky(p, Sky::Calm);
    paintLand(p);
    shadow(p);

    const QPainterPath inner = core();
    const QColor gap(0x2a, 0x26, 0x22);
    paintGranite(p, inner);
    p.fillPath(openCrack(CrackA, 9).intersected(inner), gap);
    p.fillPath(openCrack(CrackB, 7).intersected(inner), gap);

    // the shell over the top has already gone; elsewhere it has come loose and
    // stands a little off the core, with a dark gap beneath it
    paintGranite(p, shellPiece(25, 150));
    for (auto [from, to] : {std::pair(150.0, 205.0), std::pair(205.0, 246.0), std::pair(352.0, 395.0)}) {
        const QPainterPath piece = shellPiece(from, to);
        const QPointF out = (onSurface((from + to) / 2) - Centre) * 0.05;
        p.fillPath(piece, gap);
        paintPiece(p, piece, QTransform::fromTranslate(out.x(), out.y()));
    }
    // one shell peeling away on the right, bending outwards from its foot
    const QPainterPath peeling = shellPiece(322, 352);
    p.fillPath(peeling, gap);
    paintPiece(p, peeling, turnAbout(onSurface(352), 16, QPointF(3, 0)));

    // shells already fallen to the foot of the boulder
    flake(p, QPointF(236, 178), 46, 11, 8, 4);
    flake(p, QPointF(150, 188), 56, 10, -3, 5);
    flake(p, QPointF(72, 182), 36, 9, -12, 4);
    pebble(p, QPointF(104, 192), 3, 20, Gravel);
    pebble(p, QPointF(202, 194), 2.5, 60, Granite);
    label(p, "scaglie", QPointF(266, 150), {QPointF(246, 170)}, PinnedLabel);
    label(p, "fessure", QPointF(150, 48), {QPointF(134, 84)}, PinnedLabel);
}

void paintBroken(QPainter &p)
{
    paintSky(p, Sky::Calm);
    paintLand(p);
    shadow(p, 104);

    // the core splits along the two long cracks and across them, into six blocks
    const QPainterPath inner = core();
    const QPainterPath lower = polygonPath({QPointF(40, 124), QPointF(92, 116), QPointF(150, 124),
                                            QPointF(208, 114), QPointF(262, 122), QPointF(262, 200),
                                            QPointF(40, 200)});
    const auto block = [&](const QPainterPath &column, bool low) {
        return low ? column.intersected(lower) : column.subtracted(lower);
    };
    const QPainterPath leftColumn = inner.intersected(leftOf(CrackA));
    const QPainterPath rightColumn = inner.subtracted(leftOf(CrackB));
    const QPainterPath middleColumn = inner.subtracted(leftColumn).subtracted(rightColumn);

    // the lower blocks stay where they are, drawn a little apart; the upper
    // ones have slid off them and lie tilted on the ground or on their neighbours
    paintPiece(p, block(middleColumn, true), QTransform());
    paintPiece(p, block(leftColumn, true), QTransform::fromTranslate(-9, 0));
    paintPiece(p, block(rightColumn, true), QTransform::fromTranslate(9, 0));
    paintPiece(p, block(middleColumn, false), turnAbout(QPointF(160, 120), 7, QPointF(2, 3)));
    paintPiece(p, block(leftColumn, false),
               restingOn(block(leftColumn, false), turnAbout(QPointF(70, 124), -34, QPointF(-18, 0)), 182));
    paintPiece(p, block(rightColumn, false),
               restingOn(block(rightColumn, false), turnAbout(QPointF(232, 122), 30, QPointF(16, 0)), 184));

    // a heap of sand and grit from the crumbled granite at the foot
    QPainterPath heap;
    heap.moveTo(34, 190);
    heap.cubicTo(60, 174, 110, 180, 150, 175);
    heap.cubicTo(190, 172, 230, 180, 252, 176);
    heap.cubicTo(266, 178, 276, 186, 284, 192);
    heap.lineTo(34, 192);
    heap.closeSubpath();
    p.setPen(outlinePen(1));
    p.setBrush(mix(Sand, Granite, 0.4));
    p.drawPath(heap);
    p.save();
    p.setClipPath(heap);
    Series s(21);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 160; ++i) {
        p.setBrush(i % 3 ? SandShade : GraniteDark);
        p.drawEllipse(QPointF(s.between(40, 276), s.between(166, 190)), 0.8, 0.8);
    }
    p.restore();

    flake(p, QPointF(54, 184), 40, 10, -10, 4);
    flake(p, QPointF(96, 194), 40, 9, 4, 4);
    flake(p, QPointF(214, 194), 44, 9, -6, 4);
    flake(p, QPointF(262, 184), 38, 10, 14, 4);
    Series d(5);
    for (int i = 0; i < 14; ++i)
        pebble(p, QPointF(d.between(30, 280), d.between(188, 202)), d.between(1.5, 3.5),
               d.between(0, 90), i % 2 ? Gravel : Granite);

    label(p, "blocchi", QPointF(150, 52), {QPointF(154, 98)}, PinnedLabel);
    label(p, "detriti e sabbia", QPointF(246, 200), {QPointF(232, 180)}, PinnedLabel);
}

} // namespace

QList<Drawing> granit()
{
    const QColor warm = withAlpha(Heat, 70), cold = withAlpha(Cold, 90);
    return {
        {"granit1.jpg",
         [](QPainter &p) {
             paintWeather(p, {Sky::Calm, 1, {}});
             label(p, "granito", QPointF(150, 48), {onSurface(-90, 0.8)}, PinnedLabel);
             caption(p, "Un masso di granito sul terreno nudo del deserto: "
                        "è ancora intatto", TallCaption);
             border(p);
         }},
        {"granit2.jpg",
         [warm](QPainter &p) {
             paintWeather(p, {Sky::Day, 1.05, warm});
             caption(p, "DI GIORNO il sole scalda la parte esterna della roccia, "
                        "che si dilata", TallCaption);
             border(p);
         }},
        {"granit3.jpg",
         [cold](QPainter &p) {
             paintWeather(p, {Sky::Night, 0.965, cold});
             caption(p, "DI NOTTE si raffredda e si contrae: fuori e dentro non si "
                        "muovono insieme e si aprono sottili crepe", TallCaption);
             border(p);
         }},
        {"granit4.jpg",
         [](QPainter &p) {
             paintBroken(p);
             caption(p, "Alla fine il masso è ridotto in blocchi e scaglie, "
                        "con detriti e sabbia ai suoi piedi", TallCaption);
             border(p);
         }},
        {"granit5.jpg",
         [](QPainter &p) {
             paintPeeling(p);
             caption(p, "Dopo tanti giorni e tante notti le croste esterne si staccano "
                        "e larghe fessure spaccano il masso", TallCaption);
             border(p);
         }},
    };
}

} // namespace frames
