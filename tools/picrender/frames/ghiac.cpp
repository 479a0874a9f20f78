// Sequence 5, "I ghiacciai": a mountain valley as a block diagram, its front
// face a cross-section. A river valley shaped like a V; the climate cools, snow
// gathers and a glacier flows down and fills the valley, scraping it into a U
// and tearing away the blocks it freezes onto; the climate warms, the glacier melts back
// and leaves moraines, a lake behind the frontal moraine, smoothed rocks and a
// side valley hanging above the main one.

#include "draw.h"
#include "frames.h"
#include "palette.h"

#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace frames {

namespace {

using namespace palette;
using namespace draw;

// The caption band's top edge.
constexpr double CaptionTop = FrameSize.height() - ShortCaption.height;

// A smooth bump of height 1 at `centre`, falling away over about `width`.
double bell(double x, double centre, double width)
{
    const double d = (x - centre) / width;
    return std::exp(-d * d);
}

// ---------------------------------------------------------------- the land --

// The block spans x 0..100 across the valley and z 0..100 up it (z = 0 is the
// front face); heights h are in the same units. Oblique projection: the valley
// climbs away towards the upper right.
QPointF project(double x, double z, double h)
{
    return {6 + 1.85 * x + 0.95 * z, 212 - 1.35 * h - 0.6 * z};
}

constexpr double Axis = 50;        // the valley's axis
constexpr double MoraineZ = 30;    // where the retreating front halts
constexpr double SideZ = 74;       // axis of the side valley (on the left)
constexpr double SideMouth = 38;   // where the side valley opens into the main one
constexpr double NoGlacier = 130;  // snout position meaning "no glacier"

struct Label
{
    enum Where { Surface, Bed };
    const char *text;
    QPointF at;                // centre of the label, in the frame
    QPointF target = {};       // what it names, at (x, z): a point on the surface
    Where where = Surface;     // (ice, water or ground) or on the rock under the ice
};

// One step of the story.
struct Step
{
    const char *caption;
    double cold = 0;            // 0 mild climate, 1 ice age
    bool snowing = false;
    double snout = NoGlacier;   // z of the glacier's front
    double erosion = 0;         // 0 the river's V, 1 the glacier's U
    double frontal = 0;         // frontal moraine
    double lateral = 0;         // lateral moraines left on the valley sides
    double lake = 0;            // lake behind the frontal moraine
    bool boulders = false;      // debris riding on the ice
    bool frost = false;         // blocks torn from the walls by the ice
    bool abrasion = false;      // the ice scraping floor and sides
    bool polished = false;      // smoothed, scratched rocks on the bared floor
    bool waterfall = false;     // the side valley pours into the main one
    QList<Label> labels = {};
    QList<QLineF> arrows = {};  // from (x, z) to (x, z), drawn on the surface
};

enum class Cover { Rock, Grass, Snow, Ice, Debris, Bare, Water, Polished };

struct Cell
{
    double h;
    Cover cover;
};

class Valley
{
public:
    Valley(const Step &s, int index) : s(s), index(index) {}

    void paint(QPainter &p) const
    {
        paintSky(p);
        paintSurface(p);
        paintSideFace(p);
        paintFrontFace(p);
        if (s.polished)
            paintScratches(p);
        if (hasGlacier())
            paintCrevasses(p);
        if (s.boulders)
            paintBoulders(p);
        if (s.abrasion)
            paintAbrasion(p);
        if (s.frost)
            paintFrost(p);
        if (s.waterfall)
            paintWaterfall(p);
        for (const QLineF &a : s.arrows)
            arrow(p, onSurface(a.p1()), onSurface(a.p2()), SlimArrow);
        paintThermometer(p);
        for (const Label &l : s.labels) {
            const double x = l.target.x(), z = l.target.y();
            const QList<QPointF> tips = l.target.isNull()        ? QList<QPointF>()
                                        : l.where == Label::Surface ? QList{onSurface(l.target)}
                                                                    : QList{project(x, z, ground(x, z))};
            label(p, QString::fromUtf8(l.text), l.at, tips, LightLabel);
        }
        caption(p, QString::fromUtf8(s.caption), ShortCaption);
        border(p);
    }

private:
    const Step &s;
    int index;

    bool hasGlacier() const { return s.snout < 100; }

    // ------------------------------------------------------------ heights --

