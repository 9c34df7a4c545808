// USER32 windows: classes, the window registry, cursor, stock objects and message boxes.
//
// SDL mode: a window is a borderless, always-on-top SDL window covering the desktop; it is
// created hidden and shown by ShowWindow, as on Windows. Virtual mode: windows exist only in
// the registry, on a 1024x768 desktop, and message boxes are recorded instead of shown.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>

#include "plat_internal.h"
#include "qrx_host.h"
#include "user32_internal.h"

namespace {

const int kVirtualScreenWidth = 1024;
const int kVirtualScreenHeight = 768;

struct WindowClass {
    WNDCLASSA wc;
    std::string name;
    std::string menuName;
};

struct Window {
    qrxhost::WindowRecord record;
    WNDPROC proc;
    SDL_Window* sdl;
};

// Stable addresses: RegisteredClass hands out pointers into this list.
std::deque<WindowClass>& Classes() {
    static std::deque<WindowClass> classes;
    return classes;
}
std::vector<Window>& WindowList() {
    static std::vector<Window> windows;
    return windows;
}
std::vector<qrxhost::WindowRecord>& Records() {
    static std::vector<qrxhost::WindowRecord> records;
    return records;
}
std::vector<qrxhost::MessageBoxRecord>& Boxes() {
    static std::vector<qrxhost::MessageBoxRecord> boxes;
    return boxes;
}

int g_cursorCount = 0;
HCURSOR g_cursor = nullptr;
HWND g_focus = nullptr;

// Handles are 1-based indices into the window list, so a destroyed handle stays invalid.
Window* Find(HWND hWnd) {
    uintptr_t i = reinterpret_cast<uintptr_t>(hWnd);
    auto& list = WindowList();
    if (i == 0 || i > list.size()) return nullptr;
    Window& w = list[i - 1];
    return w.record.destroyed ? nullptr : &w;
}

const WindowClass* FindClass(const char* name) {
    if (!name || IS_INTRESOURCE(name)) return nullptr;
    for (const WindowClass& c : Classes())
        if (c.name == name) return &c;
    return nullptr;
}

void SyncRecord(const Window& w) {
    uintptr_t i = reinterpret_cast<uintptr_t>(w.record.hwnd);
    Records()[i - 1] = w.record;
}

void ApplyCursor() {
    if (qrxplat::SdlMode())
        SDL_ShowCursor(g_cursorCount >= 0 && g_cursor ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    qrxhost::LogCall("RegisterClassA");
    if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
        IS_INTRESOURCE(lpWndClass->lpszClassName) || FindClass(lpWndClass->lpszClassName) ||
        qrxhost::TakeFault("RegisterClassA", nullptr))
        return 0;
    WindowClass& c = Classes().emplace_back();
    c.wc = *lpWndClass;
    c.name = lpWndClass->lpszClassName;
    if (lpWndClass->lpszMenuName && !IS_INTRESOURCE(lpWndClass->lpszMenuName))
        c.menuName = lpWndClass->lpszMenuName;
    c.wc.lpszClassName = c.name.c_str();
    c.wc.lpszMenuName = lpWndClass->lpszMenuName ? c.menuName.c_str() : nullptr;
    return static_cast<ATOM>(0xC000 + Classes().size());
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND, HMENU, HINSTANCE, LPVOID) {
    qrxhost::LogCall("CreateWindowExA");
    const WindowClass* cls = FindClass(lpClassName);
    if (!cls || qrxhost::TakeFault("CreateWindowExA", nullptr)) return nullptr;

    SDL_Window* sdl = nullptr;
    if (qrxplat::SdlMode()) {
        Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP |
                       SDL_WINDOW_ALWAYS_ON_TOP |
                       ((dwStyle & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
        sdl = SDL_CreateWindow(lpWindowName ? lpWindowName : "", X, Y, nWidth, nHeight, flags);
        if (!sdl) return nullptr;
    }

    auto& list = WindowList();
    HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(list.size() + 1));
    Window w{{hwnd, cls->name, lpWindowName ? lpWindowName : "", dwExStyle, dwStyle, X, Y, nWidth,
              nHeight, (dwStyle & WS_VISIBLE) != 0, false},
             cls->wc.lpfnWndProc,
             sdl};
    list.push_back(w);
    Records().push_back(w.record);
    if (!g_focus) g_focus = hwnd;

    if (w.proc(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    qrxhost::LogCall("ShowWindow");
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    BOOL wasVisible = w->record.visible;
    w->record.visible = nCmdShow != SW_HIDE;
    if (w->sdl) {
        if (w->record.visible) {
            SDL_ShowWindow(w->sdl);
        } else {
            SDL_HideWindow(w->sdl);
        }
    }
    SyncRecord(*w);
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    qrxhost::LogCall("UpdateWindow");
    return Find(hWnd) ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND hWnd) {
    qrxhost::LogCall("SetFocus");
    Window* w = Find(hWnd);
    if (hWnd && !w) return nullptr;
    HWND previous = Find(g_focus) ? g_focus : nullptr;
    g_focus = hWnd;
    if (w && w->sdl) SDL_RaiseWindow(w->sdl);
    return previous;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    qrxhost::LogCall("DestroyWindow");
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    // The window procedure sees WM_DESTROY while the window still exists.
    w->proc(hWnd, WM_DESTROY, 0, 0);
    w = Find(hWnd); // the list may have grown meanwhile
    if (!w) return TRUE;
    w->record.destroyed = true;
    w->record.visible = false;
    SyncRecord(*w);
    qrxplat::KillTimersOf(hWnd);
    if (w->sdl) {
        SDL_DestroyWindow(w->sdl);
        w->sdl = nullptr;
    }
    if (g_focus == hWnd) g_focus = nullptr;
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    return Find(hWnd) ? TRUE : FALSE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    if (nIndex != SM_CXSCREEN && nIndex != SM_CYSCREEN) return 0;
    if (!qrxplat::SdlMode())
        return nIndex == SM_CXSCREEN ? kVirtualScreenWidth : kVirtualScreenHeight;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    return nIndex == SM_CXSCREEN ? mode.w : mode.h;
}

int WINAPI ShowCursor(BOOL bShow) {
    qrxhost::LogCall("ShowCursor");
    g_cursorCount += bShow ? 1 : -1;
    ApplyCursor();
    return g_cursorCount;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    HCURSOR previous = g_cursor;
    g_cursor = hCursor;
    ApplyCursor();
    return previous;
}

// System cursors are identified by their resource number; the handle is only a token.
HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    if (hInstance || !IS_INTRESOURCE(lpCursorName)) return nullptr;
    uintptr_t id = reinterpret_cast<uintptr_t>(lpCursorName);
    if (id < 32512 || id > 32651) return nullptr;
    return reinterpret_cast<HCURSOR>(id);
}

// Stock objects are tokens too: their index plus one.
HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i > 19) return nullptr;
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(i + 1));
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    qrxhost::LogCall("MessageBoxA");
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : "";
    if (!qrxplat::SdlMode()) {
        Boxes().push_back({hWnd, text, caption, uType});
        return IDOK;
    }
    Window* w = Find(hWnd);
    bool hidden = g_cursorCount < 0 || !g_cursor;
    if (hidden) SDL_ShowCursor(SDL_ENABLE);
    int shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, w ? w->sdl : nullptr);
    if (shown != 0) shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
    if (hidden) ApplyCursor();
    if (shown != 0) std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

