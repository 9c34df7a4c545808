// The page writer: the typing rhythm, the positions on the page, the cells and their
// fallbacks, the completed page, and how the surface comes back after a loss.
#include <cstring>

#include <gtest/gtest.h>

#include "effects/writer.h"
#include "fake_ddraw.h"
#include "qrx_host.h"

namespace {

struct Writer : ::testing::Test {
    FakeDevice dev;
    FakeSurface* page = nullptr;
    WriterPage record = {};

    void SetUp() override {
        ASSERT_EQ(Writer_Init(), 0);
        page = dev.Created(0);
        page->calls.clear();
        std::memset(record.text, 'A', 240);
        record.text[240] = 0;
    }

    // The destination and source cell of the glyph copy made last.
    void ExpectPut(LONG x, LONG y, LONG cellX, LONG cellY) {
        ASSERT_FALSE(page->calls.empty());
        const FakeCall& c = page->calls.back();
        EXPECT_TRUE(c.fast);
        EXPECT_EQ(c.dst.left, x);
        EXPECT_EQ(c.dst.top, y);
        EXPECT_EQ(c.src.left, cellX);
        EXPECT_EQ(c.src.top, cellY);
        EXPECT_EQ(c.src.right, cellX + 32);
        EXPECT_EQ(c.src.bottom, cellY + 32);
        EXPECT_EQ(c.flags, DWORD(DDBLTFAST_NOCOLORKEY));
        EXPECT_EQ(c.source, &dev.gfx);
    }
};

} // namespace

TEST_F(Writer, InitCreatesABlackFullScreenSurface) {
    EXPECT_EQ(g_pDDSWriter, page);
    EXPECT_EQ(dev.dd.lastDesc.dwWidth, 640u);
    EXPECT_EQ(dev.dd.lastDesc.dwHeight, 480u);
    EXPECT_EQ(dev.dd.lastDesc.ddsCaps.dwCaps, DWORD(DDSCAPS_OFFSCREENPLAIN));
    for (WORD p : page->pixels)
        ASSERT_EQ(p, 0);
}

TEST(WriterInit, FailedCreationAndFailedFill) {
    FakeDevice dev;
    dev.dd.createResult = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Writer_Init(), DDERR_OUTOFMEMORY);
    EXPECT_EQ(g_pDDSWriter, nullptr);
    const auto& boxes = qrxhost::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Writer_Init()\nCreateSurface for \tWriter FAILED");
    EXPECT_EQ(boxes[0].caption, "QRX Intro 2k");
    dev.Attach(); // the report released the display
    dev.dd.createResult = DD_OK;
    dev.dd.newSurfaceScript = {DDERR_WASSTILLDRAWING, DDERR_UNSUPPORTED};
    EXPECT_EQ(Writer_Init(), DDERR_UNSUPPORTED);
    EXPECT_FALSE(dev.Created(0)->hasKey);
}

TEST_F(Writer, FirstCallTypesThenEveryFourth) {
    EXPECT_FALSE(Writer_Update(&record, 1));
    ASSERT_EQ(page->calls.size(), 1u);
    ExpectPut(0, 0, 96, 96);
    for (int call = 2; call <= 4; ++call)
        EXPECT_FALSE(Writer_Update(&record, 1));
    EXPECT_EQ(page->calls.size(), 1u);
    EXPECT_FALSE(Writer_Update(&record, 1)); // the fifth call types position 1
    ASSERT_EQ(page->calls.size(), 2u);
    ExpectPut(32, 0, 96, 96);
    EXPECT_EQ(record.pos, 2);
    EXPECT_EQ(record.column, 1);
    EXPECT_EQ(record.row, 0);
    // The glyph's pixels replaced what was there, black included.
    EXPECT_EQ(page->At(32, 0), SheetPixel(96, 96));
    EXPECT_EQ(page->At(63, 31), SheetPixel(127, 127));
}

