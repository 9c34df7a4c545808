// Fuzzes the module parser and the replayer: any bytes either are refused or play for a few
// seconds without touching memory outside the module.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module.h"
#include "replayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Size 0 asks the parser to trust the header's sizes (memory of unknown length): only
    // the real size of the bytes is ever given here.
    if (size == 0) return 0;
    static qrx_mod::Module module;
    if (!qrx_mod::Module_Load(data, size, &module)) return 0;
    static qrx_mod::Replayer replayer;
    qrx_mod::Options options;
    options.rate = 8000; // fewer frames per tick, the same ticks per second
    options.ramping = size & 1;
    options.interpolation = size & 2;
    qrx_mod::Replayer_Init(&replayer, &module, options);
    static int16_t out[2 * 1024];
    for (int i = 0; i < 8000 * 3 / 2 / 1024; ++i) // a second and a half
        qrx_mod::Replayer_Render(&replayer, out, 1024);
    return 0;
}
