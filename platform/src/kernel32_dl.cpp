// KERNEL32 dynamic loading over dlopen/dlsym, and the end of the process.
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

#include "qrx_host.h"
#include "qrx_win32.h"

namespace {

bool Fails(const char* call) {
    qrxhost::LogCall(call);
    HRESULT code;
    return qrxhost::TakeFault(call, &code);
}

// Modules handed out by LoadLibraryA; GetProcAddress accepts only these.
constexpr int kMaxModules = 16;
void* g_modules[kMaxModules];

bool Known(void* h) {
    for (void* m : g_modules)
        if (m && m == h) return true;
    return false;
}

} // namespace

// Loads a library by path, resolving every symbol at once and keeping them private to it.
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (Fails("LoadLibraryA") || !lpLibFileName || !*lpLibFileName) return nullptr;
    void* h = dlopen(lpLibFileName, RTLD_NOW | RTLD_LOCAL);
    if (!h) return nullptr;
    for (void*& m : g_modules) {
        if (m == h) return static_cast<HMODULE>(h); // loaded again: the same handle
        if (!m) {
            m = h;
            return static_cast<HMODULE>(h);
        }
    }
    dlclose(h);
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (Fails("GetProcAddress") || !Known(hModule) || !lpProcName || IS_INTRESOURCE(lpProcName))
        return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(hModule, lpProcName));
}

// Ends the process with its exit code; output buffers are flushed and exit handlers run.
void WINAPI ExitProcess(UINT uExitCode) {
    qrxhost::LogCall("ExitProcess");
    std::fflush(nullptr);
    std::exit(static_cast<int>(uExitCode));
}