    static double riverFloor(double z) { return 22 + 0.2 * z; }
    static double crest(double z) { return 58 + 0.1 * z; }

    // The glacier digs deeper than the river did, most of all in a basin
    // just above where its front will halt.
    static double glacierFloor(double z) { return riverFloor(z) - 11 - 5 * bell(z, 46, 13); }

    static double peaks(double x, double z)
    {
        struct Peak { double x, z, h, r; };
        static const Peak list[] = {{6, 88, 20, 11},  {24, 100, 16, 10}, {88, 84, 22, 12}, {70, 102, 14, 9},
                                    {96, 40, 10, 12}, {2, 46, 9, 12},    {14, 20, 5, 10},  {92, 10, 6, 10}};
        double sum = 0;
        for (const Peak &k : list)
            sum += k.h * std::exp(-((x - k.x) * (x - k.x) + (z - k.z) * (z - k.z)) / (k.r * k.r));
        return sum;
    }

    // Floor of the side valley: it meets the main river a little above its bed.
    double sideFloor(double x) const
    {
        return riverFloor(SideZ) + 5 + 0.45 * std::max(0.0, SideMouth - x) - 2 * s.erosion;
    }

    // Bedrock: a V cut by the river, widened into a U where the ice has worked.
    double rock(double x, double z) const
    {
        const double d = std::abs(x - Axis);
        const double top = crest(z) + peaks(x, z) * smoothstep(28, 44, d);
        const double v = riverFloor(z) + (top - riverFloor(z)) * std::min(1.0, d / 40);
        const double u = glacierFloor(z) + (top - glacierFloor(z)) * std::pow(std::min(1.0, d / 39), 2.4);
        double h = v - s.erosion * std::max(0.0, v - u);

        // The side valley, carved by a smaller stream and later a smaller glacier.
        if (x < SideMouth + 8) {
            const double floor = sideFloor(x);
            const double side = floor + (crest(SideZ) - floor) * std::min(1.0, std::abs(z - SideZ) / 13);
            h = std::min(h, side);
        }
        return h + 5 * s.erosion * humps(x, z);
    }

    // Rounded rock humps the ice has smoothed, on the valley floor near the front.
    static constexpr QPointF Humps[] = {{41, 14}, {59, 8}};
    static double humps(double x, double z)
    {
        double sum = 0;
        for (const QPointF &c : Humps)
            sum += bell(x, c.x(), 4) * bell(z, c.y(), 4.5);
        return sum;
    }

    double moraine(double x, double z) const
    {
        const double d = std::abs(x - Axis);
        double m = 0;
        // The frontal moraine: an arc across the floor, breached by the river.
        if (s.frontal > 0) {
            const double arc = MoraineZ + 0.012 * d * d;
            const double breach = 1 - 0.8 * bell(x, Axis + 3, 2);
            m += 11 * s.frontal * bell(z, arc, 3.5) * (1 - smoothstep(24, 32, d)) * breach;
        }
        // Lateral moraines: ridges left along the sides at the ice's edge.
        if (s.lateral > 0)
            m += 3.5 * s.lateral * bell(d, 30.5, 1.6) * (1 - smoothstep(60, 76, z));
        return m;
    }

    double ground(double x, double z) const { return rock(x, z) + moraine(x, z); }

    // Top of the ice (below the ground where there is none). The glacier thins
    // to nothing at its front; it is slightly domed across.
    double iceTop(double x, double z) const
    {
        if (!hasGlacier())
            return -1;
        double top = -1;
        const double thick = smoothstep(s.snout, s.snout + 14, z);
        if (thick > 0) {
            const double d = std::abs(x - Axis);
            const double full = riverFloor(z) + 18 + 2 * (1 - std::min(1.0, d * d / 900));
            top = lerp(rock(Axis, z), full, thick);
        }
        // The small side glacier, while the main one covers the mouth of its valley.
        const double across = std::abs(z - SideZ);
        if (s.cold > 0.6 && s.snout < SideZ && x < SideMouth + 4 && across < 12)
            top = std::max(top, sideFloor(x) + 8 * (1 - smoothstep(5, 12, across)));
        return top;
    }

    double lakeLevel() const { return glacierFloor(MoraineZ) + 8.5 * s.lake; }

