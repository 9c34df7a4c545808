// The test host: how tests and the capture tool drive the Linux platform layer without a
// display. Nothing of the intro itself includes this header.
//
// In virtual mode (tests, capture tool) no SDL window, renderer or audio device is opened:
// the clock is virtual, messages are injected, message boxes are recorded instead of shown,
// and any platform call can be made to fail. In SDL mode (the intro) the same layer talks to
// the desktop through SDL2.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "qrx_win32.h"

namespace qrxhost {

// ---- Mode and reset -------------------------------------------------------------------------

// Virtual mode is the default for every process that does not call UseSdl().
void UseSdl();            // called by the intro's main before WinMain
bool IsVirtual();

// ---- Virtual clock --------------------------------------------------------------------------
// Defaults: 10 MHz counter from 0; each QueryPerformanceCounter call advances it by 100 ticks;
// Sleep(ms) advances it by ms * frequency / 1000.

void SetCounterFrequency(int64_t hz);     // 0 makes QueryPerformanceFrequency report 0
void SetCounterQueryStep(int64_t ticks);  // ticks added by every QueryPerformanceCounter call
void AdvanceCounter(int64_t ticks);
int64_t Counter();
int64_t CounterFrequency();

// Calendar time returned by time() while set (the capture tool's --seed); real time otherwise.
void SetCalendarTime(time_t seconds);

// ---- Injected input (virtual mode) ------------------------------------------------------------

void PostKey(int virtualKey);     // WM_KEYDOWN with a Windows virtual-key code
void SetAppActive(bool active);   // WM_ACTIVATEAPP, wParam 1 gained, 0 lost
void RequestClose();              // WM_CLOSE, as from the desktop

// Called whenever the message loop would block in virtual mode (WaitMessage, GetMessageA) and
// no message is queued and no timer is due: the clock is first advanced to the next timer due;
// with no timer at all the hook runs (it may inject a message); without a hook the process
// aborts with a diagnostic rather than hang.
void OnIdle(std::function<void()> hook);

// Called before each message is handed back by PeekMessageA/GetMessageA with removal,
// and after every successful Flip has presented (frame: 1 for the first flip).
void OnFlip(std::function<void(int frame)> hook);

// Called whenever PeekMessageA finds no message (virtual mode). In the intro's main loop that
// is once before every frame and before every wait, so a test can count and pace the loop.
void OnEmptyPeek(std::function<void()> hook);

// Called at every platform call that is named in the call log (whether or not logging is on),
// at the start of the call, so a test can act at a given point (e.g. post a key at "Sleep").
void OnCall(std::function<void(const char* name)> hook);

// ---- Windows (virtual mode: a 1024x768 desktop) ------------------------------------------------

struct WindowRecord {
    HWND hwnd;
    std::string className;
    std::string title;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
    bool visible;   // after ShowWindow with a showing command
    bool destroyed; // after DestroyWindow
};
const std::vector<WindowRecord>& Windows(); // every window created, in order
// The class as registered (its strings owned by the layer), or null.
const WNDCLASSA* RegisteredClass(const char* className);
int CursorShowCount(); // ShowCursor's display counter: 0 at start, shown while >= 0
HCURSOR CurrentCursor(); // the last SetCursor argument (null at start)

// ---- Recorded message boxes -------------------------------------------------------------------

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption; // as passed; empty when the caller passed null
    UINT type;
};
const std::vector<MessageBoxRecord>& MessageBoxes();

// ---- Call log ---------------------------------------------------------------------------------
// Every platform call of interest appends its name ("MessageBoxA", "DestroyWindow",
// "IDirectDraw4::Release", "BASS_Init", ...) when logging is on, so tests can check order.
void EnableCallLog(bool on);
const std::vector<std::string>& CallLog();
void LogCall(const char* name); // used by the platform layer itself; no-op when off

// ---- Fault injection --------------------------------------------------------------------------
// A call is named as in the call log: an API name ("DirectDrawCreate", "LoadImageA",
// "QueryPerformanceFrequency") or "Interface::Method" ("IDirectDrawSurface4::Flip"); a
// surface method may be narrowed to one surface with "@primary", "@back", "@gfx", "@705x33"
// (any other surface by its size), e.g. "IDirectDrawSurface4::BltFast@705x33".
// After `skip` matching calls pass, the next `count` matching calls fail with `code`
// (count -1: every call from then on).
void InjectFault(const std::string& call, HRESULT code, int count = 1, int skip = 0);
void ClearFaults();
// Asked by the platform layer at each call: true (and the code) when this call must fail.
// Allocation-free when no fault is registered, so it may sit on every per-frame path.
bool TakeFault(const char* call, HRESULT* code);
bool TakeFault(const char* call, const char* surfaceTag, HRESULT* code);

} // namespace qrxhost
