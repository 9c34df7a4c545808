// Every platform call of start-up and of the frame that can fail, made to fail through the
// real WinMain on the virtual host: the one message shown, the display released before the box
// and the window destroyed after it, nothing drawn or flipped after the report, no call into
// the music after its release, and exit code 0. One row per failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "music/music.h"
#include "qrx_host.h"
#include "qrx_host_display.h"
#include "shell/shell.h"
#include "shell/winmain.cpp"

// The music is a recording double here (the loader's failures end the process and are swept
// in hardening_loader_test): what matters is that nothing calls it after MOD_Free.
char g_TempFileName[MAX_PATH];
HMODULE g_hBass = nullptr;
DWORD g_hMusic = 0;
void Load_BASS(HWND) {
    qrxhost::LogCall("Load_BASS");
}
void MOD_Init(HWND hwnd) {
    qrxhost::LogCall("MOD_Init");
    Load_BASS(hwnd);
}
void MOD_Play() {
    qrxhost::LogCall("MOD_Play");
}
void MOD_Free() {
    qrxhost::LogCall("MOD_Free");
}

namespace {

constexpr const char* kNotice = "RestoreAll() called";

struct Fault {
    const char* call;
    HRESULT code;
    int count; // -1: every call from then on
    int skip;  // matching calls that pass first
};

struct Row {
    const char* name;
    std::vector<Fault> faults;
    std::vector<std::string> boxes; // in order; the last one is the fatal report, if any
    bool fatal;                     // the show ends by the report rather than by closing
    int minFrames;                  // frames the show must have reached
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.name;
}

bool IsDraw(const std::string& call) {
    static const char* const kDraw[] = {"::Blt",  "::BltFast", "::Flip",
                                        "::Lock", "::GetDC",   "StretchBlt"};
    for (const char* d : kDraw)
        if (call.find(d) != std::string::npos) return true;
    return false;
}

bool IsDirectDraw(const std::string& call) {
    return call.rfind("IDirectDraw", 0) == 0 || call == "DirectDrawCreate";
}

// Runs the program; a show that is not ended by a report is closed after `closeAt` frames.
struct ShowRun {
    int frames = 0;
    int code = -1;
    explicit ShowRun(const Row& row, int closeAt = 240) {
        for (const Fault& f : row.faults)
            qrxhost::InjectFault(f.call, f.code, f.count, f.skip);
        qrxhost::EnableCallLog(true);
        int peeks = 0;
        qrxhost::OnEmptyPeek([&peeks, closeAt] {
            if (++peeks == closeAt) qrxhost::RequestClose();
            if (peeks > closeAt + 1000) qrxhost::RequestClose();
        });
        qrxhost::OnFlip([this](int frame) { frames = frame; });
        static char noCommandLine[] = "";
        code = WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
    }
};

class FaultSweep : public ::testing::TestWithParam<Row> {};

TEST_P(FaultSweep, EndsAsReported) {
    const Row& row = GetParam();
    ShowRun run(row);
    EXPECT_EQ(run.code, 0);

    std::vector<std::string> texts;
    for (const qrxhost::MessageBoxRecord& b : qrxhost::MessageBoxes())
        texts.push_back(b.text);
    EXPECT_EQ(texts, row.boxes);
    for (const qrxhost::MessageBoxRecord& b : qrxhost::MessageBoxes())
        EXPECT_EQ(b.caption, b.text == kNotice ? "" : "QRX Intro 2k") << b.text;
    EXPECT_GE(run.frames, row.minFrames);

    const std::vector<std::string>& log = qrxhost::CallLog();
    if (qrxhost::Windows().empty()) {
        // No window: nothing else was started.
        EXPECT_EQ(std::count(log.begin(), log.end(), "DirectDrawCreate"), 0);
        EXPECT_EQ(std::count(log.begin(), log.end(), "MOD_Init"), 0);
        return;
    }
    auto destroy = std::find(log.begin(), log.end(), "DestroyWindow");
    ASSERT_NE(destroy, log.end()) << "the window is always destroyed";
    EXPECT_EQ(std::count(log.begin(), log.end(), "DestroyWindow"), 1);
    EXPECT_LE(std::count(log.begin(), log.end(), "MOD_Free"), 1);
    auto modFree = std::find(log.begin(), log.end(), "MOD_Free");
    for (auto it = modFree; it != log.end(); ++it)
        EXPECT_TRUE(it->rfind("MOD_", 0) != 0 || it == modFree) << *it << " after MOD_Free";

    if (row.fatal) {
        // The report: release, then its box, then the destruction; nothing drawn afterwards.
        auto box = std::find(log.rbegin(), log.rend(), "MessageBoxA").base() - 1;
        ASSERT_LT(box, destroy);
        EXPECT_EQ(std::find(box + 1, destroy, "MessageBoxA"), destroy);
        for (auto it = box + 1; it != log.end(); ++it) {
            EXPECT_FALSE(IsDraw(*it)) << *it << " after the report";
            EXPECT_FALSE(IsDirectDraw(*it)) << *it << " after the display's release";
        }
        EXPECT_EQ(qrxhost::LiveSurfaces(), 0);
        EXPECT_EQ(qrxhost::LiveDirectDrawObjects(), 0);
    } else {
        // Closed by the user: the show reached the close and released everything on the way.
        EXPECT_NE(modFree, log.end());
        EXPECT_EQ(qrxhost::LiveSurfaces(), 0);
    }
}

const HRESULT kLost = DDERR_SURFACELOST, kBusy = DDERR_WASSTILLDRAWING, kFail = DDERR_GENERIC;

Row Fatal(const char* name, std::vector<Fault> f, std::string box) {
    return Row{name, std::move(f), {std::move(box)}, true, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Platform, FaultSweep,
    ::testing::Values(
        // Window and clock.
        Row{"CreateWindow", {{"CreateWindowExA", E_FAIL, 1, 0}}, {}, true, 0},
        Fatal("CounterFrequency", {{"QueryPerformanceFrequency", E_FAIL, 1, 0}},
              "Init_Timer() couldn init"),
        Fatal("FirstCounterRead", {{"QueryPerformanceCounter", E_FAIL, 1, 0}},
              "Init_Timer() couldn init"),
        Row{"SetTimer", {{"SetTimer", E_FAIL, 1, 0}}, {}, false, 200},
        // Device set-up, each step with its message.
        Fatal("DirectDrawCreate", {{"DirectDrawCreate", kFail, 1, 0}}, "DirectDrawCreate FAILED"),
        Fatal("QueryNoInterface", {{"IDirectDraw::QueryInterface", E_NOINTERFACE, 1, 0}},
              "InitApp: QueryInterface -> E_NOINTERFACE"),
        Fatal("QueryPointer", {{"IDirectDraw::QueryInterface", E_POINTER, 1, 0}},
              "InitApp: QueryInterface -> E_POINTER"),
        Fatal("QueryInvalidObject", {{"IDirectDraw::QueryInterface", DDERR_INVALIDOBJECT, 1, 0}},
              "InitApp: QueryInterface -> DDERR_INVALIDOBJECT"),
        Fatal("QueryInvalidParams", {{"IDirectDraw::QueryInterface", DDERR_INVALIDPARAMS, 1, 0}},
              "InitApp: QueryInterface -> DDERR_INVALIDPARAMS"),
        Fatal("QueryOther", {{"IDirectDraw::QueryInterface", kFail, 1, 0}},
              "InitApp: QueryInterface -> unknown Error"),
        Fatal("GetCaps", {{"IDirectDraw4::GetCaps", kFail, 1, 0}}, "Couldnt get CAPS !"),
        Fatal("SetCooperativeLevel", {{"IDirectDraw4::SetCooperativeLevel", kFail, 1, 0}},
              "SetCooperativeLevel FAILED"),
        Fatal("SetDisplayMode", {{"IDirectDraw4::SetDisplayMode", kFail, 1, 0}},
              "SetDisplayMode FAILED"),
        Fatal("CreatePrimary", {{"IDirectDraw4::CreateSurface@primary", kFail, 1, 0}},
              "CreateSurface FAILED"),
        Fatal("GetAttachedSurface", {{"IDirectDrawSurface4::GetAttachedSurface", kFail, 1, 0}},
              "GetAttachedSurface FAILED"),
        Fatal("CreateSheet", {{"IDirectDraw4::CreateSurface@gfx", kFail, 1, 0}},
              "CreateSurface FAILED"),
        Fatal("LoadImage", {{"LoadImageA", E_FAIL, 1, 0}}, "Couldnt load Gfx Bitmap"),
        Fatal("SheetResourceMissing", {{"FindResourceA@IDB_BITMAP3", E_FAIL, 1, 0}},
              "Couldnt load Gfx Bitmap"),
        Fatal("SelectObject", {{"SelectObject", E_FAIL, 1, 0}},
              "Couldnt select object\nLine : 293"),
        Fatal("SheetGetDC", {{"IDirectDrawSurface4::GetDC@gfx", kFail, 1, 0}},
              "Couldnt get DC for surface\nLine : 313"),
        Fatal("RgbMask", {{"IDirectDrawSurface4::GetSurfaceDesc@primary", kFail, 1, 0}},
              "Cant get RGB mask\nLine : 149"),
        // Gamma control: not reported, the show runs.
        Row{"GammaQuery",
            {{"IDirectDrawSurface4::QueryInterface@primary", E_NOINTERFACE, 1, 0}},
            {},
            false,
            200},
        Row{"GammaRead", {{"IDirectDrawGammaControl::GetGammaRamp", kFail, 1, 0}}, {}, false, 200},
        // The effects' own surfaces.
        Fatal("CreateStrip", {{"IDirectDraw4::CreateSurface@705x33", kFail, 1, 0}},
              "Scroller_Init()\nCreateSurface for \tScroller FAILED"),
        Fatal("CreateWriterSurface", {{"IDirectDraw4::CreateSurface@640x480", kFail, 1, 0}},
              "Writer_Init()\nCreateSurface for \tWriter FAILED"),
        Row{"StripFill", {{"IDirectDrawSurface4::Blt@705x33", kFail, 1, 0}}, {}, false, 200},
        // The frame: lock, flip, copies.
        Fatal("LockBack", {{"IDirectDrawSurface4::Lock@back", kFail, 1, 30}},
              "Cant Lock Surface\nLine : 222"),
        Fatal("FlipLost", {{"IDirectDrawSurface4::Flip", kLost, 1, 100}},
              "DX_Flip(): surface lost\nLine : 60"),
        Fatal("FlipOther", {{"IDirectDrawSurface4::Flip", kFail, 1, 100}},
              "DX_Flip(): strange error\nLine : 66"),
        Row{"FlipBusy", {{"IDirectDrawSurface4::Flip", kBusy, 50, 100}}, {}, false, 200},
        Row{"FillBusy", {{"IDirectDrawSurface4::Blt@back", kBusy, 50, 100}}, {}, false, 200},
        Row{"FillFails", {{"IDirectDrawSurface4::Blt@back", kFail, 5, 100}}, {}, false, 200},
        Row{"CopyBusy", {{"IDirectDrawSurface4::BltFast", kBusy, 50, 200}}, {}, false, 200},
        Row{"CopyFails", {{"IDirectDrawSurface4::BltFast", kFail, 5, 200}}, {}, false, 200},
        Row{"CopyLost", {{"IDirectDrawSurface4::BltFast", kLost, 1, 200}}, {kNotice}, false, 200},
        Row{"CopyLostPrimaryRestoreFails",
            {{"IDirectDrawSurface4::BltFast", kLost, 1, 200},
             {"IDirectDrawSurface4::Restore@primary", kFail, 1, 0}},
            {kNotice, "RestoreAll: g_pDDSPrimary restore failed"},
            true,
            0},
        Row{"CopyLostSheetRestoreFails",
            {{"IDirectDrawSurface4::BltFast", kLost, 1, 200},
             {"IDirectDrawSurface4::Restore@gfx", kFail, 1, 1}},
            {kNotice, "RestoreAll: g_pDDSGfx restore failed"},
            true,
            0}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

} // namespace
