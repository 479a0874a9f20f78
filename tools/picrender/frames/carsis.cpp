// Sequence 4, "Fenomeni carsici": a limestone plateau cut open as a block
// diagram. Acid rain sinks into the fractures, dissolves cavities where they
// meet, opens a doline, joins the cavities into a cave with a river, decorates
// it with stalactites and stalagmites; then the vault thins and falls in, and at
// last the plateau is levelled and a river flows at the surface again.

#include "draw.h"
#include "frames.h"
#include "palette.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace frames {

namespace {

using namespace palette;
using namespace draw;

// The caption band's top edge.
constexpr double CaptionTop = FrameSize.height() - ShortCaption.height;

// ---------------------------------------------------------------- the scene --

// The block's top face is the front profile pushed back by this offset.
const QPointF Depth(30, -14);
constexpr double PlateauY = 94;   // plateau surface on the front face at the start
constexpr double PlainY = 168;    // where the levelled surface ends up
constexpr double CaveX = 166;     // axis of the cave and of the later river
constexpr double CaveMid = 170;   // level of the cave's widest point
constexpr double FloorY = 176;    // floor of the open depression
constexpr double DolineX = 52;

// Where the fractures cross: the water lingers there and hollows the rock first.
const QPointF Sites[] = {{104, 156}, {166, 174}, {222, 150}};

const QList<QPolygonF> &fractures()
{
    static const QList<QPolygonF> list{
        QPolygonF{{18, 90}, {12, 230}},
        QPolygonF{{DolineX, 90}, Sites[0], {116, 230}},
        QPolygonF{{150, 90}, Sites[1], {170, 230}},
        QPolygonF{{250, 90}, Sites[2], {214, 230}},
        QPolygonF{{286, 90}, {292, 230}},
        QPolygonF{{-5, 136}, Sites[0], Sites[1], Sites[2], {305, 122}},
    };
    return list;
}

struct Label
{
    const char *text;
    QPointF at;            // centre of the label
    QPointF target = {};   // what it names, if it needs pointing at
};

// One step of the story. Every quantity grows from 0 to 1 over its stage.
struct Step
{
    const char *caption;
    double rain = 1;      // how hard it rains
    bool co2 = false;     // show where the carbon dioxide comes from
    double seep = 0;      // how deep the water has gone into the fractures
    double widen = 0;     // fractures widened by solution
    double cavity = 0;    // spindle-shaped cavities where fractures meet
    double doline = 0;    // the doline and its swallow hole
    double channel = 0;   // the cavities joined by channels
    double cave = 0;      // the cave with its river
    double speleo = 0;    // stalactites and stalagmites (1 = they meet)
    double thin = 0;      // the vault grows thin
    int collapse = 0;     // 0 intact, 1 cracked, 2 falling, 3 fallen
    double level = 0;     // the plateau worn down to a plain
    QList<Label> labels = {};
    QList<QLineF> arrows = {};
};

class Karst
{
public:
    explicit Karst(const Step &s) : s(s) {}

    void paint(QPainter &p) const
    {
        paintSky(p);
        paintTopFace(p);
        paintTrees(p);
        paintFrontFace(p);
        paintRubble(p);
        for (const QLineF &a : s.arrows)
            arrow(p, a.p1(), a.p2(), SlimArrow);
        if (s.co2)
            paintCo2(p);
        for (const Label &l : s.labels)
            label(p, QString::fromUtf8(l.text), l.at, l.target.isNull() ? QList<QPointF>() : QList{l.target},
                  LightLabel);
        caption(p, QString::fromUtf8(s.caption), ShortCaption);
        border(p);
    }

private:
    const Step &s;

    bool open() const { return s.collapse >= 2; }

    // Size of the cave void: it grows, then its vault rises as it thins.
    double caveRadius() const { return lerp(30, 70, s.cave); }
    double caveHeight() const { return lerp(16, 50, s.cave) + 12 * s.thin; }

    // Surface of the block along the front face, without the doline (which is
    // round, so it is drawn apart rather than pushed back with the rest).
    double baseY(double x) const
    {
        double y = lerp(PlateauY, PlainY, s.level);
        // Solution from above lowers the ground over the thinning vault.
        y += 8 * s.thin * (1 - s.level) * (1 - smoothstep(40, 90, std::abs(x - CaveX)));
        if (open()) {
            const double walls = lerp(10, 70, s.level);
            const double inside = 1 - smoothstep(62, 62 + walls, std::abs(x - CaveX));
            y = std::max(y, lerp(y, FloorY, inside));
            // The former underground river keeps its bed on the floor.
            const double dr = (x - CaveX) / 15;
            if (std::abs(dr) < 1)
                y += 9 * (1 - dr * dr);
        }
        return y;
    }

