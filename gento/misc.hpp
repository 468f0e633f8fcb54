// The generation system's random source: a multiplicative generator whose state is `seed`.
#pragma once

#include <cstdint>

extern std::uint32_t seed;

// `seed` becomes `sd` (for 0: the microseconds of the time of day), always made odd; the new
// seed is reported in the message core file.
void reseed(std::uint32_t sd);
// A number from 0 to range - 1, drawn uniformly; 0 when range is below 1.
int getrandom(int range);
// "Current random seed: N" into core file `corefile`.
void printseed(int corefile);
