// The shared helpers: the generator's sequence and the degree conversion's deliberate error.
#include <cmath>

#include <gtest/gtest.h>

#include "common/helpers.h"

TEST(Random, SeededWithOneGivesTheKnownSequence) {
    Random_Seed(1);
    EXPECT_EQ(Random_Next(), 41);
    EXPECT_EQ(Random_Next(), 18467);
    EXPECT_EQ(Random_Next(), 6334);
    EXPECT_EQ(Random_Next(), 26500);
}

TEST(Random, StateIsOneAtProgramStart) { EXPECT_EQ(g_RandomState, 1u); }

TEST(DegToRad, FallsJustShortOfPi) {
    EXPECT_LT(std::sin(DegToRad(90)), 1.0);
    EXPECT_EQ(static_cast<int>(300 * std::sin(DegToRad(90))), 299);
    EXPECT_EQ(DegToRad(180), 3.14159 * 180 * 0.005555555555555556);
    EXPECT_NEAR(std::sin(DegToRad(180)), 2.65e-6, 1e-8);
}