    bool inLake(double x, double z, double h) const
    {
        return s.lake > 0 && z > MoraineZ && z < s.snout && h < lakeLevel() && std::abs(x - Axis) < 34;
    }

    double snowLine() const { return lerp(92, 51, s.cold); }

    Cell cell(double x, double z) const
    {
        const double g = ground(x, z);
        const double ice = iceTop(x, z);
        if (ice > g + 0.15) {
            // Rock debris gathers along the edges of the ice.
            const double d = std::abs(x - Axis);
            if (ice - g < 2.5 && d > 12 && s.snout < 60)
                return {ice, Cover::Debris};
            return {ice, Cover::Ice};
        }
        if (inLake(x, z, g))
            return {lakeLevel(), Cover::Water};
        const double d = std::abs(x - Axis);
        // The river on the valley floor, downstream of the ice.
        if (std::abs(x - Axis - 1.5 * std::sin(z / 9)) < 0.9 && (!hasGlacier() || z < s.snout) &&
            !(s.frontal > 0 && z > MoraineZ + 3 && s.lake > 0) && d < 5)
            return {g, Cover::Water};
        const double patchy = 4 * (hash01(int(x) * 131 + int(z), 9) - 0.5);
        if (g > snowLine() + patchy)
            return {g, Cover::Snow};
        if (moraine(x, z) > 0.8)
            return {g, Cover::Debris};
        if (s.polished && humps(x, z) > 0.25)
            return {g, Cover::Polished};
        // Ground just left by the ice is still bare.
        if (hasGlacier() && s.cold > 0.25 && d < 30 && g < riverFloor(z) + 12)
            return {g, Cover::Bare};
        if (g < 46 + patchy && (d < 28 || g < 40))
            return {g, Cover::Grass};
        return {g, Cover::Rock};
    }

    double surface(double x, double z) const { return cell(x, z).h; }

    QPointF onSurface(QPointF xz) const { return project(xz.x(), xz.y(), surface(xz.x(), xz.y())); }

    static QColor coverColour(Cover c)
    {
        switch (c) {
        case Cover::Rock: return Rock;
        case Cover::Grass: return mix(Grass, Rock, 0.25);
        case Cover::Snow: return Snow;
        case Cover::Ice: return mix(IceShade, Crevasse, 0.2);
        case Cover::Bare: return mix(Gravel, Grass, 0.3);
        case Cover::Debris: return Gravel;
        case Cover::Water: return Water;
        case Cover::Polished: return mix(Rock, GraniteLight, 0.45);
        }
        return Rock;
    }

    // ----------------------------------------------------------- painting --

    void paintSky(QPainter &p) const
    {
        sky(p, QRectF(0, 0, 300, CaptionTop), 140);
        p.save();
        p.setPen(Qt::NoPen);
        if (s.cold < 0.5) {
            p.setBrush(Sun);
            p.drawEllipse(QPointF(232, 22), 10, 10);
        }
        if (s.snowing) {
            // Snow clouds and flakes.
            QList<QRectF> puffs;
            for (int i = 0; i < 7; ++i)
                puffs << ellipseBox(QPointF(40 + i * 40, 2 + 5 * hash01(i, 3)), 26, 15);
            cloudBank(p, puffs, mix(Gravel, Foam, 0.55));
            p.setBrush(Snow);
            p.setPen(QPen(IceShade, 0.6));
            for (int i = 0; i < 40; ++i)
                p.drawEllipse(QPointF(40 + hash01(i, 1) * 260, 18 + hash01(i, 2) * 80), 1.6, 1.6);
        }
        p.restore();
    }

