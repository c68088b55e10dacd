#include "URandom.h"

#include <chrono>
#include <random>

namespace {

std::mt19937& Generator() {
    static std::mt19937 generator(5489U);
    return generator;
}

} // namespace

void RandomSeed(uint32_t seed) {
    Generator().seed(seed);
}

void Randomize() {
    RandomSeed(static_cast<uint32_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

double RandomFloat() {
    // 32 random bits scaled by 2^-32: never 1.
    return static_cast<double>(Generator()()) / 4294967296.0;
}

int32_t RandomInt(int32_t range) {
    if (range <= 0)
        return 0;
    return static_cast<int32_t>(RandomFloat() * range);
}
