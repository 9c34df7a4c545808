// The one way the intro reaches its platform: the real Windows headers when building for
// Windows, our Linux stand-in (platform/) everywhere else. Nothing else includes either.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ddraw.h>
#else
#include "qrx_win32.h"
#include "qrx_ddraw.h"
#endif
