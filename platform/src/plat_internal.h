// Seams between the parts of the Linux platform layer. Not seen by the intro's own code.
#pragma once

#include <SDL.h>

#include "qrx_win32.h"

namespace qrxplat {

// The SDL window behind the intro's window (user32): null in virtual mode, before
// CreateWindowExA and after DestroyWindow. DirectDraw presents into it.
SDL_Window* SdlWindow();

// Turns pending SDL events into queued window messages (keys, focus, close). Called by the
// message functions; presentation may call it too so that the window stays responsive.
void PumpEvents();

} // namespace qrxplat
