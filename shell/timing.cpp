// The two clocks: the high-resolution counter (seconds since start-up) and the one-second
// window timer that advances g_Seconds, with the shared wait latch over it.
#include "shell/shell.h"

int64_t g_TimerStart = 0;
double g_TimerScale = 0;
uint32_t g_Seconds = 0;
uint8_t g_WaitArmed = 0;
uint32_t g_WaitStart = 0;
uint32_t g_WaitDuration = 0;
uint8_t g_WaitResult = 0;

bool Init_Timer() {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) return false;
    if (frequency.QuadPart == 0) return false;
    g_TimerScale = 1.0 / static_cast<double>(frequency.QuadPart);
    LARGE_INTEGER now;
    if (!QueryPerformanceCounter(&now)) return false;
    g_TimerStart = now.QuadPart;
    return true;
}

double Get_Time() {
    LARGE_INTEGER now;
    now.QuadPart = g_TimerStart; // a failed read gives 0 s rather than garbage
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - g_TimerStart) * g_TimerScale;
}

void Start_SecondTimer() {
    SetTimer(g_hWnd, SECOND_TIMER_ID, 1000, nullptr);
}

bool Wait_Seconds(uint32_t n) {
    if (!g_WaitArmed) {
        g_WaitArmed = 1;
        g_WaitDuration = n;
        g_WaitStart = g_Seconds;
        g_WaitResult = 0;
        return false;
    }
    if (static_cast<uint32_t>(g_Seconds - g_WaitStart) < g_WaitDuration) return g_WaitResult != 0;
    g_WaitArmed = 0;
    g_WaitResult = 1;
    return true;
}
