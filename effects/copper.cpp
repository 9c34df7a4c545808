#include "effects/copper.h"

#include "display/surface.h"

uint16_t g_CopperColors[COPPER_COLORS];
uint16_t g_CopperPhase = 0;

namespace {

const int RAMP_LENGTH = 33;
const int FIRST_BLOCK_ROW = 27;
const int BLOCK_STEP = 16;
const int LAST_ROW = 443;
const int BANDS = 9;

uint16_t Next(uint16_t index) {
    return index + 1 == COPPER_COLORS ? 0 : index + 1;
}

void FillRow(WORD* pixels, int row, WORD value) {
    WORD* p = pixels + g_RowOffset[row];
    for (int x = 0; x < 640; ++x)
        p[x] = value;
}

} // namespace

void Copper_Init() {
    for (int ramp = 0; ramp < 4; ++ramp) {
        for (int i = 0; i < RAMP_LENGTH; ++i) {
            // 0, 2, ..., 30, the peak, 30, ..., 2, 0
            const int v = i < 16 ? 2 * i : i == 16 ? 31 : 2 * (32 - i);
            const int8_t c = static_cast<int8_t>(v);
            int32_t colour = 0;
            switch (ramp) {
            case 0:
                colour = RGB16(c, 0, 0);
                break; // red
            case 1:
                colour = RGB16(c, static_cast<int8_t>(i == 16 ? 63 : 2 * v), 0);
                break; // yellow
            case 2:
                colour = RGB16(c, 0, c);
                break; // magenta
            default:
                colour = RGB16(0, 0, c);
                break; // blue
            }
            g_CopperColors[ramp * RAMP_LENGTH + i] = static_cast<uint16_t>(colour);
        }
    }
}

void Copper_Draw(WORD* pixels) {
    uint16_t b = g_CopperPhase;
    for (int s = FIRST_BLOCK_ROW; s < LAST_ROW; s += BLOCK_STEP) {
        uint16_t c = b;
        for (int j = 0; j < BANDS; ++j) {
            FillRow(pixels, s - 1 + 2 * j, g_CopperColors[c]);
            FillRow(pixels, s + 2 * j, g_CopperColors[c]);
            c = Next(c);
        }
        b = Next(b);
    }
    g_CopperPhase = Next(g_CopperPhase);
}
