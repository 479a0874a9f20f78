#include "granite.h"

#include <cstdint>

namespace common {

namespace {

constexpr int Width = 800;
constexpr int Height = 600;

// A fixed hash, so that the stone is the same on every start and every machine.
std::uint32_t hash(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

QImage draw()
{
    QImage img(Width, Height, QImage::Format_RGB32);
    // A fine grain round an even mid-grey...
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const std::uint32_t h = hash(std::uint32_t(y * Width + x) * 2654435761U);
            const int v = 128 + int(h % 17) - 8;
            line[x] = qRgb(v, v, v + 1);
        }
    }
    // ...with the crystals of the stone: small dark and light flecks, a few with
    // a faint warm tint. Written straight into the pixels: the stone is drawn
    // before the menu can show, so every millisecond here is the pupil's.
    auto *pixels = reinterpret_cast<QRgb *>(img.bits());
    const qsizetype stride = img.bytesPerLine() / qsizetype(sizeof(QRgb));
    std::uint32_t seed = 0x9e3779b9U;
    auto next = [&seed] { return seed = hash(seed + 0x632be5abU); };
    for (int i = 0; i < 9000; ++i) {
        const int cx = int(next() % Width), cy = int(next() % Height);
        const std::uint32_t kind = next() % 100;
        const int size = 1 + int(next() % 3);
        int r, g, b;
        if (kind < 55) {
            const int v = 70 + int(next() % 30);
            r = g = b = v;
        } else if (kind < 90) {
            const int v = 170 + int(next() % 40);
            r = g = b = v;
        } else {
            const int v = 150 + int(next() % 25);
            r = v + 12; g = v; b = v - 6;
        }
        for (int dy = 0; dy < size; ++dy)
            for (int dx = 0; dx < size; ++dx) {
                if (size == 3 && (dx == dy || dx + dy == 2) && (next() & 1))
                    continue;
                const int x = cx + dx, y = cy + dy;
                if (x < Width && y < Height)
                    pixels[y * stride + x] = qRgb(r, g, b);
            }
    }
    return img;
}

} // namespace

const QImage &graniteBackground()
{
    static const QImage image = draw();
    return image;
}

} // namespace common
