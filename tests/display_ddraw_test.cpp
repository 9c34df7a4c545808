// The DirectDraw and GDI stand-in: rectangles, colour keys, overlapping and scaled copies,
// fills, locks, pitch, flips, lost surfaces, reference counts and bitmap loading.
#include <gtest/gtest.h>

#include <cstring>

#include "display_test_util.h"

using namespace dtest;

namespace {

struct DDrawCopy : testing::Test {
    void SetUp() override {
        dd = Device();
        a = Offscreen(dd, 40, 30);
        b = Offscreen(dd, 40, 30);
        Paint(a, [](int x, int y) { return 1000 + y * 40 + x; });
        Paint(b, [](int, int) { return 7; });
    }
    void TearDown() override {
        a->Release();
        b->Release();
        dd->Release();
    }
    LPDIRECTDRAW4 dd;
    LPDIRECTDRAWSURFACE4 a, b;
};

} // namespace

TEST_F(DDrawCopy, CopyReachingOutsideIsRefusedWhole) {
    SetBlackKey(a);
    struct Case {
        DWORD x, y;
        RECT src;
    } cases[] = {
        {0, 0, {-1, 0, 10, 10}}, {0, 0, {0, 0, 41, 10}}, {0, 0, {0, 25, 10, 31}},
        {35, 0, {0, 0, 6, 5}},   {0, 26, {0, 0, 5, 5}},  {DWORD(-2), 0, {0, 0, 5, 5}},
        {0, 0, {10, 0, 5, 5}},
    };
    const auto before = Snapshot(b);
    for (const Case& c : cases) {
        RECT r = c.src;
        EXPECT_EQ(b->BltFast(c.x, c.y, a, &r, DDBLTFAST_SRCCOLORKEY), DDERR_INVALIDRECT);
        EXPECT_EQ(b->BltFast(c.x, c.y, a, &r, DDBLTFAST_NOCOLORKEY), DDERR_INVALIDRECT);
        RECT d = {LONG(c.x), LONG(c.y), LONG(c.x) + r.right - r.left, LONG(c.y) + r.bottom - r.top};
        EXPECT_EQ(b->Blt(&d, a, &r, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);
    }
    RECT wide = {30, 0, 45, 5};
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 9;
    EXPECT_EQ(b->Blt(&wide, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
    EXPECT_EQ(Snapshot(b), before);
}

TEST_F(DDrawCopy, SourceKeyIsExact) {
    // Key 1000 is a's pixel (0, 0); 0 and 1001 must be copied.
    Paint(a, [](int x, int) { return x % 3 == 0 ? 1000 : x % 3 == 1 ? 0 : 1001; });
    DDCOLORKEY k = {1000, 1000};
    ASSERT_EQ(a->SetColorKey(DDCKEY_SRCBLT, &k), DD_OK);
    RECT r = {0, 0, 40, 30};
    ASSERT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_SRCCOLORKEY), DD_OK);
    Pixels p(b);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(p.At(x, 3), x % 3 == 0 ? 7 : x % 3 == 1 ? 0 : 1001) << x;
}

TEST_F(DDrawCopy, KeyedCopyWithoutKeyIsRefused) {
    RECT r = {0, 0, 4, 4};
    EXPECT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_SRCCOLORKEY), DDERR_NOCOLORKEY);
    EXPECT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_NOCOLORKEY), DD_OK);
}

// Overlapping self-copies in every direction give what a copy from a snapshot gives.
TEST_F(DDrawCopy, OverlappingSelfCopyReadsSourceFirst) {
    struct Case {
        int dx, dy;
    } cases[] = {{-2, 0}, {2, 0}, {0, 3}, {0, -3}, {3, 2}, {-3, -2}, {3, -2}, {-3, 2}};
    for (bool keyed : {false, true}) {
        for (const Case& c : cases) {
            Paint(a,
                  [](int x, int y) { return (x * 7 + y * 13) % 5 == 0 ? 0 : 1000 + y * 40 + x; });
            SetBlackKey(a);
            const auto before = Snapshot(a);
            RECT r = {5, 5, 35, 25};
            ASSERT_EQ(a->BltFast(DWORD(5 + c.dx), DWORD(5 + c.dy), a, &r,
                                 keyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY),
                      DD_OK);
            auto expect = before;
            for (int y = 5; y < 25; ++y)
                for (int x = 5; x < 35; ++x) {
                    WORD s = before[size_t(y) * 40 + x];
                    if (!keyed || s != 0) expect[size_t(y + c.dy) * 40 + x + c.dx] = s;
                }
            EXPECT_EQ(Snapshot(a), expect) << c.dx << "," << c.dy << " keyed " << keyed;
        }
    }
}

