// Sequence 6, "Il mare": a high rocky coast in cross-section. The waves beat on
// the foot of the cliff and cut a notch at the waterline; the overhang above it
// cracks and falls, the waves break up the fallen blocks and carry them off, and
// a wave-cut platform is left at the foot. The cycle runs twice, so that the
// cliff ends up clearly further inland than where it started.

#include "draw.h"
#include "frames.h"
#include "palette.h"

#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace frames {

namespace {

using namespace palette;
using namespace draw;

// The caption band's top edge.
constexpr double CaptionTop = FrameSize.height() - ShortCaption.height;

// ---------------------------------------------------------------- the coast --

constexpr double SeaLevel = 150;
constexpr double TopY = 62;         // the land surface on top of the cliff
constexpr double StartFace = 120;   // where the cliff stands at the start
constexpr double NotchTop = 124;    // the notch spans the reach of the waves
constexpr double NotchBottom = 160;
constexpr double PlatformY = 157;   // the notch's floor, later the platform

// What lies at the foot after a collapse.
enum class Debris { None, Falling, Blocks, Broken, Pebbles };

struct Label
{
    const char *text;
    QPointF at;
    QPointF target = {};
};

// One step of the story.
struct Step
{
    const char *caption;
    double face = StartFace;      // the cliff's face in this cycle
    double notch = 0;             // how deep the notch goes into it
    bool crack = false;           // the overhang has cracked
    Debris debris = Debris::None; // the fallen overhang, at the foot of `face`
    double fallen = 0;            // width of the slab that fell
    double spray = 0.5;           // how high the breakers throw the water
    bool original = false;        // the starting cliff, dashed, for comparison
    QList<Label> labels = {};
    QList<QLineF> arrows = {};
};

class Coast
{
public:
    Coast(const Step &s, int index) : s(s), index(index) {}

    void paint(QPainter &p) const
    {
        paintSky(p);
        paintLand(p);
        paintSea(p);
        paintDebris(p);
        paintSpray(p);
        if (s.original)
            paintOriginal(p);
        for (const QLineF &a : s.arrows)
            arrow(p, a.p1(), a.p2(), SlimArrow);
        for (const Label &l : s.labels)
            label(p, QString::fromUtf8(l.text), l.at, l.target.isNull() ? QList<QPointF>() : QList{l.target},
                  LightLabel);
        caption(p, QString::fromUtf8(s.caption), ShortCaption);
        border(p);
    }

private:
    const Step &s;
    int index;

    // After a collapse the face stands where the crack was.
    double face() const
    {
        return s.debris == Debris::None ? s.face : s.face + s.fallen;
    }
    double notch() const { return s.debris == Debris::None ? s.notch : 0; }

    // A little unevenness along the face, the same wherever the face stands.
    static double rough(double y) { return 2.2 * std::sin(y / 7.0) + 1.4 * std::sin(y / 3.1 + 1); }

    // Where the crack runs, from the back of the notch up to the surface.
    QPolygonF crackLine(double faceX, double depth) const
    {
        QPolygonF line;
        for (int i = 0; i <= 8; ++i) {
            const double y = lerp(NotchTop + 2, TopY, i / 8.0);
            line << QPointF(faceX + depth + 3 * (i % 2) - 1.5 + 0.05 * (NotchTop - y), y);
        }
        return line;
    }

    // The notch: hollowed most at the middle of the waves' reach.
    double notchDepthAt(double y) const
    {
        const double t = (y - NotchTop) / (NotchBottom - NotchTop);
        if (t <= 0 || t >= 1)
            return 0;
        return notch() * std::pow(std::sin(M_PI * t), 0.7);
    }

    QPolygonF landOutline() const
    {
        QPolygonF land;
        land << QPointF(-5, 214) << QPointF(50, 202) << QPointF(95, 186) << QPointF(StartFace - 6, 175);
        const double f = face();
        if (f > StartFace + 1) {
            // The wave-cut platform, from where the cliff stood to where it stands.
            land << QPointF(StartFace - 2, 166) << QPointF(StartFace + 4, PlatformY + 4);
            land << QPointF(f, PlatformY + 2);
        } else {
            land << QPointF(f, 172);
        }
        for (double y = NotchBottom + 2; y >= TopY; y -= 1)
            land << QPointF(f + rough(y) + notchDepthAt(y), y);
        land << QPointF(305, TopY) << QPointF(305, 245) << QPointF(-5, 245);
        return land;
    }

    // ------------------------------------------------------------ painting --

    void paintSky(QPainter &p) const
    {
        sky(p, QRectF(0, 0, 300, CaptionTop), SeaLevel);
        clouds(p, {QRectF(22, 18, 44, 14), QRectF(40, 12, 30, 14), QRectF(180, 26, 50, 12),
                   QRectF(200, 20, 26, 12)},
               Foam);
    }

