// Placeholder definitions so that everything links while the display is being built.
#include "display/display.h"
#include "display/gamma.h"
#include "display/surface.h"

LPDIRECTDRAW4 g_pDD = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSPrimary = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSBack = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSGfx = nullptr;
LPDIRECTDRAWGAMMACONTROL g_pGammaControl = nullptr;
int32_t g_RowOffset[480];
float g_FadeLevel = 0;
HRESULT InitApp() { return 0; }
void RowOffset_Init() {}
void DX_Flip() {}
HRESULT RestoreAll() { return 0; }
void Release_All() {}
void Gamma_Init() {}
void Gamma_SetLevel(int32_t) {}
void Fade_In() {}
void Fade_Out() {}
int32_t RGB16(int8_t r, int8_t g, int8_t b) { return ((r << 6 | g) << 5) | b; }
DWORD Surface_MatchColor(LPDIRECTDRAWSURFACE4, COLORREF) { return 0; }
HRESULT Surface_SetColorKey(LPDIRECTDRAWSURFACE4, COLORREF) { return 0; }
HRESULT Surface_Fill(LPDIRECTDRAWSURFACE4, DWORD) { return 0; }
LONG Surface_GetPitch(LPDIRECTDRAWSURFACE4) { return 0; }
WORD* Surface_Lock(LPDIRECTDRAWSURFACE4) { return nullptr; }
HRESULT Surface_Unlock(LPDIRECTDRAWSURFACE4) { return 0; }
HRESULT Surface_CopyBitmap(LPDIRECTDRAWSURFACE4, HBITMAP, int, int, int, int) { return 0; }
HRESULT Surface_BltFast(LPDIRECTDRAWSURFACE4, LPDIRECTDRAWSURFACE4, int, int, int, int, int, int) {
    return 0;
}
