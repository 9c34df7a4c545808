// The executable's embedded resources on Linux: the table generated from assets/qrx.rc by
// tools/rc-embed and linked into every program that carries resources.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qrxres {

struct Resource {
    const char* type;   // string type ("DLL", "MODULES"), or null when typeId is used
    uint16_t typeId;    // numeric type (2 = RT_BITMAP), 0 for string types
    const char* name;   // string name ("IDB_BITMAP3"), or null when nameId is used
    uint16_t nameId;    // numeric name, 0 for string names
    uint16_t language;  // 1031 throughout
    const unsigned char* data;
    uint32_t size;
};

extern const Resource kResources[];
extern const size_t kResourceCount;

} // namespace qrxres
