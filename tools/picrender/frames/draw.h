#pragma once
// The small drawing helpers that every animation sequence uses: colours and
// pens, fixed scatter, the caption band, the picture border, labels, arrows,
// skies and clouds. The sequence files keep only what belongs to their story.
//
// Two looks are in use, and every frame of a sequence keeps one of them:
//  - a tall caption band whose text may wrap on to a second line, labels
//    pinned to what they name with a dot, and bold arrows;
//  - a short one-line caption band, lighter labels and slimmer arrows.
// The presets below hold the measures of each look.

#include "palette.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

namespace frames::draw {

// ---------------------------------------------------------------- numbers --

double lerp(double a, double b, double t);

// 0 below e0, 1 above e1, and a smooth S in between.
double smoothstep(double e0, double e1, double x);

// A small fixed pseudo-random series: whatever it scatters (flecks, pebbles,
// grains) lands in the same places in every frame.
class Series
{
public:
    explicit Series(quint32 seed) : state(seed) {}
    double next(); // 0 .. 1
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    quint32 state;
};

// The same idea without a running state: a fixed value in 0 .. 1 for the i-th
// item of a scatter; `salt` tells apart the scatters of one picture.
double hash01(int i, int salt);

// ----------------------------------------------------------------- colours --

// The colour t of the way from a to b (t = 0 gives a, t = 1 gives b).
QColor mix(const QColor &a, const QColor &b, double t);
QColor withAlpha(QColor c, int alpha);

// -------------------------------------------------------- pens, type, paths --

// Outlines are drawn with round joins and ends, so that thick strokes read as ink.
QPen outlinePen(double width = 1.5, const QColor &colour = palette::Outline);
QPen dashedPen(const QColor &colour, double dash, double gap, double width = 1);
QFont labelFont(int pixels = 11);

QPainterPath rectPath(const QRectF &r);
QPainterPath polygonPath(const QPolygonF &poly); // closed

// ---------------------------------------------------------- frame furniture --

struct CaptionStyle
{
    double height;      // of the white band at the foot of the frame
    QMarginsF margins;  // between the band's edges and its text
    bool wrap;          // long text runs on to a second line
    double ruleOffset;  // the rule over the band: 0 lies on the band's edge and
                        // is softened over two rows of pixels, 0.5 is sharp
};

inline constexpr CaptionStyle TallCaption{32, QMarginsF(8, 1, 8, 1), true, 0};
inline constexpr CaptionStyle ShortCaption{22, QMarginsF(4, 1, 4, 0), false, 0.5};

// The white band at the bottom that says what happens in the frame.
void caption(QPainter &p, const QString &text, const CaptionStyle &style);

// A thin grey frame round the whole picture, drawn last.
void border(QPainter &p);

// How a label's leader runs to what it names.
enum class Leader {
    Pinned, // from the nearest point of the box, ending in a dot
    Aimed,  // a fine line from the box's edge, as if from its centre
};

struct LabelStyle
{
    double height;         // of the box
    double corner;         // radius of the box's corners
    float opacity;         // of the box's white
    bool wholePixelWidth;  // the box's width is rounded to whole pixels
    Leader leader;
};

inline constexpr LabelStyle PinnedLabel{16, 3, 217 / 255.f, true, Leader::Pinned};
inline constexpr LabelStyle LightLabel{15, 2, 0.85f, false, Leader::Aimed};

// A short label on a white box centred on `centre`, with a leader to each of
// `tips` (a pair of like things can share one name).
void label(QPainter &p, const QString &text, QPointF centre, const QList<QPointF> &tips,
           const LabelStyle &style);

struct ArrowStyle
{
    double headHalfWidth;
    Qt::PenCapStyle tail; // how the shaft ends at its start
};

inline constexpr ArrowStyle BoldArrow{4, Qt::RoundCap};
inline constexpr ArrowStyle SlimArrow{3.5, Qt::FlatCap};

// Movement or force: a 2 px shaft with a filled triangular head at `to`.
void arrow(QPainter &p, QPointF from, QPointF to, const ArrowStyle &style,
           const QColor &colour = palette::Arrow);

// -------------------------------------------------------------- sky, clouds --

// Fills `area` from `top` at its upper edge to `bottom` at height `bottomY`;
// further down it stays `bottom`.
void verticalGradient(QPainter &p, const QRectF &area, const QColor &top, const QColor &bottom,
                      double bottomY);

// A clear sky over `area`, paling towards the horizon at `horizonY`.
void sky(QPainter &p, const QRectF &area, double horizonY);

// Fair-weather clouds: separate puffs, each the ellipse in one of the rectangles.
void clouds(QPainter &p, const QList<QRectF> &puffs, const QColor &colour);

// A bank of cloud: the puffs merged into one shape. With a `lit` colour its
// upper side catches the light.
void cloudBank(QPainter &p, const QList<QRectF> &puffs, const QColor &colour, const QColor &lit = {});

// The rectangle that holds the ellipse with these radii round `centre`.
QRectF ellipseBox(QPointF centre, double rx, double ry);

} // namespace frames::draw