    // The ground, row by row from the back, each small patch shaded by how it
    // faces the light (from the upper right). The edges of the ice and of the
    // lake are outlined row by row too, so that nearer ground can hide them.
    void paintSurface(QPainter &p) const
    {
        constexpr int N = 100;
        struct Point { Cell c; double ice, lake; };
        std::vector<Point> grid((N + 1) * (N + 1));
        auto at = [&](int i, int j) -> Point & { return grid[j * (N + 1) + i]; };
        for (int j = 0; j <= N; ++j)
            for (int i = 0; i <= N; ++i) {
                const double g = ground(i, j);
                at(i, j) = {cell(i, j), iceTop(i, j) - g - 0.15,
                            s.lake > 0 && j > MoraineZ && j < s.snout ? lakeLevel() - g : -1};
            }

        const double lx = 0.42, ly = 0.84, lz = -0.34;
        p.save();
        for (int j = N - 1; j >= 0; --j) {
            for (int i = 0; i < N; ++i) {
                const Cell &a = at(i, j).c, &b = at(i + 1, j).c, &c = at(i + 1, j + 1).c, &d = at(i, j + 1).c;
                const double dhdx = (b.h + c.h - a.h - d.h) / 2, dhdz = (d.h + c.h - a.h - b.h) / 2;
                const double len = std::sqrt(dhdx * dhdx + dhdz * dhdz + 1);
                const double lit = std::clamp((dhdx * -lx + ly - dhdz * lz) / len, 0.0, 1.0);
                const Cell centre = cell(i + 0.5, j + 0.5);
                const QColor base = coverColour(centre.cover);
                const QColor colour = lit > 0.8 ? mix(base, Foam, (lit - 0.8) * 0.5)
                                                : mix(base, RockDark, (0.8 - lit) * 0.55);
                p.setPen(QPen(colour, 0.8));
                p.setBrush(colour);
                p.drawPolygon(QPolygonF{project(i, j, a.h), project(i + 1, j, b.h),
                                        project(i + 1, j + 1, c.h), project(i, j + 1, d.h)});
                if (centre.cover == Cover::Debris && hash01(i * 1000 + j, 31) < 0.3) {
                    // Stones strewn over moraines and debris bands.
                    p.setPen(Qt::NoPen);
                    p.setBrush(RockDark);
                    p.drawEllipse(project(i + 0.5, j + 0.5, centre.h), 0.9, 0.7);
                }
            }
            p.setBrush(Qt::NoBrush);
            for (int i = 0; i < N; ++i) {
                const Point *corner[4] = {&at(i, j), &at(i + 1, j), &at(i + 1, j + 1), &at(i, j + 1)};
                double ice[4], lake[4];
                for (int k = 0; k < 4; ++k) {
                    ice[k] = corner[k]->ice;
                    lake[k] = corner[k]->lake;
                }
                p.setPen(QPen(mix(Crevasse, Outline, 0.45), 1.2, Qt::SolidLine, Qt::RoundCap));
                for (const QLineF &e : contour(i, j, ice))
                    p.drawLine(project(e.x1(), e.y1(), ground(e.x1(), e.y1())),
                               project(e.x2(), e.y2(), ground(e.x2(), e.y2())));
                p.setPen(QPen(WaterDeep, 1.1, Qt::SolidLine, Qt::RoundCap));
                for (const QLineF &e : contour(i, j, lake))
                    p.drawLine(project(e.x1(), e.y1(), lakeLevel()), project(e.x2(), e.y2(), lakeLevel()));
            }
        }
        // Outline round the top of the block.
        QPolygonF back, left;
        for (int i = 0; i <= N; ++i)
            back << project(i, N, at(i, N).c.h);
        for (int j = 0; j <= N; ++j)
            left << project(0, j, at(0, j).c.h);
        p.setPen(outlinePen());
        p.drawPolyline(back);
        p.drawPolyline(left);
        p.restore();
    }

    // Where a field sampled at the corners of grid square (i, j) crosses zero:
    // the pieces of line, in (x, z), that cross the square.
    static QList<QLineF> contour(int i, int j, const double f[4])
    {
        const QPointF corner[4] = {QPointF(i, j), QPointF(i + 1, j), QPointF(i + 1, j + 1),
                                   QPointF(i, j + 1)};
        QList<QPointF> cross;
        for (int k = 0; k < 4; ++k) {
            const double a = f[k], b = f[(k + 1) % 4];
            if ((a > 0) != (b > 0))
                cross << corner[k] + (corner[(k + 1) % 4] - corner[k]) * (a / (a - b));
        }
        QList<QLineF> out;
        for (int k = 0; k + 1 < cross.size(); k += 2)
            out << QLineF(cross[k], cross[k + 1]);
        return out;
    }

    // Right-hand face of the block: the mountainside cut along the valley.
    void paintSideFace(QPainter &p) const
    {
        QPolygonF face;
        for (int j = 0; j <= 100; ++j)
            face << project(100, j, surface(100, j));
        face << project(100, 100, 0) << project(100, 0, 0);
        p.save();
        p.setPen(outlinePen());
        p.setBrush(mix(Rock, RockDark, 0.45));
        p.drawPolygon(face);
        p.restore();
    }

