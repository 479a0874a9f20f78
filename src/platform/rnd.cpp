#include "rnd.h"

#include <QDateTime>

namespace platform {

namespace {
// A 24-bit linear congruential generator: small, fast and the same on every
// machine, so that the first drawing of a run is always the same.
constexpr std::uint32_t InitialState = 0x50000;
constexpr std::uint32_t Multiplier = 0x43FD43FD;
constexpr std::uint32_t Increment = 0xC39EC3;
constexpr std::uint32_t Mask = 0xFFFFFF;
std::uint32_t state = InitialState;
} // namespace

double rnd()
{
    state = (state * Multiplier + Increment) & Mask;
    return double(state) / double(Mask + 1u);
}

void randomize(std::uint32_t seed)
{
    state = (seed ^ (seed >> 8) ^ (seed >> 16)) & Mask;
}

void randomize()
{
    randomize(std::uint32_t(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFF));
}

void resetRandom() { state = InitialState; }

} // namespace platform
