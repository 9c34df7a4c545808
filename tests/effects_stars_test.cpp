// The starfield: placement from the shared generator, the wrap at the right edge, the plot.
#include <ctime>
#include <vector>

#include <gtest/gtest.h>

#include "common/helpers.h"
#include "effects/stars.h"
#include "qrx_host.h"

namespace {

const int PITCH = 700; // wider than the screen, so that rows are found only through the table

std::vector<WORD> Buffer() {
    for (int y = 0; y < 480; ++y)
        g_RowOffset[y] = y * PITCH;
    return std::vector<WORD>(size_t(PITCH) * 480, 4);
}

} // namespace

TEST(Stars, StartAllZero) {
    for (const Star& s : g_Stars) {
        EXPECT_EQ(s.x, 0);
        EXPECT_EQ(s.y, 0);
        EXPECT_EQ(s.speed, 0);
    }
}

TEST(Stars, InitSeedsWithTheCalendarTimeAndDrawsThreeValuesPerStar) {
    time_t before;
    time_t after;
    do {
        before = time(nullptr);
        Stars_Init();
        after = time(nullptr);
    } while (before != after);
    const uint32_t endState = g_RandomState;

    Random_Seed(static_cast<uint32_t>(before));
    for (const Star& s : g_Stars) {
        EXPECT_EQ(s.x, Random_Next() % 640);
        EXPECT_EQ(s.y, Random_Next() % 480);
        EXPECT_EQ(s.speed, Random_Next() % 4 + 1);
    }
    EXPECT_EQ(endState, g_RandomState); // exactly 450 values consumed
}

TEST(Stars, SeedOnePlacesTheFirstTwoStars) {
    qrxhost::SetCalendarTime(1);
    if (time(nullptr) != 1) GTEST_SKIP() << "platform does not override the calendar time yet";
    Stars_Init();
    EXPECT_EQ(g_Stars[0].x, 41);
    EXPECT_EQ(g_Stars[0].y, 227);
    EXPECT_EQ(g_Stars[0].speed, 3);
    EXPECT_EQ(g_Stars[1].x, 260);
    EXPECT_EQ(g_Stars[1].y, 449);
    EXPECT_EQ(g_Stars[1].speed, 1);
}

TEST(Stars, MoveWrapsAtTheRightEdgeKeepingTheOvershoot) {
    struct Case {
        uint16_t x, speed, expected;
    };
    const Case cases[] = {{639, 4, 3}, {636, 4, 0},   {635, 4, 639},
                          {639, 1, 0}, {638, 1, 639}, {0, 2, 2}};
    for (int i = 0; i < 6; ++i)
        g_Stars[i] = {cases[i].x, static_cast<uint16_t>(100 + i), cases[i].speed};
    Stars_Move();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(g_Stars[i].x, cases[i].expected) << "case " << i;
        EXPECT_EQ(g_Stars[i].y, 100 + i);
        EXPECT_EQ(g_Stars[i].speed, cases[i].speed);
    }
}

TEST(Stars, After640MovesEveryStarIsBackAtItsColumn) {
    Stars_Init();
    Star start[STAR_COUNT];
    std::copy(std::begin(g_Stars), std::end(g_Stars), start);
    for (int i = 0; i < 640; ++i)
        Stars_Move();
    for (int i = 0; i < STAR_COUNT; ++i) {
        EXPECT_EQ(g_Stars[i].x, start[i].x);
        EXPECT_EQ(g_Stars[i].y, start[i].y);
    }
}

TEST(Stars, DrawPlotsOnePixelPerStarInItsLayerColour) {
    std::vector<WORD> pixels = Buffer();
    Stars_Init();
    g_Stars[0] = {10, 0, 1};
    g_Stars[1] = {639, 479, 2};
    g_Stars[2] = {320, 240, 3};
    g_Stars[3] = {0, 1, 4};
    Stars_Draw(pixels.data());
    EXPECT_EQ(pixels[10], 0x2104);
    EXPECT_EQ(pixels[479 * PITCH + 639], 0x41E8);
    EXPECT_EQ(pixels[240 * PITCH + 320], 0x7BEF);
    EXPECT_EQ(pixels[1 * PITCH + 0], 0xFFFF);
    // Nothing but the 150 star pixels changed.
    int changed = 0;
    for (WORD p : pixels)
        changed += p != 4;
    int distinct = 0;
    std::vector<bool> seen(pixels.size());
    for (const Star& s : g_Stars) {
        const size_t i = size_t(s.y) * PITCH + s.x;
        distinct += !seen[i];
        seen[i] = true;
    }
    EXPECT_EQ(changed, distinct);
}

TEST(Stars, LaterStarOnTheSamePixelWins) {
    std::vector<WORD> pixels = Buffer();
    Stars_Init();
    for (Star& s : g_Stars)
        s = {5, 5, 2};
    g_Stars[STAR_COUNT - 1] = {7, 7, 1};
    g_Stars[STAR_COUNT - 2] = {7, 7, 4};
    Stars_Draw(pixels.data());
    EXPECT_EQ(pixels[5 * PITCH + 5], 0x41E8);
    EXPECT_EQ(pixels[7 * PITCH + 7], 0x2104);
}