    // Front face: the valley's cross-section, with the ice in it.
    void paintFrontFace(QPainter &p) const
    {
        QPolygonF rockFace, top;
        for (double x = 0; x <= 100; x += 0.5) {
            rockFace << project(x, 0, ground(x, 0));
            top << project(x, 0, surface(x, 0));
        }
        rockFace << project(100, 0, 0) << project(0, 0, 0);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(Rock);
        p.drawPolygon(rockFace);

        // A few joints in the rock, for texture.
        QPainterPath clip;
        clip.addPolygon(rockFace);
        p.setClipPath(clip);
        p.setPen(QPen(mix(Rock, RockDark, 0.5), 1));
        for (int i = 0; i < 14; ++i) {
            const QPointF a = project(4 + hash01(i, 11) * 92, 0, 4 + hash01(i, 12) * 40);
            p.drawLine(a, a + QPointF(4 + 4 * hash01(i, 13), 3 - 6 * hash01(i, 14)));
        }
        p.setClipping(false);

        // Ice filling the section.
        QPolygonF ice;
        bool any = false;
        for (double x = 0; x <= 100; x += 0.5) {
            const double g = ground(x, 0), t = iceTop(x, 0);
            any = any || t > g + 0.15;
            ice << project(x, 0, std::max(g, t));
        }
        for (double x = 100; x >= 0; x -= 0.5)
            ice << project(x, 0, ground(x, 0));
        if (any) {
            p.setPen(Qt::NoPen);
            p.setBrush(mix(Ice, IceShade, 0.4));
            p.drawPolygon(ice);
            p.setPen(QPen(IceShade, 1));
            for (double h : {26.0, 31.0, 36.0}) {
                QPolygonF layer;
                for (double x = 0; x <= 100; x += 1)
                    if (iceTop(x, 0) > h + 0.8 && ground(x, 0) < h - 0.8)
                        layer << project(x, 0, h);
                p.drawPolyline(layer);
            }
        }
        // The river's V, dashed, once the ice has begun to change it.
        if (s.erosion > 0) {
            QPolygonF old;
            for (double x = 8; x <= 92; x += 1) {
                const double d = std::abs(x - Axis);
                old << project(x, 0, riverFloor(0) + (crest(0) - riverFloor(0)) * std::min(1.0, d / 40));
            }
            QPen dash(Outline, 1.2, Qt::DashLine);
            dash.setDashPattern({3, 2.5});
            p.setPen(dash);
            p.drawPolyline(old);
        }
        p.setPen(outlinePen());
        p.setBrush(Qt::NoBrush);
        QPolygonF outline = top;
        outline << project(100, 0, 0) << project(0, 0, 0);
        p.drawPolygon(outline);
        QPolygonF bed;
        for (double x = 0; x <= 100; x += 0.5)
            bed << project(x, 0, ground(x, 0));
        if (any)
            p.drawPolyline(bed);
        p.restore();
    }

    // Stones on the ice, moved a little further down the valley in each frame.
    void paintBoulders(QPainter &p) const
    {
        p.save();
        p.setPen(outlinePen(0.8));
        p.setBrush(RockDark);
        for (int i = 0; i < 22; ++i) {
            const double x = Axis + (hash01(i, 21) - 0.5) * 40;
            const double z = std::fmod(20 + hash01(i, 22) * 90 - index * 3.0, 95) + 4;
            const double top = iceTop(x, z);
            if (top <= ground(x, z) + 1)
                continue;
            const QPointF c = project(x, z, top);
            const double r = 1.4 + 1.4 * hash01(i, 23);
            p.drawPolygon(QPolygonF{c + QPointF(-r, 0.4), c + QPointF(-0.4 * r, -r), c + QPointF(r, -0.5 * r),
                                    c + QPointF(0.8 * r, 0.7 * r)});
        }
        p.restore();
    }

