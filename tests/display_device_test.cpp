// Display device: start-up of the device with each of its failure messages, the row table,
// the flip with its retries and failures, restoring lost surfaces and releasing everything.
#include <gtest/gtest.h>

#include "display/display.h"
#include "display/surface.h"
#include "display_test_util.h"

using namespace dtest;

TEST(Device, InitAppCreatesEverything) {
    ASSERT_EQ(InitApp(), 0);
    EXPECT_NE(g_pDD, nullptr);
    EXPECT_NE(g_pDDSPrimary, nullptr);
    EXPECT_NE(g_pDDSBack, nullptr);
    EXPECT_NE(g_pDDSGfx, nullptr);
    EXPECT_NE(g_pGammaControl, nullptr);
    for (LPDIRECTDRAWSURFACE4 s : {g_pDDSPrimary, g_pDDSBack, g_pDDSGfx}) {
        DDSURFACEDESC2 d;
        std::memset(&d, 0, sizeof d);
        d.dwSize = sizeof d;
        ASSERT_EQ(s->GetSurfaceDesc(&d), DD_OK);
        EXPECT_TRUE(d.dwFlags & DDSD_CKSRCBLT);
        EXPECT_EQ(d.ddckCKSrcBlt.dwColorSpaceLowValue, 0u);
    }
    // The sheet: exactly the palette-index-0 pixels are 0.
    HRSRC r = FindResourceA(nullptr, "IDB_BITMAP3", RT_BITMAP);
    const auto* dib = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, r)));
    ASSERT_NE(dib, nullptr);
    const uint8_t* bits = dib + 40 + 1024;
    Pixels p(g_pDDSGfx);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(p.At(x, y) == 0, bits[size_t(399 - y) * 640 + x] == 0) << x << "," << y;
}

TEST(Device, InitAppShowsOneMessagePerFailure) {
    if (!BoxesRecorded()) GTEST_SKIP() << "message boxes are not recorded by this host yet";
    struct Case {
        const char* call;
        HRESULT code;
        const char* message;
    } cases[] = {
        {"DirectDrawCreate", DDERR_GENERIC, "DirectDrawCreate FAILED"},
        {"IDirectDraw::QueryInterface", E_NOINTERFACE, "InitApp: QueryInterface -> E_NOINTERFACE"},
        {"IDirectDraw::QueryInterface", E_POINTER, "InitApp: QueryInterface -> E_POINTER"},
        {"IDirectDraw::QueryInterface", DDERR_INVALIDOBJECT,
         "InitApp: QueryInterface -> DDERR_INVALIDOBJECT"},
        {"IDirectDraw::QueryInterface", DDERR_INVALIDPARAMS,
         "InitApp: QueryInterface -> DDERR_INVALIDPARAMS"},
        {"IDirectDraw::QueryInterface", DDERR_OUTOFMEMORY,
         "InitApp: QueryInterface -> unknown Error"},
        {"IDirectDraw4::GetCaps", DDERR_GENERIC, "Couldnt get CAPS !"},
        {"IDirectDraw4::SetCooperativeLevel", DDERR_GENERIC, "SetCooperativeLevel FAILED"},
        {"IDirectDraw4::SetDisplayMode", DDERR_INVALIDMODE, "SetDisplayMode FAILED"},
        {"IDirectDraw4::CreateSurface@primary", DDERR_OUTOFMEMORY, "CreateSurface FAILED"},
        {"IDirectDrawSurface4::GetAttachedSurface", DDERR_NOTFOUND, "GetAttachedSurface FAILED"},
        {"IDirectDraw4::CreateSurface@gfx", DDERR_OUTOFMEMORY, "CreateSurface FAILED"},
        {"LoadImageA", E_FAIL, "Couldnt load Gfx Bitmap"},
        {"FindResourceA@IDB_BITMAP3", E_FAIL, "Couldnt load Gfx Bitmap"},
        {"SelectObject", E_FAIL, "Couldnt select object\nLine : 293"},
        {"IDirectDrawSurface4::GetDC@gfx", DDERR_CANTCREATEDC,
         "Couldnt get DC for surface\nLine : 313"},
        {"IDirectDrawSurface4::GetSurfaceDesc@primary", DDERR_GENERIC,
         "Cant get RGB mask\nLine : 149"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        Release_All();
        qrxhost::ClearFaults();
        qrxhost::InjectFault(c.call, c.code);
        size_t before = qrxhost::MessageBoxes().size();
        EXPECT_NE(InitApp(), 0);
        ASSERT_EQ(qrxhost::MessageBoxes().size(), before + 1);
        EXPECT_EQ(qrxhost::MessageBoxes().back().text, c.message);
        EXPECT_EQ(g_pDD, nullptr); // released by the report
    }
}

TEST(Device, ReleaseAllTwiceReleasesEachOnce) {
    ASSERT_EQ(InitApp(), 0);
    g_pDDSScroller = Offscreen(g_pDD, 705, 33);
    g_pDDSWriter = Offscreen(g_pDD, 640, 480);
    qrxhost::EnableCallLog(true);
    Release_All();
    Release_All();
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Release@primary"), 1u);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Release@gfx"), 1u);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Release@705x33"), 1u);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Release@640x480"), 1u);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Release@back"), 0u);
    EXPECT_EQ(CountCalls("IDirectDraw4::Release"), 1u);
    for (void* p : {static_cast<void*>(g_pDD), static_cast<void*>(g_pDDSPrimary),
                    static_cast<void*>(g_pDDSGfx), static_cast<void*>(g_pDDSScroller),
                    static_cast<void*>(g_pDDSWriter)})
        EXPECT_EQ(p, nullptr);
    EXPECT_EQ(qrxhost::LiveSurfaces(), 0);
    EXPECT_EQ(qrxhost::LiveDirectDrawObjects(), 0);
}

