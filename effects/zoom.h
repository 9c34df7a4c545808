// Logo zoomer (effects/zoom.cpp).
#pragma once

#include <cstdint>

extern uint16_t g_ZoomWidthPhase;
extern uint16_t g_ZoomHeightPhase;
uint8_t Zoom_Draw(uint16_t cx, int32_t cy); // 1 when a width cycle completed or the copy failed
