// The frame routine: clear, the current scene, pacing to the minimum frame time, flip.
#include "display/display.h"
#include "display/surface.h"
#include "shell/shell.h"
#include "show/show.h"

uint16_t g_Scene = 1;

void Show_Frame() {
    double t0 = Get_Time();
    Surface_Fill(g_pDDSBack, static_cast<DWORD>(RGB16(0, 0, 4)));
    if (g_Scene >= 1 && g_Scene <= 26) {
        Scene_Run(g_Scene);
    } else if (g_Scene == 27) {
        PostMessageA(g_hWnd, WM_CLOSE, 0, 0);
    }
    // A fatal report inside the scene (a failed lock or restore) has released the display:
    // nothing is flipped.
    if (g_pDD == nullptr) return;
    while (Get_Time() - t0 < FRAME_PERIOD) {
    }
    DX_Flip();
}
