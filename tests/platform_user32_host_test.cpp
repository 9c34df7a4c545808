// The window layer in virtual mode: the queue's order, the timer model of the virtual clock,
// window destruction, the idle hook and the calendar time behind time().
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "qrx_host.h"

namespace {

std::vector<UINT> g_seen;

LRESULT CALLBACK RecordingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    g_seen.push_back(msg);
    if (msg == WM_DESTROY) {
        EXPECT_TRUE(IsWindow(h)); // still alive while WM_DESTROY runs
        PostQuitMessage(3);
    }
    return DefWindowProcA(h, msg, w, l);
}

HWND MakeWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "rec";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "rec", "t", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
}

TEST(VirtualClock, CountsQueriesAndSleeps) {
    LARGE_INTEGER v;
    ASSERT_TRUE(QueryPerformanceFrequency(&v));
    EXPECT_EQ(v.QuadPart, 10000000);
    ASSERT_TRUE(QueryPerformanceCounter(&v));
    EXPECT_EQ(v.QuadPart, 0);
    ASSERT_TRUE(QueryPerformanceCounter(&v));
    EXPECT_EQ(v.QuadPart, 100);
    Sleep(3);
    EXPECT_EQ(qrxhost::Counter(), 200 + 30000);
    qrxhost::SetCounterFrequency(0);
    ASSERT_TRUE(QueryPerformanceFrequency(&v));
    EXPECT_EQ(v.QuadPart, 0);
    qrxhost::InjectFault("QueryPerformanceCounter", E_FAIL);
    EXPECT_FALSE(QueryPerformanceCounter(&v));
    EXPECT_TRUE(QueryPerformanceCounter(&v));
}

TEST(VirtualTimer, DueEverySecondFromItsStartWithAtMostOnePending) {
    HWND h = MakeWindow();
    qrxhost::AdvanceCounter(1234);
    ASSERT_EQ(SetTimer(h, 48879, 1000, nullptr), 48879u);
    const int64_t s = 1234, p = 10000000;
    MSG m;
    struct Row {
        int64_t advanceTo;
        bool timer; // a WM_TIMER is handed back
    } rows[] = {{s + p - 1, false},     {s + p, true},          {s + p + 1, false},
                {s + 5 * p + 7, true},  {s + 5 * p + 8, false}, // four periods lost, one tick
                {s + 6 * p - 1, false}, {s + 6 * p, true}};
    for (const Row& r : rows) {
        qrxhost::AdvanceCounter(r.advanceTo - qrxhost::Counter());
        BOOL got = PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
        EXPECT_EQ(got != 0, r.timer) << "at " << r.advanceTo;
        if (got) {
            EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
        }
    }
}

TEST(VirtualTimer, PeekWithoutRemovalLeavesTheTickAndPostedMessagesComeFirst) {
    HWND h = MakeWindow();
    SetTimer(h, 1, 1000, nullptr);
    qrxhost::AdvanceCounter(10000000);
    PostMessageA(h, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(9);
    MSG m;
    const UINT order[] = {WM_KEYDOWN, WM_QUIT, WM_TIMER};
    for (UINT expected : order) {
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(m.message, expected);
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(m.message, expected);
        BOOL more = GetMessageA(&m, nullptr, 0, 0);
        EXPECT_EQ(m.message, expected);
        EXPECT_EQ(more, expected != WM_QUIT);
        if (expected == WM_QUIT) {
            EXPECT_EQ(m.wParam, 9u);
        }
    }
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(VirtualWait, MovesTheClockToTheNextTimerDue) {
    HWND h = MakeWindow();
    qrxhost::AdvanceCounter(500);
    SetTimer(h, 2, 1000, nullptr);
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(qrxhost::Counter(), 500 + 10000000);
    EXPECT_TRUE(WaitMessage());
    EXPECT_EQ(qrxhost::Counter(), 500 + 20000000);
}

TEST(VirtualWait, WithoutTimerRunsTheIdleHook) {
    HWND h = MakeWindow();
    int calls = 0;
    qrxhost::OnIdle([&] {
        ++calls;
        qrxhost::PostKey(VK_ESCAPE);
    });
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(m.hwnd, h);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(VK_ESCAPE));
}

TEST(VirtualWaitDeathTest, WithoutTimerOrHookAbortsInsteadOfHanging) {
    EXPECT_DEATH(WaitMessage(), "block forever");
}

TEST(Windows, CloseDestroysAndDestroySendsWmDestroyFirst) {
    HWND h = MakeWindow();
    ASSERT_NE(h, nullptr);
    g_seen.clear();
    qrxhost::RequestClose();
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    DispatchMessageA(&m);
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(PostMessageA(h, WM_CLOSE, 0, 0));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, 3u);
}

TEST(Windows, TimersEndWithTheirWindow) {
    HWND h = MakeWindow();
    SetTimer(h, 1, 1000, nullptr);
    DestroyWindow(h);
    qrxhost::AdvanceCounter(50000000);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST(Windows, FaultsFailCreation) {
    qrxhost::InjectFault("CreateWindowExA", E_FAIL);
    EXPECT_EQ(MakeWindow(), nullptr);
    EXPECT_NE(MakeWindow(), nullptr);
}

TEST(CalendarTime, SetValueWinsOverTheRealTime) {
    timespec real;
    clock_gettime(CLOCK_REALTIME, &real);
    EXPECT_NEAR(static_cast<double>(time(nullptr)), static_cast<double>(real.tv_sec), 2.0);
    qrxhost::SetCalendarTime(946684800);
    time_t out = 0;
    EXPECT_EQ(time(&out), 946684800);
    EXPECT_EQ(out, 946684800);
    EXPECT_EQ(std::time(nullptr), 946684800);
}

} // namespace
