// DirectDraw stand-in: one virtual 640x480 RGB565 display, a primary with one back buffer,
// off-screen surfaces of any size, copies, fills, colour keys, locks, lost surfaces and the
// gamma control. Objects are reference counted; every live object is kept in a registry so
// that handles can be checked and tests can count what is alive.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ddraw_internal.h"
#include "qrx_host.h"
#include "qrx_host_display.h"

const GUID IID_IDirectDraw4 = {
    0x9c59509a, 0x39bd, 0x11d1, {0x8c, 0x4a, 0x00, 0xc0, 0x4f, 0xd9, 0x30, 0xc5}};
const GUID IID_IDirectDrawSurface4 = {
    0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const GUID IID_IDirectDrawGammaControl = {
    0x69C11C3E, 0xB46B, 0x11D1, {0xAD, 0x7A, 0x00, 0xC0, 0x4F, 0xC2, 0x9B, 0x4E}};

namespace qrxdd {
namespace {

constexpr int kDisplayWidth = 640;
constexpr int kDisplayHeight = 480;
constexpr int kMaxSurfaceSide = 16384;
constexpr uint32_t kSurfaceDcMagic = 0x53444344; // "DCDS"

const GUID kIID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIID_IDirectDraw = {
    0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

const char* const kMethodNames[kMethodCount] = {
    "Blt",    "BltFast",   "Flip",    "GetAttachedSurface", "GetDC",  "GetSurfaceDesc",
    "Lock",   "ReleaseDC", "Restore", "SetColorKey",        "Unlock", "QueryInterface",
    "Release"};

std::vector<Surface*>& Surfaces() {
    static auto* v = new std::vector<Surface*>; // never destroyed: live objects stay reachable
    return *v;
}

struct DisplayState {
    LONG pitchSetting = 0;
    int flips = 0;
    const Surface* front = nullptr; // the primary that last flipped
    bool rampSet = false;
    DDGAMMARAMP ramp{};
} g_display;

} // namespace

struct GammaControl final : IDirectDrawGammaControl {
    explicit GammaControl(Surface* owner) : owner(owner) {}
    HRESULT QueryInterface(REFIID riid, LPVOID* ppv) override {
        return owner->QueryInterface(riid, ppv);
    }
    // Counted on its own; the control lives as long as the primary that offers it.
    ULONG AddRef() override {
        qrxhost::LogCall("IDirectDrawGammaControl::AddRef");
        return ++refs;
    }
    ULONG Release() override {
        qrxhost::LogCall("IDirectDrawGammaControl::Release");
        return refs ? --refs : 0;
    }
    HRESULT GetGammaRamp(DWORD, LPDDGAMMARAMP ramp) override {
        qrxhost::LogCall("IDirectDrawGammaControl::GetGammaRamp");
        HRESULT code;
        if (qrxhost::TakeFault("IDirectDrawGammaControl::GetGammaRamp", &code)) return code;
        if (!ramp) return DDERR_INVALIDPARAMS;
        if (g_display.rampSet) {
            *ramp = g_display.ramp;
        } else {
            for (int i = 0; i < 256; ++i)
                ramp->red[i] = ramp->green[i] = ramp->blue[i] = static_cast<WORD>(i * 257);
        }
        return DD_OK;
    }
    HRESULT SetGammaRamp(DWORD, LPDDGAMMARAMP ramp) override {
        qrxhost::LogCall("IDirectDrawGammaControl::SetGammaRamp");
        HRESULT code;
        if (qrxhost::TakeFault("IDirectDrawGammaControl::SetGammaRamp", &code)) return code;
        if (!ramp) return DDERR_INVALIDPARAMS;
        g_display.ramp = *ramp;
        g_display.rampSet = true;
        return DD_OK;
    }
    Surface* owner;
    ULONG refs = 0;
};

namespace {

// Checks a rectangle against a surface: ordered and inside. Empty rectangles are valid.
bool RectInside(const RECT& r, int w, int h) {
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= w &&
           r.bottom <= h;
}

bool KeyedOut(uint16_t p, uint32_t lo, uint32_t hi) {
    return p >= lo && p <= hi;
}

// Unscaled copy of w x h pixels, source read as a whole before any write (memmove order).
#define QRX_KERNEL __attribute__((optimize("O3")))

// Row access for the kernels, compiled like them so that it is inlined into their loops.
QRX_KERNEL inline uint16_t* RowOf(Surface& s, int y) {
    return reinterpret_cast<uint16_t*>(s.bits + static_cast<ptrdiff_t>(y) * s.pitch);
}

QRX_KERNEL void CopyRect(Surface& dst, int dx, int dy, Surface& src, int sx, int sy, int w, int h,
                         bool keyed, uint32_t lo, uint32_t hi) {
    bool backward = &dst == &src && (dy > sy || (dy == sy && dx > sx));
    if (!keyed) {
        const size_t bytes = static_cast<size_t>(w) * 2;
        if (&dst != &src || dy != sy) {
            // Distinct rows never overlap; their order alone keeps the source intact.
            if (backward) {
                for (int y = h - 1; y >= 0; --y)
                    std::memcpy(RowOf(dst, dy + y) + dx, RowOf(src, sy + y) + sx, bytes);
            } else {
                for (int y = 0; y < h; ++y)
                    std::memcpy(RowOf(dst, dy + y) + dx, RowOf(src, sy + y) + sx, bytes);
            }
        } else {
            for (int y = 0; y < h; ++y)
                std::memmove(RowOf(dst, dy + y) + dx, RowOf(src, sy + y) + sx, bytes);
        }
        return;
    }
    if (lo == hi) {
        const uint16_t key = static_cast<uint16_t>(lo);
        if (backward) {
            for (int y = h - 1; y >= 0; --y) {
                uint16_t* d = RowOf(dst, dy + y) + dx;
                const uint16_t* s = RowOf(src, sy + y) + sx;
                for (int x = w - 1; x >= 0; --x)
                    if (s[x] != key) d[x] = s[x];
            }
        } else {
            for (int y = 0; y < h; ++y) {
                uint16_t* d = RowOf(dst, dy + y) + dx;
                const uint16_t* s = RowOf(src, sy + y) + sx;
                for (int x = 0; x < w; ++x) {
                    uint16_t p = s[x];
                    d[x] = p != key ? p : d[x];
                }
            }
        }
        return;
    }
    for (int i = 0; i < h; ++i) {
        int y = backward ? h - 1 - i : i;
        uint16_t* d = RowOf(dst, dy + y) + dx;
        const uint16_t* s = RowOf(src, sy + y) + sx;
        for (int j = 0; j < w; ++j) {
            int x = backward ? w - 1 - j : j;
            if (!KeyedOut(s[x], lo, hi)) d[x] = s[x];
        }
    }
}

// Scratch for a scaled copy whose source and destination overlap in one surface; it grows
// once to the largest such source and is then reused.
std::vector<uint16_t>& Scratch() {
    static std::vector<uint16_t> v;
    return v;
}

// Scaled copy, nearest neighbour: destination column dx (0-based within the destination
// rectangle) takes source column srcLeft + (dx * srcW) / dstW, rows likewise, so the first
// destination pixel takes the first source pixel and the mapping never leaves the source
// rectangle.
QRX_KERNEL void ScaleRect(Surface& dst, const RECT& d, Surface& src, const RECT& s, bool keyed,
                          uint32_t lo, uint32_t hi) {
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    const uint16_t* base;
    ptrdiff_t srcPitch; // in pixels
    int sx0 = s.left, sy0 = s.top;
    bool overlap = &dst == &src && d.left < s.right && s.left < d.right && d.top < s.bottom &&
                   s.top < d.bottom;
    if (overlap) {
        std::vector<uint16_t>& tmp = Scratch();
        if (tmp.size() < static_cast<size_t>(sw) * sh) tmp.resize(static_cast<size_t>(sw) * sh);
        for (int y = 0; y < sh; ++y)
            std::memcpy(&tmp[static_cast<size_t>(y) * sw], RowOf(src, s.top + y) + s.left,
                        static_cast<size_t>(sw) * 2);
        base = tmp.data();
        srcPitch = sw;
        sx0 = sy0 = 0;
    } else {
        base = reinterpret_cast<const uint16_t*>(src.bits);
        srcPitch = src.pitch / 2;
    }
    // Column map stepped with an integer accumulator: the same values as (dx * sw) / dw.
    const uint16_t key = static_cast<uint16_t>(lo);
    const bool exact = lo == hi;
    for (int y = 0; y < dh; ++y) {
        int sy = sy0 + static_cast<int>((static_cast<int64_t>(y) * sh) / dh);
        const uint16_t* srow = base + sy * srcPitch + sx0;
        uint16_t* drow = RowOf(dst, d.top + y) + d.left;
        int sx = 0, acc = 0;
        if (!keyed) {
            for (int x = 0; x < dw; ++x) {
                drow[x] = srow[sx];
                acc += sw;
                while (acc >= dw)
                    acc -= dw, ++sx;
            }
        } else if (exact) {
            for (int x = 0; x < dw; ++x) {
                uint16_t p = srow[sx];
                if (p != key) drow[x] = p;
                acc += sw;
                while (acc >= dw)
                    acc -= dw, ++sx;
            }
        } else {
            for (int x = 0; x < dw; ++x) {
                uint16_t p = srow[sx];
                if (!KeyedOut(p, lo, hi)) drow[x] = p;
                acc += sw;
                while (acc >= dw)
                    acc -= dw, ++sx;
            }
        }
    }
}

QRX_KERNEL void FillRect(Surface& s, const RECT& r, uint16_t value) {
    const int w = r.right - r.left;
    if (w <= 0) return;
    for (int y = r.top; y < r.bottom; ++y) {
        uint16_t* row = RowOf(s, y) + r.left;
        if (value == 0 || (value & 0xFF) == (value >> 8)) {
            std::memset(row, value & 0xFF, static_cast<size_t>(w) * 2);
        } else {
            std::fill_n(row, w, value);
        }
    }
}

void FillDesc(const Surface& s, DDSURFACEDESC2* d) {
    std::memset(d, 0, sizeof *d);
    d->dwSize = sizeof *d;
    d->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    d->dwWidth = static_cast<DWORD>(s.width);
    d->dwHeight = static_cast<DWORD>(s.height);
    d->lPitch = s.pitch;
    d->ddsCaps.dwCaps = s.caps;
    if (s.primary) {
        d->dwFlags |= DDSD_BACKBUFFERCOUNT;
        d->dwBackBufferCount = s.partner ? 1 : 0;
    }
    if (s.hasSrcKey) {
        d->dwFlags |= DDSD_CKSRCBLT;
        d->ddckCKSrcBlt = s.srcKey;
    }
    d->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    d->ddpfPixelFormat.dwFlags = DDPF_RGB;
    d->ddpfPixelFormat.dwRGBBitCount = 16;
    d->ddpfPixelFormat.dwRBitMask = 0xF800;
    d->ddpfPixelFormat.dwGBitMask = 0x07E0;
    d->ddpfPixelFormat.dwBBitMask = 0x001F;
}

Surface* NewSurface(int w, int h, LONG pitch, DWORD caps, const char* tag) {
    Surface* s = new Surface;
    s->width = w;
    s->height = h;
    s->pitch = pitch;
    s->caps = caps;
    // Rows start on 64-byte boundaries, as video memory would place them.
    s->store.assign(static_cast<size_t>(pitch) * h + 63, 0);
    s->bits = s->store.data() + (-reinterpret_cast<uintptr_t>(s->store.data()) & 63);
    s->dc.magic = kSurfaceDcMagic;
    s->dc.surface = s;
    std::snprintf(s->tag, sizeof s->tag, "%s", tag);
    s->gfx = !std::strcmp(tag, "gfx");
    char size[24];
    std::snprintf(size, sizeof size, "%dx%d", w, h);
    for (int m = 0; m < kMethodCount; ++m) {
        std::snprintf(s->names[m][0], sizeof s->names[m][0], "IDirectDrawSurface4::%s@%s",
                      kMethodNames[m], tag);
        std::snprintf(s->names[m][1], sizeof s->names[m][1], "IDirectDrawSurface4::%s@%s",
                      kMethodNames[m], size);
        std::snprintf(s->names[m][2], sizeof s->names[m][2], "IDirectDrawSurface4::%s",
                      kMethodNames[m]);
    }
    Surfaces().push_back(s);
    return s;
}

void DestroySurface(Surface* s) {
    auto& v = Surfaces();
    v.erase(std::remove(v.begin(), v.end(), s), v.end());
    if (g_display.front == s) g_display.front = nullptr;
    delete s->gamma;
    delete s;
}

Surface* AsSurface(IDirectDrawSurface4* p) {
    return IsLiveSurface(p) ? static_cast<Surface*>(p) : nullptr;
}

} // namespace

bool IsLiveSurface(const IDirectDrawSurface4* p) {
    if (!p) return false;
    for (Surface* s : Surfaces())
        if (s == p) return true;
    return false;
}

Surface* SurfaceOfDc(HDC hdc) {
    for (Surface* s : Surfaces())
        if (reinterpret_cast<HDC>(&s->dc) == hdc) return s->dcOut ? s : nullptr;
    return nullptr;
}

bool Surface::Fault(Method m, HRESULT* code) const {
    if (qrxhost::TakeFault(names[m][0], code)) return true;
    if (gfx && qrxhost::TakeFault(names[m][1], code)) return true;
    return qrxhost::TakeFault(names[m][2], code);
}

HRESULT Surface::QueryInterface(REFIID riid, LPVOID* ppv) {
    qrxhost::LogCall("IDirectDrawSurface4::QueryInterface");
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    HRESULT code;
    if (Fault(kQueryInterface, &code)) return code;
    if (riid == IID_IDirectDrawSurface4 || riid == kIID_IUnknown) {
        AddRef();
        *ppv = static_cast<IDirectDrawSurface4*>(this);
        return S_OK;
    }
    if (riid == IID_IDirectDrawGammaControl && primary) {
        if (!gamma) gamma = new GammaControl(this);
        gamma->AddRef();
        *ppv = static_cast<IDirectDrawGammaControl*>(gamma);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    qrxhost::LogCall("IDirectDrawSurface4::AddRef");
    return ++refs;
}

ULONG Surface::Release() {
    qrxhost::LogCall(names[kRelease][0]); // tagged, so that tests can tell which one went
    if (refs == 0) return 0;
    ULONG left = --refs;
    if (left > 0 || back) return left; // a back buffer lives as long as its flip chain
    if (partner) DestroySurface(partner);
    DestroySurface(this);
    return 0;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 caps2, LPDIRECTDRAWSURFACE4* out) {
    qrxhost::LogCall("IDirectDrawSurface4::GetAttachedSurface");
    if (!caps2 || !out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    HRESULT code;
    if (Fault(kGetAttachedSurface, &code)) return code;
    if (!primary || !partner || !(caps2->dwCaps & DDSCAPS_BACKBUFFER)) return DDERR_NOTFOUND;
    partner->refs++;
    *out = partner;
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
    qrxhost::LogCall("IDirectDrawSurface4::GetSurfaceDesc");
    HRESULT code;
    if (Fault(kGetSurfaceDesc, &code)) return code;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    FillDesc(*this, desc);
    return DD_OK;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
    qrxhost::LogCall("IDirectDrawSurface4::Lock");
    HRESULT code;
    if (Fault(kLock, &code)) return code;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if (lost) return DDERR_SURFACELOST;
    if (locked || dcOut) return DDERR_SURFACEBUSY;
    RECT r = {0, 0, width, height};
    if (rect) {
        if (!RectInside(*rect, width, height)) return DDERR_INVALIDRECT;
        r = *rect;
    }
    FillDesc(*this, desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = Row(r.top) + r.left;
    locked = true;
    return DD_OK;
}

HRESULT Surface::Unlock(LPRECT) {
    qrxhost::LogCall("IDirectDrawSurface4::Unlock");
    HRESULT code;
    if (Fault(kUnlock, &code)) return code;
    if (!locked) return DDERR_NOTLOCKED;
    locked = false;
    return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    qrxhost::LogCall("IDirectDrawSurface4::SetColorKey");
    HRESULT code;
    if (Fault(kSetColorKey, &code)) return code;
    if (flags != DDCKEY_SRCBLT) return DDERR_UNSUPPORTED;
    if (lost) return DDERR_SURFACELOST;
    hasSrcKey = key != nullptr;
    if (key) srcKey = *key;
    return DD_OK;
}

HRESULT Surface::GetDC(HDC* out) {
    qrxhost::LogCall("IDirectDrawSurface4::GetDC");
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    HRESULT code;
    if (Fault(kGetDC, &code) || qrxhost::TakeFault("GetDC", &code)) return code;
    if (lost) return DDERR_SURFACELOST;
    if (dcOut) return DDERR_DCALREADYCREATED;
    if (locked) return DDERR_SURFACEBUSY;
    dcOut = true;
    *out = reinterpret_cast<HDC>(&dc);
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC hdc) {
    qrxhost::LogCall("IDirectDrawSurface4::ReleaseDC");
    HRESULT code;
    if (Fault(kReleaseDC, &code)) return code;
    if (!dcOut || hdc != reinterpret_cast<HDC>(&dc)) return DDERR_NODC;
    dcOut = false;
    return DD_OK;
}

HRESULT Surface::Restore() {
    qrxhost::LogCall("IDirectDrawSurface4::Restore");
    HRESULT code;
    if (Fault(kRestore, &code)) return code;
    // Restored memory holds no picture: it comes back black.
    auto restore = [](Surface* s) {
        if (!s->lost) return;
        s->lost = false;
        std::fill(s->store.begin(), s->store.end(), 0);
    };
    restore(this);
    if (primary && partner) restore(partner);
    return DD_OK;
}

HRESULT Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 srcIface, LPRECT srcRect, DWORD flags,
                     LPDDBLTFX fx) {
    qrxhost::LogCall("IDirectDrawSurface4::Blt");
    HRESULT code;
    if (Fault(kBlt, &code)) return code;
    const DWORD known = DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_WAIT;
    if (flags & ~known) return DDERR_UNSUPPORTED;
    RECT d = {0, 0, width, height};
    if (destRect) d = *destRect;
    if (!RectInside(d, width, height)) return DDERR_INVALIDRECT;
    if (flags & DDBLT_COLORFILL) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX) || srcIface || (flags & DDBLT_KEYSRC))
            return DDERR_INVALIDPARAMS;
        if (lost) return DDERR_SURFACELOST;
        if (locked || dcOut) return DDERR_SURFACEBUSY;
        FillRect(*this, d, static_cast<uint16_t>(fx->dwFillColor));
        return DD_OK;
    }
    Surface* src = AsSurface(srcIface);
    if (!src) return DDERR_INVALIDPARAMS;
    RECT s = {0, 0, src->width, src->height};
    if (srcRect) s = *srcRect;
    if (!RectInside(s, src->width, src->height)) return DDERR_INVALIDRECT;
    if (lost || src->lost) return DDERR_SURFACELOST;
    if (locked || dcOut || src->locked || src->dcOut) return DDERR_SURFACEBUSY;
    bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !src->hasSrcKey) return DDERR_NOCOLORKEY;
    // An empty destination rectangle is accepted and draws nothing; an empty source for a
    // non-empty destination has nothing to sample and is refused.
    if (d.right == d.left || d.bottom == d.top) return DD_OK;
    if (s.right == s.left || s.bottom == s.top) return DDERR_INVALIDRECT;
    uint32_t lo = src->srcKey.dwColorSpaceLowValue, hi = src->srcKey.dwColorSpaceHighValue;
    if (d.right - d.left == s.right - s.left && d.bottom - d.top == s.bottom - s.top)
        CopyRect(*this, d.left, d.top, *src, s.left, s.top, s.right - s.left, s.bottom - s.top,
                 keyed, lo, hi);
    else
        ScaleRect(*this, d, *src, s, keyed, lo, hi);
    return DD_OK;
}

HRESULT Surface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 srcIface, LPRECT srcRect,
                         DWORD trans) {
    qrxhost::LogCall("IDirectDrawSurface4::BltFast");
    HRESULT code;
    if (Fault(kBltFast, &code)) return code;
    if (trans & ~(DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT)) return DDERR_UNSUPPORTED;
    Surface* src = AsSurface(srcIface);
    if (!src) return DDERR_INVALIDPARAMS;
    RECT s = {0, 0, src->width, src->height};
    if (srcRect) s = *srcRect;
    if (!RectInside(s, src->width, src->height)) return DDERR_INVALIDRECT;
    // x and y arrive as unsigned values: a negative position is far outside the surface.
    const int64_t w = s.right - s.left, h = s.bottom - s.top;
    if (static_cast<int64_t>(x) + w > width || static_cast<int64_t>(y) + h > height)
        return DDERR_INVALIDRECT;
    if (lost || src->lost) return DDERR_SURFACELOST;
    if (locked || dcOut || src->locked || src->dcOut) return DDERR_SURFACEBUSY;
    bool keyed = (trans & DDBLTFAST_SRCCOLORKEY) != 0;
    if (keyed && !src->hasSrcKey) return DDERR_NOCOLORKEY;
    if (w == 0 || h == 0) return DD_OK;
    CopyRect(*this, static_cast<int>(x), static_cast<int>(y), *src, s.left, s.top,
             static_cast<int>(w), static_cast<int>(h), keyed, src->srcKey.dwColorSpaceLowValue,
             src->srcKey.dwColorSpaceHighValue);
    return DD_OK;
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE4 target, DWORD) {
    qrxhost::LogCall("IDirectDrawSurface4::Flip");
    HRESULT code;
    if (Fault(kFlip, &code)) return code;
    if (!primary || !partner) return DDERR_NOTFLIPPABLE;
    if (target && target != partner) return DDERR_INVALIDPARAMS;
    if (lost || partner->lost) return DDERR_SURFACELOST;
    if (locked || dcOut || partner->locked || partner->dcOut) return DDERR_SURFACEBUSY;
    std::swap(bits, partner->bits);
    std::swap(store, partner->store);
    g_display.front = this;
    ++g_display.flips;
    Present(*this, g_display.rampSet ? &g_display.ramp : nullptr);
    return DD_OK;
}

