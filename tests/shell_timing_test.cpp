// The clocks: Init_Timer and Get_Time over the virtual counter, the tick, the wait latch, and
// the fatal report's formatting.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "qrx_host.h"
#include "shell/shell.h"

namespace {

struct InitCase {
    const char* fault; // null: no fault
    int64_t frequency;
    bool ok;
    bool scaleSet;
};

class InitTimer : public ::testing::TestWithParam<InitCase> {};

TEST_P(InitTimer, SucceedsOnlyWithAUsableCounter) {
    const InitCase c = GetParam();
    qrxhost::SetCounterFrequency(c.frequency);
    qrxhost::AdvanceCounter(12345);
    if (c.fault) qrxhost::InjectFault(c.fault, E_FAIL);
    EXPECT_EQ(Init_Timer(), c.ok);
    EXPECT_EQ(g_TimerScale, c.scaleSet ? 1.0 / static_cast<double>(c.frequency) : 0.0);
    if (c.ok) {
        EXPECT_EQ(g_TimerStart, 12345);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InitTimer,
    ::testing::Values(InitCase{nullptr, 10000000, true, true}, InitCase{nullptr, 1000, true, true},
                      InitCase{nullptr, 0, false, false},
                      InitCase{"QueryPerformanceFrequency", 10000000, false, false},
                      // The scale is already set when the first counter read fails.
                      InitCase{"QueryPerformanceCounter", 10000000, false, true}));

TEST(GetTime, StartsNearZeroNeverDecreasesAndResolvesOneQuery) {
    ASSERT_TRUE(Init_Timer());
    double first = Get_Time();
    EXPECT_DOUBLE_EQ(first, 100 / 1e7); // one query step after the start read
    double last = first;
    for (int i = 0; i < 1000; ++i) {
        double t = Get_Time();
        EXPECT_GT(t, last);
        EXPECT_LT(t - last, 1e-4); // sub-millisecond resolution
        last = t;
    }
    Sleep(20);
    EXPECT_NEAR(Get_Time() - last, 0.020 + 100 / 1e7, 1e-12);
}

TEST(GetTime, FramePeriodIsTheDoubleNearest0_0162) {
    EXPECT_EQ(FRAME_PERIOD, 0.0162);
    EXPECT_LT(FRAME_PERIOD, 0.0162L);
    // A busy wait like the frame routine's, polling the clock: 1620 queries of 10 us.
    ASSERT_TRUE(Init_Timer());
    double t0 = Get_Time();
    int polls = 0;
    while (Get_Time() - t0 < FRAME_PERIOD)
        ++polls;
    EXPECT_EQ(polls, 1619);
}

TEST(SecondTimer, TicksEverySecondOnTheWindowAndAnyTimerMessageCounts) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = "t";
    ASSERT_NE(RegisterClassA(&wc), 0);
    g_hWnd = CreateWindowExA(0, "t", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(g_hWnd, nullptr);
    Start_SecondTimer();
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    qrxhost::AdvanceCounter(10000000);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, g_hWnd);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(48879));
    DispatchMessageA(&msg);
    EXPECT_EQ(g_Seconds, 1u);
    for (WPARAM id : {WPARAM{1}, WPARAM{7}, WPARAM{48879}})
        WindowProc(g_hWnd, WM_TIMER, id, 0);
    EXPECT_EQ(g_Seconds, 4u);
}

// Each row: g_Seconds at the call, n, the expected answer.
struct WaitStep {
    uint32_t seconds;
    uint32_t n;
    bool result;
};

void RunWaits(std::initializer_list<WaitStep> steps) {
    int i = 0;
    for (const WaitStep& s : steps) {
        g_Seconds = s.seconds;
        EXPECT_EQ(Wait_Seconds(s.n), s.result) << "call " << i;
        ++i;
    }
}

TEST(WaitSeconds, EightSecondsFireOnceThenANewWaitStarts) {
    RunWaits({{100, 8, false},
              {100, 8, false},
              {107, 8, false},
              {108, 8, true},
              {108, 8, false}, // arms anew
              {115, 8, false},
              {116, 8, true}});
}

TEST(WaitSeconds, ZeroFiresOnTheSecondCall) {
    RunWaits({{5, 0, false}, {5, 0, true}, {5, 0, false}, {5, 0, true}});
}

TEST(WaitSeconds, AnotherNWhileArmedIsIgnored) {
    RunWaits({{0, 8, false}, {1, 1, false}, {3, 0, false}, {7, 2, false}, {8, 30, true}});
    EXPECT_EQ(g_WaitDuration, 8u);
}

TEST(WaitSeconds, ElapsedWhileNoFramesRanFiresOnTheFirstCallBack) {
    RunWaits({{10, 8, false}, {40, 25, true}});
}

TEST(WaitSeconds, DifferenceIsTakenModulo2To32) {
    RunWaits({{0xFFFFFFFEu, 3, false}, {0u, 3, false}, {1u, 3, true}});
}

TEST(FatalError, ReleasesShowsOneBoxDestroysTheWindowAndReturnsTheCode) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = "t";
    ASSERT_NE(RegisterClassA(&wc), 0);
    g_hWnd = CreateWindowExA(0, "t", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    qrxhost::EnableCallLog(true);
    EXPECT_EQ(Fatal_Error(g_hWnd, -7, "Cant Lock Surface\nLine : %d", 222), -7);
    ASSERT_EQ(qrxhost::MessageBoxes().size(), 1u);
    const qrxhost::MessageBoxRecord& box = qrxhost::MessageBoxes()[0];
    EXPECT_EQ(box.owner, g_hWnd);
    EXPECT_EQ(box.text, "Cant Lock Surface\nLine : 222");
    EXPECT_EQ(box.caption, "QRX Intro 2k");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    EXPECT_FALSE(IsWindow(g_hWnd));
    const auto& log = qrxhost::CallLog();
    auto box_at = std::find(log.begin(), log.end(), "MessageBoxA");
    auto destroy_at = std::find(log.begin(), log.end(), "DestroyWindow");
    auto quit_at = std::find(log.begin(), log.end(), "PostQuitMessage");
    EXPECT_LT(box_at, destroy_at);
    EXPECT_LT(destroy_at, quit_at);
    EXPECT_NE(quit_at, log.end());
}

TEST(FatalError, AnOverlongMessageIsCutAt127Characters) {
    std::string longText(300, 'x');
    Fatal_Error(nullptr, 0, "%s-%d", longText.c_str(), 5);
    ASSERT_EQ(qrxhost::MessageBoxes().size(), 1u);
    EXPECT_EQ(qrxhost::MessageBoxes()[0].text, std::string(127, 'x'));
}

} // namespace
