#include "granite.h"

#include <array>
#include <cstdint>

namespace common {

namespace {

constexpr int Width = 800; // a multiple of 8
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
    // A fine grain round an even mid-grey, eight pixels from each number of a
    // fixed stream, a byte each...
    std::array<QRgb, 256> shade;
    for (int b = 0; b < 256; ++b) {
        const int v = 120 + (b * 17 >> 8);
        shade[std::size_t(b)] = qRgb(v, v, v + 1);
    }
    std::uint64_t grain = 0x2545f4914f6cdd1dULL;
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < Width; x += 8) {
            grain ^= grain << 13;
            grain ^= grain >> 7;
            grain ^= grain << 17;
            const std::uint64_t g = grain;
            line[x] = shade[g & 0xff];
            line[x + 1] = shade[g >> 8 & 0xff];
            line[x + 2] = shade[g >> 16 & 0xff];
            line[x + 3] = shade[g >> 24 & 0xff];
            line[x + 4] = shade[g >> 32 & 0xff];
            line[x + 5] = shade[g >> 40 & 0xff];
            line[x + 6] = shade[g >> 48 & 0xff];
            line[x + 7] = shade[g >> 56];
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
