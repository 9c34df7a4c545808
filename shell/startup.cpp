// Start-up: the window, then every subsystem in its fixed order, then the message loop.
#include "display/display.h"
#include "effects/copper.h"
#include "effects/scroller.h"
#include "effects/stars.h"
#include "effects/writer.h"
#include "music/music.h"
#include "shell/shell.h"
#include "show/show.h"

HWND g_hWnd = nullptr;
BOOL g_bActive = 1;

namespace {

const char CLASS_NAME[] = "QRX Intro";

// Steps 5-13. A step that fails reports through Fatal_Error, which destroys the window; the
// remaining steps are then skipped.
void Step_InitApp() {
    InitApp();
}
void Step_Scroller() {
    Scroller_Init();
}
void Step_Writer() {
    Writer_Init();
}
void Step_Music() {
    MOD_Init(g_hWnd);
}
void (*const START_STEPS[])() = {Step_InitApp,      Stars_Init,     Step_Scroller,
                                 Step_Writer,       RowOffset_Init, Copper_Init,
                                 Start_SecondTimer, Step_Music,     MOD_Play};

} // namespace

BOOL Startup(HINSTANCE hInstance, int nCmdShow) {
    WNDCLASSA wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszMenuName = CLASS_NAME;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassA(&wc);

    g_hWnd = CreateWindowExA(WS_EX_TOPMOST, CLASS_NAME, WINDOW_TITLE, WS_POPUP, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                             nullptr, hInstance, nullptr);
    if (!g_hWnd) return FALSE;
    ShowWindow(g_hWnd, nCmdShow);
    UpdateWindow(g_hWnd);
    SetFocus(g_hWnd);

    // After a fatal error the loop still runs: it receives the quit message the window's
    // destruction posted.
    if (!Init_Timer()) {
        Fatal_Error(g_hWnd, 0, "Init_Timer() couldn init");
        return TRUE;
    }
    ShowCursor(FALSE);
    for (void (*step)() : START_STEPS) {
        step();
        if (!IsWindow(g_hWnd)) return TRUE;
    }
    Sleep(5000);
    return TRUE;
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (g_bActive) {
            Show_Frame();
        } else {
            WaitMessage();
        }
    }
}