TEST(Device, RowOffsetFollowsPitch) {
    struct Case {
        LONG pitchBytes;
        int32_t last;
    } cases[] = {{1280, 306560}, {2048, 490496}};
    for (const Case& c : cases) {
        Release_All();
        qrxhost::SetDisplayPitch(c.pitchBytes);
        ASSERT_EQ(InitApp(), 0);
        EXPECT_EQ(Surface_GetPitch(g_pDDSPrimary), c.pitchBytes / 2);
        RowOffset_Init();
        EXPECT_EQ(g_RowOffset[0], 0);
        EXPECT_EQ(g_RowOffset[1], c.pitchBytes / 2);
        EXPECT_EQ(g_RowOffset[479], c.last);
        // Plotting through the table lands on the pixel the lock addresses.
        WORD* px = Surface_Lock(g_pDDSBack);
        ASSERT_NE(px, nullptr);
        px[g_RowOffset[479] + 639] = 0xABCD;
        Surface_Unlock(g_pDDSBack);
        EXPECT_EQ(Pixels(g_pDDSBack).At(639, 479), 0xABCD);
    }
}

TEST(Device, FlipRetriesWhileStillDrawing) {
    ASSERT_EQ(InitApp(), 0);
    qrxhost::InjectFault("IDirectDrawSurface4::Flip@primary", DDERR_WASSTILLDRAWING, 9);
    qrxhost::EnableCallLog(true);
    Surface_Fill(g_pDDSBack, 0x1234);
    DX_Flip();
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Flip"), 10u);
    qrxhost::DisplayedFrame f = qrxhost::Displayed();
    EXPECT_EQ(f.frame, 1);
    ASSERT_NE(f.pixels, nullptr);
    EXPECT_EQ(f.pixels[0], 0x1234);
}

TEST(Device, FlipFailuresAreFatal) {
    if (!BoxesRecorded()) GTEST_SKIP() << "message boxes are not recorded by this host yet";
    ASSERT_EQ(InitApp(), 0);
    qrxhost::LoseSurface("primary");
    DX_Flip();
    EXPECT_EQ(qrxhost::MessageBoxes().back().text, "DX_Flip(): surface lost\nLine : 60");
    EXPECT_EQ(g_pDD, nullptr);
    ASSERT_EQ(InitApp(), 0);
    qrxhost::InjectFault("IDirectDrawSurface4::Flip", DDERR_GENERIC);
    DX_Flip();
    EXPECT_EQ(qrxhost::MessageBoxes().back().text, "DX_Flip(): strange error\nLine : 66");
}

