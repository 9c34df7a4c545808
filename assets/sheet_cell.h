// Glyph cells of the graphics sheet (assets/sheet_cell.cpp).
#pragma once

#include <cstdint>

const int GLYPH_COUNT = 60; // characters 32..91 in each font
const int GLYPH_SIZE = 32;

// Top-left corner of the 32x32 cell of character ch in font 0 (scroller font), 1 (font A) or
// 2 (font B). False when the character has no cell (code above 59) or the font is unknown;
// the corner is then left untouched.
bool Sheet_Cell(uint8_t ch, uint8_t font, uint16_t* x, uint16_t* y);
