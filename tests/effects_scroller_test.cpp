// The text scroller: the strip, the rhythm of glyphs and shifts, the glyph cells, the sine
// rows, and how the strip comes back after a loss.
#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "common/helpers.h"
#include "effects/scroller.h"
#include "fake_ddraw.h"
#include "qrx_host.h"

namespace {

struct Scroller : ::testing::Test {
    FakeDevice dev;
    FakeSurface* strip = nullptr;

    void SetUp() override {
        ASSERT_EQ(Scroller_Init(), 0);
        strip = dev.Created(0);
        strip->calls.clear();
    }

    // The sheet cell whose pixels sit in strip columns [col, col + 32).
    void ExpectCellAt(int col, int cellX, int cellY) {
        for (int y = 0; y < 32; y += 7)
            for (int x = 0; x < 32; x += 5)
                ASSERT_EQ(strip->At(col + x, y), SheetPixel(cellX + x, cellY + y))
                    << "column " << col + x << " row " << y;
    }
};

bool IsPut(const FakeCall& c, LONG cellX, LONG cellY) {
    return c.fast && c.dst.left == 671 && c.dst.top == 0 && c.src.left == cellX &&
           c.src.top == cellY && c.src.right == cellX + 32 && c.src.bottom == cellY + 32 &&
           c.flags == DDBLTFAST_NOCOLORKEY;
}

bool IsShift(const FakeCall& c, const void* strip) {
    return c.fast && c.dst.left == 29 && c.dst.top == 0 && c.src.left == 31 && c.src.top == 0 &&
           c.src.right == 704 && c.src.bottom == 32 && c.source == strip &&
           c.flags == DDBLTFAST_NOCOLORKEY;
}

} // namespace

TEST_F(Scroller, InitCreatesABlackStripOf705By33) {
    EXPECT_EQ(g_pDDSScroller, strip);
    EXPECT_EQ(dev.dd.lastDesc.dwFlags, DWORD(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH));
    EXPECT_EQ(dev.dd.lastDesc.dwWidth, 705u);
    EXPECT_EQ(dev.dd.lastDesc.dwHeight, 33u);
    EXPECT_EQ(dev.dd.lastDesc.ddsCaps.dwCaps, DWORD(DDSCAPS_OFFSCREENPLAIN));
    for (WORD p : strip->pixels)
        ASSERT_EQ(p, 0); // the fake starts it at 0x1234
}

TEST(ScrollerInit, FailedCreationReturnsTheReportedCode) {
    FakeDevice dev;
    dev.dd.createResult = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Scroller_Init(), DDERR_OUTOFMEMORY);
    EXPECT_EQ(g_pDDSScroller, nullptr);
    const auto& boxes = qrxhost::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Scroller_Init()\nCreateSurface for \tScroller FAILED");
    EXPECT_EQ(boxes[0].caption, "QRX Intro 2k");
    EXPECT_EQ(g_pDD, nullptr); // released before the box
}

TEST(ScrollerInit, FailedFillReturnsItsCodeAndSetsNoKey) {
    FakeDevice dev;
    dev.dd.newSurfaceScript = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING, DDERR_GENERIC};
    EXPECT_EQ(Scroller_Init(), DDERR_GENERIC);
    FakeSurface* strip = dev.Created(0);
    EXPECT_EQ(strip->calls.size(), 3u); // retried while still drawing, then given up
    EXPECT_FALSE(strip->hasKey);
    EXPECT_EQ(strip->At(0, 0), 0x1234); // unfilled
}

TEST_F(Scroller, TextAB) {
    const char* text = "AB";
    EXPECT_FALSE(Scroller_Update(text, 0)); // call 1 puts A
    ASSERT_EQ(strip->calls.size(), 1u);
    EXPECT_TRUE(IsPut(strip->calls[0], 416, 320));
    ExpectCellAt(671, 416, 320);
    for (int call = 2; call <= 17; ++call) {
        EXPECT_FALSE(Scroller_Update(text, 0));
        EXPECT_TRUE(IsShift(strip->calls.back(), strip)) << call;
    }
    EXPECT_EQ(strip->calls.size(), 17u);
    ExpectCellAt(639, 416, 320);            // A has moved one cell to the left
    EXPECT_FALSE(Scroller_Update(text, 0)); // call 18 puts B
    EXPECT_TRUE(IsPut(strip->calls.back(), 448, 320));
    ExpectCellAt(671, 448, 320);
    ExpectCellAt(639, 416, 320); // and they join without a gap
    for (int call = 19; call <= 34; ++call)
        EXPECT_FALSE(Scroller_Update(text, 0));
    EXPECT_EQ(strip->calls.size(), 34u);
    EXPECT_TRUE(Scroller_Update(text, 0)); // call 35
    EXPECT_EQ(strip->calls.size(), 34u);   // nothing shifted or put
    EXPECT_EQ(g_ScrollIndex, 0u);
    EXPECT_EQ(g_ScrollDelay, 0);
    ExpectCellAt(607, 416, 320);
    ExpectCellAt(639, 448, 320);
}

