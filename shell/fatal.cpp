// The one failure report: release the display, show the message, destroy the window.
#include <cstdarg>
#include <cstdio>

#include "display/display.h"
#include "shell/shell.h"

HRESULT Fatal_Error(HWND hwnd, HRESULT code, const char* format, ...) {
    char message[128];
    va_list args;
    va_start(args, format);
    // Bounded: a longer message is cut at 127 characters instead of overrunning the buffer.
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    message[sizeof message - 1] = '\0';

    Release_All();
    MessageBoxA(hwnd, message, WINDOW_TITLE, MB_OK);
    DestroyWindow(hwnd);
    return code;
}
