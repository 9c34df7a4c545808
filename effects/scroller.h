// Text scroller (effects/scroller.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

extern uint8_t g_ScrollDelay;
extern uint32_t g_ScrollIndex;
extern uint16_t g_ScrollCellX;
extern uint16_t g_ScrollCellY;
extern int16_t g_SinePhase;
HRESULT Scroller_Init();
bool Scroller_Update(const char* text, uint8_t font); // true on the call that finds the text done
HRESULT Scroller_Draw(uint16_t y);
HRESULT Scroller_DrawSine(int16_t y);
HRESULT Scroller_PutGlyph(uint16_t cellX, uint16_t cellY);
HRESULT Scroller_Shift();
