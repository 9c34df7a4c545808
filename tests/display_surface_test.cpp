// Surface operations: colour packing and matching, colour key, pitch, bitmap copy, and the
// retry and restore rules of the copy, the fill and the flip.
#include <algorithm>

#include <gtest/gtest.h>

#include "display/display.h"
#include "display/surface.h"
#include "display_test_util.h"

using namespace dtest;

TEST(Surface, RGB16Examples) {
    struct Case {
        int8_t r, g, b;
        int32_t want;
    } cases[] = {{0, 0, 4, 4},  {31, 63, 31, 0xFFFF}, {1, 0, 0, 2048},
                 {0, 1, 0, 32}, {0, 0, 1, 1},         {16, 32, 16, 0x8410}};
    for (const Case& c : cases)
        EXPECT_EQ(RGB16(c.r, c.g, c.b), c.want) << int(c.r) << "," << int(c.g) << "," << int(c.b);
}

TEST(Surface, MatchColorNullSurfaceIsZero) {
    EXPECT_EQ(Surface_MatchColor(nullptr, RGB(255, 255, 255)), 0u);
}

struct SurfaceOps : testing::Test {
    void SetUp() override {
        dd = Device();
        s = Offscreen(dd, 16, 8);
        Paint(s, [](int x, int y) { return x == 0 && y == 0 ? 0x8410 : 0x0841; });
    }
    void TearDown() override {
        s->Release();
        dd->Release();
    }
    WORD Origin() { return Pixels(s).At(0, 0); }
    LPDIRECTDRAW4 dd;
    LPDIRECTDRAWSURFACE4 s;
};

TEST_F(SurfaceOps, MatchColorGivesPixelValueAndPutsOriginBack) {
    struct Case {
        COLORREF colour;
        DWORD want;
    } cases[] = {{0, 0},
                 {RGB(255, 0, 0), 0xF800},
                 {RGB(0, 255, 0), 0x07E0},
                 {RGB(0, 0, 255), 0x001F},
                 {RGB(255, 255, 255), 0xFFFF}};
    for (const Case& c : cases) {
        EXPECT_EQ(Surface_MatchColor(s, c.colour), c.want);
        EXPECT_EQ(Origin(), 0x8410);
    }
}

TEST_F(SurfaceOps, MatchColorInvalidOnlyReads) {
    qrxhost::EnableCallLog(true);
    EXPECT_EQ(Surface_MatchColor(s, CLR_INVALID), 0x8410u); // pixel (1, 0) is masked away
    EXPECT_EQ(CountCalls("SetPixel"), 0u);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::GetDC"), 0u);
}

TEST_F(SurfaceOps, MatchColorFailedLockGivesInvalidAndPutsColourBack) {
    qrxhost::InjectFault("IDirectDrawSurface4::Lock", DDERR_SURFACEBUSY);
    EXPECT_EQ(Surface_MatchColor(s, RGB(255, 255, 255)), 0xFFFFFFFFu);
    EXPECT_EQ(Origin(), 0x8410);
}

TEST_F(SurfaceOps, SetColorKeyNullAndBlack) {
    EXPECT_EQ(Surface_SetColorKey(nullptr, 0), E_POINTER);
    EXPECT_EQ(Surface_SetColorKey(s, 0), DD_OK);
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    ASSERT_EQ(s->GetSurfaceDesc(&d), DD_OK);
    ASSERT_TRUE(d.dwFlags & DDSD_CKSRCBLT);
    EXPECT_EQ(d.ddckCKSrcBlt.dwColorSpaceLowValue, 0u);
    EXPECT_EQ(d.ddckCKSrcBlt.dwColorSpaceHighValue, 0u);
}

TEST_F(SurfaceOps, CopyBitmapWithoutBitmapTouchesNothing) {
    qrxhost::EnableCallLog(true);
    EXPECT_EQ(Surface_CopyBitmap(s, nullptr, 0, 0, 0, 0), E_FAIL);
    EXPECT_EQ(Surface_CopyBitmap(nullptr, reinterpret_cast<HBITMAP>(s), 0, 0, 0, 0), E_FAIL);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Restore"), 0u);
    EXPECT_EQ(CountCalls("CreateCompatibleDC"), 0u);
}

TEST_F(SurfaceOps, GetPitch) {
    EXPECT_EQ(Surface_GetPitch(s), 16);
    qrxhost::InjectFault("IDirectDrawSurface4::GetSurfaceDesc", DDERR_GENERIC);
    EXPECT_EQ(Surface_GetPitch(s), 0);
}

TEST_F(SurfaceOps, FillRetriesWhileStillDrawing) {
    qrxhost::InjectFault("IDirectDrawSurface4::Blt@16x8", DDERR_WASSTILLDRAWING, 7);
    qrxhost::EnableCallLog(true);
    EXPECT_EQ(Surface_Fill(s, 0x1F), DD_OK);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Blt"), 8u);
    for (WORD w : Snapshot(s))
        ASSERT_EQ(w, 0x1F);
    qrxhost::InjectFault("IDirectDrawSurface4::Blt", DDERR_SURFACELOST, 1);
    EXPECT_EQ(Surface_Fill(s, 0), DDERR_SURFACELOST); // only returned
}