namespace {

struct DirectDraw4 final : IDirectDraw4 {
    HRESULT QueryInterface(REFIID riid, LPVOID* ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IDirectDraw4 || riid == kIID_IUnknown) {
            AddRef();
            *ppv = static_cast<IDirectDraw4*>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override;
    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* out,
                          IUnknown* outer) override;
    HRESULT GetCaps(LPDDCAPS caps, LPDDCAPS hel) override {
        qrxhost::LogCall("IDirectDraw4::GetCaps");
        HRESULT code;
        if (qrxhost::TakeFault("IDirectDraw4::GetCaps", &code)) return code;
        if (!caps && !hel) return DDERR_INVALIDPARAMS;
        for (LPDDCAPS c : {caps, hel}) {
            if (!c) continue;
            if (c->dwSize != sizeof(DDCAPS)) return DDERR_INVALIDPARAMS;
            std::memset(c, 0, sizeof *c);
            c->dwSize = sizeof *c;
            c->dwCKeyCaps = 0x200; // DDCKEYCAPS_SRCBLT
            c->dwVidMemTotal = c->dwVidMemFree = 8u << 20;
        }
        return DD_OK;
    }
    HRESULT SetCooperativeLevel(HWND, DWORD flags) override {
        qrxhost::LogCall("IDirectDraw4::SetCooperativeLevel");
        HRESULT code;
        if (qrxhost::TakeFault("IDirectDraw4::SetCooperativeLevel", &code)) return code;
        if ((flags & DDSCL_FULLSCREEN) && !(flags & DDSCL_EXCLUSIVE)) return DDERR_INVALIDPARAMS;
        exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        return DD_OK;
    }
    HRESULT SetDisplayMode(DWORD w, DWORD h, DWORD bpp, DWORD, DWORD) override {
        qrxhost::LogCall("IDirectDraw4::SetDisplayMode");
        HRESULT code;
        if (qrxhost::TakeFault("IDirectDraw4::SetDisplayMode", &code)) return code;
        if (!exclusive) return DDERR_NOEXCLUSIVEMODE;
        // The one mode of the virtual display; the desktop's own mode is never touched.
        if (w != kDisplayWidth || h != kDisplayHeight || bpp != 16) return DDERR_INVALIDMODE;
        return DD_OK;
    }
    ULONG refs = 1;
    bool exclusive = false;
};

struct DirectDraw final : IDirectDraw {
    HRESULT QueryInterface(REFIID riid, LPVOID* ppv) override {
        qrxhost::LogCall("IDirectDraw::QueryInterface");
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        HRESULT code;
        if (qrxhost::TakeFault("IDirectDraw::QueryInterface", &code)) return code;
        if (riid == IID_IDirectDraw4) {
            *ppv = static_cast<IDirectDraw4*>(NewDD4());
            return S_OK;
        }
        if (riid == kIID_IDirectDraw || riid == kIID_IUnknown) {
            AddRef();
            *ppv = static_cast<IDirectDraw*>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override;
    static DirectDraw4* NewDD4();
    ULONG refs = 1;
};

std::vector<void*>& DirectDrawObjects() {
    static auto* v = new std::vector<void*>; // never destroyed: live objects stay reachable
    return *v;
}
void Forget(void* p) {
    auto& v = DirectDrawObjects();
    v.erase(std::remove(v.begin(), v.end(), p), v.end());
}

DirectDraw4* DirectDraw::NewDD4() {
    auto* p = new DirectDraw4;
    DirectDrawObjects().push_back(p);
    return p;
}

ULONG DirectDraw::Release() {
    qrxhost::LogCall("IDirectDraw::Release");
    if (refs == 0) return 0;
    if (--refs) return refs;
    Forget(this);
    delete this;
    return 0;
}

ULONG DirectDraw4::Release() {
    qrxhost::LogCall("IDirectDraw4::Release");
    if (refs == 0) return 0;
    if (--refs) return refs;
    // Releasing the device gives the display back: the picture is no longer presented.
    ReleasePresentation();
    Forget(this);
    delete this;
    return 0;
}

HRESULT DirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* out,
                                   IUnknown* outer) {
    qrxhost::LogCall("IDirectDraw4::CreateSurface");
    if (!desc || !out || outer) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (desc->dwSize != sizeof(DDSURFACEDESC2) || !(desc->dwFlags & DDSD_CAPS))
        return DDERR_INVALIDPARAMS;
    const DWORD caps = desc->ddsCaps.dwCaps;
    HRESULT code;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (qrxhost::TakeFault("IDirectDraw4::CreateSurface", "primary", &code)) return code;
        bool flip = (caps & DDSCAPS_FLIP) != 0;
        DWORD count = (desc->dwFlags & DDSD_BACKBUFFERCOUNT) ? desc->dwBackBufferCount : 0;
        if (flip != (count > 0) || count > 1 || (flip && !(caps & DDSCAPS_COMPLEX)))
            return DDERR_INVALIDPARAMS;
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        for (Surface* s : Surfaces())
            if (s->primary) return MAKE_DDHRESULT(564); // DDERR_PRIMARYSURFACEALREADYEXISTS
        LONG pitch = g_display.pitchSetting ? g_display.pitchSetting : kDisplayWidth * 2;
        Surface* p = NewSurface(kDisplayWidth, kDisplayHeight, pitch,
                                (caps | DDSCAPS_FRONTBUFFER) & ~DDSCAPS_SYSTEMMEMORY, "primary");
        p->primary = true;
        if (flip) {
            Surface* b = NewSurface(
                kDisplayWidth, kDisplayHeight, pitch,
                (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_COMPLEX)) | DDSCAPS_BACKBUFFER, "back");
            b->back = true;
            b->refs = 0; // counted once it is handed out by GetAttachedSurface
            b->partner = p;
            p->partner = b;
        }
        *out = p;
        return DD_OK;
    }
    if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > kMaxSurfaceSide ||
        desc->dwHeight > kMaxSurfaceSide)
        return DDERR_INVALIDPARAMS;
    if (caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_BACKBUFFER)) return DDERR_INVALIDPARAMS;
    int w = static_cast<int>(desc->dwWidth), h = static_cast<int>(desc->dwHeight);
    char size[24];
    std::snprintf(size, sizeof size, "%dx%d", w, h);
    // The first 640x400 off-screen surface is the graphics sheet.
    bool gfx = w == 640 && h == 400 &&
               std::none_of(Surfaces().begin(), Surfaces().end(),
                            [](Surface* s) { return !std::strcmp(s->tag, "gfx"); });
    if (qrxhost::TakeFault("IDirectDraw4::CreateSurface", gfx ? "gfx" : size, &code)) return code;
    // Off-screen rows are padded to whole 32-bit words; the primary keeps its settable pitch.
    *out = NewSurface(w, h, (w * 2 + 3) & ~3, caps | DDSCAPS_OFFSCREENPLAIN, gfx ? "gfx" : size);
    return DD_OK;
}

} // namespace
} // namespace qrxdd

HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* out, IUnknown* outer) {
    qrxhost::LogCall("DirectDrawCreate");
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    HRESULT code;
    if (qrxhost::TakeFault("DirectDrawCreate", &code)) return code;
    if (guid || outer) return DDERR_INVALIDPARAMS;
    auto* dd = new qrxdd::DirectDraw;
    qrxdd::DirectDrawObjects().push_back(dd);
    *out = dd;
    return DD_OK;
}

namespace qrxhost {

void SetDisplayPitch(LONG bytes) {
    qrxdd::g_display.pitchSetting = (bytes >= 1280 && bytes % 2 == 0) ? bytes : 0;
}

void LoseSurface(const char* tag) {
    for (qrxdd::Surface* s : qrxdd::Surfaces()) {
        char size[24];
        std::snprintf(size, sizeof size, "%dx%d", s->width, s->height);
        bool match = !std::strcmp(s->tag, tag) || !std::strcmp(size, tag) ||
                     (!std::strcmp(tag, "primary") && s->back);
        if (match) s->lost = true;
    }
}

void LoseAllSurfaces() {
    for (qrxdd::Surface* s : qrxdd::Surfaces())
        s->lost = true;
}

DisplayedFrame Displayed() {
    const qrxdd::Surface* f = qrxdd::g_display.front;
    DisplayedFrame d{};
    d.frame = qrxdd::g_display.flips;
    d.ramp = qrxdd::g_display.rampSet ? &qrxdd::g_display.ramp : nullptr;
    if (f) {
        d.pixels = reinterpret_cast<const uint16_t*>(f->bits);
        d.width = f->width;
        d.height = f->height;
        d.pitchPixels = f->pitch / 2;
    }
    return d;
}

uint32_t DisplayColor(uint16_t p, const DDGAMMARAMP* ramp) {
    unsigned r5 = p >> 11, g6 = (p >> 5) & 63, b5 = p & 31;
    unsigned r = (r5 << 3) | (r5 >> 2), g = (g6 << 2) | (g6 >> 4), b = (b5 << 3) | (b5 >> 2);
    if (ramp) {
        r = ramp->red[r] >> 8;
        g = ramp->green[g] >> 8;
        b = ramp->blue[b] >> 8;
    }
    return (r << 16) | (g << 8) | b;
}

int LiveSurfaces() {
    return static_cast<int>(qrxdd::Surfaces().size());
}
int LiveDirectDrawObjects() {
    return static_cast<int>(qrxdd::DirectDrawObjects().size());
}

} // namespace qrxhost
