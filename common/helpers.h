// Shared helpers: degrees to radians and the system's own pseudo-random generator.
#pragma once

#include <cstdint>

// (3.14159 * x) * (1/180), in this order; 3.14159 lies just below pi on purpose.
double DegToRad(double x);

// 32-bit LCG: state = state * 214013 + 2531011; Random_Next returns (state >> 16) & 0x7FFF.
extern uint32_t g_RandomState; // 1 at program start
void Random_Seed(uint32_t seed);
int32_t Random_Next();
