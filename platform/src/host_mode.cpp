// Mode of the platform layer: virtual (tests, capture tool) unless the intro asks for SDL.
#include "qrx_host.h"
#include "user32_internal.h"

namespace {
bool g_sdlMode = false;
}

namespace qrxhost {
void UseSdl() {
    g_sdlMode = true;
}
bool IsVirtual() {
    return !g_sdlMode;
}
} // namespace qrxhost

namespace qrxplat {
bool SdlMode() {
    return g_sdlMode;
}
} // namespace qrxplat
