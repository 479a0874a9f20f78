#pragma once
// The program's pseudo-random generator: uniform values in [0, 1). Every run
// starts from the same state; randomize() re-seeds it from the clock.

#include <cstdint>

namespace platform {

double rnd();
void randomize();
void randomize(std::uint32_t seed); // a chosen seed (tests)
void resetRandom();                 // back to the state of program start (tests)

} // namespace platform
