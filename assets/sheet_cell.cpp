#include "assets/sheet_cell.h"

bool Sheet_Cell(uint8_t ch, uint8_t font, uint16_t* x, uint16_t* y) {
    const uint8_t code = static_cast<uint8_t>(ch - 32);
    if (code >= GLYPH_COUNT) return false;
    switch (font) {
    case 0: // 20 cells a row, three rows from sheet row 288
        *x = static_cast<uint16_t>(GLYPH_SIZE * (code % 20));
        *y = static_cast<uint16_t>(288 + GLYPH_SIZE * (code / 20));
        return true;
    case 1: // 10 cells a row, six rows, left half of the sheet
    case 2: // the same grid in the right half
        *x = static_cast<uint16_t>((font == 2 ? 320 : 0) + GLYPH_SIZE * (code % 10));
        *y = static_cast<uint16_t>(GLYPH_SIZE * (code / 10));
        return true;
    default:
        return false;
    }
}
