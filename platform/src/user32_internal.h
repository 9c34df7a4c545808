// Seams between the window layer (user32_*), the clock (kernel32_clock) and the host mode.
#pragma once

#include <cstdint>

#include "qrx_win32.h"

struct SDL_Window;

namespace qrxplat {

bool SdlMode(); // false in virtual mode

// The performance counter as the timers see it: its value now (without the step a
// QueryPerformanceCounter call adds) and its ticks per second (at least 1).
int64_t ClockNow();
int64_t ClockHz();
void ClockAdvanceTo(int64_t count); // virtual mode: moves the counter forward to count

// Window registry (user32_window.cpp).
WNDPROC WindowProcOf(HWND hWnd); // null unless hWnd is a live window
HWND WindowOfSdlId(uint32_t sdlWindowId);
HWND KeyboardWindow(); // the window that receives keys and focus changes, or null

// Message queue (user32_messages.cpp).
void KillTimersOf(HWND hWnd);
void Post(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace qrxplat
