#pragma once

#include <cstdint>
#include <initializer_list>

// The game's random numbers, as the standard library's rand() gives them: integers from 0 to
// RandMax, from one generator for the whole program, seeded once at start. Tests seed it
// with a fixed value or script the next numbers.
inline constexpr int RandMax = 0x7FFF;

int Rand();
void SeedRand(std::uint32_t seed);
// The next numbers Rand returns, in order, before the generator goes on.
void ScriptRand(std::initializer_list<int> values);