TEST_F(Scroller, EmptyTextIsFinishedAtOnce) {
    EXPECT_TRUE(Scroller_Update("", 0));
    EXPECT_TRUE(Scroller_Update("", 0));
    EXPECT_TRUE(strip->calls.empty());
}

TEST_F(Scroller, GlyphCells) {
    const struct {
        char ch;
        uint8_t font;
        LONG x, y;
    } cases[] = {{'!', 0, 32, 288},  {'0', 0, 512, 288}, {'Z', 0, 576, 352},
                 {'[', 0, 608, 352}, {'A', 0, 416, 320}, {'A', 1, 96, 96},
                 {'A', 2, 416, 96},  {' ', 1, 0, 0},     {'[', 2, 608, 160}};
    for (const auto& c : cases) {
        const char text[2] = {c.ch, 0};
        g_ScrollIndex = 0;
        g_ScrollDelay = 0;
        Scroller_Update(text, c.font);
        EXPECT_TRUE(IsPut(strip->calls.back(), c.x, c.y)) << c.ch << " font " << int(c.font);
        EXPECT_EQ(g_ScrollCellX, c.x);
        EXPECT_EQ(g_ScrollCellY, c.y);
    }
}

TEST_F(Scroller, CharacterWithoutGlyphRepeatsThePreviousCell) {
    // Before any glyph, the remembered cell is the space of font A at (0, 0).
    Scroller_Update("a", 0);
    EXPECT_TRUE(IsPut(strip->calls.back(), 0, 0));
    for (const char* text : {"Z\\", "Z\n", "Zq"}) {
        for (uint8_t font = 0; font <= 3; ++font) {
            g_ScrollIndex = 0;
            g_ScrollDelay = 0;
            Scroller_Update(text, 0); // Z of the scroller font
            g_ScrollDelay = 0;
            Scroller_Update(text, font);
            EXPECT_TRUE(IsPut(strip->calls.back(), 576, 352)) << text[1] << " font " << int(font);
            EXPECT_EQ(g_ScrollCellX, 576);
            EXPECT_EQ(g_ScrollCellY, 352);
        }
    }
}

TEST_F(Scroller, UnknownFontRepeatsThePreviousCell) {
    Scroller_Update("A", 1);
    g_ScrollDelay = 0;
    g_ScrollIndex = 0;
    Scroller_Update("B", 3);
    EXPECT_TRUE(IsPut(strip->calls.back(), 96, 96));
}

TEST_F(Scroller, ShiftMovesEveryColumnTwoToTheLeft) {
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 705; ++x)
            strip->Set(x, y, WORD(x + 1000 * (y % 32 == y)));
    const std::vector<WORD> before = strip->pixels;
    EXPECT_EQ(Scroller_Shift(), 0);
    for (int y = 0; y < 32; ++y) {
        for (int k = 29; k <= 701; ++k)
            ASSERT_EQ(strip->At(k, y), before[size_t(y) * 705 + k + 2]);
        for (int k : {0, 28, 702, 703, 704})
            ASSERT_EQ(strip->At(k, y), before[size_t(y) * 705 + k]);
    }
    for (int x = 0; x < 705; ++x)
        ASSERT_EQ(strip->At(x, 32), before[size_t(32) * 705 + x]);
}

TEST_F(Scroller, StillDrawingCopiesAreRepeated) {
    strip->scripted = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING};
    EXPECT_EQ(Scroller_PutGlyph(416, 320), 0);
    EXPECT_EQ(strip->calls.size(), 3u);
    ExpectCellAt(671, 416, 320);
}

