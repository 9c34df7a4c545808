// A small in-memory DirectDraw surface and device for the effect tests: real 16-bit pixels,
// plain and colour-keyed BltFast, colour fills, a nearest-pixel stretching Blt, and every
// Blt/BltFast call recorded. Results can be scripted per call to exercise the retry, loss
// and failure paths.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "common/globals.h"

struct FakeCall {
    bool fast; // BltFast, else Blt
    RECT dst;  // destination rectangle (BltFast: position and source size)
    RECT src;  // source rectangle, or zero for a fill
    DWORD flags;
    const void* source;
};

class FakeSurface final : public IDirectDrawSurface4 {
  public:
    FakeSurface(int w, int h, WORD fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}

    int width;
    int height;
    std::vector<WORD> pixels;
    bool hasKey = false;
    bool lost = false; // while set, every Blt/BltFast/Lock reports DDERR_SURFACELOST
    int restores = 0;
    std::deque<HRESULT> scripted; // results returned (without drawing) before real work
    std::vector<FakeCall> calls;
    std::vector<const char*>* events = nullptr; // when set, every call's name in order

    void Event(const char* name) {
        if (events) events->push_back(name);
    }

    WORD At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    void Set(int x, int y, WORD v) { pixels[size_t(y) * width + x] = v; }

    HRESULT QueryInterface(REFIID, LPVOID*) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 0; }

    HRESULT Blt(LPRECT d, LPDIRECTDRAWSURFACE4 s, LPRECT sr, DWORD flags, LPDDBLTFX fx) override {
        RECT whole = {0, 0, width, height};
        RECT dr = d ? *d : whole;
        calls.push_back({false, dr, sr ? *sr : RECT{}, flags, s});
        Event(flags & DDBLT_COLORFILL ? "Fill" : "Blt");
        if (HRESULT hr; Scripted(&hr)) return hr;
        auto* src = static_cast<FakeSurface*>(s);
        if (lost || (src && src->lost)) return DDERR_SURFACELOST;
        if (flags & DDBLT_COLORFILL) {
            if (!fx) return DDERR_INVALIDPARAMS;
            for (int y = dr.top; y < dr.bottom; ++y)
                for (int x = dr.left; x < dr.right; ++x)
                    Set(x, y, WORD(fx->dwFillColor));
            return DD_OK;
        }
        if (!src || !sr) return DDERR_INVALIDPARAMS;
        const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
        if (dw <= 0 || dh <= 0) return DD_OK; // empty destination: nothing to draw
        const int sw = sr->right - sr->left, sh = sr->bottom - sr->top;
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                const WORD v = src->At(sr->left + x * sw / dw, sr->top + y * sh / dh);
                if ((flags & DDBLT_KEYSRC) && src->hasKey && v == 0) continue;
                Set(dr.left + x, dr.top + y, v);
            }
        return DD_OK;
    }

    HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 s, LPRECT sr, DWORD trans) override {
        auto* src = static_cast<FakeSurface*>(s);
        const RECT r = *sr;
        calls.push_back({true,
                         {LONG(x), LONG(y), LONG(x) + r.right - r.left, LONG(y) + r.bottom - r.top},
                         r,
                         trans,
                         s});
        Event("BltFast");
        if (HRESULT hr; Scripted(&hr)) return hr;
        if (lost || src->lost) return DDERR_SURFACELOST;
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0 || r.left < 0 || r.top < 0 || r.right > src->width ||
            r.bottom > src->height || LONG(x) + w > width || LONG(y) + h > height)
            return DDERR_INVALIDRECT;
        std::vector<WORD> block(size_t(w) * h); // read everything first: overlap-safe
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                block[size_t(j) * w + i] = src->At(r.left + i, r.top + j);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const WORD v = block[size_t(j) * w + i];
                if ((trans & DDBLTFAST_SRCCOLORKEY) && src->hasKey && v == 0) continue;
                Set(int(x) + i, int(y) + j, v);
            }
        return DD_OK;
    }

    HRESULT Flip(LPDIRECTDRAWSURFACE4, DWORD) override { return DD_OK; }
    HRESULT GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4*) override { return E_FAIL; }
    HRESULT GetDC(HDC*) override { return DDERR_CANTCREATEDC; }
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 d) override {
        d->dwWidth = DWORD(width);
        d->dwHeight = DWORD(height);
        d->lPitch = width * 2;
        return DD_OK;
    }
    HRESULT Lock(LPRECT, LPDDSURFACEDESC2 d, DWORD, HANDLE) override {
        Event("Lock");
        if (lost) return DDERR_SURFACELOST;
        d->lpSurface = pixels.data();
        d->lPitch = width * 2;
        return DD_OK;
    }
    HRESULT ReleaseDC(HDC) override { return DD_OK; }
    HRESULT Restore() override {
        ++restores;
        lost = false;
        return DD_OK;
    }
    HRESULT SetColorKey(DWORD, LPDDCOLORKEY) override {
        hasKey = true;
        return DD_OK;
    }
    HRESULT Unlock(LPRECT) override {
        Event("Unlock");
        return DD_OK;
    }

  private:
    bool Scripted(HRESULT* hr) {
        if (scripted.empty()) return false;
        *hr = scripted.front();
        scripted.pop_front();
        return true;
    }
};

