// Bobs (effects/bobs.cpp).
#pragma once

#include <cstdint>

struct BobPreset {
    int16_t speed1;
    int16_t speed2;
    int16_t speed3;
    int16_t angle1;
    int16_t angle2;
    int16_t angle3;
    int8_t sprite; // 0 silver ball, 1 red ball
};
const int BOB_PRESETS = 5;
const int BOB_COUNT = 150;
extern BobPreset g_BobPresets[BOB_PRESETS];
void Bobs_Draw(uint8_t preset);
