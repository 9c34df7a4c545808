#include "common/helpers.h"

uint32_t g_RandomState = 1;

double DegToRad(double x) { return (3.14159 * x) * 0.005555555555555556; }

void Random_Seed(uint32_t seed) { g_RandomState = seed; }

int32_t Random_Next() {
    g_RandomState = g_RandomState * 214013u + 2531011u;
    return static_cast<int32_t>((g_RandomState >> 16) & 0x7FFF);
}
