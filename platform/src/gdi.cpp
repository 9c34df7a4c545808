// GDI stand-in: memory DCs with a selected 8-bit palette DIB section, surface DCs, pixel
// reads and writes, StretchBlt from a DIB into a 16-bit surface, and LoadImageA for bitmap
// resources. Handles are checked against the live objects, so a stale or foreign handle
// fails instead of being followed.
#include <algorithm>
#include <cstring>

#include "ddraw_internal.h"
#include "qrx_host.h"
#include "qrx_host_display.h"

namespace {

constexpr uint32_t kMemoryDcMagic = 0x4D444344; // "DCDM"
constexpr int kMaxBitmapSide = 16384;

struct Bitmap {
    int width = 0;
    int height = 0; // rows, always positive
    bool bottomUp = true;
    int stride = 0;               // bytes per row, a multiple of 4
    uint8_t palette[256][3] = {}; // r, g, b
    std::vector<uint8_t> bits;
    qrxdd::Dc* selectedInto = nullptr;
    bool stock = false;

    const uint8_t* Row(int y) const {
        return bits.data() + static_cast<size_t>(bottomUp ? height - 1 - y : y) * stride;
    }
};

std::vector<Bitmap*>& Bitmaps() {
    static auto* v = new std::vector<Bitmap*>; // never destroyed: live objects stay reachable
    return *v;
}
std::vector<qrxdd::Dc*>& MemoryDcs() {
    static auto* v = new std::vector<qrxdd::Dc*>; // never destroyed: live objects stay reachable
    return *v;
}

// The 1x1 bitmap a new memory DC holds until another is selected.
Bitmap* StockBitmap() {
    static Bitmap b = [] {
        Bitmap s;
        s.width = s.height = 1;
        s.stride = 4;
        s.bits.assign(4, 0);
        s.stock = true;
        return s;
    }();
    return &b;
}

Bitmap* AsBitmap(HGDIOBJ h) {
    if (h == StockBitmap()) return StockBitmap();
    for (Bitmap* b : Bitmaps())
        if (b == h) return b;
    return nullptr;
}

qrxdd::Dc* AsMemoryDc(HDC h) {
    for (qrxdd::Dc* d : MemoryDcs())
        if (reinterpret_cast<HDC>(d) == h) return d;
    return nullptr;
}

uint32_t Read32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

namespace qrxgdi {

// Parses a packed DIB (BITMAPINFOHEADER, palette, pixels) of 8 bits per pixel, uncompressed.
// Any field out of range or any part reaching past the end of the data gives null.
Bitmap* ParsePackedDib(const uint8_t* data, size_t size) {
    if (!data || size < 40) return nullptr;
    const uint32_t headerSize = Read32(data);
    const int32_t width = static_cast<int32_t>(Read32(data + 4));
    const int32_t height = static_cast<int32_t>(Read32(data + 8));
    const uint16_t planes = Read16(data + 12), bpp = Read16(data + 14);
    const uint32_t compression = Read32(data + 16);
    uint32_t colours = Read32(data + 32);
    if (headerSize < 40 || headerSize > size || planes != 1 || bpp != 8 || compression != 0)
        return nullptr;
    if (width <= 0 || width > kMaxBitmapSide || height == 0 || height < -kMaxBitmapSide ||
        height > kMaxBitmapSide)
        return nullptr;
    if (colours == 0) colours = 256;
    if (colours > 256) return nullptr;
    const uint64_t paletteEnd = static_cast<uint64_t>(headerSize) + colours * 4ull;
    const uint64_t stride = (static_cast<uint64_t>(width) + 3) & ~3ull;
    const uint64_t rows =
        static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    if (paletteEnd + stride * rows > size) return nullptr;
    auto* b = new Bitmap;
    b->width = width;
    b->height = static_cast<int>(rows);
    b->bottomUp = height > 0;
    b->stride = static_cast<int>(stride);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* q = data + headerSize + i * 4; // blue, green, red, reserved
        b->palette[i][0] = q[2];
        b->palette[i][1] = q[1];
        b->palette[i][2] = q[0];
    }
    b->bits.assign(data + paletteEnd, data + paletteEnd + stride * rows);
    Bitmaps().push_back(b);
    return b;
}

} // namespace qrxgdi

HANDLE WINAPI LoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    qrxhost::LogCall("LoadImageA");
    HRESULT code;
    if (qrxhost::TakeFault("LoadImageA", &code)) return nullptr;
    // Only bitmaps from the program's resources, at their own size.
    if (type != IMAGE_BITMAP || (flags & ~(LR_CREATEDIBSECTION | LR_DEFAULTCOLOR))) return nullptr;
    HRSRC res = FindResourceA(inst, name, RT_BITMAP);
    if (!res) return nullptr;
    HGLOBAL mem = LoadResource(inst, res);
    const auto* data = static_cast<const uint8_t*>(LockResource(mem));
    Bitmap* b = qrxgdi::ParsePackedDib(data, SizeofResource(inst, res));
    if (!b) return nullptr;
    if ((cx && cx != b->width) || (cy && cy != b->height)) {
        Bitmaps().erase(std::remove(Bitmaps().begin(), Bitmaps().end(), b), Bitmaps().end());
        delete b;
        return nullptr;
    }
    return b;
}