TEST_F(DDrawCopy, ScaledCopyIsNearestNeighbourAndKeyed) {
    Paint(a, [](int x, int y) { return x == 2 ? 0 : 1 + y * 40 + x; });
    SetBlackKey(a);
    RECT src = {1, 2, 6, 5};   // 5 x 3
    RECT dst = {3, 4, 16, 11}; // 13 x 7
    ASSERT_EQ(b->Blt(&dst, a, &src, DDBLT_KEYSRC, nullptr), DD_OK);
    Pixels p(b);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            WORD want = 7;
            if (x >= 3 && x < 16 && y >= 4 && y < 11) {
                int sx = 1 + (x - 3) * 5 / 13, sy = 2 + (y - 4) * 3 / 7;
                if (sx != 2) want = WORD(1 + sy * 40 + sx);
            }
            ASSERT_EQ(p.At(x, y), want) << x << "," << y;
        }
}

TEST_F(DDrawCopy, EmptyDestinationIsAcceptedAndDrawsNothing) {
    SetBlackKey(a);
    const auto before = Snapshot(b);
    RECT src = {0, 0, 10, 10};
    for (RECT d : {RECT{5, 5, 5, 9}, RECT{5, 5, 9, 5}, RECT{0, 0, 0, 0}})
        EXPECT_EQ(b->Blt(&d, a, &src, DDBLT_KEYSRC, nullptr), DD_OK);
    RECT none = {3, 3, 3, 3};
    EXPECT_EQ(b->BltFast(0, 0, a, &none, DDBLTFAST_SRCCOLORKEY), DD_OK);
    RECT reversed = {9, 5, 5, 9};
    EXPECT_EQ(b->Blt(&reversed, a, &src, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(Snapshot(b), before);
}

TEST_F(DDrawCopy, FillCoversWholeSurfaceOrRectangle) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x1234;
    ASSERT_EQ(b->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    for (WORD w : Snapshot(b))
        ASSERT_EQ(w, 0x1234);
    RECT r = {1, 1, 3, 2};
    fx.dwFillColor = 5;
    ASSERT_EQ(b->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    Pixels p(b);
    EXPECT_EQ(p.At(1, 1), 5);
    EXPECT_EQ(p.At(2, 1), 5);
    EXPECT_EQ(p.At(3, 1), 0x1234);
    EXPECT_EQ(p.At(1, 2), 0x1234);
}

TEST_F(DDrawCopy, LockedSurfaceRefusesCopiesAndSecondLock) {
    Pixels p(b);
    RECT r = {0, 0, 4, 4};
    EXPECT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_NOCOLORKEY), DDERR_SURFACEBUSY);
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    EXPECT_EQ(b->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
}

TEST_F(DDrawCopy, LostSurfaceUntilRestored) {
    qrxhost::LoseSurface("40x30");
    RECT r = {0, 0, 4, 4};
    EXPECT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_NOCOLORKEY), DDERR_SURFACELOST);
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    EXPECT_EQ(a->Lock(nullptr, &d, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(a->Restore(), DD_OK);
    EXPECT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_NOCOLORKEY), DDERR_SURFACELOST);
    EXPECT_EQ(b->Restore(), DD_OK);
    EXPECT_EQ(b->BltFast(0, 0, a, &r, DDBLTFAST_NOCOLORKEY), DD_OK);
    for (WORD w : Snapshot(a))
        ASSERT_EQ(w, 0); // restored memory comes back black
}

