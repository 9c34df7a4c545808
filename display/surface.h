// Surface operations every effect uses instead of the surface interface itself
// (display/surface.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

int32_t RGB16(int8_t r, int8_t g, int8_t b); // r*2048 | g*32 | b
DWORD Surface_MatchColor(LPDIRECTDRAWSURFACE4 surface, COLORREF colour);
HRESULT Surface_SetColorKey(LPDIRECTDRAWSURFACE4 surface, COLORREF colour);
HRESULT Surface_Fill(LPDIRECTDRAWSURFACE4 surface, DWORD value);
LONG Surface_GetPitch(LPDIRECTDRAWSURFACE4 surface); // in 16-bit pixels; 0 on failure
WORD* Surface_Lock(LPDIRECTDRAWSURFACE4 surface);      // null after a fatal report
HRESULT Surface_Unlock(LPDIRECTDRAWSURFACE4 surface);
HRESULT Surface_CopyBitmap(LPDIRECTDRAWSURFACE4 surface, HBITMAP bitmap, int xsrc, int ysrc,
                           int width, int height);
HRESULT Surface_BltFast(LPDIRECTDRAWSURFACE4 src, LPDIRECTDRAWSURFACE4 dst, int x, int y, int left,
                        int top, int right, int bottom);
