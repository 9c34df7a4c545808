// Starfield (effects/stars.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

struct Star {
    uint16_t x;
    uint16_t y;
    uint16_t speed;
};
const int STAR_COUNT = 150;
extern Star g_Stars[STAR_COUNT];
void Stars_Init();
void Stars_Move();
void Stars_Draw(WORD* pixels);