TEST_F(Writer, PositionsOnThePage) {
    const struct {
        uint16_t pos;
        LONG x, y;
    } cases[] = {{19, 608, 0}, {20, 0, 35}, {21, 32, 35}, {239, 608, 385}};
    for (const auto& c : cases) {
        record.pos = c.pos;
        g_WriterDelay = 1;
        Writer_Update(&record, 2);
        ExpectPut(c.x, c.y, 416, 96);
        EXPECT_EQ(record.column, c.pos % 20);
        EXPECT_EQ(record.row, c.pos / 20);
    }
}

TEST_F(Writer, CellsAndFallbacks) {
    const struct {
        char ch;
        uint8_t font;
        LONG x, y;
    } cases[] = {{'A', 1, 96, 96}, {'A', 2, 416, 96},  {'\\', 2, 320, 0},  {'a', 1, 0, 0},
                 {'\\', 0, 0, 0},  {'A', 0, 416, 320}, {'!', 0, 32, 288},  {'[', 0, 608, 352},
                 {'A', 3, 0, 0},   {'[', 200, 0, 0},   {'[', 1, 288, 160}, {'x', 2, 320, 0}};
    for (const auto& c : cases) {
        record.text[0] = c.ch;
        record.pos = 0;
        g_WriterDelay = 1;
        Writer_Update(&record, c.font);
        SCOPED_TRACE(testing::Message() << c.ch << " font " << int(c.font));
        ExpectPut(0, 0, c.x, c.y);
    }
}

TEST_F(Writer, CompletedPageKeepsTypingTheTerminatorBelowTheShownArea) {
    for (int call = 0; call < 957; ++call)
        Writer_Update(&record, 1);
    EXPECT_EQ(record.pos, 240);
    EXPECT_EQ(record.done, 1u);
    EXPECT_EQ(page->calls.size(), 240u);
    ExpectPut(608, 385, 96, 96);
    const std::vector<WORD> typed = page->pixels;
    for (int call = 0; call < 8; ++call)
        Writer_Update(&record, 2);
    EXPECT_EQ(page->calls.size(), 242u);
    ExpectPut(0, 420, 320, 0); // the zero byte has code 224: font B's fallback cell
    EXPECT_EQ(record.pos, 240);
    EXPECT_EQ(record.done, 1u);
    EXPECT_EQ(record.row, 12);
    EXPECT_EQ(record.column, 0);
    for (size_t i = 0; i < size_t(417) * 640; ++i)
        ASSERT_EQ(page->pixels[i], typed[i]);
}

TEST_F(Writer, FailedGlyphCopyStillAdvances) {
    page->scripted = {DDERR_INVALIDRECT};
    Writer_Update(&record, 1);
    EXPECT_EQ(record.pos, 1);
    EXPECT_EQ(g_WriterDelay, 4);
    EXPECT_EQ(page->At(0, 0), 0);
}

TEST_F(Writer, LostPageIsRestoredClearedAndTypingGoesOn) {
    Writer_PutGlyph(96, 96, 0, 0);
    page->lost = true;
    record.pos = 5;
    Writer_Update(&record, 1);
    EXPECT_EQ(page->restores, 1);
    for (WORD p : page->pixels)
        ASSERT_EQ(p, 0); // the copy was dropped, the page cleared
    EXPECT_EQ(record.pos, 6);
    g_WriterDelay = 1;
    Writer_Update(&record, 1);
    ExpectPut(192, 0, 96, 96);
    EXPECT_EQ(page->At(192, 0), SheetPixel(96, 96));
}

TEST_F(Writer, PageIsKeptWhenOnlyTheSheetWasLost) {
    Writer_PutGlyph(96, 96, 0, 0);
    dev.gfx.lost = true;
    EXPECT_EQ(Writer_PutGlyph(96, 96, 32, 0), 0);
    EXPECT_EQ(page->restores, 0);
    EXPECT_EQ(page->At(0, 0), SheetPixel(96, 96));
}
