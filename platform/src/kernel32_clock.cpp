// KERNEL32 clock: the performance counter, Sleep, and the calendar time behind time().
//
// SDL mode: the counter is the monotonic clock in nanoseconds and Sleep really sleeps.
// Virtual mode: a counter that only moves when asked: each QueryPerformanceCounter call
// returns the count and then advances it by the query step, Sleep(ms) advances it by
// ms * frequency / 1000, and a blocked message loop moves it to the next timer due.
#include <cerrno>
#include <ctime>

#include "qrx_host.h"
#include "user32_internal.h"

namespace {

int64_t g_count = 0;
int64_t g_frequency = 10000000;
int64_t g_queryStep = 100;
bool g_calendarSet = false;
time_t g_calendar = 0;

int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// ms * hz / 1000 without overflow for any 32-bit ms.
int64_t MsToTicks(uint32_t ms, int64_t hz) {
    return static_cast<int64_t>(static_cast<__int128>(ms) * hz / 1000);
}

} // namespace

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    qrxhost::LogCall("QueryPerformanceFrequency");
    if (!lpFrequency || qrxhost::TakeFault("QueryPerformanceFrequency", nullptr)) return FALSE;
    lpFrequency->QuadPart = qrxplat::SdlMode() ? 1000000000 : g_frequency;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount || qrxhost::TakeFault("QueryPerformanceCounter", nullptr)) return FALSE;
    if (qrxplat::SdlMode()) {
        lpPerformanceCount->QuadPart = MonotonicNs();
    } else {
        lpPerformanceCount->QuadPart = g_count;
        g_count += g_queryStep;
    }
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    qrxhost::LogCall("Sleep");
    if (!qrxplat::SdlMode()) {
        g_count += MsToTicks(dwMilliseconds, g_frequency);
        return;
    }
    timespec ts{static_cast<time_t>(dwMilliseconds / 1000),
                static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// The C library's time(), replaced for the whole executable so that a fixed calendar time
// can be set; otherwise the real time.
extern "C" time_t time(time_t* t) {
    qrxhost::LogCall("time");
    time_t now = g_calendar;
    if (!g_calendarSet) {
        timespec ts;
        clock_gettime(CLOCK_REALTIME, &ts);
        now = ts.tv_sec;
    }
    if (t) *t = now;
    return now;
}

namespace qrxhost {
void SetCounterFrequency(int64_t hz) {
    g_frequency = hz;
}
void SetCounterQueryStep(int64_t ticks) {
    g_queryStep = ticks;
}
void AdvanceCounter(int64_t ticks) {
    g_count += ticks;
}
int64_t Counter() {
    return g_count;
}
int64_t CounterFrequency() {
    return g_frequency;
}
void SetCalendarTime(time_t seconds) {
    g_calendar = seconds;
    g_calendarSet = true;
}
} // namespace qrxhost

namespace qrxplat {
int64_t ClockNow() {
    return SdlMode() ? MonotonicNs() : g_count;
}
int64_t ClockHz() {
    if (SdlMode()) return 1000000000;
    return g_frequency > 0 ? g_frequency : 1;
}
void ClockAdvanceTo(int64_t count) {
    if (count > g_count) g_count = count;
}
} // namespace qrxplat
