// Linux entry of the intro: open the desktop through SDL2, switch the platform layer to SDL
// and call the Windows entry.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "qrx_host.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

namespace {

bool TryVideo(const char* driver) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    bool ok = SDL_Init(SDL_INIT_VIDEO) == 0;
    unsetenv("SDL_VIDEODRIVER");
    return ok;
}

// A real display only: SDL's off-screen and dummy drivers would run the intro unseen. The
// drivers are tried one by one so that a missing display leaves no library noise behind.
bool OpenDisplay() {
    if (std::getenv("SDL_VIDEODRIVER")) return SDL_Init(SDL_INIT_VIDEO) == 0;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (display && *display && TryVideo("x11")) return true;
    if (wayland && *wayland && TryVideo("wayland")) return true;
    return false;
}

} // namespace

int main() {
    if (!OpenDisplay()) {
        std::fprintf(
            stderr,
            "No display could be opened, so the intro cannot start (make video renders it to a "
            "file instead).\n");
        return 1;
    }
    qrxhost::UseSdl();
    static char noCommandLine[] = "";
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, noCommandLine, SW_SHOWNORMAL);
    SDL_Quit();
    return code;
}
