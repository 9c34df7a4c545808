// Plain copies into the scroller strip and the writer surface, and bringing either back after
// a surface loss (effects/own_surface.cpp). Shared by the scroller and the writer.
#pragma once

#include "common/globals.h"

// Fills the whole surface with pixel value 0, repeating while the blitter is still drawing.
HRESULT OwnSurface_Clear(LPDIRECTDRAWSURFACE4 surface);

// Copies rect of src into *owner at (x, y) without colour key (BltFast, DDBLTFAST_NOCOLORKEY),
// retrying at once while still drawing. On DDERR_SURFACELOST: RestoreAll, then the owner's
// surface is brought back too if it is the one that was lost (see OwnSurface_Recover); the
// copy is dropped for this call and the restore's result returned. Any other error is returned.
// owner is the global that holds the surface, because a fatal report inside RestoreAll
// releases it.
HRESULT OwnSurface_Copy(LPDIRECTDRAWSURFACE4* owner, DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 src,
                        RECT* rect);

// After RestoreAll: RestoreAll knows only the primary chain and the sheet, so the surface is
// probed with a colour fill of one pixel that always stays black. Only when the probe reports
// the surface itself lost is it restored and cleared to black: its old pixels are gone, and
// black is the empty picture for both the strip and the page. 0, or the failing code.
HRESULT OwnSurface_Recover(LPDIRECTDRAWSURFACE4 surface);
