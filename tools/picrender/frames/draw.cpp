#include "draw.h"
#include "frames.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>

namespace frames::draw {

using namespace palette;

double lerp(double a, double b, double t) { return a + (b - a) * t; }

double smoothstep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double Series::next()
{
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / double(1 << 24);
}

double hash01(int i, int salt)
{
    unsigned h = unsigned(i) * 2654435761u ^ unsigned(salt) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h % 10007) / 10007.0;
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(lerp(a.redF(), b.redF(), t)), float(lerp(a.greenF(), b.greenF(), t)),
                            float(lerp(a.blueF(), b.blueF(), t)));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QPen outlinePen(double width, const QColor &colour)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QPen dashedPen(const QColor &colour, double dash, double gap, double width)
{
    QPen pen = outlinePen(width, colour);
    pen.setDashPattern({dash, gap});
    return pen;
}

QFont labelFont(int pixels)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

QPainterPath rectPath(const QRectF &r)
{
    QPainterPath path;
    path.addRect(r);
    return path;
}

QPainterPath polygonPath(const QPolygonF &poly)
{
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void caption(QPainter &p, const QString &text, const CaptionStyle &style)
{
    const double top = FrameSize.height() - style.height;
    const QRectF band(0, top, FrameSize.width(), style.height);
    p.save();
    p.fillRect(band, LabelBack);
    p.setPen(outlinePen(1));
    p.drawLine(QPointF(0, top + style.ruleOffset), QPointF(band.right(), top + style.ruleOffset));
    p.setFont(labelFont());
    p.setPen(LabelText);
    p.drawText(band.marginsRemoved(style.margins), Qt::AlignCenter | (style.wrap ? Qt::TextWordWrap : 0),
               text);
    p.restore();
}

void border(QPainter &p)
{
    p.save();
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, FrameSize.width() - 1, FrameSize.height() - 1));
    p.restore();
}

void label(QPainter &p, const QString &text, QPointF centre, const QList<QPointF> &tips,
           const LabelStyle &style)
{
    p.save();
    p.setFont(labelFont());
    const double advance = style.wholePixelWidth ? p.fontMetrics().horizontalAdvance(text)
                                                 : QFontMetricsF(p.font()).horizontalAdvance(text);
    const double w = advance + 8, h = style.height;
    const QRectF box(centre.x() - w / 2, centre.y() - h / 2, w, h);
    for (const QPointF &tip : tips) {
        if (style.leader == Leader::Pinned) {
            p.setPen(outlinePen(1));
            const QPointF from(std::clamp(tip.x(), box.left(), box.right()),
                               std::clamp(tip.y(), box.top(), box.bottom()));
            p.drawLine(from, tip);
            p.setBrush(Outline);
            p.drawEllipse(tip, 1.5, 1.5);
        } else {
            // where the line from the centre leaves the box; none if the tip is inside
            const QPointF d = tip - centre;
            const double t = std::min(d.x() != 0 ? (w / 2) / std::abs(d.x()) : 1e9,
                                      d.y() != 0 ? (h / 2) / std::abs(d.y()) : 1e9);
            if (t < 1) {
                p.setPen(QPen(LabelText, 0.8));
                p.drawLine(centre + d * t, tip);
            }
        }
    }
    QColor back = LabelBack;
    back.setAlphaF(style.opacity);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(box, style.corner, style.corner);
    p.setPen(LabelText);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

void arrow(QPainter &p, QPointF from, QPointF to, const ArrowStyle &style, const QColor &colour)
{
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    if (len < 1)
        return;
    const QPointF u = d / len, n(-u.y(), u.x());
    const double head = 7, half = style.headHalfWidth;
    p.save();
    p.setPen(QPen(colour, 2, Qt::SolidLine, style.tail, Qt::RoundJoin));
    p.drawLine(from, to - u * (head - 1));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{to, to - u * head + n * half, to - u * head - n * half});
    p.restore();
}

void verticalGradient(QPainter &p, const QRectF &area, const QColor &top, const QColor &bottom,
                      double bottomY)
{
    QLinearGradient g(0, area.top(), 0, bottomY);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(area, g);
}

void sky(QPainter &p, const QRectF &area, double horizonY)
{
    verticalGradient(p, area, SkyTop, SkyHorizon, horizonY);
}

void clouds(QPainter &p, const QList<QRectF> &puffs, const QColor &colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (const QRectF &r : puffs)
        p.drawEllipse(r);
    p.restore();
}

void cloudBank(QPainter &p, const QList<QRectF> &puffs, const QColor &colour, const QColor &lit)
{
    QPainterPath bank;
    for (const QRectF &r : puffs) {
        QPainterPath puff;
        puff.addEllipse(r);
        bank = bank.united(puff);
    }
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(bank);
    if (lit.isValid()) {
        // the same shape a little up and to the left, seen only inside the bank
        p.setClipPath(bank);
        p.setBrush(lit);
        p.drawPath(bank.translated(-3, -7));
    }
    p.restore();
}

QRectF ellipseBox(QPointF centre, double rx, double ry)
{
    return QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
}

} // namespace frames::draw
