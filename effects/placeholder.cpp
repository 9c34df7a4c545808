// Placeholder definitions so that everything links while the effects are being built.
#include "effects/bobs.h"
#include "effects/border.h"
#include "effects/copper.h"
#include "effects/scroller.h"
#include "effects/stars.h"
#include "effects/writer.h"
#include "effects/zoom.h"

Star g_Stars[STAR_COUNT];
uint16_t g_CopperColors[COPPER_COLORS];
uint16_t g_CopperPhase = 0;
uint16_t g_BorderIn = 0;
uint16_t g_BorderOut = 0;
uint16_t g_ZoomWidthPhase = 0;
uint16_t g_ZoomHeightPhase = 0;
BobPreset g_BobPresets[BOB_PRESETS];
uint8_t g_ScrollDelay = 0;
uint32_t g_ScrollIndex = 0;
uint16_t g_ScrollCellX = 0;
uint16_t g_ScrollCellY = 0;
int16_t g_SinePhase = 0;
uint16_t g_WriterDelay = 1;
LPDIRECTDRAWSURFACE4 g_pDDSScroller = nullptr;
LPDIRECTDRAWSURFACE4 g_pDDSWriter = nullptr;
void Stars_Init() {}
void Stars_Move() {}
void Stars_Draw(WORD*) {}
void Copper_Init() {}
void Copper_Draw(WORD*) {}
void Border_Draw(int32_t) {}
void Tag_Draw() {}
uint8_t Zoom_Draw(uint16_t, int32_t) { return 0; }
void Bobs_Draw(uint8_t) {}
HRESULT Scroller_Init() { return 0; }
bool Scroller_Update(const char*, uint8_t) { return false; }
HRESULT Scroller_Draw(uint16_t) { return 0; }
HRESULT Scroller_DrawSine(int16_t) { return 0; }
HRESULT Scroller_PutGlyph(uint16_t, uint16_t) { return 0; }
HRESULT Scroller_Shift() { return 0; }
HRESULT Writer_Init() { return 0; }
bool Writer_Update(WriterPage*, uint8_t) { return false; }
HRESULT Writer_Draw() { return 0; }
HRESULT Writer_Clear() { return 0; }
HRESULT Writer_PutGlyph(uint16_t, uint16_t, uint16_t, uint16_t) { return 0; }
