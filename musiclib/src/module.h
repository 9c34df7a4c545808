// A four-channel ProTracker module parsed from memory, with every size checked against the
// bytes it came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrx_mod {

constexpr int kChannels = 4;
constexpr int kRows = 64;
constexpr int kSamples = 31;
constexpr size_t kHeaderSize = 1084;
constexpr size_t kPatternSize = 1024;
// Patterns ProTracker can address; a position table naming more is not a ProTracker module.
constexpr int kMaxPatterns = 100;

struct Sample {
    uint32_t offset = 0;     // first byte of its data inside Module::data
    uint32_t length = 0;     // bytes
    uint32_t loopStart = 0;  // bytes
    uint32_t loopLength = 0; // bytes; looping when > 2
    int8_t finetune = 0;     // -8..7
    uint8_t volume = 0;      // 0..64
};

struct Module {
    std::vector<uint8_t> data;    // the module's own bytes, header to the end of the last sample
    Sample samples[kSamples + 1]; // 1-based; samples[0] stays empty
    uint8_t songLength = 0;
    uint8_t restart = 0;
    uint8_t order[128] = {};
    int patterns = 0;
};

// The size of the module that starts at bytes, from its own header; 0 when the header is not a
// plausible four-channel ProTracker header. available bounds the bytes that may be read (0:
// unknown; then only the 1,084-byte header is read before its sizes are trusted).
size_t Module_Size(const uint8_t* bytes, size_t available);

// Parses and copies a module; size 0 finds the end from the header. False for anything that is
// not a complete, plausible module.
bool Module_Load(const uint8_t* bytes, size_t size, Module* out);

// Reads a whole module file (at most 16 MiB) into bytes. False when it cannot be read, is
// empty or is larger than any module.
bool Module_ReadFile(const char* path, std::vector<uint8_t>* bytes);

// One pattern cell.
struct Cell {
    uint8_t sample;
    uint16_t period;
    uint8_t command;
    uint8_t param;
};
Cell Module_Cell(const Module& m, int pattern, int row, int channel);

} // namespace qrx_mod
