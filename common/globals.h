// Process-wide state shared between the subsystems. Each global is defined by the subsystem
// that owns it (named beside it) and read by the others.
#pragma once

#include <cstdint>

#include "common/platform.h"

// Application shell (shell/).
extern HWND g_hWnd;      // the one window; set by Startup
extern BOOL g_bActive;   // frames run only while nonzero; initial 1
extern uint32_t g_Seconds; // one-second timer ticks delivered so far

// Display device (display/device.cpp).
extern LPDIRECTDRAW4 g_pDD;
extern LPDIRECTDRAWSURFACE4 g_pDDSPrimary;
extern LPDIRECTDRAWSURFACE4 g_pDDSBack;
extern LPDIRECTDRAWSURFACE4 g_pDDSGfx;
extern LPDIRECTDRAWGAMMACONTROL g_pGammaControl;
extern int32_t g_RowOffset[480];

// Created by the scroller and the writer (effects/), released by Release_All.
extern LPDIRECTDRAWSURFACE4 g_pDDSScroller;
extern LPDIRECTDRAWSURFACE4 g_pDDSWriter;

// Show (show/frame.cpp) and gamma fade (display/gamma.cpp).
extern uint16_t g_Scene;    // 1..27, initial 1
extern float g_FadeLevel;   // 0..256, initial 0
