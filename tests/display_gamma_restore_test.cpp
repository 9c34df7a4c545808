// The desktop's gamma ramp: read when the gamma control is obtained and put back when the
// display is released, however the show ends, so that the desktop is never left dark.
#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "display/gamma.h"
#include "display_test_util.h"
#include "show/show.h"

using namespace dtest;

namespace {

// A ramp unlike any fade level, so that only a restore can bring it back.
DDGAMMARAMP DesktopRamp() {
    DDGAMMARAMP r;
    for (int i = 0; i < 256; ++i) {
        r.red[i] = static_cast<WORD>(65535 - i * 3);
        r.green[i] = static_cast<WORD>(i * 200 + 7);
        r.blue[i] = static_cast<WORD>(i * 131);
    }
    return r;
}

DDGAMMARAMP IdentityRamp() {
    DDGAMMARAMP r;
    for (int i = 0; i < 256; ++i)
        r.red[i] = r.green[i] = r.blue[i] = static_cast<WORD>(i * 257);
    return r;
}

// Puts ramp in force on the virtual display, as the desktop had it before the program ran.
void SetDesktopRamp(const DDGAMMARAMP& ramp) {
    LPDIRECTDRAW4 dd = Device();
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    LPDIRECTDRAWSURFACE4 primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&d, &primary, nullptr), DD_OK);
    LPDIRECTDRAWGAMMACONTROL gamma = nullptr;
    ASSERT_EQ(
        primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<LPVOID*>(&gamma)),
        DD_OK);
    DDGAMMARAMP copy = ramp;
    ASSERT_EQ(gamma->SetGammaRamp(0, &copy), DD_OK);
    gamma->Release();
    primary->Release();
    dd->Release();
}

// True when the ramp the display shows now is ramp.
bool InForce(const DDGAMMARAMP& ramp) {
    const DDGAMMARAMP* shown = qrxhost::Displayed().ramp;
    return shown && std::memcmp(shown, &ramp, sizeof ramp) == 0;
}

void FadeToBlack() {
    g_FadeLevel = 256;
    uint16_t scene = g_Scene;
    while (g_Scene == scene)
        Fade_Out();
}

} // namespace

TEST(GammaRestore, DesktopRampComesBackHoweverTheShowEnds) {
    const DDGAMMARAMP desktop = DesktopRamp();
    struct Case {
        const char* name;
        void (*show)();
    } cases[] = {
        {"fading in",
         [] {
             for (int i = 0; i < 100; ++i)
                 Fade_In();
         }},
        {"after a fade-out", FadeToBlack},
        {"level 256 set", [] { Gamma_SetLevel(256); }},
        {"ramp never changed", [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetDesktopRamp(desktop);
        ASSERT_EQ(InitApp(), 0);
        ASSERT_NE(g_pGammaControl, nullptr);
        c.show();
        Release_All();
        EXPECT_TRUE(InForce(desktop));
    }
}

TEST(GammaRestore, FatalErrorPutsTheRampBackOnce) {
    if (!BoxesRecorded()) GTEST_SKIP() << "message boxes are not recorded by this host yet";
    const DDGAMMARAMP desktop = DesktopRamp();
    SetDesktopRamp(desktop);
    ASSERT_EQ(InitApp(), 0);
    FadeToBlack();
    ASSERT_FALSE(InForce(desktop));
    qrxhost::EnableCallLog(true);
    qrxhost::InjectFault("IDirectDrawSurface4::Flip", DDERR_GENERIC);
    DX_Flip(); // fatal: the report releases the display
    EXPECT_EQ(g_pDD, nullptr);
    EXPECT_TRUE(InForce(desktop));
    EXPECT_EQ(CountCalls("IDirectDrawGammaControl::SetGammaRamp"), 1u);
    Release_All(); // the window's destruction releases again
    EXPECT_EQ(CountCalls("IDirectDrawGammaControl::SetGammaRamp"), 1u);
    EXPECT_TRUE(InForce(desktop));
}

TEST(GammaRestore, UnreadableRampGivesTheIdentityBack) {
    SetDesktopRamp(DesktopRamp());
    qrxhost::InjectFault("IDirectDrawGammaControl::GetGammaRamp", DDERR_GENERIC);
    ASSERT_EQ(InitApp(), 0);
    FadeToBlack();
    Release_All();
    EXPECT_TRUE(InForce(IdentityRamp()));
}

TEST(GammaRestore, FailureBeforeTheGammaControlLeavesTheRampAlone) {
    if (!BoxesRecorded()) GTEST_SKIP() << "message boxes are not recorded by this host yet";
    const DDGAMMARAMP desktop = DesktopRamp();
    SetDesktopRamp(desktop);
    qrxhost::InjectFault("LoadImageA", E_FAIL);
    qrxhost::EnableCallLog(true);
    EXPECT_NE(InitApp(), 0);
    EXPECT_EQ(g_pDD, nullptr);
    EXPECT_EQ(CountCalls("IDirectDrawGammaControl::SetGammaRamp"), 0u);
    EXPECT_TRUE(InForce(desktop));
}
