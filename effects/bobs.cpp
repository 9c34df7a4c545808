#include "effects/bobs.h"

#include <cmath>

#include "common/globals.h"
#include "common/helpers.h"
#include "display/surface.h"

BobPreset g_BobPresets[BOB_PRESETS] = {
    {2, 4, 16, 0, 0, 0, 1}, {4, 1, 2, 0, 0, 0, 1}, {2, 2, 8, 0, 0, 0, 0},
    {2, 0, 2, 0, 0, 0, 0},  {0, 8, 2, 0, 0, 0, 1},
};

namespace {

// Angles wrap only once they exceed 360; 360 itself stays.
int16_t Wrap(int16_t angle) {
    return angle > 360 ? static_cast<int16_t>(angle - 360) : angle;
}

int16_t Step(int16_t angle, int16_t by) {
    return Wrap(static_cast<int16_t>(angle + by));
}

} // namespace

void Bobs_Draw(uint8_t preset) {
    BobPreset& p = g_BobPresets[preset];
    int16_t a1 = p.angle1;
    int16_t a2 = p.angle2;
    int16_t a3 = p.angle3;
    for (int i = 0; i < BOB_COUNT; ++i) {
        const double r1 = DegToRad(a1);
        const double r2 = DegToRad(a2);
        const double r3 = DegToRad(a3);
        const int x = static_cast<int>(std::sin(r1) * 60) + static_cast<int>(std::sin(r2) * 100) +
                      static_cast<int>(std::sin(r3) * 120) + 320;
        const int y =
            static_cast<int>((60 * std::cos(r1) + (60 * std::cos(r2) + 60 * std::cos(r3))) + 240);
        a1 = Step(a1, 4);
        a2 = Step(a2, 1);
        a3 = Step(a3, 8);
        // A fatal report inside a copy releases the display: draw no further bobs then.
        if (g_pDD == nullptr) continue;
        if (p.sprite == 0) {
            Surface_BltFast(g_pDDSGfx, g_pDDSBack, x, y, 608, 352, 640, 384); // silver ball
        } else if (p.sprite == 1) {
            Surface_BltFast(g_pDDSGfx, g_pDDSBack, x, y, 544, 192, 580, 228); // red ball
        }
    }
    p.angle1 = Step(p.angle1, p.speed1);
    p.angle2 = Step(p.angle2, p.speed2);
    p.angle3 = Step(p.angle3, p.speed3);
}
