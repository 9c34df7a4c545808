// The committed graphics sheet: its format, its palette, its glyph cells and its regions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/sheet_cell.h"

namespace {

const int kW = 640, kH = 400;
const size_t kPixelsAt = 14 + 40 + 1024;

struct Rect {
    int left, top, right, bottom;
};

const Rect kFontA = {0, 0, 320, 192}, kFontB = {320, 0, 640, 192}, kLogo = {0, 194, 534, 288},
           kRedBall = {544, 192, 580, 228}, kTag = {576, 256, 640, 264},
           kScrollFont = {0, 288, 640, 384}, kSilverBall = {608, 352, 640, 384},
           kBorder = {0, 384, 640, 400};

const char* const kFontAGlyphs = "!\"%'()+,-.0123456789:;=?ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char* const kFontBGlyphs = "!\"'()+,-.0123456789:;=?ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char* const kScrollGlyphs = "!\"'()+,-./0123456789:<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ[";

class SheetFile : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::ifstream in(QRX_SOURCE_DIR "/assets/sheet.bmp", std::ios::binary);
        data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void SetUp() override { ASSERT_EQ(data_.size(), 14u + 257064u); }

    static uint32_t U32(size_t at) {
        return data_[at] | data_[at + 1] << 8 | data_[at + 2] << 16 | uint32_t(data_[at + 3]) << 24;
    }
    static uint16_t U16(size_t at) { return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8); }
    // Palette index at sheet pixel (x, y), y counted from the top.
    static int Px(int x, int y) { return data_[kPixelsAt + size_t(kH - 1 - y) * kW + x]; }
    static int Count(const Rect& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += Px(x, y) != 0;
        return n;
    }
    // Smallest rectangle holding every non-black pixel of r; empty when r is black.
    static Rect Bounds(const Rect& r) {
        Rect b = {r.right, r.bottom, r.left, r.top};
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Px(x, y)) {
                    b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
                    b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
                }
        return b;
    }
    static Rect Cell(char ch, int font) {
        uint16_t x = 0, y = 0;
        EXPECT_TRUE(Sheet_Cell(static_cast<uint8_t>(ch), static_cast<uint8_t>(font), &x, &y));
        return {x, y, x + 32, y + 32};
    }

    static std::vector<uint8_t> data_;
};

std::vector<uint8_t> SheetFile::data_;

TEST_F(SheetFile, HeaderIs640x400BottomUpEightBitUncompressedWith256Colours) {
    EXPECT_EQ(data_[0], 'B');
    EXPECT_EQ(data_[1], 'M');
    EXPECT_EQ(U32(2), data_.size());
    EXPECT_EQ(U32(10), kPixelsAt);
    EXPECT_EQ(U32(14), 40u);                             // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<int32_t>(U32(18)), 640);       // width
    EXPECT_EQ(static_cast<int32_t>(U32(22)), 400);       // positive height: bottom-up
    EXPECT_EQ(U16(26), 1);                               // planes
    EXPECT_EQ(U16(28), 8);                               // bits per pixel
    EXPECT_EQ(U32(30), 0u);                              // BI_RGB
    EXPECT_EQ(U32(46), 256u);                            // colours used
    EXPECT_EQ(data_.size() - 14, 40u + 1024u + 256000u); // the resource's data
}

TEST_F(SheetFile, IndexZeroIsBlackAndNoOtherUsedColourTurnsBlackInRgb565) {
    const size_t pal = 14 + 40;
    EXPECT_EQ(data_[pal] | data_[pal + 1] | data_[pal + 2], 0);
    bool used[256] = {};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            used[Px(x, y)] = true;
    for (int i = 1; i < 256; ++i) {
        if (!used[i]) continue;
        int b = data_[pal + 4 * i], g = data_[pal + 4 * i + 1], r = data_[pal + 4 * i + 2];
        EXPECT_FALSE(r < 8 && g < 4 && b < 8) << "palette entry " << i;
    }
}

TEST_F(SheetFile, ExactlyTheListedGlyphCellsHavePixels) {
    const struct {
        int font;
        const char* glyphs;
    } fonts[] = {{0, kScrollGlyphs}, {1, kFontAGlyphs}, {2, kFontBGlyphs}};
    for (const auto& f : fonts)
        for (int ch = 32; ch <= 91; ++ch) {
            bool listed = ch != 32 && std::strchr(f.glyphs, ch) != nullptr;
            int n = Count(Cell(static_cast<char>(ch), f.font));
            if (listed)
                EXPECT_GT(n, 20) << "font " << f.font << " char " << char(ch);
            else
                EXPECT_EQ(n, 0) << "font " << f.font << " char " << char(ch);
        }
}

