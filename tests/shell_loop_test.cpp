// The real WinMain in virtual mode: start-up order, keys, activation gating and fatal reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "music/music.h"
#include "qrx_host.h"
#include "shell/shell.h"
#include "shell/winmain.cpp"

// The music playback is replaced for these tests by a recording double (defining all of its
// symbols keeps the library's own unit out of the link): the shell is under test here, the
// loader and the library have their own tests.
char g_TempFileName[MAX_PATH];
HMODULE g_hBass = nullptr;
DWORD g_hMusic = 0;
void Load_BASS(HWND) {
    qrxhost::LogCall("Load_BASS");
}
void MOD_Init(HWND hwnd) {
    qrxhost::LogCall("MOD_Init");
    EXPECT_EQ(hwnd, g_hWnd);
    Load_BASS(hwnd);
}
void MOD_Play() {
    qrxhost::LogCall("MOD_Play");
}
void MOD_Free() {
    qrxhost::LogCall("MOD_Free");
}

namespace {

// Drives one run of the program. The loop's steps are the iterations in which no message was
// waiting; each is followed either by a frame or by a wait, so frames = steps - waits.
struct LoopRun {
    int steps = 0;
    int waits = 0;
    std::map<int, std::function<void()>> atStep; // actions before the step's frame or wait
    std::map<int, std::function<void()>> atWait; // actions at the n-th WaitMessage
    std::map<std::string, std::function<void()>> atCall;

    int Frames() const { return steps - waits; }

    int Run() {
        qrxhost::EnableCallLog(true);
        qrxhost::OnEmptyPeek([this] {
            ++steps;
            if (auto it = atStep.find(steps); it != atStep.end()) it->second();
            if (steps > 20000) qrxhost::RequestClose(); // a runaway loop fails the test
        });
        qrxhost::OnCall([this](const char* name) {
            if (!std::strcmp(name, "WaitMessage")) {
                ++waits;
                if (auto it = atWait.find(waits); it != atWait.end()) it->second();
            }
            if (auto it = atCall.find(name); it != atCall.end()) it->second();
        });
        static char noCommandLine[] = "";
        int code = WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
        EXPECT_LE(steps, 20000) << "the loop did not end by itself";
        return code;
    }
};

int Count(const char* name) {
    const auto& log = qrxhost::CallLog();
    return static_cast<int>(std::count(log.begin(), log.end(), std::string(name)));
}

// The calls of interest, in the order they happened.
std::vector<std::string> Filtered(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const std::string& call : qrxhost::CallLog())
        if (std::find(names.begin(), names.end(), call) != names.end()) out.push_back(call);
    return out;
}

TEST(ShellLoop, StartsUpInOrderAndPausesFiveSecondsBeforeTheFirstFrame) {
    LoopRun run;
    int64_t atSleep = -1, atFirstStep = -1;
    run.atCall["Sleep"] = [&] { atSleep = qrxhost::Counter(); };
    run.atStep[1] = [&] {
        atFirstStep = qrxhost::Counter();
        qrxhost::RequestClose();
    };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(Filtered({"RegisterClassA", "CreateWindowExA", "ShowWindow", "UpdateWindow",
                        "SetFocus", "QueryPerformanceFrequency", "ShowCursor", "DirectDrawCreate",
                        "time", "SetTimer", "MOD_Init", "MOD_Play", "Sleep", "DestroyWindow",
                        "MOD_Free", "IDirectDraw4::Release", "PostQuitMessage"}),
              (std::vector<std::string>{"RegisterClassA", "CreateWindowExA", "ShowWindow",
                                        "UpdateWindow", "SetFocus", "QueryPerformanceFrequency",
                                        "ShowCursor", "DirectDrawCreate", "time", "SetTimer",
                                        "MOD_Init", "MOD_Play", "Sleep", "DestroyWindow",
                                        "MOD_Free", "IDirectDraw4::Release", "PostQuitMessage"}));
    EXPECT_EQ(atFirstStep - atSleep, 5000 * 10000); // nothing but the pause in between
    EXPECT_EQ(qrxhost::CursorShowCount(), -1);
    EXPECT_TRUE(qrxhost::MessageBoxes().empty());
}

