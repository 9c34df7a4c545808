// Gamma fade (display/gamma.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

const float FADE_STEP = 1.1f;
void Gamma_SetLevel(int32_t level);
void Fade_In();
void Fade_Out();
