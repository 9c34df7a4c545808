// Display device: set-up, row table, flip, restore and release (display/device.cpp).
#pragma once

#include "common/globals.h"

HRESULT InitApp();      // 0, or the code Fatal_Error returned
void RowOffset_Init();  // g_RowOffset[y] = y * pitch in pixels
void DX_Flip();         // flips, retrying while still drawing; other failures are fatal
HRESULT RestoreAll();   // notice box, then restore primary chain and sheet
void Release_All();     // releases every DirectDraw object; safe to call twice
void Gamma_Init();      // obtains g_pGammaControl