    double dolineDepth() const { return 16 * s.doline * (1 - s.level); }
    double dolineRadius() const { return lerp(10, 30, s.doline); }

    double frontY(double x) const
    {
        double y = baseY(x);
        const double r = dolineRadius(), d = (x - DolineX) / r;
        if (dolineDepth() > 0 && std::abs(d) < 1)
            y += dolineDepth() * (1 - d * d) * (1 - d * d);
        return y;
    }

    double riverLevel() const { return baseY(CaveX) - 6; }

    QPolygonF profile(bool withDoline) const
    {
        QPolygonF line;
        for (double x = -40; x <= 340; x += 2)
            line << QPointF(x, withDoline ? frontY(x) : baseY(x));
        return line;
    }

    void paintSky(QPainter &p) const
    {
        sky(p, QRectF(0, 0, 300, CaptionTop), 180);

        // Rain clouds along the top, grey below and lit on top.
        QList<QRectF> puffs;
        for (int i = 0; i < 9; ++i) {
            const double r = 16 + 8 * hash01(i, 3);
            puffs << ellipseBox(QPointF(-10 + i * 40 + 10 * hash01(i, 4), 6 + 6 * hash01(i, 5)), r * 1.5, r);
        }
        cloudBank(p, puffs, mix(Gravel, Foam, 0.35), mix(Gravel, Foam, 0.7));

        // Rain: a fixed pattern of streaks, denser when it rains harder.
        const int drops = int(70 * s.rain);
        p.save();
        p.setPen(QPen(mix(WaterDeep, SkyTop, 0.2), 1.1, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < drops; ++i) {
            const double x = hash01(i, 1) * 330 - 10, y = 22 + hash01(i, 2) * 190;
            p.drawLine(QPointF(x, y), QPointF(x - 2, y + 7));
        }
        p.restore();
    }

    // The top face: each stretch of the profile pushed back, coloured by slope.
    // Walls that face away from the viewer go first so that the rest covers them.
    void paintTopFace(QPainter &p) const
    {
        const QPolygonF line = profile(false);
        // Red earth shows through while the land is worn down; grass covers it again at last.
        const QColor ground = mix(Grass, RedEarth, 1.6 * s.level * (1 - s.level));
        p.save();
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i + 1 < line.size(); ++i) {
                const QPointF a = line[i], b = line[i + 1];
                const double slope = (b.y() - a.y()) / (b.x() - a.x());
                const bool facingAway = slope < -0.35;
                if (facingAway != (pass == 0))
                    continue;
                QColor c = ground;
                if (slope > 0.35)
                    c = mix(LimestoneShade, Bedding, 0.3);
                else if (facingAway)
                    c = Limestone;
                p.setPen(QPen(c, 1));
                p.setBrush(c);
                p.drawPolygon(QPolygonF{a, b, b + Depth, a + Depth});
            }
        }
        if (open()) {
            // The river, running away from the viewer along the old cave's course.
            const double wl = riverLevel();
            double xl = CaveX - 15, xr = CaveX + 15;
            while (baseY(xl) < wl)
                xl += 0.5;
            while (baseY(xr) < wl)
                xr -= 0.5;
            p.setPen(QPen(Water, 1));
            p.setBrush(Water);
            p.drawPolygon(QPolygonF{{xl, wl}, {xr, wl}, QPointF(xr, wl) + Depth, QPointF(xl, wl) + Depth});
            p.setPen(QPen(WaterLight, 1.2, Qt::SolidLine, Qt::RoundCap));
            for (double t : {0.3, 0.65})
                p.drawLine(QPointF(xl + 4, wl) + Depth * t, QPointF(xr - 6, wl) + Depth * (t + 0.08));
        }
        QPolygonF back = line.translated(Depth);
        if (open())
            for (QPointF &pt : back)
                pt.setY(std::min(pt.y(), riverLevel() + Depth.y()));
        p.setPen(outlinePen());
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(back);
        p.restore();
        paintDolineBowl(p);
    }

