// Fuzzes the bitmap path of the sheet: the packed DIB of a resource parsed by the GDI layer,
// then copied into a surface through a memory DC and StretchBlt.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/globals.h"
#include "display/surface.h"
#include "qrx_host.h"
#include "qrx_host_display.h"

namespace {

LPDIRECTDRAWSURFACE4 Target() {
    static LPDIRECTDRAWSURFACE4 surface = [] {
        LPDIRECTDRAW dd = nullptr;
        DirectDrawCreate(nullptr, &dd, nullptr);
        LPDIRECTDRAW4 dd4 = nullptr;
        dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd4));
        dd->Release();
        DDSURFACEDESC2 d;
        std::memset(&d, 0, sizeof d);
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = 640;
        d.dwHeight = 400;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        LPDIRECTDRAWSURFACE4 s = nullptr;
        dd4->CreateSurface(&d, &s, nullptr);
        return s;
    }();
    return surface;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HBITMAP bitmap = qrxhost::BitmapFromPackedDib(data, size);
    if (!bitmap) return 0;
    Surface_CopyBitmap(Target(), bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return 0;
}