TEST_F(SheetFile, LettersAndDigitsAre32PixelsHighAndNarrowSignsCentred) {
    for (int font = 0; font < 3; ++font) {
        for (char ch : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
            Rect c = Cell(ch, font), b = Bounds(c);
            EXPECT_EQ(b.top, c.top) << "font " << font << " " << ch;
            EXPECT_EQ(b.bottom, c.bottom) << "font " << font << " " << ch;
            EXPECT_LE(b.right - b.left, 32);
        }
        for (char ch : std::string("I!.")) {
            Rect c = Cell(ch, font), b = Bounds(c);
            EXPECT_LT(b.right - b.left, 24) << ch;
            EXPECT_NEAR((b.left + b.right) / 2.0 - c.left, 16.0, 1.0)
                << "font " << font << " " << ch;
        }
    }
    // Wide letters use the whole cell.
    Rect w = Bounds(Cell('W', 1));
    EXPECT_GE(w.right - w.left, 31);
}

TEST_F(SheetFile, EverythingOutsideTheRegionsIsBlack) {
    const Rect regions[] = {kFontA, kFontB, kLogo, kRedBall, kTag, kScrollFont, kBorder};
    int stray = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            bool inside = false;
            for (const Rect& r : regions)
                inside |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            if (!inside) stray += Px(x, y) != 0;
        }
    EXPECT_EQ(stray, 0);
    // The rows between the fonts and the logo are part of no region.
    EXPECT_EQ(Count({0, 192, 544, 194}), 0);
}

TEST_F(SheetFile, BorderStripIsABandOnStripRows2To10Only) {
    for (int row = 0; row < 16; ++row) {
        int n = Count({0, 384 + row, 640, 385 + row});
        if (row >= 2 && row <= 10)
            EXPECT_EQ(n, 640) << "strip row " << row;
        else
            EXPECT_EQ(n, 0) << "strip row " << row;
    }
}

TEST_F(SheetFile, SilverBallIsTheScrollerFontBracketCell) {
    Rect c = Cell('[', 0);
    EXPECT_EQ(c.left, kSilverBall.left);
    EXPECT_EQ(c.top, kSilverBall.top);
    EXPECT_EQ(c.right, kSilverBall.right);
    EXPECT_EQ(c.bottom, kSilverBall.bottom);
    Rect b = Bounds(kSilverBall);
    EXPECT_GE(b.right - b.left, 29);
    EXPECT_GE(b.bottom - b.top, 29);
}

TEST_F(SheetFile, RedBallIsAbout33PixelsAcross) {
    Rect b = Bounds(kRedBall);
    EXPECT_NEAR(b.right - b.left, 33, 1);
    EXPECT_NEAR(b.bottom - b.top, 33, 1);
    // Round: the corners of its bounding box stay black.
    EXPECT_EQ(Px(b.left, b.top), 0);
    EXPECT_EQ(Px(b.right - 1, b.bottom - 1), 0);
}

TEST_F(SheetFile, FontAAndFontBCellsDifferBy320InX) {
    for (int ch = 32; ch <= 91; ++ch) {
        Rect a = Cell(static_cast<char>(ch), 1), b = Cell(static_cast<char>(ch), 2);
        EXPECT_EQ(b.left, a.left + 320);
        EXPECT_EQ(b.top, a.top);
        EXPECT_TRUE(a.right <= kFontA.right && a.bottom <= kFontA.bottom);
    }
}

TEST_F(SheetFile, LogoFillsMostOfItsRectangle) {
    Rect b = Bounds(kLogo);
    EXPECT_GE(b.right - b.left, 534 * 9 / 10);
    EXPECT_GE(b.bottom - b.top, 94 * 8 / 10);
}

TEST_F(SheetFile, TagCarriesLetteringInMoreThanOneShade) {
    bool seen[256] = {};
    int shades = 0;
    for (int y = kTag.top; y < kTag.bottom; ++y)
        for (int x = kTag.left; x < kTag.right; ++x)
            if (int i = Px(x, y); i && !seen[i]) seen[i] = true, ++shades;
    EXPECT_GE(shades, 2);
    EXPECT_GT(Count(kTag), 40);
}

} // namespace