HDC WINAPI CreateCompatibleDC(HDC) {
    qrxhost::LogCall("CreateCompatibleDC");
    HRESULT code;
    if (qrxhost::TakeFault("CreateCompatibleDC", &code)) return nullptr;
    auto* d = new qrxdd::Dc;
    d->magic = kMemoryDcMagic;
    d->selected = StockBitmap();
    MemoryDcs().push_back(d);
    return reinterpret_cast<HDC>(d);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ obj) {
    qrxhost::LogCall("SelectObject");
    HRESULT code;
    if (qrxhost::TakeFault("SelectObject", &code)) return nullptr;
    qrxdd::Dc* d = AsMemoryDc(hdc);
    Bitmap* b = AsBitmap(obj);
    if (!d || !b) return nullptr;
    if (b->selectedInto && b->selectedInto != d && !b->stock) return nullptr; // one DC at a time
    Bitmap* old = static_cast<Bitmap*>(d->selected);
    if (old && !old->stock) old->selectedInto = nullptr;
    if (!b->stock) b->selectedInto = d;
    d->selected = b;
    return old;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    Bitmap* b = AsBitmap(h);
    if (!b) return 0;
    if (!pv) return sizeof(BITMAP);
    if (c < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm{};
    bm.bmWidth = b->width;
    bm.bmHeight = b->height;
    bm.bmWidthBytes = b->stride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = b->stock ? 1 : 8;
    bm.bmBits = b->stock ? nullptr : b->bits.data();
    std::memcpy(pv, &bm, sizeof bm);
    return sizeof(BITMAP);
}

// Nearest neighbour: destination pixel (dx, dy) of the destination rectangle takes source
// pixel (xSrc + dx * wSrc / wDest, ySrc + dy * hSrc / hDest). Pixels falling outside either
// the destination surface or the source bitmap are clipped away, as GDI does. Palette colours
// become RGB565 by keeping the top 5, 6 and 5 bits. Mirroring (negative sizes) is not offered.
BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
    qrxhost::LogCall("StretchBlt");
    HRESULT code;
    if (qrxhost::TakeFault("StretchBlt", &code)) return FALSE;
    qrxdd::Surface* dst = qrxdd::SurfaceOfDc(hdcDest);
    qrxdd::Dc* srcDc = AsMemoryDc(hdcSrc);
    if (!dst || !srcDc || rop != SRCCOPY) return FALSE;
    const Bitmap* b = static_cast<const Bitmap*>(srcDc->selected);
    if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) return FALSE;
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) return TRUE;
    uint16_t lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = qrxdd::ColorRefTo565(RGB(b->palette[i][0], b->palette[i][1], b->palette[i][2]));
    for (int dy = 0; dy < hDest; ++dy) {
        const int64_t ty = static_cast<int64_t>(yDest) + dy;
        const int64_t sy = ySrc + static_cast<int64_t>(dy) * hSrc / hDest;
        if (ty < 0 || ty >= dst->height || sy < 0 || sy >= b->height) continue;
        const uint8_t* srow = b->Row(static_cast<int>(sy));
        uint16_t* drow = dst->Row(static_cast<int>(ty));
        for (int dx = 0; dx < wDest; ++dx) {
            const int64_t tx = static_cast<int64_t>(xDest) + dx;
            const int64_t sx = xSrc + static_cast<int64_t>(dx) * wSrc / wDest;
            if (tx < 0 || tx >= dst->width || sx < 0 || sx >= b->width) continue;
            drow[tx] = b->stock ? 0 : lut[srow[sx]];
        }
    }
    return TRUE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    qrxhost::LogCall("GetPixel");
    if (qrxdd::Surface* s = qrxdd::SurfaceOfDc(hdc)) {
        if (x < 0 || y < 0 || x >= s->width || y >= s->height) return CLR_INVALID;
        return qrxdd::Rgb565ToColorRef(s->Row(y)[x]);
    }
    if (qrxdd::Dc* d = AsMemoryDc(hdc)) {
        const Bitmap* b = static_cast<const Bitmap*>(d->selected);
        if (b->stock || x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
        const uint8_t* c = b->palette[b->Row(y)[x]];
        return RGB(c[0], c[1], c[2]);
    }
    return CLR_INVALID;
}

// Writes on a surface DC only; returns the colour actually set.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    qrxhost::LogCall("SetPixel");
    qrxdd::Surface* s = qrxdd::SurfaceOfDc(hdc);
    if (!s || x < 0 || y < 0 || x >= s->width || y >= s->height || color == CLR_INVALID)
        return CLR_INVALID;
    const uint16_t p = qrxdd::ColorRefTo565(color);
    s->Row(y)[x] = p;
    return qrxdd::Rgb565ToColorRef(p);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    qrxhost::LogCall("DeleteDC");
    qrxdd::Dc* d = AsMemoryDc(hdc);
    if (!d) return FALSE;
    Bitmap* b = static_cast<Bitmap*>(d->selected);
    if (b && !b->stock) b->selectedInto = nullptr;
    MemoryDcs().erase(std::remove(MemoryDcs().begin(), MemoryDcs().end(), d), MemoryDcs().end());
    delete d;
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ h) {
    qrxhost::LogCall("DeleteObject");
    Bitmap* b = AsBitmap(h);
    if (!b || b->stock || b->selectedInto) return FALSE; // a selected bitmap stays
    Bitmaps().erase(std::remove(Bitmaps().begin(), Bitmaps().end(), b), Bitmaps().end());
    delete b;
    return TRUE;
}

// Window DCs are not offered; memory and surface DCs are not released this way.
int WINAPI ReleaseDC(HWND, HDC) {
    qrxhost::LogCall("ReleaseDC");
    return 0;
}

namespace qrxhost {
HBITMAP BitmapFromPackedDib(const void* data, size_t size) {
    return reinterpret_cast<HBITMAP>(
        qrxgdi::ParsePackedDib(static_cast<const uint8_t*>(data), size));
}
int LiveGdiObjects() {
    return static_cast<int>(Bitmaps().size() + MemoryDcs().size());
}
} // namespace qrxhost
