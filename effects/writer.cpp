#include "effects/writer.h"

#include "assets/sheet_cell.h"
#include "display/surface.h"
#include "effects/own_surface.h"
#include "shell/shell.h"

LPDIRECTDRAWSURFACE4 g_pDDSWriter = nullptr;
uint16_t g_WriterDelay = 1;

namespace {

const int PAGE_COLUMNS = 20;
const int PAGE_LENGTH = 240;
const int ROW_STEP = 35; // 32-pixel cells with a gap of 3 rows
const uint16_t WRITER_DELAY = 4;

// The cell a character is typed with. A character without a glyph in fonts 0 and 1, and any
// character in an unknown font, takes (0, 0), the space of font A; font 2 falls back to its own
// space at (320, 0).
void Cell(uint8_t ch, uint8_t font, uint16_t* x, uint16_t* y) {
    if (font > 2) {
        *x = 0;
        *y = 0;
    } else if (!Sheet_Cell(ch, font, x, y)) {
        *x = font == 2 ? 320 : 0;
        *y = 0;
    }
}

} // namespace

// A lost writer surface is brought back by its own glyph copies (OwnSurface_Copy), which come
// every fourth frame while a page is shown, and by Writer_Clear: restored and cleared, after
// which typing continues at the page's position on an empty page.
HRESULT Writer_Init() {
    if (g_pDD == nullptr) return E_POINTER; // no device to create the surface on
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = 640;
    desc.dwHeight = 480;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    const HRESULT hr = g_pDD->CreateSurface(&desc, &g_pDDSWriter, nullptr);
    if (FAILED(hr)) {
        g_pDDSWriter = nullptr;
        return Fatal_Error(g_hWnd, hr, "Writer_Init()\nCreateSurface for \tWriter FAILED");
    }
    const HRESULT fill = OwnSurface_Clear(g_pDDSWriter);
    if (FAILED(fill)) return fill;
    Surface_SetColorKey(g_pDDSWriter, 0);
    return 0;
}

bool Writer_Update(WriterPage* page, uint8_t font) {
    if (--g_WriterDelay != 0) return false;
    uint16_t cellX = 0;
    uint16_t cellY = 0;
    Cell(static_cast<uint8_t>(page->text[page->pos]), font, &cellX, &cellY);
    g_WriterDelay = WRITER_DELAY;
    page->row = static_cast<uint8_t>(page->pos / PAGE_COLUMNS);
    page->column = static_cast<uint8_t>(page->pos % PAGE_COLUMNS);
    Writer_PutGlyph(cellX, cellY, static_cast<uint16_t>(GLYPH_SIZE * page->column),
                    static_cast<uint16_t>(ROW_STEP * page->row));
    if (++page->pos >= PAGE_LENGTH) {
        page->done = 1;
        page->pos = PAGE_LENGTH;
    }
    return false;
}

HRESULT Writer_PutGlyph(uint16_t cellX, uint16_t cellY, uint16_t x, uint16_t y) {
    if (g_pDDSWriter == nullptr) return E_POINTER;
    RECT cell = {cellX, cellY, cellX + GLYPH_SIZE, cellY + GLYPH_SIZE};
    return OwnSurface_Copy(&g_pDDSWriter, x, y, g_pDDSGfx, &cell);
}

HRESULT Writer_Draw() {
    return Surface_BltFast(g_pDDSWriter, g_pDDSBack, 0, 28, 0, 0, 640, 416);
}

HRESULT Writer_Clear() {
    HRESULT hr = Surface_Fill(g_pDDSWriter, 0);
    // The fill does not restore; a lost page is brought back here, cleared, which is all a
    // clear asks for.
    if (hr == DDERR_SURFACELOST && g_pDDSWriter != nullptr) hr = OwnSurface_Recover(g_pDDSWriter);
    return hr;
}
