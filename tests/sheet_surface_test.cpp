// The graphics sheet as InitApp loads it into g_pDDSGfx: exactly the black pixels become the
// colour key, and the empty cells copy nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "assets/sheet_cell.h"
#include "display/display.h"
#include "display/surface.h"
#include "display_test_util.h"

// InitApp keeps the sheet bitmap loaded for the life of the process, as the intro does; the
// leak checker is told so, for that one allocation path only.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:LoadImageA\n";
}

namespace {

std::vector<uint8_t> SheetIndices() {
    std::ifstream in(QRX_SOURCE_DIR "/assets/sheet.bmp", std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    std::vector<uint8_t> top(640 * 400);
    if (file.size() != 14 + 257064) return {};
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            top[y * 640 + x] = file[1078 + (399 - y) * 640 + x];
    return top;
}

class SheetSurface : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(InitApp(), DD_OK);
        ASSERT_NE(g_pDDSGfx, nullptr);
    }
    void TearDown() override { Release_All(); }
};

TEST_F(SheetSurface, ExactlyTheIndexZeroPixelsAreZero) {
    std::vector<uint8_t> indices = SheetIndices();
    ASSERT_EQ(indices.size(), 640u * 400u);
    dtest::Pixels gfx(g_pDDSGfx);
    int wrongBlack = 0, wrongColour = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) {
            bool black = indices[y * 640 + x] == 0;
            WORD v = gfx.At(x, y);
            wrongBlack += black && v != 0;
            wrongColour += !black && v == 0;
        }
    EXPECT_EQ(wrongBlack, 0);
    EXPECT_EQ(wrongColour, 0);
}

TEST_F(SheetSurface, KeyedCopyOfEachSpaceCellChangesNothing) {
    LPDIRECTDRAWSURFACE4 dst = dtest::Offscreen(g_pDD, 64, 64);
    ASSERT_NE(dst, nullptr);
    dtest::Paint(dst, [](int x, int y) { return 0x1234 + x * 7 + y * 131; });
    std::vector<WORD> before = dtest::Snapshot(dst);
    for (uint8_t font = 0; font < 3; ++font) {
        uint16_t cx = 0, cy = 0;
        ASSERT_TRUE(Sheet_Cell(' ', font, &cx, &cy));
        EXPECT_EQ(Surface_BltFast(g_pDDSGfx, dst, 16, 16, cx, cy, cx + 32, cy + 32), DD_OK);
        EXPECT_EQ(dtest::Snapshot(dst), before) << "font " << int(font);
    }
    // The same copy of a glyph cell does draw: the check above can see a change.
    uint16_t ax = 0, ay = 0;
    ASSERT_TRUE(Sheet_Cell('A', 1, &ax, &ay));
    EXPECT_EQ(Surface_BltFast(g_pDDSGfx, dst, 16, 16, ax, ay, ax + 32, ay + 32), DD_OK);
    EXPECT_NE(dtest::Snapshot(dst), before);
    dst->Release();
}

} // namespace
