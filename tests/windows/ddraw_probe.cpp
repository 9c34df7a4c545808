// Asks the DirectDraw at hand the questions the intro's display depends on and writes the
// answers, one "key: value" line each, to the file named on the command line (default
// ddraw_probe.txt): the 640x480x16 mode and its pixel format, the flip chain, the gamma
// control (read, set, read back), black colour keys on copies, colour fills, scaled keyed
// copies, GDI on a surface and Flip without DDFLIP_WAIT. Exit code 0 when every step the
// intro needs worked, 1 otherwise. Used by scripts/test-windows.sh.
#include <windows.h>

#include <ddraw.h>

#include <cstdio>
#include <cstring>

namespace {

FILE* g_out = nullptr;
int g_failures = 0;
HWND g_hWnd = nullptr;

void Line(const char* key, const char* fmt, ...) {
    std::fprintf(g_out, "%s: ", key);
    va_list args;
    va_start(args, fmt);
    std::vfprintf(g_out, fmt, args);
    va_end(args);
    std::fprintf(g_out, "\n");
    std::fflush(g_out);
}

// Records a call's result; a failure of a step the intro needs counts against the exit code.
bool Check(const char* key, HRESULT hr, bool needed = true) {
    Line(key, "%s (0x%08lX)", hr == DD_OK ? "ok" : "FAILED", static_cast<unsigned long>(hr));
    if (hr != DD_OK && needed) ++g_failures;
    return hr == DD_OK;
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

void ZeroDesc(DDSURFACEDESC2& d) {
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
}

// Reads pixel (x, y) of a 16-bit surface, 0xFFFFFFFF when the lock fails.
DWORD ReadPixel(LPDIRECTDRAWSURFACE4 s, int x, int y) {
    DDSURFACEDESC2 d;
    ZeroDesc(d);
    if (s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK) return 0xFFFFFFFF;
    const BYTE* row = static_cast<const BYTE*>(d.lpSurface) + y * d.lPitch;
    DWORD v = reinterpret_cast<const WORD*>(row)[x];
    s->Unlock(nullptr);
    return v;
}

HRESULT Fill(LPDIRECTDRAWSURFACE4 s, RECT* r, DWORD color) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = color;
    return s->Blt(r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void SurfaceMemory(const char* key, LPDIRECTDRAWSURFACE4 s) {
    DDSCAPS2 caps;
    std::memset(&caps, 0, sizeof caps);
    s->GetCaps(&caps);
    Line(key, "caps 0x%08lX (%s)", caps.dwCaps,
         (caps.dwCaps & DDSCAPS_VIDEOMEMORY)    ? "video memory"
         : (caps.dwCaps & DDSCAPS_SYSTEMMEMORY) ? "system memory"
                                                : "memory not stated");
}

void Gamma(LPDIRECTDRAWSURFACE4 primary) {
    LPDIRECTDRAWGAMMACONTROL gamma = nullptr;
    HRESULT hr =
        primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<LPVOID*>(&gamma));
    if (!Check("gamma control query", hr, false) || !gamma) return;
    static DDGAMMARAMP before, set, after;
    std::memset(&before, 0xAB, sizeof before);
    hr = gamma->GetGammaRamp(0, &before);
    Check("gamma GetGammaRamp (initial)", hr, false);
    Line("gamma initial ramp", "red[0]=%u red[128]=%u red[255]=%u green[255]=%u blue[255]=%u",
         before.red[0], before.red[128], before.red[255], before.green[255], before.blue[255]);
    for (int i = 0; i < 256; ++i) {
        set.red[i] = static_cast<WORD>(i * 100);
        set.green[i] = static_cast<WORD>(i * 101);
        set.blue[i] = static_cast<WORD>(i * 102);
    }
    Check("gamma SetGammaRamp (level 100)", gamma->SetGammaRamp(0, &set), false);
    std::memset(&after, 0, sizeof after);
    hr = gamma->GetGammaRamp(0, &after);
    Check("gamma GetGammaRamp (after set)", hr, false);
    Line("gamma read back equals the ramp set", "%s",
         std::memcmp(&after, &set, sizeof set) == 0 ? "yes" : "no");
    Line("gamma read back", "red[255]=%u green[255]=%u blue[255]=%u (set 25500 25755 26010)",
         after.red[255], after.green[255], after.blue[255]);
    std::memset(&set, 0, sizeof set);
    Check("gamma SetGammaRamp (all zero)", gamma->SetGammaRamp(0, &set), false);
    std::memset(&after, 0xAB, sizeof after);
    gamma->GetGammaRamp(0, &after);
    Line("gamma all-zero ramp read back", "%s",
         std::memcmp(&after, &set, sizeof set) == 0 ? "yes" : "no");
    Check("gamma SetGammaRamp (initial again)", gamma->SetGammaRamp(0, &before), false);
    std::memset(&after, 0, sizeof after);
    gamma->GetGammaRamp(0, &after);
    Line("gamma initial ramp back", "%s",
         std::memcmp(&after, &before, sizeof before) == 0 ? "yes" : "no");
    gamma->Release();
}

void Probe() {
    LPDIRECTDRAW dd1 = nullptr;
    if (!Check("DirectDrawCreate", DirectDrawCreate(nullptr, &dd1, nullptr))) return;
    LPDIRECTDRAW4 dd = nullptr;
    HRESULT hr = dd1->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd));
    dd1->Release();
    if (!Check("QueryInterface IDirectDraw4", hr)) return;

    DDCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    if (Check("GetCaps", dd->GetCaps(&caps, nullptr))) {
        Line("caps", "dwCaps 0x%08lX dwCaps2 0x%08lX dwCKeyCaps 0x%08lX dwFXCaps 0x%08lX",
             caps.dwCaps, caps.dwCaps2, caps.dwCKeyCaps, caps.dwFXCaps);
        Line("caps colour key", "%s, source key on Blt %s",
             (caps.dwCaps & DDCAPS_COLORKEY) ? "yes" : "no",
             (caps.dwCKeyCaps & DDCKEYCAPS_SRCBLT) ? "yes" : "no");
        Line("caps primary gamma", "%s", (caps.dwCaps2 & DDCAPS2_PRIMARYGAMMA) ? "yes" : "no");
        Line("caps stretch", "%s", (caps.dwCaps & DDCAPS_BLTSTRETCH) ? "yes" : "no");
        Line("caps video memory", "%lu bytes total, %lu free", caps.dwVidMemTotal,
             caps.dwVidMemFree);
    }

    if (!Check("SetCooperativeLevel exclusive fullscreen",
               dd->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
        goto release_dd;
    if (!Check("SetDisplayMode 640x480x16", dd->SetDisplayMode(640, 480, 16, 0, 0)))
        goto release_dd;
    Pump();
    {
        DDSURFACEDESC2 mode;
        ZeroDesc(mode);
        if (Check("GetDisplayMode", dd->GetDisplayMode(&mode)))
            Line("display mode", "%lux%lu %lu bpp, masks R 0x%04lX G 0x%04lX B 0x%04lX",
                 mode.dwWidth, mode.dwHeight, mode.ddpfPixelFormat.dwRGBBitCount,
                 mode.ddpfPixelFormat.dwRBitMask, mode.ddpfPixelFormat.dwGBitMask,
                 mode.ddpfPixelFormat.dwBBitMask);
    }

    {
        DDSURFACEDESC2 d;
        ZeroDesc(d);
        d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        d.dwBackBufferCount = 1;
        d.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
        LPDIRECTDRAWSURFACE4 primary = nullptr, back = nullptr, off = nullptr;
        if (!Check("CreateSurface primary flip chain (video memory)",
                   dd->CreateSurface(&d, &primary, nullptr)))
            goto release_dd;
        SurfaceMemory("primary", primary);
        DDSCAPS2 bc;
        std::memset(&bc, 0, sizeof bc);
        bc.dwCaps = DDSCAPS_BACKBUFFER;
        if (!Check("GetAttachedSurface back buffer", primary->GetAttachedSurface(&bc, &back))) {
            primary->Release();
            goto release_dd;
        }
        ZeroDesc(d);
        d.dwFlags = DDSD_PIXELFORMAT | DDSD_PITCH | DDSD_WIDTH | DDSD_HEIGHT;
        if (Check("GetSurfaceDesc primary", primary->GetSurfaceDesc(&d)))
            Line("primary format",
                 "%lux%lu pitch %ld bytes, %lu bpp, masks R 0x%04lX G 0x%04lX B 0x%04lX%s",
                 d.dwWidth, d.dwHeight, d.lPitch, d.ddpfPixelFormat.dwRGBBitCount,
                 d.ddpfPixelFormat.dwRBitMask, d.ddpfPixelFormat.dwGBitMask,
                 d.ddpfPixelFormat.dwBBitMask,
                 d.ddpfPixelFormat.dwRBitMask == 0xF800 && d.ddpfPixelFormat.dwGBitMask == 0x07E0
                     ? " (RGB565)"
                     : " (NOT RGB565)");
        if (d.ddpfPixelFormat.dwRBitMask != 0xF800) ++g_failures;

        ZeroDesc(d);
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = 64;
        d.dwHeight = 64;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        if (Check("CreateSurface off-screen 64x64", dd->CreateSurface(&d, &off, nullptr))) {
            SurfaceMemory("off-screen", off);
            DDCOLORKEY key = {0, 0};
            Check("SetColorKey primary", primary->SetColorKey(DDCKEY_SRCBLT, &key), false);
            Check("SetColorKey back buffer", back->SetColorKey(DDCKEY_SRCBLT, &key), false);
            Check("SetColorKey off-screen", off->SetColorKey(DDCKEY_SRCBLT, &key));

            // Off-screen: left half black, right half white. Back buffer: blue.
            RECT left = {0, 0, 32, 64}, right = {32, 0, 64, 64};
            Check("Blt colour fill", Fill(off, &left, 0));
            Fill(off, &right, 0xFFFF);
            Fill(back, nullptr, 0x001F);
            RECT src = {0, 0, 64, 64};
            Check("BltFast with source colour key",
                  back->BltFast(100, 100, off, &src, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT));
            DWORD keyed = ReadPixel(back, 110, 110), copied = ReadPixel(back, 140, 110);
            Line("colour key: black source pixel leaves", "0x%04lX (%s)", keyed,
                 keyed == 0x001F ? "kept out, right" : "copied, WRONG");
            Line("colour key: white source pixel gives", "0x%04lX (%s)", copied,
                 copied == 0xFFFF ? "right" : "WRONG");
            if (keyed != 0x001F || copied != 0xFFFF) ++g_failures;

            RECT big = {200, 200, 328, 328};
            Check("Blt scaled 2x with source key",
                  back->Blt(&big, off, &src, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
            DWORD sk = ReadPixel(back, 210, 250), sc = ReadPixel(back, 300, 250);
            Line("scaled copy", "black area 0x%04lX, white area 0x%04lX (%s)", sk, sc,
                 sk == 0x001F && sc == 0xFFFF ? "right" : "WRONG");

            HDC dc = nullptr;
            if (Check("GetDC off-screen (GDI)", off->GetDC(&dc))) {
                COLORREF old = GetPixel(dc, 0, 0);
                SetPixel(dc, 0, 0, RGB(255, 0, 0));
                off->ReleaseDC(dc);
                DWORD red = ReadPixel(off, 0, 0);
                Line("GDI red pixel reads", "0x%04lX (%s), GetPixel before 0x%06lX", red,
                     red == 0xF800 ? "right" : "WRONG", static_cast<unsigned long>(old));
            }
            off->Release();
        }

        int still = 0, ok = 0, other = 0;
        HRESULT last = DD_OK;
        DWORD t0 = GetTickCount();
        for (int i = 0; i < 60; ++i) {
            hr = primary->Flip(nullptr, 0);
            if (hr == DD_OK)
                ++ok;
            else if (hr == DDERR_WASSTILLDRAWING)
                ++still, --i;
            else
                ++other, last = hr;
            if (still > 1000000) break;
        }
        Line("Flip without DDFLIP_WAIT",
             "60 flips in %lu ms, %d still drawing, %d other (last 0x%08lX)", GetTickCount() - t0,
             still, other, static_cast<unsigned long>(last));
        if (ok != 60) ++g_failures;

        Gamma(primary);
        primary->Release();
    }
    Check("RestoreDisplayMode", dd->RestoreDisplayMode(), false);

release_dd:
    dd->Release();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
    const char* path = cmdLine && *cmdLine ? cmdLine : "ddraw_probe.txt";
    g_out = std::fopen(path, "w");
    if (!g_out) return 2;
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "DDraw Probe";
    RegisterClassA(&wc);
    g_hWnd = CreateWindowExA(WS_EX_TOPMOST, "DDraw Probe", "DDraw Probe", WS_POPUP, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                             nullptr, instance, nullptr);
    ShowWindow(g_hWnd, show);
    UpdateWindow(g_hWnd);
    SetFocus(g_hWnd);
    Pump();
    Probe();
    Line("result", "%d needed step(s) failed", g_failures);
    std::fclose(g_out);
    DestroyWindow(g_hWnd);
    return g_failures ? 1 : 0;
}
