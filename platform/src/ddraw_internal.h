// Seams inside the DirectDraw and GDI stand-in: the surface object (which GDI draws into
// through a surface DC) and the presentation of a flipped frame.
#pragma once

#include <cstdint>
#include <vector>

#include "qrx_ddraw.h"

namespace qrxdd {

struct Surface;

// A GDI device context: a memory DC with a selected bitmap, or the DC of a surface.
struct Dc {
    uint32_t magic = 0;
    Surface* surface = nullptr; // set for a surface DC
    void* selected = nullptr;   // memory DC: the selected bitmap (a gdi.cpp Bitmap)
};

// Methods that can be made to fail through the test host, per surface.
enum Method {
    kBlt,
    kBltFast,
    kFlip,
    kGetAttachedSurface,
    kGetDC,
    kGetSurfaceDesc,
    kLock,
    kReleaseDC,
    kRestore,
    kSetColorKey,
    kUnlock,
    kQueryInterface,
    kRelease,
    kMethodCount
};

struct GammaControl;

struct Surface final : IDirectDrawSurface4 {
    HRESULT QueryInterface(REFIID riid, LPVOID* ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect,
                DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE4 lpDDSrcSurface, LPRECT lpSrcRect,
                    DWORD dwTrans) override;
    HRESULT Flip(LPDIRECTDRAWSURFACE4 lpDDSurfaceTargetOverride, DWORD dwFlags) override;
    HRESULT GetAttachedSurface(LPDDSCAPS2 lpDDSCaps,
                               LPDIRECTDRAWSURFACE4* lplpDDAttachedSurface) override;
    HRESULT GetDC(HDC* lphDC) override;
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 lpDDSurfaceDesc) override;
    HRESULT Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags,
                 HANDLE hEvent) override;
    HRESULT ReleaseDC(HDC hDC) override;
    HRESULT Restore() override;
    HRESULT SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
    HRESULT Unlock(LPRECT lpRect) override;

    // Fails this call when the test host asks for it: tagged name first ("...@gfx"), then the
    // size tag ("...@640x400") for the sheet, then the plain name.
    bool Fault(Method m, HRESULT* code) const;

    ULONG refs = 1;
    int width = 0;
    int height = 0;
    LONG pitch = 0; // bytes
    uint8_t* bits = nullptr;
    std::vector<uint8_t> store;
    DWORD caps = 0;
    bool primary = false;
    bool back = false;
    bool gfx = false;           // the graphics sheet: faults may name it "@gfx" or by its size
    Surface* partner = nullptr; // primary <-> its back buffer
    GammaControl* gamma = nullptr;
    bool hasSrcKey = false;
    DDCOLORKEY srcKey{};
    bool lost = false;
    bool locked = false;
    bool dcOut = false;
    Dc dc;
    char tag[24] = {};
    char names[kMethodCount][3][72] = {};

    uint16_t* Row(int y) {
        return reinterpret_cast<uint16_t*>(bits + static_cast<ptrdiff_t>(y) * pitch);
    }
};

// Pixel format helpers for RGB565.
inline uint16_t ColorRefTo565(COLORREF c) {
    return static_cast<uint16_t>(((GetRValue(c) >> 3) << 11) | ((GetGValue(c) >> 2) << 5) |
                                 (GetBValue(c) >> 3));
}
inline COLORREF Rgb565ToColorRef(uint16_t p) {
    unsigned r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return RGB((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

// A surface DC handed out by GetDC, or null when hdc is no live surface DC.
Surface* SurfaceOfDc(HDC hdc);
bool IsLiveSurface(const IDirectDrawSurface4* s);

// Presentation of the primary after a flip (present.cpp). Virtual mode: advance the clock to
// the next vertical blank. SDL mode: draw into the window with the gamma ramp applied.
void Present(const Surface& front, const DDGAMMARAMP* ramp);
void ReleasePresentation();

} // namespace qrxdd
