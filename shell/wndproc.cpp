// The window procedure: keys, activation, cursor, the one-second tick and destruction.
#include "display/display.h"
#include "music/music.h"
#include "shell/shell.h"

LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESTROY:
        MOD_Free();
        Release_All();
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATEAPP:
        g_bActive = (wParam == 1 || wParam == 2) ? 1 : 0;
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_F12) {
            PostMessageA(hWnd, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_TIMER:
        g_Seconds += 1;
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}
