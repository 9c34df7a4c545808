// Program entry: the Windows GUI entry point. The command line is ignored.
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    if (!Startup(hInstance, nCmdShow)) return 0;
    return RunMessageLoop();
}
