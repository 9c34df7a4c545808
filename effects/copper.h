// Copper bars (effects/copper.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

const int COPPER_COLORS = 132;
extern uint16_t g_CopperColors[COPPER_COLORS];
extern uint16_t g_CopperPhase;
void Copper_Init();
void Copper_Draw(WORD* pixels);