    void paintLand(QPainter &p) const
    {
        const QPolygonF land = landOutline();
        const QPainterPath path = polygonPath(land);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(Rock);
        p.drawPath(path);

        p.setClipPath(path);
        // Bedding planes of the rock, gently tilted.
        p.setPen(QPen(mix(Rock, RockDark, 0.6), 1));
        for (double y = 76; y < 240; y += 15)
            p.drawLine(QPointF(0, y + 6), QPointF(300, y - 4));
        // The dark back of the notch, where the sea has hollowed the rock.
        if (notch() > 0) {
            QPainterPath hollow;
            hollow.moveTo(face() + rough(NotchTop), NotchTop);
            for (double y = NotchTop; y <= NotchBottom; y += 1)
                hollow.lineTo(face() + rough(y) + notchDepthAt(y), y);
            hollow.closeSubpath();
            p.setClipping(false);
            p.setBrush(mix(RockDark, Outline, 0.35));
            p.setPen(Qt::NoPen);
            p.drawPath(hollow);
        }
        p.setClipping(false);

        // Grass and soil on top.
        const double edge = face() + rough(TopY);
        p.setPen(Qt::NoPen);
        p.setBrush(Soil);
        p.drawRect(QRectF(edge, TopY, 310 - edge, 3));
        p.setBrush(Grass);
        QPainterPath turf;
        turf.moveTo(edge - 1, TopY + 0.5);
        for (double x = edge; x <= 302; x += 4)
            turf.lineTo(x + 2, TopY - 2.5 - (int(x) % 3 == 0 ? 1 : 0));
        turf.lineTo(302, TopY + 0.5);
        turf.closeSubpath();
        p.drawPath(turf);

        if (s.crack) {
            p.setPen(QPen(Outline, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(crackLine(face(), notch()));
        }
        p.setPen(outlinePen());
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(land);
        p.restore();
    }

    // Height of the sea surface: waves that grow as they near the cliff and
    // travel towards it from one frame to the next.
    double seaY(double x) const
    {
        const double f = face();
        const double grow = lerp(2.5, 6, smoothstep(0, f, x));
        return SeaLevel - grow * std::sin(x / 11.0 - index * 1.9) - surge() * std::exp(-(f - x) / 10);
    }

    // Water piling up against the cliff, stronger in some frames than others.
    double surge() const { return 3 + 6 * s.spray * (0.6 + 0.4 * std::sin(index * 2.3)); }

    QPolygonF seaOutline() const
    {
        QPolygonF sea;
        const double end = face() + notch() + 6;
        for (double x = -5; x <= end; x += 1)
            sea << QPointF(x, seaY(std::min(x, face())));
        sea << QPointF(end, 245) << QPointF(-5, 245);
        return sea;
    }

    void paintSea(QPainter &p) const
    {
        QPainterPath water;
        water.addPolygon(seaOutline());
        QPainterPath land;
        land.addPolygon(landOutline());
        water = water.subtracted(land);
        QLinearGradient deep(0, SeaLevel - 8, 0, 210);
        deep.setColorAt(0, Water);
        deep.setColorAt(1, WaterDeep);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(deep);
        p.drawPath(water);

        // Foam on the crests, curling forward towards the cliff.
        p.setPen(Qt::NoPen);
        p.setBrush(Foam);
        for (int k = -12; k < 4; ++k) {
            const double x = 11 * (M_PI / 2 + index * 1.9 + 2 * M_PI * k);
            if (x < 0 || x > face() - 16)
                continue;
            QPainterPath cap(QPointF(x - 10, seaY(x - 10) + 0.5));
            cap.quadTo(x - 2, seaY(x) - 1, x + 5, seaY(x + 5) + 0.5);
            cap.quadTo(x + 1, seaY(x) + 5, x - 10, seaY(x - 10) + 0.5);
            p.drawPath(cap);
        }
        p.setPen(QPen(WaterLight, 1.2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 6; ++i) {
            const double x = 10 + hash01(i, 5) * (face() - 40), y = SeaLevel + 14 + hash01(i, 6) * 34;
            p.drawLine(QPointF(x, y), QPointF(x + 8, y));
        }
        // The surface line, up to the rock.
        QPolygonF surface;
        for (double x = -5; x <= face() + 6; x += 1)
            if (!land.contains(QPointF(x, seaY(std::min(x, face())) + 0.5)))
                surface << QPointF(x, seaY(std::min(x, face())));
        p.setPen(outlinePen(1));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(surface);
        p.restore();
    }

    // The breakers' blow: a burst of foam at the foot of the cliff and spray
    // thrown up its face.
    void paintSpray(QPainter &p) const
    {
        const double f = face() + rough(SeaLevel);
        const double top = SeaLevel - surge();
        const double reach = 18 + 58 * s.spray * (0.65 + 0.35 * std::sin(index * 2.3));
        p.save();
        p.setPen(QPen(Crevasse, 0.7));
        p.setBrush(Foam);
        for (int i = 0; i < 18; ++i) {
            const double t = hash01(i + index * 17, 1);
            const double y = top - t * reach;
            const double x = f - 4 - hash01(i + index * 17, 2) * (8 + 14 * t);
            const double r = lerp(7.5, 2, t);
            p.drawEllipse(QPointF(x, y), r * 0.8, r);
        }
        if (s.spray >= 1) {
            // Pebbles hurled against the rock with the water.
            p.setPen(outlinePen(0.8));
            p.setBrush(RockDark);
            for (int i = 0; i < 5; ++i)
                p.drawEllipse(QPointF(f - 5 - 10 * hash01(i, 12), top - 8 - 30 * hash01(i, 13)), 1.8, 1.4);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Foam);
        p.drawEllipse(QPointF(f - 6, top + 1), 11, 5);
        p.drawEllipse(QPointF(f - 16, top + 3), 7, 3);
        p.restore();
    }

    // The slab that was the overhang: falling, in big blocks, broken up, gone.
    void paintDebris(QPainter &p) const
    {
        if (s.debris == Debris::None)
            return;
        const double f = s.face;
        QList<QPolygonF> pieces;
        if (s.debris == Debris::Falling) {
            // The whole overhang tips outwards about its outer foot as it drops.
            QPolygonF slab;
            for (double y = NotchTop; y >= TopY; y -= 2)
                slab << QPointF(f + rough(y), y);
            QPolygonF back = crackLine(f, s.fallen);
            std::reverse(back.begin(), back.end());
            slab << back;
            QTransform t;
            t.translate(f - 8, NotchTop + 34);
            t.rotate(-28);
            t.translate(-f, -NotchTop);
            pieces << t.map(slab);
        } else {
            struct Piece { double x, y, w, h, turn; };
            static const Piece blocks[] = {{-30, 150, 30, 22, -14}, {-4, 142, 28, 30, 9},
                                           {20, 150, 22, 18, -6},   {-52, 162, 20, 14, 22},
                                           {-14, 162, 18, 12, 4}};
            static const Piece broken[] = {{-34, 158, 14, 10, -10}, {-19, 156, 12, 11, 15},
                                           {-4, 155, 14, 10, -6},   {10, 154, 12, 9, 20},
                                           {22, 153, 12, 9, -12},   {-48, 164, 10, 8, 5},
                                           {-12, 148, 10, 8, 30}};
            static const Piece pebbles[] = {{-24, 161, 6, 4, 0}, {-8, 158, 5, 3.5, 20}, {8, 156, 6, 4, -10},
                                            {-46, 170, 5, 3.5, 5}};
            auto add = [&](const Piece *list, int n) {
                for (int i = 0; i < n; ++i) {
                    const Piece &k = list[i];
                    const double cx = f + s.fallen / 2 + k.x, cy = k.y;
                    QPolygonF poly;
                    // Angular lumps: five corners at uneven angles and distances.
                    for (int c = 0; c < 5; ++c) {
                        const double a = (c + 0.45 * hash01(i * 7 + c, 4)) * 2 * M_PI / 5;
                        const double wob = 0.75 + 0.4 * hash01(i * 7 + c, 3);
                        poly << QPointF(std::cos(a) * k.w / 2 * wob, std::sin(a) * k.h / 2 * wob);
                    }
                    QTransform t;
                    t.translate(cx, cy);
                    t.rotate(k.turn);
                    pieces << t.map(poly);
                }
            };
            if (s.debris == Debris::Blocks)
                add(blocks, 5);
            else if (s.debris == Debris::Broken)
                add(broken, 7);
            else
                add(pebbles, 4);
        }
        p.save();
        p.setPen(outlinePen(1.2));
        p.setBrush(mix(Rock, RockDark, 0.15));
        for (const QPolygonF &piece : pieces)
            p.drawPolygon(piece);
        // What lies below the waterline is seen through the water.
        QPainterPath under;
        for (const QPolygonF &piece : pieces)
            under.addPolygon(piece);
        QPainterPath below;
        QPolygonF sea = seaOutline();
        below.addPolygon(sea);
        p.setClipPath(below);
        QColor veil = Water;
        veil.setAlphaF(0.3f);
        p.setPen(Qt::NoPen);
        p.setBrush(veil);
        p.drawPath(under);
        p.restore();
        if (s.debris == Debris::Falling) {
            arrow(p, QPointF(f - 46, 92), QPointF(f - 54, 126), SlimArrow);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(mix(Rock, Foam, 0.4));
            for (int i = 0; i < 14; ++i)
                p.drawEllipse(QPointF(f - 10 + hash01(i, 8) * 40, 70 + hash01(i, 9) * 70), 1.4, 1.4);
            p.restore();
        }
    }

    // Where the cliff stood at the start, dashed, and how far it has gone back.
    void paintOriginal(QPainter &p) const
    {
        QPen dash(Outline, 1.3);
        dash.setDashPattern({4, 3});
        p.save();
        p.setPen(dash);
        p.setBrush(Qt::NoBrush);
        QPolygonF old;
        old << QPointF(StartFace - 2, 172);
        for (double y = NotchBottom; y >= TopY; y -= 1)
            old << QPointF(StartFace + rough(y), y);
        old << QPointF(face() + rough(TopY), TopY);
        p.drawPolyline(old);
        p.restore();
    }
};

const QList<Step> &steps()
{
    constexpr double Slab = 32;                    // how far the cliff goes back in one cycle
    constexpr double Second = StartFace + Slab;    // the face at the start of the second cycle
    static const QList<Step> list{
        {.caption = "Le onde battono contro la base della falesia",
         .labels = {{"falesia", {178, 40}, {150, 70}}, {"onde", {40, 118}, {50, 146}}},
         .arrows = {QLineF(20, 132, 72, 132)}},
        {.caption = "Le onde lanciano acqua e sassi contro la roccia",
         .notch = 4,
         .spray = 1,
         .arrows = {QLineF(52, 132, 104, 132)}},
        {.caption = "Le onde scavano un solco alla base della falesia",
         .notch = 11,
         .spray = 0.8,
         .labels = {{"solco", {190, 112}, {StartFace + 8, 144}}}},
        {.caption = "Il solco diventa sempre più profondo", .notch = 19, .spray = 0.9},
        {.caption = "La parete sopra il solco resta sporgente",
         .notch = 26,
         .spray = 0.7,
         .labels = {{"parete sporgente", {210, 104}, {StartFace + 12, 112}}}},
        {.caption = "Nella roccia sporgente si apre una frattura",
         .notch = Slab,
         .crack = true,
         .spray = 0.8,
         .labels = {{"frattura", {214, 96}, {StartFace + Slab + 1, 100}}}},
        {.caption = "La parete sporgente crolla in mare",
         .notch = Slab,
         .debris = Debris::Falling,
         .fallen = Slab,
         .spray = 0.6},
        {.caption = "I blocchi crollati cadono ai piedi della falesia",
         .debris = Debris::Blocks,
         .fallen = Slab,
         .spray = 0.7},
        {.caption = "Le onde frantumano i blocchi", .debris = Debris::Broken, .fallen = Slab, .spray = 0.9},
        {.caption = "I detriti sono portati via: resta una piattaforma",
         .debris = Debris::Pebbles,
         .fallen = Slab,
         .spray = 0.6,
         .labels = {{"piattaforma d'abrasione", {92, 196}, {StartFace + 14, 159}}}},
        {.caption = "Le onde tornano a scavare la base", .face = Second, .notch = 9, .spray = 0.9},
        {.caption = "Il nuovo solco si approfondisce", .face = Second, .notch = 21, .spray = 0.8},
        {.caption = "La parete sporgente si spacca",
         .face = Second,
         .notch = Slab,
         .crack = true,
         .spray = 0.7},
        {.caption = "La parete crolla di nuovo",
         .face = Second,
         .notch = Slab,
         .debris = Debris::Falling,
         .fallen = Slab,
         .spray = 0.6},
        {.caption = "Le onde demoliscono i blocchi",
         .face = Second,
         .debris = Debris::Broken,
         .fallen = Slab,
         .spray = 0.9,
         .original = true},
        {.caption = "La piattaforma d'abrasione si allarga",
         .face = Second,
         .debris = Debris::Pebbles,
         .fallen = Slab,
         .spray = 0.6,
         .original = true,
         .labels = {{"piattaforma d'abrasione", {92, 196}, {StartFace + 30, 159}}}},
        {.caption = "La falesia arretra verso l'interno",
         .face = Second,
         .debris = Debris::Pebbles,
         .fallen = Slab,
         .spray = 0.5,
         .original = true,
         .labels = {{"falesia all'inizio", {72, 78}, {StartFace - 1, 90}}},
         .arrows = {QLineF(StartFace + 4, 96, Second + Slab - 4, 96)}},
    };
    return list;
}

} // namespace

QList<Drawing> fales()
{
    QList<Drawing> out;
    int number = 1;
    for (const Step &step : steps()) {
        const int index = number - 1;
        out.append({QStringLiteral("fales%1.jpg").arg(number++),
                    [&step, index](QPainter &p) { Coast(step, index).paint(p); }});
    }
    return out;
}

} // namespace frames
