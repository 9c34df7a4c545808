// KERNEL32 resources over the table of embedded resources: one module (the program itself),
// names and types as strings (compared without regard to case, as Windows does) or numbers.
#include <cstdlib>
#include <strings.h>

#include "qrx_host.h"
#include "qrx_resources.h"
#include "qrx_win32.h"

namespace {

char g_module; // the program's own module handle points here

HMODULE OwnModule() {
    return reinterpret_cast<HMODULE>(&g_module);
}

bool SameId(LPCSTR want, const char* str, uint16_t id) {
    if (IS_INTRESOURCE(want))
        return !str && id == static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(want));
    if (want[0] == '#') return !str && id == std::strtoul(want + 1, nullptr, 10);
    return str && strcasecmp(want, str) == 0;
}

const qrxres::Resource* AsResource(HRSRC h) {
    for (size_t i = 0; i < qrxres::kResourceCount; ++i)
        if (reinterpret_cast<HRSRC>(const_cast<qrxres::Resource*>(&qrxres::kResources[i])) == h)
            return &qrxres::kResources[i];
    return nullptr;
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    return name ? nullptr : OwnModule();
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    qrxhost::LogCall("FindResourceA");
    HRESULT code;
    const char* tag = name && !IS_INTRESOURCE(name) ? name : nullptr;
    if (qrxhost::TakeFault("FindResourceA", tag, &code)) return nullptr;
    if ((module && module != OwnModule()) || !name || !type) return nullptr;
    for (size_t i = 0; i < qrxres::kResourceCount; ++i) {
        const qrxres::Resource& r = qrxres::kResources[i];
        if (SameId(name, r.name, r.nameId) && SameId(type, r.type, r.typeId))
            return reinterpret_cast<HRSRC>(const_cast<qrxres::Resource*>(&r));
    }
    return nullptr;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC h) {
    const qrxres::Resource* r = AsResource(h);
    return r ? r->size : 0;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC h) {
    qrxhost::LogCall("LoadResource");
    HRESULT code;
    if (qrxhost::TakeFault("LoadResource", &code)) return nullptr;
    const qrxres::Resource* r = AsResource(h);
    return r ? const_cast<unsigned char*>(r->data) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL h) {
    return h;
}
