// Copper bars: the colour table and the rolling rows at the telling phases.
#include <vector>

#include <gtest/gtest.h>

#include "effects/copper.h"

namespace {

const int PITCH = 640;
const WORD UNTOUCHED = 0xABCD;

std::vector<WORD> Draw() {
    for (int y = 0; y < 480; ++y)
        g_RowOffset[y] = y * PITCH;
    std::vector<WORD> pixels(size_t(PITCH) * 480, UNTOUCHED);
    Copper_Draw(pixels.data());
    return pixels;
}

// The row's colour, after checking that all of its 640 pixels have it.
WORD Row(const std::vector<WORD>& pixels, int y) {
    const WORD first = pixels[size_t(y) * PITCH];
    for (int x = 1; x < 640; ++x)
        if (pixels[size_t(y) * PITCH + x] != first) ADD_FAILURE() << "row " << y << " not uniform";
    return first;
}

} // namespace

TEST(Copper, TableHoldsFourRampsMeetingInBlack) {
    Copper_Init();
    const struct {
        int index;
        uint16_t value;
    } entries[] = {{0, 0},  {1, 0x1000},   {15, 0xF000},  {16, 0xF800},  {17, 0xF000},
                   {32, 0}, {33, 0},       {34, 0x1080},  {48, 0xF780},  {49, 0xFFE0},
                   {65, 0}, {66, 0},       {67, 0x1002},  {82, 0xF81F},  {98, 0},
                   {99, 0}, {100, 0x0002}, {115, 0x001F}, {130, 0x0002}, {131, 0}};
    for (const auto& e : entries)
        EXPECT_EQ(g_CopperColors[e.index], e.value) << e.index;
}

TEST(Copper, PhaseZeroRows) {
    Copper_Init();
    const std::vector<WORD> pixels = Draw();
    const struct {
        int row;
        int index;
    } rows[] = {{26, 0}, {27, 0}, {28, 1},   {29, 1},   {40, 7},   {41, 7},   {42, 1},   {43, 1},
                {58, 2}, {59, 2}, {426, 25}, {427, 25}, {440, 32}, {441, 32}, {442, 33}, {443, 33}};
    for (const auto& r : rows)
        EXPECT_EQ(Row(pixels, r.row), g_CopperColors[r.index]) << r.row;
    EXPECT_EQ(g_CopperPhase, 1);
}

TEST(Copper, PhaseWrapsFrom131ToZero) {
    Copper_Init();
    g_CopperPhase = 131;
    const std::vector<WORD> pixels = Draw();
    EXPECT_EQ(Row(pixels, 26), g_CopperColors[131]);
    EXPECT_EQ(Row(pixels, 28), g_CopperColors[0]);
    EXPECT_EQ(Row(pixels, 42), g_CopperColors[0]);
    EXPECT_EQ(Row(pixels, 442), g_CopperColors[32]);
    EXPECT_EQ(g_CopperPhase, 0);
}

TEST(Copper, EveryRowFollowsTheBlockFormulaAndNothingElseIsWritten) {
    Copper_Init();
    for (uint16_t p : {0, 57, 131}) {
        g_CopperPhase = p;
        const std::vector<WORD> pixels = Draw();
        for (int r = 0; r < 480; ++r) {
            if (r < 26 || r > 443) {
                for (int x = 0; x < PITCH; ++x)
                    ASSERT_EQ(pixels[size_t(r) * PITCH + x], UNTOUCHED) << "row " << r;
                continue;
            }
            const int k = std::min((r - 26) / 16, 25);
            const int j = (r - 26 - 16 * k) / 2;
            EXPECT_EQ(Row(pixels, r), g_CopperColors[(p + k + j) % 132]) << p << " row " << r;
        }
    }
}

TEST(Copper, PictureRepeatsAfter132Frames) {
    Copper_Init();
    g_CopperPhase = 5;
    const std::vector<WORD> first = Draw();
    for (int i = 0; i < 131; ++i)
        Draw();
    EXPECT_EQ(g_CopperPhase, 5);
    EXPECT_EQ(Draw(), first);
}
