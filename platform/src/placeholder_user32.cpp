// Placeholder definitions so that everything links while the window layer is being built.
#include <cstdlib>
#include <ctime>

#include "qrx_host.h"

ATOM WINAPI RegisterClassA(const WNDCLASSA*) { return 0; }
HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID) {
    return nullptr;
}
BOOL WINAPI ShowWindow(HWND, int) { return FALSE; }
BOOL WINAPI UpdateWindow(HWND) { return FALSE; }
HWND WINAPI SetFocus(HWND) { return nullptr; }
BOOL WINAPI DestroyWindow(HWND) { return FALSE; }
int WINAPI GetSystemMetrics(int) { return 0; }
BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) { return FALSE; }
BOOL WINAPI GetMessageA(LPMSG, HWND, UINT, UINT) { return FALSE; }
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }
LRESULT WINAPI DispatchMessageA(const MSG*) { return 0; }
BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void WINAPI PostQuitMessage(int) {}
BOOL WINAPI WaitMessage(void) { return FALSE; }
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
UINT_PTR WINAPI SetTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }
int WINAPI ShowCursor(BOOL) { return 0; }
HCURSOR WINAPI SetCursor(HCURSOR) { return nullptr; }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return nullptr; }
int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }
HGDIOBJ WINAPI GetStockObject(int) { return nullptr; }
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER*) { return FALSE; }
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER*) { return FALSE; }
void WINAPI Sleep(DWORD) {}

namespace qrxhost {
void UseSdl() {}
bool IsVirtual() { return true; }
void SetCounterFrequency(int64_t) {}
void SetCounterQueryStep(int64_t) {}
void AdvanceCounter(int64_t) {}
int64_t Counter() { return 0; }
int64_t CounterFrequency() { return 0; }
void SetCalendarTime(time_t) {}
void PostKey(int) {}
void SetAppActive(bool) {}
void RequestClose() {}
void OnIdle(std::function<void()>) {}
const std::vector<MessageBoxRecord>& MessageBoxes() {
    static std::vector<MessageBoxRecord> v;
    return v;
}
} // namespace qrxhost
