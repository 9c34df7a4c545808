// Page writer (effects/writer.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

struct WriterPage {
    uint16_t pos;
    uint8_t column;
    uint8_t row;
    uint32_t done;
    char text[241]; // 240 characters and the record's zero byte
};
extern uint16_t g_WriterDelay; // initial 1
HRESULT Writer_Init();
bool Writer_Update(WriterPage* page, uint8_t font); // always false
HRESULT Writer_Draw();
HRESULT Writer_Clear();
HRESULT Writer_PutGlyph(uint16_t cellX, uint16_t cellY, uint16_t x, uint16_t y);
