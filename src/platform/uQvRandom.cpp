#include "platform/uQvRandom.h"

#include <chrono>
#include <random>

namespace {

std::mt19937& Generator() {
    static std::mt19937 G(5489u);
    return G;
}

}  // namespace

int Random(int Range) {
    if (Range <= 0) return 0;
    return static_cast<int>((uint64_t{Generator()()} * static_cast<uint64_t>(Range)) >> 32);
}

double RandomFloat() { return Generator()() / 4294967296.0; }

void Randomize() {
    const auto Ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    Generator().seed(static_cast<uint32_t>(Ticks ^ (Ticks >> 32)));
}

void RandSeed(uint32_t Seed) { Generator().seed(Seed); }
