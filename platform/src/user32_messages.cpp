// USER32 message queue: posted messages, the quit flag and window timers, as on Windows:
// posted messages first (in order), then the quit message, then a WM_TIMER for a timer that is
// due. A timer keeps at most one tick pending: the tick that is taken moves its next due time
// to the first whole period after the current count.
//
// SDL mode: SDL events become posted messages (keys, focus, close) and a blocking wait sleeps
// in SDL until an event comes or the next timer is due. Virtual mode: a blocking wait moves
// the virtual counter to the next timer due, or runs the test's idle hook.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <vector>

#include "plat_internal.h"
#include "qrx_host.h"
#include "user32_internal.h"

namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    int64_t start;  // counter at SetTimer
    int64_t period; // ticks
    int64_t due;    // start + k * period
    TIMERPROC proc;
};

std::deque<MSG> g_queue;
std::vector<Timer> g_timers;
bool g_quit = false;
int g_quitCode = 0;
std::function<void()> g_onIdle;
std::function<void()> g_onEmptyPeek;

const UINT kMinTimerMs = 10; // USER_TIMER_MINIMUM

DWORD MessageTime() {
    return static_cast<DWORD>(static_cast<__int128>(qrxplat::ClockNow()) * 1000 /
                              qrxplat::ClockHz());
}

bool Matches(const MSG& m, HWND hWnd, UINT min, UINT max) {
    if (hWnd && m.hwnd != hWnd) return false;
    return (min == 0 && max == 0) || (m.message >= min && m.message <= max);
}

Timer* DueTimer(HWND hWnd) {
    int64_t now = qrxplat::ClockNow();
    for (Timer& t : g_timers)
        if ((!hWnd || t.hwnd == hWnd) && now >= t.due) return &t;
    return nullptr;
}

bool Available() {
    return !g_queue.empty() || g_quit || DueTimer(nullptr);
}

// Next due count over all timers, or -1 without timers.
int64_t NextDue() {
    int64_t next = -1;
    for (const Timer& t : g_timers)
        if (next < 0 || t.due < next) next = t.due;
    return next;
}

BOOL Peek(LPMSG msg, HWND hWnd, UINT min, UINT max, UINT remove) {
    if (qrxplat::SdlMode()) qrxplat::PumpEvents();
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (!Matches(*it, hWnd, min, max)) continue;
        *msg = *it;
        if (remove & PM_REMOVE) g_queue.erase(it);
        return TRUE;
    }
    if (g_quit && !hWnd) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, MessageTime(), {0, 0}};
        if (remove & PM_REMOVE) g_quit = false;
        return TRUE;
    }
    if ((min == 0 && max == 0) || (WM_TIMER >= min && WM_TIMER <= max)) {
        if (Timer* t = DueTimer(hWnd)) {
            *msg = MSG{t->hwnd,       WM_TIMER, t->id, reinterpret_cast<LPARAM>(t->proc),
                       MessageTime(), {0, 0}};
            if (remove & PM_REMOVE) {
                int64_t now = qrxplat::ClockNow();
                t->due = t->start + ((now - t->start) / t->period + 1) * t->period;
            }
            return TRUE;
        }
    }
    return FALSE;
}

[[noreturn]] void Stuck(const char* why) {
    std::fprintf(stderr, "qrx platform: the message loop would block forever: %s\n", why);
    std::abort();
}

// Windows virtual-key code of an SDL key, 0 for keys without one.
int VirtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + (k - SDLK_F1);
    if (k >= SDLK_F13 && k <= SDLK_F24) return VK_F1 + 12 + (k - SDLK_F13);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 0x61 + (k - SDLK_KP_1);
    struct Pair {
        SDL_Keycode sdl;
        int vk;
    };
    static const Pair table[] = {
        {SDLK_ESCAPE, VK_ESCAPE},  {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_SPACE, VK_SPACE},    {SDLK_TAB, VK_TAB},       {SDLK_BACKSPACE, VK_BACK},
        {SDLK_LEFT, VK_LEFT},      {SDLK_RIGHT, VK_RIGHT},   {SDLK_UP, VK_UP},
        {SDLK_DOWN, VK_DOWN},      {SDLK_HOME, VK_HOME},     {SDLK_END, VK_END},
        {SDLK_PAGEUP, VK_PRIOR},   {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE},  {SDLK_LSHIFT, VK_SHIFT},  {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL}, {SDLK_LALT, VK_MENU},
        {SDLK_RALT, VK_MENU},      {SDLK_PAUSE, VK_PAUSE},   {SDLK_KP_0, 0x60},
        {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},      {SDLK_COMMA, 0xBC},
        {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},      {SDLK_SLASH, 0xBF},
        {SDLK_BACKQUOTE, 0xC0},    {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC},
        {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
    };
    for (const Pair& p : table)
        if (p.sdl == k) return p.vk;
    return 0;
}

HWND TargetOf(uint32_t sdlWindowId) {
    HWND h = qrxplat::WindowOfSdlId(sdlWindowId);
    return h ? h : qrxplat::KeyboardWindow();
}

