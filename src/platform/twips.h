#pragma once
// Positions and sizes are designed in twips: 1440 to the inch, 15 to a pixel on
// the 96-dpi screens the layouts were drawn for.

#include <QRect>
#include <QtMath>

namespace platform {

inline constexpr int TwipsPerPixel = 15;
// The screen every window was designed for, in pixels.
inline constexpr int DesignWidth = 800;
inline constexpr int DesignHeight = 600;

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