    // Frost splits the walls above the ice: blocks come loose and fall on it.
    void paintFrost(QPainter &p) const
    {
        struct Fall { double x, z, toX; };
        const Fall falls[] = {{15, 30, 24}, {84, 55, 76}, {14, 52, 23}};
        p.save();
        for (const Fall &f : falls) {
            const QPointF from = onSurface({f.x, f.z}), to = onSurface({f.toX, f.z - 3});
            p.setPen(outlinePen(1));
            p.setBrush(mix(Rock, RockDark, 0.3));
            const QPointF c = from + (to - from) * 0.35;
            p.drawPolygon(QPolygonF{c + QPointF(-4, 1), c + QPointF(-2, -4), c + QPointF(4, -3),
                                    c + QPointF(3, 3)});
            arrow(p, c + (to - from) * 0.12, to, SlimArrow);
        }
        p.restore();
    }

    // Crevasses: cracks across the ice, bowed down the valley where it flows fastest.
    void paintCrevasses(QPainter &p) const
    {
        p.save();
        p.setPen(QPen(mix(Crevasse, WaterDeep, 0.3), 1.2, Qt::SolidLine, Qt::RoundCap));
        for (double z0 = 6; z0 < 100; z0 += 8) {
            QPolygonF line;
            auto flush = [&] {
                if (line.size() > 1)
                    p.drawPolyline(line);
                line.clear();
            };
            for (double x = Axis - 18; x <= Axis + 18; x += 1) {
                const double z = z0 - 0.012 * (x - Axis) * (x - Axis);
                if (iceTop(x, z) - ground(x, z) > 5)
                    line << project(x, z, iceTop(x, z));
                else
                    flush();
            }
            flush();
        }
        p.restore();
    }

