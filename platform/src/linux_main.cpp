// Linux entry of the intro: switch the platform layer to SDL2 and call the Windows entry.
#include "qrx_host.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

int main() {
    qrxhost::UseSdl();
    static char noCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, noCommandLine, SW_SHOWNORMAL);
}