TEST(Device, CopyMeetingLostSurfaceRestoresAndDrawsNothing) {
    ASSERT_EQ(InitApp(), 0);
    Surface_Fill(g_pDDSBack, 4);
    qrxhost::InjectFault("IDirectDrawSurface4::BltFast@back", DDERR_SURFACELOST);
    qrxhost::EnableCallLog(true);
    size_t boxes = qrxhost::MessageBoxes().size();
    EXPECT_EQ(Surface_BltFast(g_pDDSGfx, g_pDDSBack, 100, 100, 608, 352, 640, 384), 0);
    for (WORD w : Snapshot(g_pDDSBack))
        ASSERT_EQ(w, 4);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::BltFast"), 1u);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Restore"), 2u);
    if (BoxesRecorded()) {
        ASSERT_GE(qrxhost::MessageBoxes().size(), boxes + 1);
        const auto& notice = qrxhost::MessageBoxes()[boxes];
        EXPECT_EQ(notice.text, "RestoreAll() called");
        EXPECT_EQ(notice.caption, "");
        EXPECT_EQ(notice.type, UINT(MB_OK));
    }
    // The next copy draws again.
    EXPECT_EQ(Surface_BltFast(g_pDDSGfx, g_pDDSBack, 100, 100, 608, 352, 640, 384), 0);
    EXPECT_NE(Snapshot(g_pDDSBack), std::vector<WORD>(640 * 480, 4));
}

TEST(Device, LostSheetIsRestoredButNotReloaded) {
    ASSERT_EQ(InitApp(), 0);
    qrxhost::LoseAllSurfaces();
    EXPECT_EQ(Surface_BltFast(g_pDDSGfx, g_pDDSBack, 0, 0, 0, 0, 640, 400), 0);
    for (WORD w : Snapshot(g_pDDSGfx))
        ASSERT_EQ(w, 0);
}

TEST(Device, CopyRetriesWhileStillDrawing) {
    ASSERT_EQ(InitApp(), 0);
    Surface_Fill(g_pDDSBack, 4);
    qrxhost::InjectFault("IDirectDrawSurface4::BltFast", DDERR_WASSTILLDRAWING, 5);
    qrxhost::EnableCallLog(true);
    EXPECT_EQ(Surface_BltFast(g_pDDSGfx, g_pDDSBack, 10, 20, 608, 352, 640, 384), 0);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::BltFast"), 6u);
    EXPECT_EQ(Pixels(g_pDDSBack).At(10 + 16, 20 + 16), Pixels(g_pDDSGfx).At(608 + 16, 352 + 16));
    // Other failures come back unchanged.
    EXPECT_EQ(Surface_BltFast(g_pDDSGfx, g_pDDSBack, 630, 0, 608, 352, 640, 384),
              DDERR_INVALIDRECT);
}

TEST(Device, RestoreFailureIsFatal) {
    if (!BoxesRecorded()) GTEST_SKIP() << "message boxes are not recorded by this host yet";
    ASSERT_EQ(InitApp(), 0);
    qrxhost::InjectFault("IDirectDrawSurface4::Restore@primary", DDERR_GENERIC);
    EXPECT_EQ(RestoreAll(), DDERR_GENERIC);
    EXPECT_EQ(qrxhost::MessageBoxes().back().text, "RestoreAll: g_pDDSPrimary restore failed");
    ASSERT_EQ(InitApp(), 0);
    qrxhost::InjectFault("IDirectDrawSurface4::Restore@gfx", DDERR_GENERIC);
    EXPECT_EQ(RestoreAll(), DDERR_GENERIC);
    EXPECT_EQ(qrxhost::MessageBoxes().back().text, "RestoreAll: g_pDDSGfx restore failed");
}
