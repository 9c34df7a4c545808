// Application shell: start-up, window procedure, main loop, clocks and the fatal error report.
#pragma once

#include <cstdint>

#include "common/globals.h"

// Start-up, window and main loop (shell/startup.cpp, shell/wndproc.cpp).
const char WINDOW_TITLE[] = "QRX Intro 2k";      // also the caption of every report
BOOL Startup(HINSTANCE hInstance, int nCmdShow); // TRUE when the loop may run
LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
int RunMessageLoop(); // returns the quit message's parameter

// Timing (shell/timing.cpp).
const double FRAME_PERIOD = 0.0162;
const UINT_PTR SECOND_TIMER_ID = 48879; // 0xBEEF
extern int64_t g_TimerStart;
extern double g_TimerScale;
extern uint8_t g_WaitArmed;
extern uint32_t g_WaitStart;
extern uint32_t g_WaitDuration;
extern uint8_t g_WaitResult;
bool Init_Timer();
double Get_Time();
void Start_SecondTimer();
bool Wait_Seconds(uint32_t n);

// Fatal error report (shell/fatal.cpp): release the display, show one box, destroy the window.
HRESULT Fatal_Error(HWND hwnd, HRESULT code, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
