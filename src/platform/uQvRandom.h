#pragma once
// The program's random numbers: one generator with a fixed default seed, so runs repeat
// until Randomize is called.

#include <cstdint>

// An integer in [0, Range); 0 when Range <= 0.
int Random(int Range);
// A number in [0, 1).
double RandomFloat();
void Randomize();
// A fixed seed, so tests repeat.
void RandSeed(uint32_t Seed);
