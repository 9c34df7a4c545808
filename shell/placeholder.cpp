// Placeholder definitions so that everything links while the shell is being built.
#include "shell/shell.h"

HWND g_hWnd = nullptr;
BOOL g_bActive = 1;
uint32_t g_Seconds = 0;
int64_t g_TimerStart = 0;
double g_TimerScale = 0;
uint8_t g_WaitArmed = 0;
uint32_t g_WaitStart = 0;
uint32_t g_WaitDuration = 0;
uint8_t g_WaitResult = 0;
BOOL Startup(HINSTANCE, int) { return FALSE; }
LRESULT CALLBACK WindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
int RunMessageLoop() { return 0; }
bool Init_Timer() { return false; }
double Get_Time() { return 0; }
void Start_SecondTimer() {}
bool Wait_Seconds(uint32_t) { return false; }
HRESULT Fatal_Error(HWND, HRESULT code, const char*, ...) { return code; }