TEST(ShellLoop, CreatesTheTopmostPopupOverTheScreen) {
    LoopRun run;
    run.atStep[1] = [] { qrxhost::RequestClose(); };
    ASSERT_EQ(run.Run(), 0);
    const WNDCLASSA* wc = qrxhost::RegisteredClass("QRX Intro");
    ASSERT_NE(wc, nullptr);
    EXPECT_EQ(wc->style, 3u);
    EXPECT_EQ(wc->lpfnWndProc, &WindowProc);
    EXPECT_EQ(wc->cbClsExtra, 0);
    EXPECT_EQ(wc->cbWndExtra, 0);
    EXPECT_EQ(wc->hIcon, nullptr);
    EXPECT_EQ(wc->hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(static_cast<HGDIOBJ>(wc->hbrBackground), GetStockObject(BLACK_BRUSH));
    EXPECT_STREQ(wc->lpszMenuName, "QRX Intro");

    ASSERT_EQ(qrxhost::Windows().size(), 1u);
    const qrxhost::WindowRecord& w = qrxhost::Windows()[0];
    EXPECT_EQ(w.hwnd, g_hWnd);
    EXPECT_EQ(w.className, "QRX Intro");
    EXPECT_EQ(w.title, "QRX Intro 2k");
    EXPECT_EQ(w.exStyle, static_cast<DWORD>(WS_EX_TOPMOST));
    EXPECT_EQ(w.style, static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, 0);
    EXPECT_EQ(w.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(w.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(w.destroyed);
}

TEST(ShellLoop, WindowCreationFailureEndsSilentlyWithZero) {
    qrxhost::InjectFault("CreateWindowExA", E_FAIL);
    LoopRun run;
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(Count("QueryPerformanceFrequency"), 0);
    EXPECT_TRUE(qrxhost::MessageBoxes().empty());
    EXPECT_EQ(run.steps, 0);
}

struct CloseCase {
    int key;
    int atStep; // 0: posted during the five-second pause
};

class ShellClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ShellClose, EscAndF12CloseWithExitCodeZero) {
    const CloseCase c = GetParam();
    LoopRun run;
    if (c.atStep == 0) {
        run.atCall["Sleep"] = [&] { qrxhost::PostKey(c.key); };
    } else {
        run.atStep[c.atStep] = [&] { qrxhost::PostKey(c.key); };
    }
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.Frames(), c.atStep); // no frame after the key is handled
    EXPECT_EQ(Count("DestroyWindow"), 1);
    EXPECT_TRUE(qrxhost::MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, ShellClose,
                         ::testing::Values(CloseCase{VK_ESCAPE, 0}, CloseCase{VK_F12, 0},
                                           CloseCase{VK_ESCAPE, 1}, CloseCase{VK_F12, 1},
                                           CloseCase{VK_ESCAPE, 40}, CloseCase{VK_F12, 40}));

TEST(ShellLoop, OtherKeysDoNothing) {
    const int keys[] = {'A',        'Q',      'X',     '0',      '9',   VK_SPACE,
                        VK_RETURN,  VK_TAB,   VK_BACK, VK_LEFT,  VK_F1, VK_F1 + 3,
                        VK_F1 + 10, VK_SHIFT, VK_MENU, VK_DELETE};
    LoopRun run;
    run.atStep[2] = [&] {
        for (int k : keys)
            qrxhost::PostKey(k);
    };
    run.atStep[30] = [] { qrxhost::RequestClose(); };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.Frames(), 30);
    EXPECT_EQ(run.waits, 0);
    EXPECT_EQ(Count("DestroyWindow"), 1);
}

TEST(ShellLoop, LosingActivationStopsFramesAtOnceAndRegainingResumesThem) {
    LoopRun run;
    int framesWhenInactive = -1;
    uint32_t secondsWhenLost = 0;
    run.atStep[3] = [&] { qrxhost::SetAppActive(false); };
    run.atWait[1] = [&] { secondsWhenLost = g_Seconds; };
    run.atWait[6] = [&] {
        framesWhenInactive = run.Frames();
        qrxhost::SetAppActive(true);
    };
    run.atStep[16] = [] { qrxhost::RequestClose(); };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(framesWhenInactive, 3);
    EXPECT_EQ(run.waits, 6);
    EXPECT_EQ(run.Frames(), 10);
    // While inactive the loop waits for the timer, and every tick still counts.
    EXPECT_GE(g_Seconds - secondsWhenLost, 4u);
}

TEST(ShellLoop, WaitThatElapsedWhileInactiveFiresOnTheFirstFrameBack) {
    LoopRun run;
    bool fired = false;
    run.atStep[1] = [] {
        EXPECT_FALSE(Wait_Seconds(8));
        qrxhost::SetAppActive(false);
    };
    run.atWait[1] = [] { EXPECT_FALSE(Wait_Seconds(8)); }; // n seconds not yet counted
    run.atWait[12] = [] { qrxhost::SetAppActive(true); };
    run.atStep[14] = [&] { fired = Wait_Seconds(8); }; // the first frame back
    run.atStep[15] = [] { qrxhost::RequestClose(); };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_GE(g_Seconds - g_WaitStart, 8u);
    EXPECT_TRUE(fired);
}

TEST(ShellLoop, CounterFrequencyZeroReportsInitTimerOnceAndExitsZero) {
    qrxhost::SetCounterFrequency(0);
    LoopRun run;
    EXPECT_EQ(run.Run(), 0);
    ASSERT_EQ(qrxhost::MessageBoxes().size(), 1u);
    const qrxhost::MessageBoxRecord& box = qrxhost::MessageBoxes()[0];
    EXPECT_EQ(box.text, "Init_Timer() couldn init");
    EXPECT_EQ(box.caption, "QRX Intro 2k");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(box.owner, qrxhost::Windows().at(0).hwnd);
    EXPECT_EQ(run.Frames(), 0);
    EXPECT_EQ(Count("ShowCursor"), 0);
    EXPECT_EQ(Count("SetTimer"), 0);
    EXPECT_EQ(Count("Sleep"), 0);
}

class ShellFatalStartup : public ::testing::TestWithParam<const char*> {};

// A failure at any step shows one box, stops start-up and leaves through the loop with 0.
TEST_P(ShellFatalStartup, ShowsExactlyOneBoxAndExitsZero) {
    qrxhost::InjectFault(GetParam(), E_FAIL, -1);
    LoopRun run;
    EXPECT_EQ(run.Run(), 0);
    ASSERT_EQ(qrxhost::MessageBoxes().size(), 1u);
    EXPECT_EQ(qrxhost::MessageBoxes()[0].caption, "QRX Intro 2k");
    EXPECT_EQ(run.Frames(), 0);
    EXPECT_EQ(run.waits, 0);
    EXPECT_EQ(Count("Sleep"), 0);
    EXPECT_EQ(Count("SetTimer"), 0);
    EXPECT_EQ(Count("DestroyWindow"), 1);
    EXPECT_EQ(Filtered({"MessageBoxA", "DestroyWindow", "PostQuitMessage"}),
              (std::vector<std::string>{"MessageBoxA", "DestroyWindow", "PostQuitMessage"}));
}

INSTANTIATE_TEST_SUITE_P(Steps, ShellFatalStartup,
                         ::testing::Values("QueryPerformanceFrequency", "QueryPerformanceCounter",
                                           "DirectDrawCreate", "IDirectDraw4::SetDisplayMode",
                                           "LoadImageA"));

} // namespace
