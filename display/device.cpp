// Display device: DirectDraw object, flip chain, sheet surface and gamma control; the row
// table, the flip, restoring lost surfaces and releasing everything.
#include "display/display.h"

#include <cstring>

#include "display/surface.h"
#include "shell/shell.h"

LPDIRECTDRAW4 g_pDD = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSPrimary = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSBack = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSGfx = nullptr;
LPDIRECTDRAWGAMMACONTROL g_pGammaControl = nullptr;
int32_t g_RowOffset[480];

namespace {

// The ramp the display had before the show changed it, put back when the display is
// released so that the desktop is never left dark, however the program ends.
DDGAMMARAMP s_DesktopRamp;
bool s_bDesktopRampSaved = false;

const char* QueryMessage(HRESULT hr) {
    switch (hr) {
    case E_NOINTERFACE:
        return "InitApp: QueryInterface -> E_NOINTERFACE";
    case E_POINTER:
        return "InitApp: QueryInterface -> E_POINTER";
    case DDERR_INVALIDOBJECT:
        return "InitApp: QueryInterface -> DDERR_INVALIDOBJECT";
    case DDERR_INVALIDPARAMS:
        return "InitApp: QueryInterface -> DDERR_INVALIDPARAMS";
    default:
        return "InitApp: QueryInterface -> unknown Error";
    }
}

} // namespace

HRESULT InitApp() {
    LPDIRECTDRAW dd = nullptr;
    HRESULT hr = DirectDrawCreate(nullptr, &dd, nullptr);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "DirectDrawCreate FAILED");

    hr = dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&g_pDD));
    // The first interface served only for this query.
    dd->Release();
    if (hr != DD_OK) {
        g_pDD = nullptr;
        return Fatal_Error(g_hWnd, hr, "%s", QueryMessage(hr));
    }

    DDCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    hr = g_pDD->GetCaps(&caps, nullptr);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "Couldnt get CAPS !");

    hr = g_pDD->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "SetCooperativeLevel FAILED");

    hr = g_pDD->SetDisplayMode(640, 480, 16, 0, 0);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "SetDisplayMode FAILED");

    DDSURFACEDESC2 ddsd;
    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.dwBackBufferCount = 1;
    ddsd.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    hr = g_pDD->CreateSurface(&ddsd, &g_pDDSPrimary, nullptr);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "CreateSurface FAILED");

    DDSCAPS2 backCaps;
    std::memset(&backCaps, 0, sizeof backCaps);
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = g_pDDSPrimary->GetAttachedSurface(&backCaps, &g_pDDSBack);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "GetAttachedSurface FAILED");

    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    ddsd.dwWidth = 640;
    ddsd.dwHeight = 400;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    hr = g_pDD->CreateSurface(&ddsd, &g_pDDSGfx, nullptr);
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "CreateSurface FAILED");

    HBITMAP sheet = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "IDB_BITMAP3",
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!sheet) return Fatal_Error(g_hWnd, E_FAIL, "Couldnt load Gfx Bitmap");

    hr = Surface_CopyBitmap(g_pDDSGfx, sheet, 0, 0, 0, 0);
    // A failure the copy reported itself has already released the device.
    if (hr != 0 && !g_pDD) return hr;
    if (hr == E_FAIL) return Fatal_Error(g_hWnd, E_FAIL, "Couldnt copy Gfx Bitmap");
    if (hr != 0) return hr;

    Surface_SetColorKey(g_pDDSPrimary, 0);
    Surface_SetColorKey(g_pDDSBack, 0);
    Surface_SetColorKey(g_pDDSGfx, 0);

    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_PIXELFORMAT;
    hr = g_pDDSPrimary->GetSurfaceDesc(&ddsd);
    if (hr != DD_OK) {
        // Reported with the code 0, but start-up must still see the failure.
        Fatal_Error(g_hWnd, 0, "Cant get RGB mask\nLine : %d", 149);
        return hr;
    }

    Gamma_Init();
    return 0;
}

void Gamma_Init() {
    g_pDDSPrimary->QueryInterface(IID_IDirectDrawGammaControl,
                                  reinterpret_cast<LPVOID*>(&g_pGammaControl));
    if (!g_pGammaControl) return;
    // Read into the identity ramp, what an untouched display shows: a driver that cannot read
    // its ramp, or reports success without filling it in (Wine without X gamma), gets that.
    DDGAMMARAMP ramp;
    for (int i = 0; i < 256; ++i) {
        WORD v = static_cast<WORD>(i * 257);
        ramp.red[i] = v;
        ramp.green[i] = v;
        ramp.blue[i] = v;
    }
    s_DesktopRamp = ramp;
    if (g_pGammaControl->GetGammaRamp(0, &ramp) == DD_OK) s_DesktopRamp = ramp;
    s_bDesktopRampSaved = true;
}

void RowOffset_Init() {
    LONG pitch = Surface_GetPitch(g_pDDSPrimary);
    int32_t offset = 0;
    for (int y = 0; y < 480; ++y) {
        g_RowOffset[y] = offset;
        offset += pitch;
    }
}

void DX_Flip() {
    for (;;) {
        HRESULT hr = g_pDDSPrimary->Flip(nullptr, 0);
        if (hr == DD_OK) return;
        if (hr == DDERR_WASSTILLDRAWING) continue;
        if (hr == DDERR_SURFACELOST) {
            Fatal_Error(g_hWnd, hr, "DX_Flip(): surface lost\nLine : %d", 60);
        } else {
            Fatal_Error(g_hWnd, hr, "DX_Flip(): strange error\nLine : %d", 66);
        }
        return;
    }
}

HRESULT RestoreAll() {
    MessageBoxA(g_hWnd, "RestoreAll() called", nullptr, MB_OK);
    HRESULT hr = g_pDDSPrimary->Restore();
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "RestoreAll: g_pDDSPrimary restore failed");
    hr = g_pDDSGfx->Restore();
    if (hr != DD_OK) return Fatal_Error(g_hWnd, hr, "RestoreAll: g_pDDSGfx restore failed");
    return hr;
}

void Release_All() {
    if (s_bDesktopRampSaved && g_pGammaControl) {
        g_pGammaControl->SetGammaRamp(0, &s_DesktopRamp);
        s_bDesktopRampSaved = false;
    }
    if (g_pDD) {
        if (g_pDDSPrimary) {
            g_pDDSPrimary->Release();
            g_pDDSPrimary = nullptr;
        }
        if (g_pDDSGfx) {
            g_pDDSGfx->Release();
            g_pDDSGfx = nullptr;
        }
        g_pDD->Release();
        g_pDD = nullptr;
        // The control went with the primary; it is not released on its own.
        g_pGammaControl = nullptr;
    }
    if (g_pDDSScroller) {
        g_pDDSScroller->Release();
        g_pDDSScroller = nullptr;
    }
    if (g_pDDSWriter) {
        g_pDDSWriter->Release();
        g_pDDSWriter = nullptr;
    }
}
