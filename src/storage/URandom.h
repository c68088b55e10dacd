#pragma once

#include <cstdint>

// The application's single pseudo-random generator. Start-up seeds it from the clock; tests
// seed it with a fixed number to make random places and colours repeatable.
void RandomSeed(uint32_t seed);
void Randomize(); // seeds from the clock

// A uniform number in [0, 1).
double RandomFloat();
// A uniform integer in [0, range); 0 when range is not positive.
int32_t RandomInt(int32_t range);
