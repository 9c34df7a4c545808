// The 27 scenes: each routine is a fixed list of effect calls in drawing order. A step returns
// false once the display has been released by a fatal report (or a lock failed), and the
// routine then stops without touching any display object again.
#include "common/helpers.h"
#include "display/gamma.h"
#include "display/surface.h"
#include "effects/bobs.h"
#include "effects/border.h"
#include "effects/copper.h"
#include "effects/scroller.h"
#include "effects/stars.h"
#include "effects/writer.h"
#include "effects/zoom.h"
#include "shell/shell.h"
#include "show/show.h"
#include "show/texts.h"

namespace {

bool Alive() {
    return g_pDD != nullptr;
}

bool Stars() {
    Stars_Move();
    WORD* pixels = Surface_Lock(g_pDDSBack);
    if (pixels == nullptr) return false; // reported; nothing to draw or unlock
    Stars_Draw(pixels);
    Surface_Unlock(g_pDDSBack);
    return true;
}

bool Copper() {
    WORD* pixels = Surface_Lock(g_pDDSBack);
    if (pixels == nullptr) return false;
    Copper_Draw(pixels);
    Surface_Unlock(g_pDDSBack);
    return true;
}

bool Border(int32_t mode) {
    Border_Draw(mode);
    return Alive();
}

bool Tag() {
    Tag_Draw();
    return Alive();
}

// ends: the scene ends on the zoomer's cycle end; other scenes ignore the result.
bool Zoom(bool ends) {
    const uint8_t cycle = Zoom_Draw(320, 240);
    if (!Alive()) return false;
    if (ends && cycle) ++g_Scene;
    return true;
}

bool Bobs(uint8_t preset) {
    Bobs_Draw(preset);
    return Alive();
}

bool Scroll(const char* text, uint8_t font) {
    const bool finished = Scroller_Update(text, font);
    if (!Alive()) return false;
    if (finished) ++g_Scene;
    return true;
}

bool Flat() {
    Scroller_Draw(400);
    return Alive();
}

bool Sine() {
    Scroller_DrawSine(240);
    return Alive();
}

bool Write(WriterPage* page) {
    // The font is drawn on every call, whether or not the call types a character.
    Writer_Update(page, static_cast<uint8_t>(Random_Next() % 2 + 1));
    if (!Alive()) return false;
    Writer_Draw();
    return Alive();
}

bool Clear() {
    Writer_Clear();
    return Alive();
}

bool In() {
    Fade_In();
    return Alive();
}

bool Out() {
    Fade_Out();
    return Alive();
}

bool Wait(uint32_t seconds) {
    if (Wait_Seconds(seconds)) ++g_Scene;
    return true;
}

void Full() {
    g_FadeLevel = 256;
}

} // namespace

void Scene_Run(uint16_t scene) {
    switch (scene) {
    case 1:
        Stars() && In() && Border(1);
        break;
    case 2:
        Stars() && Zoom(true) && Border(3);
        break;
    case 3:
        Stars() && Zoom(false) && Scroll(SCROLL_DEDICATION, 0) && Flat() && Border(3);
        break;
    case 4:
        Stars() && Zoom(false) && Scroll(SCROLL_PAUSE, 0) && Flat() && Border(3);
        break;
    case 5:
        Stars() && Bobs(1) && Wait(8) && Border(3);
        break;
    case 6:
        Stars() && Scroll(SCROLL_SINE, 0) && Sine() && Border(3);
        break;
    case 7:
        Stars() && Bobs(2) && Border(3) && Wait(8);
        break;
    case 8:
        Stars() && Zoom(false) && Scroll(SCROLL_RETURN, 1) && Sine() && Border(3);
        break;
    case 9:
        if (Copper() && Scroll(SCROLL_PART2, 2) && Sine() && Border(3)) Full();
        break;
    case 10:
        Tag() && Copper() && Out() && Border(2);
        break;
    case 11:
        Stars() && Bobs(0) && Border(1) && In();
        break;
    case 12:
        Stars() && Bobs(0) && Border(3) && Wait(8);
        break;
    case 13:
        Stars() && Bobs(0) && Border(2) && Out();
        break;
    case 14:
        Stars() && Border(1) && Zoom(false) && In();
        break;
    case 15:
        if (Stars() && Border(3) && Zoom(false) && Write(&g_PageCredits) && Wait(25)) Full();
        break;
    case 16:
        Stars() && Border(3) && Zoom(false) && Write(&g_PageCredits) && Out();
        break;
    case 17:
        Stars() && Border(3) && Bobs(3) && Clear() && In();
        break;
    case 18:
        if (Stars() && Border(3) && Bobs(3) && Write(&g_PageGreetings1) && Wait(25)) Full();
        break;
    case 19:
        Stars() && Border(3) && Bobs(3) && Write(&g_PageGreetings1) && Out();
        break;
    case 20:
        Stars() && Border(3) && Bobs(4) && Clear() && In();
        break;
    case 21:
        if (Stars() && Border(3) && Bobs(4) && Write(&g_PageGreetings2) && Wait(25)) Full();
        break;
    case 22:
        Stars() && Border(3) && Bobs(4) && Write(&g_PageGreetings2) && Out();
        break;
    case 23:
        Border(3) && Copper() && Clear() && In();
        break;
    case 24:
        if (Copper() && Border(3) && Write(&g_PageContact) && Wait(30)) Full();
        break;
    case 25:
    case 26:
        Copper() && Border(3) && Write(&g_PageContact) && Out();
        break;
    default:
        break; // 27 closes the window in Show_Frame; anything else draws nothing
    }
}