    // The back half of the doline's funnel, seen on the top face and through
    // the notch that the front face cuts in it.
    void paintDolineBowl(QPainter &p) const
    {
        if (dolineDepth() <= 0)
            return;
        const double r = dolineRadius(), y0 = baseY(DolineX);
        const QPointF centre(DolineX, y0), back = Depth * (r / 50);
        QPainterPath bowl;
        bowl.moveTo(centre + QPointF(r, 0));
        for (int i = 1; i <= 24; ++i) {
            const double a = M_PI * i / 24;
            bowl.lineTo(centre + QPointF(r * std::cos(a), 0) + back * std::sin(a));
        }
        for (double x = DolineX - r; x <= DolineX + r; x += 1)
            bowl.lineTo(x, frontY(x) + 1);
        bowl.closeSubpath();
        QLinearGradient shade(centre + back, centre + QPointF(0, dolineDepth()));
        shade.setColorAt(0, mix(Grass, Limestone, 0.25));
        shade.setColorAt(0.6, mix(Grass, GrassDark, 0.6));
        shade.setColorAt(1, RedEarth);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPath(bowl);
        QPainterPath rim(centre + QPointF(r, 0));
        for (int i = 1; i <= 24; ++i) {
            const double a = M_PI * i / 24;
            rim.lineTo(centre + QPointF(r * std::cos(a), 0) + back * std::sin(a));
        }
        p.setPen(outlinePen(1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(rim);
        p.restore();
    }

    QPainterPath section() const
    {
        QPainterPath path;
        path.addPolygon(profile(true));
        path.lineTo(340, 260);
        path.lineTo(-40, 260);
        path.closeSubpath();
        return path;
    }

    // A spindle: a lens pointed at both ends, laid along the fracture.
    static QPainterPath spindle(QPointF c, QPointF dir, double length, double width)
    {
        const QPointF u = dir / std::hypot(dir.x(), dir.y()), n(-u.y(), u.x());
        const QPointF a = c - u * length / 2, b = c + u * length / 2;
        QPainterPath path(a);
        path.cubicTo(c - u * length / 4 + n * width, c + u * length / 4 + n * width, b);
        path.cubicTo(c + u * length / 4 - n * width, c - u * length / 4 - n * width, a);
        path.closeSubpath();
        return path;
    }

    QPainterPath archPath() const
    {
        const double r = caveRadius(), h = caveHeight();
        QPainterPath arch;
        arch.moveTo(CaveX + r, CaveMid);
        arch.arcTo(QRectF(CaveX - r, CaveMid - h, 2 * r, 2 * h), 0, 180);
        arch.quadTo(CaveX, CaveMid + 20, CaveX + r, CaveMid);
        arch.closeSubpath();
        return arch;
    }

    double roofY(double x) const
    {
        const double d = (x - CaveX) / caveRadius();
        return CaveMid - caveHeight() * std::sqrt(std::max(0.0, 1 - d * d));
    }

    double caveFloorY(double x) const
    {
        const double d = (x - CaveX) / caveRadius();
        return CaveMid + 10 * (1 - d * d);
    }

    // Everything the water has hollowed out below ground, while it is still closed.
    QPainterPath voids() const
    {
        QPainterPath all;
        if (s.cavity > 0) {
            const QPointF dirs[] = {{62, 18}, {56, 1}, {83, -28}};
            for (int i = 0; i < 3; ++i)
                all = all.united(spindle(Sites[i], dirs[i], lerp(6, 30, s.cavity), lerp(1.5, 7, s.cavity)));
        }
        if (s.channel > 0) {
            QPainterPathStroker stroker;
            stroker.setWidth(lerp(4, 10, s.channel));
            stroker.setCapStyle(Qt::RoundCap);
            stroker.setJoinStyle(Qt::RoundJoin);
            for (int i = 0; i < 2; ++i) {
                // Each channel grows from both ends and meets in the middle.
                const QPointF a = Sites[i], b = Sites[i + 1], m = (a + b) / 2;
                const double reach = std::min(1.0, s.channel * 1.2);
                for (const auto &[from, to] : {std::pair{a, m}, std::pair{b, m}}) {
                    QPainterPath link(from);
                    link.lineTo(from + (to - from) * reach);
                    all = all.united(stroker.createStroke(link));
                }
            }
        }
        if (s.cave > 0)
            all = all.united(archPath());
        return all;
    }

    void paintFrontFace(QPainter &p) const
    {
        const QPainterPath rock = section();
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(Limestone);
        p.drawPath(rock);
        p.setClipPath(rock);

        // Bedding planes of the limestone.
        p.setPen(QPen(Bedding, 1));
        for (double y = 106; y < CaptionTop; y += 13)
            p.drawLine(QPointF(0, y), QPointF(300, y + 2));

        // Fractures: hairlines at first, then widened by the acid water.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(mix(Bedding, RockDark, 0.6), 1 + 2 * s.widen, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        for (const QPolygonF &f : fractures())
            p.drawPolyline(f);
        if (s.seep > 0) {
            p.save();
            p.setClipRect(QRectF(0, 0, 300, lerp(PlateauY, 226, s.seep)), Qt::IntersectClip);
            p.setPen(QPen(Water, 1.6 + 1.6 * s.widen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            for (const QPolygonF &f : fractures())
                p.drawPolyline(f);
            p.restore();
        }

        // The clay left behind by the dissolved limestone, and thin soil on top.
        const QPolygonF top = profile(true);
        p.setPen(QPen(Soil, 5 + 5 * s.level, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (s.level > 0)
            p.setPen(QPen(RedEarth, 5 + 7 * s.level, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(top);
        if (dolineDepth() > 0)
            paintDolineFloor(p);

        if (!open())
            paintCave(p);
        p.restore();
        if (open())
            paintRiverSection(p);

        p.save();
        p.setPen(outlinePen());
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(top);
        p.restore();
    }

    // Red earth gathers on the floor of the doline; the swallow hole below it
    // leads the water down the fracture.
    void paintDolineFloor(QPainter &p) const
    {
        const double bottom = frontY(DolineX);
        const double r = dolineRadius() * 0.45;
        QPainterPath clay;
        clay.moveTo(DolineX - r, frontY(DolineX - r));
        for (double x = DolineX - r; x <= DolineX + r; x += 1)
            clay.lineTo(x, frontY(x));
        clay.quadTo(DolineX, bottom + 6 * s.doline, DolineX - r, frontY(DolineX - r));
        p.setPen(Qt::NoPen);
        p.setBrush(RedEarth);
        p.drawPath(clay);
        if (s.doline >= 0.8) {
            // The swallow hole: a dark throat through the clay into the fracture.
            QPainterPath throat;
            throat.moveTo(DolineX - 2.5, bottom - 1);
            throat.lineTo(DolineX + 2.5, bottom - 1);
            throat.lineTo(DolineX + 6, bottom + 10);
            throat.lineTo(DolineX + 2, bottom + 10);
            throat.closeSubpath();
            p.setBrush(mix(RockDark, Outline, 0.5));
            p.drawPath(throat);
            p.setPen(QPen(Water, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(DolineX - 10, bottom - 4), QPointF(DolineX, bottom));
            p.drawLine(QPointF(DolineX + 10, bottom - 4), QPointF(DolineX, bottom));
            p.drawLine(QPointF(DolineX, bottom), QPointF(DolineX + 4, bottom + 9));
        }
    }

    void paintCave(QPainter &p) const
    {
        const QPainterPath hollow = voids().intersected(section());
        if (hollow.isEmpty())
            return;
        QLinearGradient dark(0, CaveMid - caveHeight(), 0, CaveMid + 8);
        dark.setColorAt(0, mix(RockDark, Outline, 0.4));
        dark.setColorAt(1, mix(LimestoneShade, RockDark, 0.6));
        p.setPen(outlinePen());
        p.setBrush(dark);
        p.drawPath(hollow);

        // Water runs along the lowest part of every hollow.
        p.save();
        p.setClipPath(hollow, Qt::IntersectClip);
        p.setPen(Qt::NoPen);
        p.setBrush(Water);
        if (s.cave > 0) {
            p.drawRect(QRectF(0, CaveMid + 1, 300, 40));
            p.setPen(QPen(WaterLight, 1.2));
            p.drawLine(QPointF(CaveX - 20, CaveMid + 2.5), QPointF(CaveX + 12, CaveMid + 2.5));
        } else {
            for (const QPointF &c : Sites)
                p.drawRect(QRectF(c.x() - 40, c.y() + 1, 80, 20));
            if (s.channel > 0)
                p.drawRect(QRectF(110, Sites[1].y() - 2, 110, 20));
        }
        p.restore();
        p.setPen(outlinePen());
        p.setBrush(Qt::NoBrush);
        p.drawPath(hollow);

        if (s.speleo > 0)
            paintSpeleothems(p);
        if (s.collapse == 1 || s.thin > 0)
            paintCracks(p);
    }

    // Calcite hangs from the vault where drops fall and grows up where they land.
    void paintSpeleothems(QPainter &p) const
    {
        struct Dripstone { double dx, length; bool floorToo; };
        const Dripstone stones[] = {{-48, 1.0, true}, {-34, 0.55, false}, {-8, 0.35, false},
                                    {26, 0.5, false}, {42, 0.9, true}, {54, 0.45, true}};
        const QColor calcite = mix(Limestone, Foam, 0.45);
        p.save();
        p.setPen(outlinePen(1));
        p.setBrush(calcite);
        for (const Dripstone &d : stones) {
            const double x = CaveX + d.dx;
            const double top = roofY(x) - 2, bottom = caveFloorY(x) + 1;
            const double gap = bottom - top;
            const double hang = std::min(1.0, s.speleo) * d.length * gap * 0.55;
            const double rise = d.floorToo ? std::min(1.0, s.speleo) * gap * 0.45 : 0;
            if (s.speleo >= 1 && d.floorToo && d.length >= 0.9) {
                // Stalactite and stalagmite have met: one column, narrow where they joined.
                QPainterPath down;
                down.addPolygon(QPolygonF{{x - 3.5, top}, {x + 3.5, top}, {x + 1, top + gap * 0.62},
                                          {x - 1, top + gap * 0.62}});
                QPainterPath up(QPointF(x - 6, bottom));
                up.quadTo(x - 2, bottom - gap * 0.3, x - 1.5, bottom - gap * 0.5);
                up.lineTo(x + 1.5, bottom - gap * 0.5);
                up.quadTo(x + 2, bottom - gap * 0.3, x + 6, bottom);
                up.closeSubpath();
                p.drawPath(down.united(up));
                continue;
            }
            if (hang > 1)
                p.drawPolygon(QPolygonF{{x - 3, top}, {x + 3, top}, {x, top + hang}});
            if (rise > 1) {
                QPainterPath mound(QPointF(x - 5, bottom));
                mound.quadTo(x - 3, bottom - rise, x, bottom - rise);
                mound.quadTo(x + 3, bottom - rise, x + 5, bottom);
                mound.closeSubpath();
                p.drawPath(mound);
            }
            if (s.speleo < 1 && hang > 1) {
                // A drop about to fall from the tip.
                p.save();
                p.setPen(Qt::NoPen);
                p.setBrush(Water);
                p.drawEllipse(QPointF(x, top + hang + 3), 1.4, 1.8);
                p.restore();
            }
        }
        p.restore();
    }

    void paintCracks(QPainter &p) const
    {
        if (s.collapse != 1)
            return;
        p.save();
        p.setPen(QPen(Outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (double x : {CaveX - 42, CaveX - 4, CaveX + 34}) {
            const double top = baseY(x), bottom = roofY(x) + 1;
            p.drawPolyline(QPolygonF{{x, top}, {x + 3, lerp(top, bottom, 0.3)},
                                     {x - 2, lerp(top, bottom, 0.6)}, {x + 2, bottom}});
        }
        p.restore();
    }

    // After the collapse the river runs in the open, in its old bed.
    void paintRiverSection(QPainter &p) const
    {
        const double wl = riverLevel();
        QPainterPath water;
        water.moveTo(CaveX - 20, wl);
        for (double x = CaveX - 20; x <= CaveX + 20; x += 1)
            water.lineTo(x, std::max(wl, baseY(x)));
        water.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Water);
        p.drawPath(water);
        p.setPen(QPen(WaterLight, 1.2));
        p.drawLine(QPointF(CaveX - 8, wl + 1.5), QPointF(CaveX + 6, wl + 1.5));
    }

    // The roof's blocks: falling in one frame, lying on the floor afterwards and
    // slowly dissolved as the land is worn down.
    void paintRubble(QPainter &p) const
    {
        if (!open() || s.level >= 1)
            return;
        struct Block { QPolygonF shape; double fallX, fallY, turn; };
        static const QList<Block> blocks{
            {QPolygonF{{-16, -9}, {15, -11}, {17, 8}, {-14, 10}}, -42, 140, -25},
            {QPolygonF{{-13, -8}, {14, -9}, {13, 9}, {-15, 7}}, -20, 122, 12},
            {QPolygonF{{-12, -10}, {12, -8}, {11, 10}, {-11, 9}}, 24, 126, -14},
            {QPolygonF{{-15, -9}, {16, -8}, {14, 10}, {-16, 8}}, 46, 140, 30},
        };
        // Where each block comes to rest, clear of the river bed.
        const QPointF rest[] = {{CaveX - 44, FloorY - 7}, {CaveX - 25, FloorY - 6},
                                {CaveX + 26, FloorY - 7}, {CaveX + 47, FloorY - 7}};
        const double restTurn[] = {-8, 15, -12, 6};
        const double shrink = 1 - s.level;
        p.save();
        p.setPen(outlinePen(1.2));
        for (int i = 0; i < blocks.size(); ++i) {
            const Block &b = blocks[i];
            QTransform t;
            if (s.collapse == 2) {
                t.translate(CaveX + b.fallX, b.fallY);
                t.rotate(b.turn);
            } else {
                t.translate(rest[i].x(), rest[i].y() + 8 * s.level);
                t.rotate(restTurn[i]);
                t.scale(shrink, shrink);
            }
            const QPolygonF shape = t.map(b.shape);
            p.setBrush(Limestone);
            p.drawPolygon(shape);
            p.save();
            p.setPen(QPen(Bedding, 1));
            p.drawLine(t.map(QPointF(-12, 1)), t.map(QPointF(12, 0)));
            p.restore();
        }
        p.restore();
        if (s.collapse == 2) {
            // Dust and fragments in the air around the falling vault.
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(mix(LimestoneShade, Gravel, 0.5));
            for (int i = 0; i < 16; ++i)
                p.drawEllipse(QPointF(CaveX - 60 + hash01(i, 7) * 120, 112 + hash01(i, 8) * 60),
                              1.5, 1.5);
            p.restore();
        }
    }

    // Carbon dioxide from the air and from the soil makes the rain acid.
    void paintCo2(QPainter &p) const
    {
        label(p, QStringLiteral(u"CO\u2082 dell'aria"), QPointF(70, 44), {QPointF(84, 64)}, LightLabel);
        label(p, QStringLiteral(u"CO\u2082 del suolo"), QPointF(206, 128), {QPointF(206, 98)}, LightLabel);
    }

    // A few trees on the top face; they ride down with the ground as it is worn away.
    void paintTrees(QPainter &p) const
    {
        p.save();
        for (const auto &[x, depth] : {std::pair{14.0, 0.5}, std::pair{34.0, 0.75}, std::pair{278.0, 0.55}}) {
            const QPointF foot = QPointF(x, baseY(x)) + Depth * depth;
            p.setPen(QPen(Trunk, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(foot, foot - QPointF(0, 8));
            p.setPen(outlinePen(1));
            p.setBrush(GrassDark);
            p.drawEllipse(foot - QPointF(0, 13), 5, 6.5);
        }
        p.restore();
    }
};

const QList<Step> &steps()
{
    static const QList<Step> list{
        {.caption = "Un altopiano di calcare stratificato e fratturato",
         .rain = 0.35,
         .labels = {{"calcare", {84, 140}}, {"fratture", {200, 134}, {233, 128}}}},
        {.caption = "La CO\u2082 dell'aria e del suolo rende acida l'acqua", .co2 = true, .seep = 0.03},
        {.caption = "L'acqua acida penetra nelle fratture",
         .seep = 0.3,
         .widen = 0.1,
         .arrows = {QLineF(145, 104, 148, 122), QLineF(251, 104, 244, 122)}},
        {.caption = "Scende in profondità e allarga le fratture",
         .seep = 0.75,
         .widen = 0.35,
         .arrows = {QLineF(76, 126, 87, 143)}},
        {.caption = "Dove le fratture si incrociano, il calcare si scioglie",
         .seep = 1,
         .widen = 0.5,
         .cavity = 0.25},
        {.caption = "Si formano piccole cavità a forma di fuso",
         .seep = 1,
         .widen = 0.55,
         .cavity = 0.65,
         .labels = {{"cavità a fuso", {66, 190}, {94, 160}}}},
        {.caption = "In superficie si apre una dolina",
         .seep = 1,
         .widen = 0.6,
         .cavity = 0.8,
         .doline = 0.5,
         .labels = {{"dolina", {52, 72}, {52, 96}}}},
        {.caption = "L'inghiottitoio porta l'acqua sotto terra",
         .seep = 1,
         .widen = 0.65,
         .cavity = 1,
         .doline = 1,
         .labels = {{"dolina", {36, 70}, {44, 94}}, {"inghiottitoio", {110, 126}, {58, 118}},
                    {"terra rossa", {40, 150}, {48, 114}}}},
        {.caption = "Le cavità crescono e si uniscono in canali",
         .seep = 1,
         .widen = 0.7,
         .cavity = 1,
         .doline = 1,
         .channel = 0.5},
        {.caption = "I canali si allargano: l'acqua scorre sotto terra",
         .seep = 1,
         .widen = 0.75,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .labels = {{"canali", {150, 130}, {138, 162}}}},
        {.caption = "Si forma una grotta con un fiume sotterraneo",
         .seep = 1,
         .widen = 0.8,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .cave = 0.45,
         .labels = {{"grotta", {166, 118}, {166, 146}}, {"fiume sotterraneo", {222, 200}, {178, 176}}}},
        {.caption = "La grotta si allarga sempre di più",
         .seep = 1,
         .widen = 0.85,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .cave = 1,
         .labels = {{"grotta", {166, 142}}}},
        {.caption = "Dalla volta gocciola acqua che deposita calcare",
         .seep = 1,
         .widen = 0.85,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .cave = 1,
         .speleo = 0.25},
        {.caption = "Crescono stalattiti e stalagmiti",
         .seep = 1,
         .widen = 0.85,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .cave = 1,
         .speleo = 0.7,
         .labels = {{"stalattite", {254, 112}, {209, 134}}, {"stalagmite", {254, 200}, {212, 168}}}},
        {.caption = "Stalattiti e stalagmiti si uniscono in colonne",
         .seep = 1,
         .widen = 0.85,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .cave = 1,
         .speleo = 1,
         .labels = {{"colonna", {82, 200}, {117, 160}}}},
        {.caption = "In tempi lunghissimi la volta si assottiglia",
         .seep = 1,
         .widen = 0.9,
         .cavity = 1,
         .doline = 1,
         .channel = 1,
         .cave = 1,
         .speleo = 1,
         .thin = 1,
         .collapse = 1},
        {.caption = "La volta della grotta crolla",
         .seep = 1,
         .widen = 0.9,
         .doline = 1,
         .thin = 1,
         .collapse = 2},
        {.caption = "Al posto della grotta una valle: sul fondo il fiume",
         .seep = 1,
         .widen = 0.9,
         .doline = 1,
         .thin = 1,
         .collapse = 3,
         .labels = {{"fiume", {166, 140}, {166, 176}}}},
        {.caption = "Il calcare si scioglie e tutto il rilievo si abbassa",
         .seep = 1,
         .widen = 0.9,
         .doline = 1,
         .thin = 1,
         .collapse = 3,
         .level = 0.35,
         .labels = {{"terra rossa", {60, 160}, {60, 128}}}},
        {.caption = "I rilievi carsici sono quasi spianati",
         .seep = 1,
         .widen = 0.9,
         .doline = 1,
         .thin = 1,
         .collapse = 3,
         .level = 0.7},
        {.caption = "Il rilievo è spianato: in superficie scorre un fiume",
         .rain = 0.35,
         .seep = 1,
         .widen = 0.9,
         .doline = 1,
         .thin = 1,
         .collapse = 3,
         .level = 1,
         .labels = {{"fiume", {166, 138}, {170, 170}}}},
    };
    return list;
}

} // namespace

QList<Drawing> carsis()
{
    // Played as carsis09 ... carsis18, carsis20 ... carsis30: there is no 19.
    QList<Drawing> out;
    int number = 9;
    for (const Step &step : steps()) {
        if (number == 19)
            ++number;
        out.append({QStringLiteral("carsis%1.jpg").arg(number++, 2, 10, QLatin1Char('0')),
                    [&step](QPainter &p) { Karst(step).paint(p); }});
    }
    return out;
}

} // namespace frames