namespace qrxhost {
const std::vector<MessageBoxRecord>& MessageBoxes() {
    return Boxes();
}
const std::vector<WindowRecord>& Windows() {
    return Records();
}
const WNDCLASSA* RegisteredClass(const char* className) {
    const WindowClass* c = FindClass(className);
    return c ? &c->wc : nullptr;
}
int CursorShowCount() {
    return g_cursorCount;
}
HCURSOR CurrentCursor() {
    return g_cursor;
}
} // namespace qrxhost

namespace qrxplat {

SDL_Window* SdlWindow() {
    for (const Window& w : WindowList())
        if (!w.record.destroyed && w.sdl) return w.sdl;
    return nullptr;
}

WNDPROC WindowProcOf(HWND hWnd) {
    Window* w = Find(hWnd);
    return w ? w->proc : nullptr;
}

HWND WindowOfSdlId(uint32_t sdlWindowId) {
    for (const Window& w : WindowList())
        if (!w.record.destroyed && w.sdl && SDL_GetWindowID(w.sdl) == sdlWindowId)
            return w.record.hwnd;
    return nullptr;
}

HWND KeyboardWindow() {
    if (Find(g_focus)) return g_focus;
    for (auto it = WindowList().rbegin(); it != WindowList().rend(); ++it)
        if (!it->record.destroyed) return it->record.hwnd;
    return nullptr;
}

} // namespace qrxplat
