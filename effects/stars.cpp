#include "effects/stars.h"

#include <ctime>

#include "common/helpers.h"
#include "display/surface.h"

Star g_Stars[STAR_COUNT];

void Stars_Init() {
    Random_Seed(static_cast<uint32_t>(time(nullptr)));
    for (Star& star : g_Stars) {
        star.x = static_cast<uint16_t>(Random_Next() % 640);
        star.y = static_cast<uint16_t>(Random_Next() % 480);
        star.speed = static_cast<uint16_t>(Random_Next() % 4 + 1);
    }
}

void Stars_Move() {
    for (Star& star : g_Stars) {
        star.x = static_cast<uint16_t>(star.x + star.speed);
        if (star.x >= 640) star.x = static_cast<uint16_t>(star.x - 640);
    }
}

void Stars_Draw(WORD* pixels) {
    // Brightness by speed layer, dim grey to white; index 0 unused.
    const WORD colour[5] = {
        0, static_cast<WORD>(RGB16(4, 8, 4)), static_cast<WORD>(RGB16(8, 15, 8)),
        static_cast<WORD>(RGB16(15, 31, 15)), static_cast<WORD>(RGB16(31, 63, 31))};
    for (const Star& star : g_Stars) {
        // Only Stars_Init places stars; a record it has not filled (speed 0) is not a star.
        if (star.speed < 1 || star.speed > 4) continue;
        pixels[g_RowOffset[star.y] + star.x] = colour[star.speed];
    }
}