void TranslateEvent(const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_KEYDOWN: {
        int vk = VirtualKey(ev.key.keysym.sym);
        if (!vk) return;
        LPARAM lp = 1 | (static_cast<LPARAM>(ev.key.keysym.scancode & 0xFF) << 16) |
                    (ev.key.repeat ? (1L << 30) : 0);
        qrxplat::Post(TargetOf(ev.key.windowID), WM_KEYDOWN, static_cast<WPARAM>(vk), lp);
        return;
    }
    case SDL_WINDOWEVENT: {
        HWND h = qrxplat::WindowOfSdlId(ev.window.windowID);
        if (!h) return;
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) qrxplat::Post(h, WM_ACTIVATEAPP, 1, 0);
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) qrxplat::Post(h, WM_ACTIVATEAPP, 0, 0);
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) qrxplat::Post(h, WM_CLOSE, 0, 0);
        return;
    }
    case SDL_QUIT:
        if (HWND h = qrxplat::KeyboardWindow()) qrxplat::Post(h, WM_CLOSE, 0, 0);
        return;
    default:
        return;
    }
}

} // namespace

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (!lpMsg) return FALSE;
    if (Peek(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg)) return TRUE;
    if (!qrxplat::SdlMode() && g_onEmptyPeek) g_onEmptyPeek();
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg) return -1;
    while (!Peek(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE))
        WaitMessage();
    return lpMsg->message != WM_QUIT;
}

// No character messages are generated: the layer has no text input.
BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        reinterpret_cast<TIMERPROC>(lpMsg->lParam)(lpMsg->hwnd, WM_TIMER, lpMsg->wParam,
                                                   lpMsg->time);
        return 0;
    }
    WNDPROC proc = qrxplat::WindowProcOf(lpMsg->hwnd);
    return proc ? proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !IsWindow(hWnd)) return FALSE;
    if (qrxhost::TakeFault("PostMessageA", nullptr)) return FALSE;
    qrxplat::Post(hWnd, Msg, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    qrxhost::LogCall("PostQuitMessage");
    g_quit = true;
    g_quitCode = nExitCode;
}

BOOL WINAPI WaitMessage(void) {
    qrxhost::LogCall("WaitMessage");
    if (qrxplat::SdlMode()) {
        for (;;) {
            qrxplat::PumpEvents();
            if (Available()) return TRUE;
            int64_t due = NextDue();
            SDL_Event ev;
            int got;
            if (due < 0) {
                got = SDL_WaitEvent(&ev);
            } else {
                int64_t ticks = due - qrxplat::ClockNow();
                int64_t ms = (ticks * 1000 + qrxplat::ClockHz() - 1) / qrxplat::ClockHz();
                got = SDL_WaitEventTimeout(&ev, static_cast<int>(ms < 1 ? 1 : ms));
            }
            if (got) TranslateEvent(ev);
        }
    }
    if (Available()) return TRUE;
    int64_t due = NextDue();
    if (due >= 0) {
        qrxplat::ClockAdvanceTo(due);
        return TRUE;
    }
    if (!g_onIdle) Stuck("no message, no timer and no idle hook");
    g_onIdle();
    if (!Available()) Stuck("the idle hook queued no message");
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
    if (Msg == WM_CLOSE) DestroyWindow(hWnd);
    return 0;
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    qrxhost::LogCall("SetTimer");
    if (!IsWindow(hWnd) || qrxhost::TakeFault("SetTimer", nullptr)) return 0;
    if (uElapse < kMinTimerMs) uElapse = kMinTimerMs;
    int64_t period =
        static_cast<int64_t>(static_cast<__int128>(uElapse) * qrxplat::ClockHz() / 1000);
    if (period < 1) period = 1;
    int64_t now = qrxplat::ClockNow();
    Timer timer{hWnd, nIDEvent, now, period, now + period, lpTimerFunc};
    for (Timer& t : g_timers) {
        if (t.hwnd == hWnd && t.id == nIDEvent) {
            t = timer;
            return nIDEvent ? nIDEvent : 1;
        }
    }
    g_timers.push_back(timer);
    return nIDEvent ? nIDEvent : 1;
}

namespace qrxplat {

void Post(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_queue.push_back(MSG{hWnd, msg, wParam, lParam, MessageTime(), {0, 0}});
}

void KillTimersOf(HWND hWnd) {
    std::erase_if(g_timers, [hWnd](const Timer& t) { return t.hwnd == hWnd; });
}

void PumpEvents() {
    if (!SdlMode()) return;
    SDL_Event ev;
    while (SDL_PollEvent(&ev))
        TranslateEvent(ev);
}

} // namespace qrxplat

namespace qrxhost {
void PostKey(int virtualKey) {
    qrxplat::Post(qrxplat::KeyboardWindow(), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
}
void SetAppActive(bool active) {
    qrxplat::Post(qrxplat::KeyboardWindow(), WM_ACTIVATEAPP, active ? 1 : 0, 0);
}
void RequestClose() {
    qrxplat::Post(qrxplat::KeyboardWindow(), WM_CLOSE, 0, 0);
}
void OnIdle(std::function<void()> hook) {
    g_onIdle = std::move(hook);
}
void OnEmptyPeek(std::function<void()> hook) {
    g_onEmptyPeek = std::move(hook);
}
} // namespace qrxhost