    // The stones dragged under the ice scored the smoothed humps along the valley.
    void paintScratches(QPainter &p) const
    {
        p.save();
        p.setPen(QPen(RockDark, 0.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (const QPointF &c : Humps)
            for (double dx : {-2.0, -0.5, 1.0, 2.5}) {
                QPolygonF line;
                for (double dz = -3; dz <= 3; dz += 0.5)
                    line << project(c.x() + dx, c.y() + dz, surface(c.x() + dx, c.y() + dz) + 0.1);
                p.drawPolyline(line);
            }
        p.restore();
    }

    // Under the ice, in the section: it presses on the floor and grinds the sides.
    void paintAbrasion(QPainter &p) const
    {
        for (const double x : {32.0, 50.0, 68.0}) {
            const double bed = ground(x, 0);
            const double out = (x - Axis) / 18;  // outwards on the sides, down in the middle
            arrow(p, project(x - 6 * out, 0, bed + 9), project(x, 0, bed + 1.5), SlimArrow);
        }
    }

    // Where the side valley ends, high on the main valley's wall.
    double lip() const
    {
        double x = 4;
        while (x < SideMouth && ground(x, SideZ) > sideFloor(x) - 0.5)
            x += 0.5;
        return x;
    }

    void paintWaterfall(QPainter &p) const
    {
        const double edge = lip();
        QPolygonF stream, fall;
        for (double x = 0; x <= edge; x += 0.5)
            stream << project(x, SideZ, surface(x, SideZ) + 0.3);
        for (double x = edge - 0.5; x <= Axis - 12; x += 0.5)
            fall << project(x, SideZ, surface(x, SideZ) + 0.3);
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Water, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(stream);
        p.setPen(QPen(Foam, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(fall);
        p.setPen(QPen(WaterLight, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(fall);
        p.setPen(Qt::NoPen);
        p.setBrush(Foam);
        p.drawEllipse(fall.last(), 4, 2.2);
        p.restore();
    }

    // Which way the climate is going: a small thermometer in the corner.
    void paintThermometer(QPainter &p) const
    {
        const QRectF tube(14, 10, 8, 40);
        const QPointF bulb(18, 54);
        const QColor fill = s.cold > 0.5 ? Cold : Heat;
        const double level = lerp(tube.top() + 6, tube.bottom(), s.cold * 0.85);
        p.save();
        p.setPen(outlinePen(1.2));
        p.setBrush(LabelBack);
        p.drawRoundedRect(tube, 4, 4);
        p.drawEllipse(bulb, 6.5, 6.5);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRect(QRectF(16, level, 4, tube.bottom() - level + 2));
        p.drawEllipse(bulb, 4.5, 4.5);
        p.setPen(QPen(Outline, 0.8));
        for (int i = 0; i < 5; ++i)
            p.drawLine(QPointF(22, 16 + 7 * i), QPointF(25, 16 + 7 * i));
        p.restore();
    }
};

const QList<Step> &steps()
{
    static const QList<Step> list{
        {.caption = "Una valle a V scavata da un fiume",
         .labels = {{"valle a V", {100, 136}, {50, 0}}, {"fiume", {150, 186}, {52, 12}}}},
        {.caption = "Il clima si raffredda: sui monti cade la neve", .cold = 0.7, .snowing = true},
        {.caption = "La neve si accumula e diventa ghiaccio",
         .cold = 0.9,
         .snowing = true,
         .snout = 84},
        {.caption = "Nasce un ghiacciaio che scende lungo la valle",
         .cold = 1,
         .snout = 62,
         .labels = {{"ghiacciaio", {210, 58}, {52, 84}}},
         .arrows = {QLineF(52, 94, 52, 74)}},
        {.caption = "Il ghiacciaio avanza verso valle",
         .cold = 1,
         .snout = 32,
         .boulders = true,
         .arrows = {QLineF(52, 70, 52, 46)}},
        {.caption = "Il ghiaccio riempie tutta la valle",
         .cold = 1,
         .snout = -20,
         .boulders = true,
         .arrows = {QLineF(52, 50, 52, 24)}},
        {.caption = "Il ghiacciaio avanza e scava il fondo e i fianchi",
         .cold = 1,
         .snout = -20,
         .erosion = 0.35,
         .boulders = true,
         .abrasion = true,
         .labels = {{"esarazione", {218, 200}, {64, 0}, Label::Bed}},
         .arrows = {QLineF(52, 50, 52, 24)}},
        {.caption = "Il ghiaccio si salda ai blocchi e li strappa via",
         .cold = 1,
         .snout = -20,
         .erosion = 0.65,
         .boulders = true,
         .frost = true,
         .labels = {{"estrazione", {70, 70}, {20, 45}}}},
        {.caption = "Il ghiaccio trasporta massi e detriti a valle",
         .cold = 1,
         .snout = -20,
         .erosion = 1,
         .boulders = true,
         .labels = {{"detriti", {212, 66}, {54, 64}}},
         .arrows = {QLineF(52, 50, 52, 24)}},
        {.caption = "Il clima si riscalda: il ghiacciaio fonde e si ritira",
         .cold = 0.4,
         .snout = 14,
         .erosion = 1,
         .boulders = true},
        {.caption = "Il fronte si ferma: i detriti formano una morena",
         .cold = 0.4,
         .snout = MoraineZ + 3,
         .erosion = 1,
         .frontal = 0.7,
         .boulders = true,
         .labels = {{"morena frontale", {112, 186}, {44, 30}}}},
        {.caption = "Il ghiacciaio si ritira: resta una valle a U",
         .cold = 0.3,
         .snout = 56,
         .erosion = 1,
         .frontal = 1,
         .lateral = 1,
         .lake = 0.45,
         .labels = {{"valle a U", {100, 140}, {50, 0}}}},
        {.caption = "Dietro la morena frontale si forma un lago",
         .cold = 0.2,
         .snout = 84,
         .erosion = 1,
         .frontal = 1,
         .lateral = 1,
         .lake = 1,
         .labels = {{"lago", {200, 110}, {50, 44}}, {"morena frontale", {112, 186}, {44, 30}}}},
        {.caption = "Restano le morene laterali e le rocce montonate",
         .cold = 0.1,
         .snout = 92,
         .erosion = 1,
         .frontal = 1,
         .lateral = 1,
         .lake = 1,
         .polished = true,
         .labels = {{"morena laterale", {60, 112}, {19.5, 40}}, {"rocce montonate", {140, 200}, {58, 8}}}},
        {.caption = "La valle laterale resta sospesa: una cascata",
         .snout = 96,
         .erosion = 1,
         .frontal = 1,
         .lateral = 1,
         .lake = 1,
         .polished = true,
         .waterfall = true,
         .labels = {{"valle sospesa", {56, 70}, {22, 74}}, {"cascata", {190, 84}, {36, 74}}}},
    };
    return list;
}

} // namespace

QList<Drawing> ghiac()
{
    QList<Drawing> out;
    int number = 1;
    for (const Step &step : steps()) {
        const int index = number - 1;
        out.append({QStringLiteral("ghiac%1.jpg").arg(number++),
                    [&step, index](QPainter &p) { Valley(step, index).paint(p); }});
    }
    return out;
}

} // namespace frames
