// Border strips and the signature tag (effects/border.cpp).
#pragma once

#include <cstdint>

extern uint16_t g_BorderIn;
extern uint16_t g_BorderOut;
void Border_Draw(int32_t mode); // 1 slide in, 2 slide out, 3 still
void Tag_Draw();
