#include "effects/border.h"

#include "display/surface.h"

uint16_t g_BorderIn = 0;
uint16_t g_BorderOut = 0;

namespace {

const int STRIP_TOP = 384; // the strip on the sheet: (0, 384)-(640, 400)
const int STRIP_BOTTOM = 400;
const int TOP_ROW = 10;
const int BOTTOM_ROW = 454;
const int SLIDE_STEP = 4;

void Strip(int x, int y, int left, int right) {
    Surface_BltFast(g_pDDSGfx, g_pDDSBack, x, y, left, STRIP_TOP, right, STRIP_BOTTOM);
}

} // namespace

void Border_Draw(int32_t mode) {
    const int n = g_BorderIn;
    const int m = g_BorderOut;
    switch (mode) {
    case 1: // slide in: top from the left, bottom from the right
        Strip(0, TOP_ROW, 640 - n, 640);
        if (g_pDD == nullptr) return; // the display was released by a fatal report
        Strip(640 - n, BOTTOM_ROW, 0, n);
        g_BorderIn = static_cast<uint16_t>(g_BorderIn + SLIDE_STEP);
        if (g_BorderIn >= 640) {
            g_BorderIn = 640;
            g_BorderOut = 0;
        }
        break;
    case 2: // slide out: top moves on to the right, bottom is cut back from its right end
        Strip(m, TOP_ROW, 0, 640 - m);
        if (g_pDD == nullptr) return;
        Strip(0, BOTTOM_ROW, 0, 640 - m);
        g_BorderOut = static_cast<uint16_t>(g_BorderOut + SLIDE_STEP);
        if (g_BorderOut >= 640) {
            g_BorderOut = 640;
            g_BorderIn = 0;
        }
        break;
    case 3:
        Strip(0, TOP_ROW, 0, 640);
        if (g_pDD == nullptr) return;
        Strip(0, BOTTOM_ROW, 0, 640);
        break;
    default:
        break;
    }
}

void Tag_Draw() {
    Surface_BltFast(g_pDDSGfx, g_pDDSBack, 576, 470, 576, 256, 640, 264);
}