class FakeDirectDraw final : public IDirectDraw4 {
  public:
    HRESULT createResult = DD_OK;
    std::deque<HRESULT> newSurfaceScript; // scripted results of the next created surface
    std::vector<FakeSurface*> created;
    DDSURFACEDESC2 lastDesc = {};

    ~FakeDirectDraw() {
        for (FakeSurface* s : created)
            delete s;
    }
    HRESULT QueryInterface(REFIID, LPVOID*) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 0; }
    HRESULT CreateSurface(LPDDSURFACEDESC2 d, LPDIRECTDRAWSURFACE4* out, IUnknown*) override {
        lastDesc = *d;
        if (FAILED(createResult)) return createResult;
        created.push_back(new FakeSurface(int(d->dwWidth), int(d->dwHeight), 0x1234));
        created.back()->scripted.swap(newSurfaceScript);
        *out = created.back();
        return DD_OK;
    }
    HRESULT GetCaps(LPDDCAPS, LPDDCAPS) override { return DD_OK; }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DD_OK; }
    HRESULT SetDisplayMode(DWORD, DWORD, DWORD, DWORD, DWORD) override { return DD_OK; }
};

// The globals pointed at a fake device: a 640x480 back buffer cleared to dark blue and a
// 640x400 sheet whose every pixel is distinct and non-black (SheetPixel), so a copied cell can
// be recognised. Cleared again on destruction.
inline WORD SheetPixel(int x, int y) {
    return WORD(1 + (x + 640 * y) % 65535);
}

struct FakeDevice {
    FakeDirectDraw dd;
    FakeSurface primary{640, 480};
    FakeSurface back{640, 480, 4};
    FakeSurface gfx{640, 400};

    FakeDevice() {
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 640; ++x)
                gfx.Set(x, y, SheetPixel(x, y));
        // The space cells of the three fonts are black, as on the real sheet.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                gfx.Set(x, y, 0);
                gfx.Set(320 + x, y, 0);
                gfx.Set(x, 288 + y, 0);
            }
        gfx.hasKey = true;
        back.hasKey = true;
        Attach();
    }
    ~FakeDevice() {
        g_pDD = nullptr;
        g_pDDSPrimary = nullptr;
        g_pDDSBack = nullptr;
        g_pDDSGfx = nullptr;
        g_pDDSScroller = nullptr;
        g_pDDSWriter = nullptr;
    }
    // Points the globals at the fakes again (a fatal report's release clears them); the
    // scroller and writer surfaces are the first two created, if they were.
    void Attach() {
        g_pDD = &dd;
        g_pDDSPrimary = &primary;
        g_pDDSBack = &back;
        g_pDDSGfx = &gfx;
        if (dd.created.size() >= 1) g_pDDSScroller = dd.created[0];
        if (dd.created.size() >= 2) g_pDDSWriter = dd.created[1];
    }
    FakeSurface* Created(int i) { return dd.created.at(size_t(i)); }
};
