#include "effects/zoom.h"

#include <cmath>

#include "common/globals.h"
#include "common/helpers.h"
#include "display/display.h"

uint16_t g_ZoomWidthPhase = 0;
uint16_t g_ZoomHeightPhase = 0;

uint8_t Zoom_Draw(uint16_t cx, int32_t cy) {
    uint8_t result = 0;
    g_ZoomWidthPhase = static_cast<uint16_t>(g_ZoomWidthPhase + 1);
    if (g_ZoomWidthPhase > 180) {
        g_ZoomWidthPhase = 0;
        result = 1; // a width cycle is complete
    }
    g_ZoomHeightPhase = static_cast<uint16_t>(g_ZoomHeightPhase + 2);
    if (g_ZoomHeightPhase > 180) g_ZoomHeightPhase = 0;

    const auto hw = static_cast<uint16_t>(
        static_cast<int32_t>(std::sin(DegToRad(g_ZoomWidthPhase)) * 600 * 0.5));
    const auto hh = static_cast<uint16_t>(
        static_cast<int32_t>(std::sin(DegToRad(g_ZoomHeightPhase)) * 220 * 0.5));
    RECT dest = {cx - hw, cy - hh, cx + hw, cy + hh};
    RECT logo = {0, 194, 534, 288};

    // No device (never created, or released by a fatal report): nothing can be drawn.
    if (g_pDDSBack == nullptr || g_pDDSGfx == nullptr || g_pDD == nullptr) return 1;
    for (;;) {
        const HRESULT hr = g_pDDSBack->Blt(&dest, g_pDDSGfx, &logo, DDBLT_KEYSRC, nullptr);
        if (hr == DDERR_WASSTILLDRAWING) continue;
        if (hr == DDERR_SURFACELOST) return FAILED(RestoreAll()) ? 1 : 0;
        return SUCCEEDED(hr) ? result : 1;
    }
}
