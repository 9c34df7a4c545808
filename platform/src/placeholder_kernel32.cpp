// Placeholder definitions so that everything links while the loader's platform calls are built.
#include <cstdlib>

#include "qrx_win32.h"

DWORD WINAPI GetTempPathA(DWORD, LPSTR) { return 0; }
UINT WINAPI GetTempFileNameA(LPCSTR, LPCSTR, UINT, LPSTR) { return 0; }
HANDLE WINAPI CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return INVALID_HANDLE_VALUE;
}
BOOL WINAPI WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) { return FALSE; }
BOOL WINAPI CloseHandle(HANDLE) { return FALSE; }
HMODULE WINAPI LoadLibraryA(LPCSTR) { return nullptr; }
FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) { return nullptr; }
void WINAPI ExitProcess(UINT code) { std::exit(static_cast<int>(code)); }
