// The process-wide MT19937 random generator.
#pragma once
#include <cstdint>

// Next tempered 32-bit word. The generator seeds itself from the clock on
// the first draw unless mtSeed was called before.
uint32_t mtNext();
// Restarts the generator with the given seed (standard init_genrand).
void mtSeed(uint32_t seed);
// A value in [lo, hi] (bounds swapped when reversed; equal bounds give lo):
// lo + (word mod (hi - lo + 1)).
int64_t mtRange(int64_t lo, int64_t hi);
