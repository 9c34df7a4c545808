// Surface operations: colour packing and matching, colour key, fill, lock, pitch, bitmap
// copy and the colour-keyed rectangle copy with its retry and restore rules.
#include "display/surface.h"

#include <cstring>

#include "display/display.h"
#include "shell/shell.h"

int32_t RGB16(int8_t r, int8_t g, int8_t b) {
    return ((static_cast<int32_t>(r) << 6 | g) << 5) | b;
}

DWORD Surface_MatchColor(LPDIRECTDRAWSURFACE4 surface, COLORREF colour) {
    if (!surface) return 0;
    DWORD result = CLR_INVALID;
    COLORREF saved = 0;
    HDC hdc;
    if (colour != CLR_INVALID && surface->GetDC(&hdc) == DD_OK) {
        saved = GetPixel(hdc, 0, 0);
        SetPixel(hdc, 0, 0, colour);
        surface->ReleaseDC(hdc);
    }
    DDSURFACEDESC2 ddsd;
    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    if (surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) == DD_OK) {
        DWORD value;
        std::memcpy(&value, ddsd.lpSurface, sizeof value);
        if (ddsd.ddpfPixelFormat.dwRGBBitCount < 32)
            value &= (1u << ddsd.ddpfPixelFormat.dwRGBBitCount) - 1;
        result = value;
        surface->Unlock(nullptr);
    }
    if (colour != CLR_INVALID && surface->GetDC(&hdc) == DD_OK) {
        SetPixel(hdc, 0, 0, saved);
        surface->ReleaseDC(hdc);
    }
    return result;
}

HRESULT Surface_SetColorKey(LPDIRECTDRAWSURFACE4 surface, COLORREF colour) {
    if (!surface) return E_POINTER;
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = Surface_MatchColor(surface, colour);
    key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

HRESULT Surface_Fill(LPDIRECTDRAWSURFACE4 surface, DWORD value) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = value;
    HRESULT hr;
    do {
        hr = surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    } while (hr == DDERR_WASSTILLDRAWING);
    return hr;
}

LONG Surface_GetPitch(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 ddsd;
    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    if (surface->GetSurfaceDesc(&ddsd) != DD_OK) return 0;
    return ddsd.lPitch >> 1;
}

WORD* Surface_Lock(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 ddsd;
    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    HRESULT hr = surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr);
    if (hr != DD_OK) {
        Fatal_Error(g_hWnd, hr, "Cant Lock Surface\nLine : %d", 222);
        return nullptr;
    }
    return static_cast<WORD*>(ddsd.lpSurface);
}

HRESULT Surface_Unlock(LPDIRECTDRAWSURFACE4 surface) {
    return surface->Unlock(nullptr);
}

HRESULT Surface_CopyBitmap(LPDIRECTDRAWSURFACE4 surface, HBITMAP bitmap, int xsrc, int ysrc,
                           int width, int height) {
    if (!bitmap || !surface) return E_FAIL;
    surface->Restore();
    HDC memory = CreateCompatibleDC(nullptr);
    if (!SelectObject(memory, bitmap)) {
        // The report's code is 0, but the copy did fail: E_FAIL tells the caller so, and the
        // memory context is given back.
        DeleteDC(memory);
        Fatal_Error(g_hWnd, 0, "Couldnt select object\nLine : %d", 293);
        return E_FAIL;
    }
    BITMAP bm;
    GetObjectA(bitmap, sizeof bm, &bm);
    if (width == 0) width = bm.bmWidth;
    if (height == 0) height = bm.bmHeight;
    DDSURFACEDESC2 ddsd;
    std::memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    surface->GetSurfaceDesc(&ddsd);
    HDC hdc;
    HRESULT hr = surface->GetDC(&hdc);
    if (hr != DD_OK) {
        Fatal_Error(g_hWnd, hr, "Couldnt get DC for surface\nLine : %d", 313);
        DeleteDC(memory);
        return hr;
    }
    StretchBlt(hdc, 0, 0, static_cast<int>(ddsd.dwWidth), static_cast<int>(ddsd.dwHeight), memory,
               xsrc, ysrc, width, height, SRCCOPY);
    surface->ReleaseDC(hdc);
    DeleteDC(memory);
    return 0;
}

HRESULT Surface_BltFast(LPDIRECTDRAWSURFACE4 src, LPDIRECTDRAWSURFACE4 dst, int x, int y, int left,
                        int top, int right, int bottom) {
    RECT rc = {left, top, right, bottom};
    for (;;) {
        HRESULT hr = dst->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), src, &rc,
                                  DDBLTFAST_SRCCOLORKEY);
        if (hr == DD_OK) return 0;
        if (hr == DDERR_SURFACELOST) return RestoreAll();
        if (hr != DDERR_WASSTILLDRAWING) return hr;
    }
}
