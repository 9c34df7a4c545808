#include "effects/own_surface.h"

#include "display/display.h"

namespace {

HRESULT FillRect(LPDIRECTDRAWSURFACE4 surface, RECT* rect) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0;
    HRESULT hr;
    do {
        hr = surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    } while (hr == DDERR_WASSTILLDRAWING);
    return hr;
}

} // namespace

HRESULT OwnSurface_Clear(LPDIRECTDRAWSURFACE4 surface) {
    return FillRect(surface, nullptr);
}

HRESULT OwnSurface_Recover(LPDIRECTDRAWSURFACE4 surface) {
    // Pixel (0, 32) is black for good on both surfaces: the strip's row 32 is written only by
    // the first fill, and on the writer it lies in the gap between text rows 0 and 1.
    RECT probe = {0, 32, 1, 33};
    if (FillRect(surface, &probe) != DDERR_SURFACELOST) return 0;
    const HRESULT hr = surface->Restore();
    if (FAILED(hr)) return hr;
    return OwnSurface_Clear(surface);
}

HRESULT OwnSurface_Copy(LPDIRECTDRAWSURFACE4* owner, DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 src,
                        RECT* rect) {
    for (;;) {
        HRESULT hr = (*owner)->BltFast(x, y, src, rect, DDBLTFAST_NOCOLORKEY);
        if (hr == DDERR_WASSTILLDRAWING) continue;
        if (hr != DDERR_SURFACELOST) return hr;
        hr = RestoreAll();
        if (FAILED(hr) || *owner == nullptr) return hr; // a failed restore has been reported
        const HRESULT own = OwnSurface_Recover(*owner);
        return FAILED(own) ? own : hr;
    }
}