TEST_F(Scroller, OtherErrorsAreReturnedAndTheCharacterStillCounts) {
    strip->scripted = {DDERR_INVALIDRECT};
    EXPECT_EQ(Scroller_PutGlyph(416, 320), DDERR_INVALIDRECT);
    strip->scripted = {DDERR_INVALIDRECT};
    EXPECT_FALSE(Scroller_Update("A", 0));
    EXPECT_EQ(g_ScrollIndex, 1u);
    EXPECT_EQ(g_ScrollDelay, 16);
}

TEST_F(Scroller, LostStripIsRestoredAndClearedByItsOwnCopy) {
    Scroller_PutGlyph(416, 320);
    strip->lost = true;
    EXPECT_EQ(Scroller_Shift(), 0); // the restore's result; the shift itself is dropped
    EXPECT_EQ(strip->restores, 1);
    for (WORD p : strip->pixels)
        ASSERT_EQ(p, 0);
    EXPECT_EQ(Scroller_PutGlyph(448, 320), 0); // usable again
    ExpectCellAt(671, 448, 320);
}

TEST_F(Scroller, StripIsKeptWhenOnlyTheSheetWasLost) {
    Scroller_PutGlyph(416, 320);
    dev.gfx.lost = true;
    EXPECT_EQ(Scroller_PutGlyph(448, 320), 0);
    EXPECT_EQ(strip->restores, 0);
    ExpectCellAt(671, 416, 320); // the strip's content survives
}

TEST_F(Scroller, FlatDrawCopiesTheVisibleWindow) {
    Scroller_Draw(400);
    ASSERT_EQ(dev.back.calls.size(), 1u);
    const FakeCall& c = dev.back.calls[0];
    EXPECT_EQ(c.dst.left, 0);
    EXPECT_EQ(c.dst.top, 400);
    EXPECT_EQ(c.dst.bottom, 432);
    EXPECT_EQ(c.src.left, 32);
    EXPECT_EQ(c.src.right, 672);
    EXPECT_EQ(c.src.bottom, 32);
    EXPECT_EQ(c.flags, DWORD(DDBLTFAST_SRCCOLORKEY));
}

TEST_F(Scroller, SineRows) {
    const struct {
        int16_t phase;
        LONG row;
    } cases[] = {{90, 389}, {270, 90}, {0, 240}, {360, 239}};
    for (const auto& c : cases) {
        g_SinePhase = c.phase;
        dev.back.calls.clear();
        EXPECT_EQ(Scroller_DrawSine(240), 0);
        ASSERT_EQ(dev.back.calls.size(), 320u);
        EXPECT_EQ(dev.back.calls[0].dst.top, c.row) << c.phase;
    }
    for (int i = 0; i < 320; ++i) {
        const FakeCall& col = dev.back.calls[size_t(i)];
        EXPECT_EQ(col.dst.left, 2 * i);
        EXPECT_EQ(col.src.left, 32 + 2 * i);
        EXPECT_EQ(col.src.right, 34 + 2 * i);
        EXPECT_EQ(col.src.top, 0);
        EXPECT_EQ(col.src.bottom, 32);
    }
}

TEST_F(Scroller, SinePhaseRunsThrough181Steps) {
    for (int step = 0; step < 180; ++step) {
        ASSERT_EQ(g_SinePhase, 2 * step);
        Scroller_DrawSine(240);
    }
    EXPECT_EQ(g_SinePhase, 360);
    Scroller_DrawSine(240);
    EXPECT_EQ(g_SinePhase, 0);
}

TEST_F(Scroller, ColumnAnglesWrapAfter360) {
    g_SinePhase = 350;
    Scroller_DrawSine(240);
    ASSERT_EQ(dev.back.calls.size(), 320u);
    EXPECT_EQ(dev.back.calls[10].dst.top, 239); // angle 360
    EXPECT_EQ(dev.back.calls[11].dst.top, 240); // angle 0
    EXPECT_EQ(dev.back.calls[12].dst.top, int(std::sin(DegToRad(1)) * 150.0 + 240));
    // Over a whole turn every column stays within rows 90..420.
    for (int frame = 0; frame < 181; ++frame)
        Scroller_DrawSine(240);
    for (const FakeCall& c : dev.back.calls) {
        ASSERT_GE(c.dst.top, 90);
        ASSERT_LE(c.dst.top, 420);
    }
}
