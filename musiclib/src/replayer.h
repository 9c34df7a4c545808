// The ProTracker replayer: plays a parsed four-channel module into 16-bit stereo frames.
// Plain C++ without any platform dependency, so that tools can link it statically.
#pragma once

#include <cstddef>
#include <cstdint>

#include "module.h"

namespace qrx_mod {

constexpr unsigned kPaulaClock = 3546895; // PAL Paula clock in Hz: frequency = clock / period

struct Options {
    unsigned rate = 44100;      // output frames per second
    bool ramping = false;       // short volume ramps on note starts and volume changes
    bool interpolation = false; // linear interpolation between sample points
    int separation = 100;       // stereo separation in percent: 0 mono .. 100 hard LRRL
    bool loop = true;           // restart at the song's end instead of stopping
};

// Paula's view of one channel: the data it fetches and the rate and volume it plays at.
struct Voice {
    bool active = false;
    uint64_t pos = 0;        // 32.32 byte position inside Module::data
    uint64_t step = 0;       // 32.32 bytes per output frame
    uint32_t end = 0;        // one past the last byte of the current pass
    uint32_t loopStart = 0;  // where the next pass starts
    uint32_t loopLength = 0; // bytes of the next pass; 0 stops after this one
    int32_t volume = 0;      // current volume, 0..64 << 8
    int32_t target = 0;      // volume the ramp heads for
    int32_t rampStep = 0;
    int32_t rampLeft = 0;
};

// The tracker's view of one channel, as ProTracker keeps it.
struct Channel {
    uint8_t sample = 0;
    uint32_t start = 0, length = 0, loopStart = 0, loopLength = 0; // bytes in Module::data
    int8_t finetune = 0;
    int volume = 0; // 0..64
    int period = 0; // current period
    int note = 0;   // period written in the current cell
    int fine = 0;   // quarter periods the note's exact period lies off the table's period
    uint8_t command = 0, param = 0;
    int wantedPeriod = 0, wantedFine = 0;
    bool portaDown = false;
    uint8_t portaSpeed = 0;
    uint8_t vibratoCmd = 0, tremoloCmd = 0;
    uint8_t vibratoPos = 0, tremoloPos = 0;
    uint8_t waveControl = 0;
    bool glissando = false;
    uint8_t offsetMemory = 0;
    int loopRow = 0, loopCount = 0;
    int outPeriod = 0; // period sent to Paula this tick
    int outFine = 0;   // quarter periods added to it this tick (vibrato)
    int outVolume = 0; // volume sent to Paula this tick
};

typedef void (*RowHook)(void* user, int position, int row, uint64_t frame);

struct Replayer {
    const Module* module = nullptr;
    Options options;
    Channel channels[kChannels];
    Voice voices[kChannels];
    int speed = 6, tempo = 125;
    int tick = 0, row = 0, position = 0;
    int patternDelay = 0, patternDelayLeft = 0;
    int breakRow = 0;
    bool breakFlag = false, positionJump = false;
    bool songEnded = false; // the song reached its end (restarted when looping)
    bool finished = false;  // not looping, and the last row has been played
    uint32_t tickFrames = 0, tickLeft = 0;
    uint64_t frame = 0;                  // frames rendered so far
    int32_t gainSame = 0, gainOther = 0; // stereo separation mix, 1.15 fixed point
    RowHook onRow = nullptr;
    void* hookUser = nullptr;
};

// Starts the module from its first position. The module must outlive the replayer.
void Replayer_Init(Replayer* r, const Module* m, const Options& options);
// Renders up to frames stereo frames (interleaved left, right); fewer only once a song that is
// not looping has finished. Returns the frames written.
size_t Replayer_Render(Replayer* r, int16_t* out, size_t frames);

// Advances the tracker by one tick (used by Replayer_Render; exposed for tests).
void Replayer_Tick(Replayer* r);
// Mixes frames of the four voices into out, moving the voices on.
void Mixer_Render(Replayer* r, int16_t* out, size_t frames);

} // namespace qrx_mod