TEST_F(SurfaceOps, CopyBitmapLoadsSheetOneToOne) {
    HBITMAP sheet = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "IDB_BITMAP3",
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(sheet, nullptr);
    BITMAP bm;
    ASSERT_EQ(GetObjectA(sheet, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 640);
    EXPECT_EQ(bm.bmHeight, 400);
    EXPECT_EQ(bm.bmBitsPixel, 8);
    LPDIRECTDRAWSURFACE4 gfx = Offscreen(dd, 640, 400);
    ASSERT_EQ(Surface_CopyBitmap(gfx, sheet, 0, 0, 0, 0), 0);
    // Every pixel is its palette colour in RGB565; a memory DC reads the palette colour.
    HDC mem = CreateCompatibleDC(nullptr);
    ASSERT_NE(SelectObject(mem, sheet), nullptr);
    {
        Pixels p(gfx);
        for (int y = 0; y < 400; y += 7)
            for (int x = 0; x < 640; x += 3) {
                COLORREF c = GetPixel(mem, x, y);
                WORD want =
                    WORD((GetRValue(c) >> 3) << 11 | (GetGValue(c) >> 2) << 5 | GetBValue(c) >> 3);
                ASSERT_EQ(p.At(x, y), want) << x << "," << y;
            }
    }
    EXPECT_FALSE(DeleteObject(sheet)); // still selected
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(sheet));
    gfx->Release();
}

TEST(Bitmap, MalformedResourcesGiveNull) {
    // Unknown names and types never reach the parser.
    EXPECT_EQ(LoadImageA(nullptr, "NO_SUCH", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "MOD1", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "IDB_BITMAP3", IMAGE_BITMAP, 320, 200, LR_CREATEDIBSECTION),
              nullptr);
    qrxhost::InjectFault("FindResourceA", 0);
    EXPECT_EQ(LoadImageA(nullptr, "IDB_BITMAP3", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(qrxhost::LiveGdiObjects(), 0);
}

namespace {

std::vector<uint8_t> Dib(int32_t w, int32_t h, uint16_t bpp = 8, uint32_t compression = 0,
                         uint32_t colours = 0) {
    // One allocation of the final size: header, palette (0x40 bytes), pixels (1).
    uint32_t n = colours ? colours : 256;
    size_t palette = 4 * size_t(n < 1000 ? n : 0);
    uint64_t stride = (uint64_t(w > 0 ? w : 0) + 3) & ~3ull,
             rows = uint64_t(h < 0 ? -int64_t(h) : h);
    size_t pixels = stride * rows < (1u << 24) ? size_t(stride * rows) : 0;
    std::vector<uint8_t> v(40 + palette + pixels, 1);
    std::fill(v.begin(), v.begin() + 40, uint8_t(0));
    std::fill(v.begin() + 40, v.begin() + 40 + std::ptrdiff_t(palette), uint8_t(0x40));
    auto put32 = [&](size_t at, uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v[at + i] = uint8_t(x >> (8 * i));
    };
    put32(0, 40);
    put32(4, uint32_t(w));
    put32(8, uint32_t(h));
    v[12] = 1;
    v[14] = uint8_t(bpp);
    put32(16, compression);
    put32(32, colours);
    return v;
}

} // namespace

TEST(Bitmap, PackedDibParsedOrRefused) {
    auto good = Dib(5, -3, 8, 0, 2); // top-down, 2 colours, stride 8
    HBITMAP b = qrxhost::BitmapFromPackedDib(good.data(), good.size());
    ASSERT_NE(b, nullptr);
    BITMAP bm;
    ASSERT_EQ(GetObjectA(b, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 8);
    EXPECT_EQ(GetObjectA(b, sizeof bm - 1, &bm), 0);
    EXPECT_TRUE(DeleteObject(b));
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
    } cases[] = {
        {"24 bits", Dib(4, 4, 24)},
        {"compressed", Dib(4, 4, 8, 1)},
        {"257 colours", Dib(4, 4, 8, 0, 257)},
        {"zero width", Dib(0, 4)},
        {"negative width", Dib(-4, 4)},
        {"zero height", Dib(4, 0)},
        {"huge", Dib(0x7FFFFFFF, 0x7FFFFFFF)},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 40)},
        {"short pixels", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 39)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qrxhost::BitmapFromPackedDib(c.data.data(), c.data.size()), nullptr) << c.what;
    auto bigHeader = good;
    bigHeader[0] = 0xFF;
    EXPECT_EQ(qrxhost::BitmapFromPackedDib(bigHeader.data(), bigHeader.size()), nullptr);
    EXPECT_EQ(qrxhost::BitmapFromPackedDib(nullptr, 100), nullptr);
    EXPECT_EQ(qrxhost::LiveGdiObjects(), 0);
}

TEST(Resources, FindByNameTypeAndNumber) {
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    HRSRC r = FindResourceA(self, "mod1", "Modules");
    ASSERT_NE(r, nullptr);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(self, r)));
    ASSERT_NE(data, nullptr);
    ASSERT_GT(SizeofResource(self, r), 1084u);
    EXPECT_EQ(std::string(data + 1080, 4), "M.K.");
    HRSRC sheet = FindResourceA(nullptr, "IDB_BITMAP3", RT_BITMAP);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(SizeofResource(self, sheet), 40u + 1024u + 256000u);
    EXPECT_EQ(FindResourceA(self, "IDB_BITMAP3", "DLL"), nullptr);
    EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCE(1), RT_BITMAP), nullptr);
    EXPECT_EQ(SizeofResource(self, reinterpret_cast<HRSRC>(self)), 0u);
}
