#include "effects/scroller.h"

#include <cmath>
#include <cstring>

#include "assets/sheet_cell.h"
#include "common/helpers.h"
#include "display/surface.h"
#include "effects/own_surface.h"
#include "shell/shell.h"

LPDIRECTDRAWSURFACE4 g_pDDSScroller = nullptr;
uint8_t g_ScrollDelay = 0;
uint32_t g_ScrollIndex = 0;
uint16_t g_ScrollCellX = 0;
uint16_t g_ScrollCellY = 0;
int16_t g_SinePhase = 0;

namespace {

// The strip: 705x33. Columns 32..671 are the visible window, new glyphs go to 671..702.
const DWORD STRIP_WIDTH = 705;
const DWORD STRIP_HEIGHT = 33;
const DWORD GLYPH_COLUMN = 671;
const uint8_t GLYPH_DELAY = 16; // shifts of 2 pixels between two glyphs
const double SINE_AMPLITUDE = 150.0;

} // namespace

// A lost strip is brought back by its own copies (OwnSurface_Copy): restored and cleared to
// black, after which the text scrolls on from black. Scroller_Update shifts or puts a glyph on
// every frame of a scroller scene, before the strip is drawn, so a lost strip is back by that
// frame's draw.
HRESULT Scroller_Init() {
    if (g_pDD == nullptr) return E_POINTER; // no device to create the strip on
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = STRIP_WIDTH;
    desc.dwHeight = STRIP_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    const HRESULT hr = g_pDD->CreateSurface(&desc, &g_pDDSScroller, nullptr);
    if (FAILED(hr)) {
        g_pDDSScroller = nullptr;
        return Fatal_Error(g_hWnd, hr, "Scroller_Init()\nCreateSurface for \tScroller FAILED");
    }
    const HRESULT fill = OwnSurface_Clear(g_pDDSScroller);
    if (FAILED(fill)) return fill;
    Surface_SetColorKey(g_pDDSScroller, 0);
    return 0;
}

bool Scroller_Update(const char* text, uint8_t font) {
    if (g_ScrollDelay != 0) {
        Scroller_Shift();
        --g_ScrollDelay;
        return false;
    }
    if (g_ScrollIndex >= std::strlen(text)) {
        g_ScrollIndex = 0;
        return true;
    }
    // A character without a glyph repeats the glyph put last.
    Sheet_Cell(static_cast<uint8_t>(text[g_ScrollIndex]), font, &g_ScrollCellX, &g_ScrollCellY);
    Scroller_PutGlyph(g_ScrollCellX, g_ScrollCellY);
    g_ScrollDelay = GLYPH_DELAY;
    ++g_ScrollIndex;
    return false;
}

HRESULT Scroller_PutGlyph(uint16_t cellX, uint16_t cellY) {
    if (g_pDDSScroller == nullptr) return E_POINTER;
    RECT cell = {cellX, cellY, cellX + GLYPH_SIZE, cellY + GLYPH_SIZE};
    return OwnSurface_Copy(&g_pDDSScroller, GLYPH_COLUMN, 0, g_pDDSGfx, &cell);
}

HRESULT Scroller_Shift() {
    if (g_pDDSScroller == nullptr) return E_POINTER;
    // Overlapping copy within the strip: column k + 2 goes to column k for k = 29..701.
    RECT source = {31, 0, 704, 32};
    return OwnSurface_Copy(&g_pDDSScroller, 29, 0, g_pDDSScroller, &source);
}

HRESULT Scroller_Draw(uint16_t y) {
    return Surface_BltFast(g_pDDSScroller, g_pDDSBack, 0, y, 32, 0, 672, 32);
}

HRESULT Scroller_DrawSine(int16_t y) {
    int16_t b = g_SinePhase;
    for (int i = 0; i < 320; ++i) {
        const int dy = static_cast<int>(std::sin(DegToRad(b)) * SINE_AMPLITUDE + y);
        // A fatal report inside a copy releases the display: copy nothing more then.
        if (g_pDD != nullptr)
            Surface_BltFast(g_pDDSScroller, g_pDDSBack, 2 * i, dy, 32 + 2 * i, 0, 34 + 2 * i, 32);
        ++b;
        if (b > 360) b = 0;
    }
    g_SinePhase = static_cast<int16_t>(g_SinePhase + 2);
    if (g_SinePhase > 360) g_SinePhase = 0;
    return 0;
}
