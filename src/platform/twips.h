#pragma once
// Positions and sizes are designed in twips: 1440 to the inch, 15 to a pixel on
// the 96-dpi screens the layouts were drawn for.

#include <QRect>
#include <QtMath>

namespace platform {

inline constexpr int TwipsPerPixel = 15;

// The drawing's scale asked on the command line (--scala; 1 draws the
// layouts as designed). Kept here, where twips become pixels, for the screens
// that need a larger drawing.
inline double &drawingScaleSetting()
{
    static double scale = 1.0;
    return scale;
}
inline void setDrawingScale(double scale) { drawingScaleSetting() = scale > 0 ? scale : 1.0; }
inline double drawingScale() { return drawingScaleSetting(); }

constexpr int tw(int twips) { return (twips + (twips >= 0 ? 7 : -7)) / TwipsPerPixel; }
constexpr int toTwips(int pixels) { return pixels * TwipsPerPixel; }

// A design rectangle: left, top, width, height in twips.
struct TwRect
{
    int left, top, width, height;
    QRect px() const { return QRect(tw(left), tw(top), tw(width), tw(height)); }
    bool operator==(const TwRect &) const = default;
};

} // namespace platform
