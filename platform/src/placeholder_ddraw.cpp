// Placeholder definitions so that everything links while DirectDraw and GDI are being built.
#include "qrx_ddraw.h"
#include "qrx_host.h"
#include "qrx_resources.h"

const GUID IID_IDirectDraw4 = {0x9c59509a, 0x39bd, 0x11d1, {0x8c, 0x4a, 0x00, 0xc0, 0x4f, 0xd9, 0x30, 0xc5}};
const GUID IID_IDirectDrawSurface4 = {0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const GUID IID_IDirectDrawGammaControl = {0x69C11C3E, 0xB46B, 0x11D1, {0xAD, 0x7A, 0x00, 0xC0, 0x4F, 0xC2, 0x9B, 0x4E}};

HRESULT WINAPI DirectDrawCreate(GUID*, LPDIRECTDRAW* out, IUnknown*) {
    if (out) *out = nullptr;
    return DDERR_GENERIC;
}
HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR, UINT, int, int, UINT) { return nullptr; }
HDC WINAPI CreateCompatibleDC(HDC) { return nullptr; }
HGDIOBJ WINAPI SelectObject(HDC, HGDIOBJ) { return nullptr; }
int WINAPI GetObjectA(HANDLE, int, LPVOID) { return 0; }
BOOL WINAPI StretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, DWORD) { return FALSE; }
COLORREF WINAPI GetPixel(HDC, int, int) { return CLR_INVALID; }
COLORREF WINAPI SetPixel(HDC, int, int, COLORREF) { return CLR_INVALID; }
BOOL WINAPI DeleteDC(HDC) { return FALSE; }
BOOL WINAPI DeleteObject(HGDIOBJ) { return FALSE; }
int WINAPI ReleaseDC(HWND, HDC) { return 0; }
HMODULE WINAPI GetModuleHandleA(LPCSTR) { return nullptr; }
HRSRC WINAPI FindResourceA(HMODULE, LPCSTR, LPCSTR) { return nullptr; }
DWORD WINAPI SizeofResource(HMODULE, HRSRC) { return 0; }
HGLOBAL WINAPI LoadResource(HMODULE, HRSRC) { return nullptr; }
LPVOID WINAPI LockResource(HGLOBAL) { return nullptr; }

namespace qrxhost {
void OnFlip(std::function<void(int)>) {}
} // namespace qrxhost
