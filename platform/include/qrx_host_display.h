// Test host controls of the virtual display: padded pitch, lost surfaces, and the frame the
// last flip displayed. Nothing of the intro itself includes this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qrx_ddraw.h"

namespace qrxhost {

// Pitch in bytes of the primary and its back buffer created from now on; 0 (the default)
// gives 1280, the unpadded 640 pixels. Values below 1280 or not even are ignored.
void SetDisplayPitch(LONG bytes);

// Marks surfaces lost until their Restore (restoring the primary restores its back buffer
// too): "primary" (the flip chain), "back", "gfx" or "WxH" (every surface of that size).
void LoseSurface(const char* tag);
void LoseAllSurfaces();

// The frame the last successful Flip displayed. pixels is null before the first flip;
// ramp is null while no gamma ramp has been set.
struct DisplayedFrame {
    const uint16_t* pixels;
    int width;
    int height;
    LONG pitchPixels;
    const DDGAMMARAMP* ramp;
    int frame; // flips so far
};
DisplayedFrame Displayed();

// The displayed colour of a pixel, gamma applied (0x00RRGGBB), as the screen shows it.
uint32_t DisplayColor(uint16_t pixel, const DDGAMMARAMP* ramp);

// A bitmap made from packed DIB bytes (info header, palette, pixels) as LoadImageA makes it
// from a bitmap resource; null when the data is malformed or not 8 bits uncompressed.
HBITMAP BitmapFromPackedDib(const void* data, size_t size);

// Objects alive now, for checking reference counts.
int LiveSurfaces();
int LiveDirectDrawObjects();
int LiveGdiObjects();

} // namespace qrxhost
