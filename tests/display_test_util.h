// Helpers shared by the display tests: surfaces on the virtual host, pixel access, and the
// recorded message boxes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/globals.h"
#include "qrx_host.h"
#include "qrx_host_display.h"

namespace dtest {

inline LPDIRECTDRAW4 Device() {
    LPDIRECTDRAW dd = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    LPDIRECTDRAW4 dd4 = nullptr;
    EXPECT_EQ(dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd4)), DD_OK);
    dd->Release();
    return dd4;
}

inline LPDIRECTDRAWSURFACE4 Offscreen(LPDIRECTDRAW4 dd, int w, int h) {
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = static_cast<DWORD>(w);
    d.dwHeight = static_cast<DWORD>(h);
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    LPDIRECTDRAWSURFACE4 s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&d, &s, nullptr), DD_OK);
    return s;
}

// Pixel access through a lock, so that the pitch is honoured.
struct Pixels {
    explicit Pixels(LPDIRECTDRAWSURFACE4 s) : surface(s) {
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    }
    ~Pixels() { surface->Unlock(nullptr); }
    WORD& At(int x, int y) {
        return static_cast<WORD*>(
            desc.lpSurface)[static_cast<ptrdiff_t>(y) * (desc.lPitch / 2) + x];
    }
    LPDIRECTDRAWSURFACE4 surface;
    DDSURFACEDESC2 desc;
};

// Fills every pixel with f(x, y).
template <class F> void Paint(LPDIRECTDRAWSURFACE4 s, F f) {
    Pixels p(s);
    for (DWORD y = 0; y < p.desc.dwHeight; ++y)
        for (DWORD x = 0; x < p.desc.dwWidth; ++x)
            p.At(int(x), int(y)) = static_cast<WORD>(f(int(x), int(y)));
}

inline std::vector<WORD> Snapshot(LPDIRECTDRAWSURFACE4 s) {
    Pixels p(s);
    std::vector<WORD> v;
    for (DWORD y = 0; y < p.desc.dwHeight; ++y)
        for (DWORD x = 0; x < p.desc.dwWidth; ++x)
            v.push_back(p.At(int(x), int(y)));
    return v;
}

inline void SetBlackKey(LPDIRECTDRAWSURFACE4 s) {
    DDCOLORKEY k = {0, 0};
    ASSERT_EQ(s->SetColorKey(DDCKEY_SRCBLT, &k), DD_OK);
}

inline std::vector<std::string> BoxTexts() {
    std::vector<std::string> v;
    for (const auto& b : qrxhost::MessageBoxes())
        v.push_back(b.text);
    return v;
}

// True when this host records message boxes (the window layer is in place).
inline bool BoxesRecorded() {
    size_t before = qrxhost::MessageBoxes().size();
    MessageBoxA(nullptr, "probe", nullptr, MB_OK);
    return qrxhost::MessageBoxes().size() > before;
}

inline size_t CountCalls(const std::string& name) {
    size_t n = 0;
    for (const auto& c : qrxhost::CallLog())
        n += c == name;
    return n;
}

} // namespace dtest
