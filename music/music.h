// Music playback: the library loader and the playback operations (music/).
#pragma once

#include <cstdint>

#include "common/globals.h"

extern char g_TempFileName[MAX_PATH];
extern HMODULE g_hBass;
extern DWORD g_hMusic;
void Load_BASS(HWND hwnd); // ends the process on failure
void MOD_Init(HWND hwnd);
void MOD_Play();
void MOD_Free();
