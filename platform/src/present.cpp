// Presentation of a flipped frame. Virtual mode: the clock moves to the next vertical blank
// of a 60 Hz display. SDL mode: the frame is drawn into the intro's window, aspect-correct
// with black bars, nearest-neighbour scaled, synchronised to the refresh, with the gamma ramp
// applied to the picture only (the desktop's own ramp and mode are never touched).
#include <functional>

#include "ddraw_internal.h"
#include "plat_internal.h"
#include "qrx_host.h"

namespace qrxhost {
namespace {
std::function<void(int)>& FlipHook() {
    static std::function<void(int)> hook;
    return hook;
}
int g_presented = 0;
} // namespace

void OnFlip(std::function<void(int frame)> hook) {
    FlipHook() = std::move(hook);
}

} // namespace qrxhost

namespace qrxdd {
namespace {

constexpr int kRefreshHz = 60;

struct SdlOutput {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
} g_out;

// Advances the virtual counter to the first vertical blank after it: the smallest count of
// the form ceil(k * frequency / 60) above the current one.
void WaitVerticalBlank() {
    int64_t f = qrxhost::CounterFrequency();
    if (f <= 0) f = 10000000;
    const int64_t now = qrxhost::Counter();
    int64_t k = now * kRefreshHz / f;
    int64_t next = (k * f + kRefreshHz - 1) / kRefreshHz;
    while (next <= now) {
        ++k;
        next = (k * f + kRefreshHz - 1) / kRefreshHz;
    }
    qrxhost::AdvanceCounter(next - now);
}

bool EnsureOutput(SDL_Window* window) {
    if (g_out.window == window && g_out.texture) return true;
    ReleasePresentation();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    g_out.renderer =
        SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!g_out.renderer) g_out.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!g_out.renderer) return false;
    SDL_RenderSetLogicalSize(g_out.renderer, 640, 480);
    g_out.texture = SDL_CreateTexture(g_out.renderer, SDL_PIXELFORMAT_ARGB8888,
                                      SDL_TEXTUREACCESS_STREAMING, 640, 480);
    if (!g_out.texture) {
        ReleasePresentation();
        return false;
    }
    g_out.window = window;
    return true;
}

// Per-channel tables from the 5- and 6-bit values to the displayed 8-bit values.
void BuildTables(const DDGAMMARAMP* ramp, uint32_t* r32, uint32_t* g64, uint32_t* b32) {
    for (unsigned v = 0; v < 64; ++v) {
        unsigned g = (v << 2) | (v >> 4);
        g64[v] = (ramp ? ramp->green[g] >> 8 : g) << 8;
        if (v < 32) {
            unsigned c = (v << 3) | (v >> 2);
            r32[v] = (ramp ? ramp->red[c] >> 8 : c) << 16;
            b32[v] = ramp ? ramp->blue[c] >> 8 : c;
        }
    }
}

void PresentSdl(const Surface& front, const DDGAMMARAMP* ramp) {
    SDL_Window* window = qrxplat::SdlWindow();
    if (!window || !EnsureOutput(window)) return;
    uint32_t r32[32], g64[64], b32[32];
    BuildTables(ramp, r32, g64, b32);
    void* pixels;
    int pitch;
    if (SDL_LockTexture(g_out.texture, nullptr, &pixels, &pitch) == 0) {
        for (int y = 0; y < front.height && y < 480; ++y) {
            const uint16_t* s = reinterpret_cast<const uint16_t*>(
                front.bits + static_cast<ptrdiff_t>(y) * front.pitch);
            uint32_t* d = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) +
                                                      static_cast<ptrdiff_t>(y) * pitch);
            for (int x = 0; x < 640; ++x) {
                uint16_t p = s[x];
                d[x] = 0xFF000000u | r32[p >> 11] | g64[(p >> 5) & 63] | b32[p & 31];
            }
        }
        SDL_UnlockTexture(g_out.texture);
    }
    SDL_SetRenderDrawColor(g_out.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_out.renderer);
    SDL_RenderCopy(g_out.renderer, g_out.texture, nullptr, nullptr);
    SDL_RenderPresent(g_out.renderer);
    qrxplat::PumpEvents();
}

} // namespace

void Present(const Surface& front, const DDGAMMARAMP* ramp) {
    if (qrxhost::IsVirtual())
        WaitVerticalBlank();
    else
        PresentSdl(front, ramp);
    ++qrxhost::g_presented;
    if (qrxhost::FlipHook()) qrxhost::FlipHook()(qrxhost::g_presented);
}

void ReleasePresentation() {
    if (g_out.texture) SDL_DestroyTexture(g_out.texture);
    if (g_out.renderer) SDL_DestroyRenderer(g_out.renderer);
    g_out = SdlOutput{};
}

} // namespace qrxdd