TEST_F(DDrawCopy, FaultsNarrowedToOneSurface) {
    qrxhost::InjectFault("IDirectDrawSurface4::BltFast@40x30", DDERR_WASSTILLDRAWING, 2);
    RECT r = {0, 0, 4, 4};
    EXPECT_EQ(b->BltFast(0, 0, a, &r, 0), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(b->BltFast(0, 0, a, &r, 0), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(b->BltFast(0, 0, a, &r, 0), DD_OK);
}

TEST(DDraw, PrimaryChainPitchDescAndFlip) {
    qrxhost::SetDisplayPitch(2048);
    LPDIRECTDRAW4 dd = Device();
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DDERR_INVALIDMODE);
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    d.dwBackBufferCount = 1;
    d.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    LPDIRECTDRAWSURFACE4 primary = nullptr, back = nullptr;
    ASSERT_EQ(dd->CreateSurface(&d, &primary, nullptr), DD_OK);
    DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, {0}};
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    ASSERT_EQ(back->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.lPitch, 2048);
    EXPECT_EQ(d.dwWidth, 640u);
    EXPECT_EQ(d.dwHeight, 480u);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(d.ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_EQ(d.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(d.ddpfPixelFormat.dwBBitMask, 0x001Fu);
    Paint(back, [](int x, int y) { return x + y; });
    ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
    qrxhost::DisplayedFrame f = qrxhost::Displayed();
    ASSERT_NE(f.pixels, nullptr);
    EXPECT_EQ(f.pitchPixels, 1024);
    EXPECT_EQ(f.pixels[479 * 1024 + 639], 639 + 479);
    EXPECT_EQ(f.ramp, nullptr);
    // The gamma control belongs to the primary; the frame shows the ramp in force.
    LPDIRECTDRAWGAMMACONTROL gamma = nullptr;
    ASSERT_EQ(
        primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<LPVOID*>(&gamma)),
        DD_OK);
    DDGAMMARAMP ramp;
    for (int i = 0; i < 256; ++i)
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = WORD(i * 128);
    ASSERT_EQ(gamma->SetGammaRamp(0, &ramp), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
    f = qrxhost::Displayed();
    ASSERT_NE(f.ramp, nullptr);
    EXPECT_EQ(f.ramp->red[1], 128);
    EXPECT_EQ(qrxhost::DisplayColor(0xFFFF, f.ramp), 0x7F7F7Fu);
    EXPECT_EQ(qrxhost::DisplayColor(0xFFFF, nullptr), 0xFFFFFFu);
    EXPECT_EQ(f.frame, 2);
    EXPECT_EQ(qrxhost::LiveSurfaces(), 2);
    back->Release();
    EXPECT_EQ(qrxhost::LiveSurfaces(), 2); // the back buffer lives with its chain
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(qrxhost::LiveSurfaces(), 0);
    EXPECT_EQ(dd->Release(), 0u);
    EXPECT_EQ(qrxhost::LiveDirectDrawObjects(), 0);
}

TEST(DDraw, FlipAdvancesToNextVerticalBlank) {
    if (qrxhost::CounterFrequency() != 10000000) GTEST_SKIP() << "virtual clock not in place";
    LPDIRECTDRAW4 dd = Device();
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    d.dwBackBufferCount = 1;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    LPDIRECTDRAWSURFACE4 primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&d, &primary, nullptr), DD_OK);
    auto nextBlank = [](int64_t now) {
        for (int64_t k = 0;; ++k)
            if ((k * 10000000 + 59) / 60 > now) return (k * 10000000 + 59) / 60;
    };
    for (int i = 0; i < 5; ++i) {
        const int64_t now = qrxhost::Counter();
        ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
        EXPECT_EQ(qrxhost::Counter(), nextBlank(now)); // from a blank itself: the next one
        qrxhost::AdvanceCounter(i * 1000);
    }
    EXPECT_GE(qrxhost::Counter(), 5 * 166666);
    primary->Release();
    dd->Release();
}

TEST(DDraw, ReferenceCountsAreReal) {
    LPDIRECTDRAW4 dd = Device();
    LPDIRECTDRAWSURFACE4 s = Offscreen(dd, 8, 8);
    EXPECT_EQ(s->AddRef(), 2u);
    EXPECT_EQ(s->Release(), 1u);
    EXPECT_EQ(qrxhost::LiveSurfaces(), 1);
    EXPECT_EQ(s->Release(), 0u);
    EXPECT_EQ(qrxhost::LiveSurfaces(), 0);
    EXPECT_EQ(dd->Release(), 0u);
}

TEST(DDraw, QueryInterfaceFaults) {
    LPDIRECTDRAW dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    qrxhost::InjectFault("IDirectDraw::QueryInterface", E_POINTER);
    LPDIRECTDRAW4 dd4 = nullptr;
    EXPECT_EQ(dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd4)), E_POINTER);
    EXPECT_EQ(dd4, nullptr);
    EXPECT_EQ(dd->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<LPVOID*>(&dd4)),
              E_NOINTERFACE);
    dd->Release();
    qrxhost::InjectFault("DirectDrawCreate", DDERR_GENERIC);
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DDERR_GENERIC);
    EXPECT_EQ(dd, nullptr);
}
