// The effect test modules that are also rendered by other players for comparison: each one
// exercises a group of effects with sound on every row.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "mod_builder.h"

namespace testmods {

// A decaying one-shot noise burst from a fixed linear congruential generator.
inline ModSample Drum() {
    ModSample s;
    uint32_t x = 12345;
    for (int i = 0; i < 3000; ++i) {
        x = x * 1103515245u + 12345u;
        int v = int((x >> 16) & 0xFF) - 128;
        s.data.push_back(int8_t(v * (3000 - i) / 3000));
    }
    s.volume = 48;
    return s;
}

inline ModSample Triangle() {
    ModSample s;
    for (int i = 0; i < 64; ++i)
        s.data.push_back(int8_t(i < 32 ? -112 + i * 7 : 112 - (i - 32) * 7));
    s.volume = 50;
    s.loopLength = 64;
    return s;
}

inline void Instruments(ModBuilder& b) {
    b.samples[1] = SquareSample(32, 2, 90, 48);
    b.samples[2] = Drum();
    b.samples[3] = Triangle();
    b.samples[4] = SquareSample(32, 2, 90, 48);
    b.samples[4].finetune = 3;
    b.samples[5] = SquareSample(32, 2, 90, 48);
    b.samples[5].finetune = -5;
}

// Periods of the finetune-0 row from C-2 to A#3 (the flow module's tune): what a tracker's editor
// writes for a note. Players differ on periods between two notes (ProTracker takes the next higher
// note, openmpt the nearest one), so the modules keep to real notes.
inline int Note(int index) {
    static const int kNotes[23] = {428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                   214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120};
    return kNotes[index % 23];
}

// A beat on channel 3 so that every row has an onset.
inline void Beat(ModBuilder& b, int pattern) {
    for (int row = 0; row < 64; row += 2)
        b.Cell(pattern, row, 3, 2, row % 8 ? 320 : 214);
}

inline ModBuilder SpeedTempo() {
    ModBuilder b;
    Instruments(b);
    b.order = {0, 1};
    const int tempos[] = {125, 150, 97, 137, 200, 64, 33, 255};
    for (int p = 0; p < 2; ++p) {
        Beat(b, p);
        for (int i = 0; i < 8; ++i) {
            b.Cell(p, i * 8, 0, 1, 428 - i * 20 > 113 ? 428 - i * 20 : 113, 0xF,
                   tempos[(i + p * 3) % 8]);
            b.Cell(p, i * 8 + 4, 0, 0, 0, 0xF, 2 + (i % 5));
        }
    }
    return b;
}

inline ModBuilder Flow() {
    ModBuilder b;
    Instruments(b);
    b.order = {0, 1, 2, 1, 3};
    for (int p = 0; p < 4; ++p) {
        Beat(b, p);
        for (int row = 0; row < 64; row += 4)
            b.Cell(p, row, 1, 3, Note(p * 5 + row / 4));
    }
    b.Cell(0, 7, 0, 0, 0, 0xE, 0x60);  // loop start
    b.Cell(0, 11, 0, 0, 0, 0xE, 0x62); // play rows 7..11 three times
    b.Cell(0, 20, 0, 0, 0, 0xE, 0xE2); // pattern delay
    b.Cell(0, 30, 0, 0, 0, 0xD, 0x16); // break to row 16 of the next pattern
    b.Cell(1, 40, 0, 0, 0, 0xB, 0x04); // jump to position 4
    b.Cell(3, 10, 0, 0, 0, 0xE, 0xE1);
    b.Cell(3, 12, 0, 0, 0, 0xE, 0x61);
    b.Cell(3, 50, 0, 0, 0, 0xD, 0x00);
    return b;
}

inline ModBuilder PitchEffects() {
    ModBuilder b;
    Instruments(b);
    b.order = {0, 1};
    for (int p = 0; p < 2; ++p)
        Beat(b, p);
    struct Step {
        int row, sample, period, command, param;
    } steps[] = {
        {0, 1, 428, 0x0, 0x37},  {4, 0, 0, 0x0, 0x37},    {8, 4, 428, 0x1, 0x03},
        {12, 5, 320, 0x2, 0x04}, {16, 1, 428, 0x0, 0x00}, {17, 0, 285, 0x3, 0x06},
        {20, 0, 0, 0x3, 0x00},   {24, 0, 0, 0x4, 0x46},   {28, 0, 0, 0x4, 0x00},
        {30, 0, 0, 0xE, 0x41},   {31, 0, 0, 0x4, 0x88},   {34, 0, 0, 0xE, 0x42},
        {35, 0, 0, 0x4, 0x5A},   {38, 3, 360, 0xE, 0x31}, {39, 0, 190, 0x3, 0x04},
        {44, 0, 0, 0x5, 0x02},   {48, 0, 0, 0x6, 0x01},   {52, 1, 254, 0xE, 0x13},
        {53, 0, 0, 0xE, 0x22},   {54, 0, 428, 0xE, 0x57}, {58, 4, 214, 0x0, 0x47},
    };
    for (const Step& s : steps)
        b.Cell(0, s.row, 0, s.sample, s.period, s.command, s.param);
    for (int row = 0; row < 64; row += 8)
        b.Cell(1, row, 0, 3, 508 - row * 3, 0x4, 0x23);
    b.Cell(1, 32, 1, 1, 170, 0x1, 0x01);
    return b;
}

inline ModBuilder VolumeEffects() {
    ModBuilder b;
    Instruments(b);
    b.order = {0};
    Beat(b, 0);
    struct Step {
        int row, sample, period, command, param;
    } steps[] = {
        {0, 3, 428, 0xA, 0x02},  {8, 0, 0, 0xA, 0x30},    {12, 0, 0, 0xC, 0x10},
        {13, 0, 0, 0xE, 0xA4},   {14, 0, 0, 0xE, 0xB2},   {16, 3, 339, 0x7, 0x48},
        {24, 0, 0, 0xE, 0x71},   {25, 0, 0, 0x7, 0x00},   {28, 0, 0, 0xE, 0x72},
        {29, 0, 0, 0x7, 0x6C},   {32, 1, 285, 0xE, 0xC3}, {34, 1, 254, 0xE, 0xC1},
        {36, 3, 320, 0xC, 0x40}, {40, 0, 0, 0x5, 0x02},   {44, 0, 0, 0x6, 0x20},
        {48, 3, 214, 0xA, 0x0F},
    };
    for (const Step& s : steps)
        b.Cell(0, s.row, 0, s.sample, s.period, s.command, s.param);
    return b;
}

inline ModBuilder Triggers() {
    ModBuilder b;
    Instruments(b);
    b.order = {0};
    Beat(b, 0);
    struct Step {
        int row, sample, period, command, param;
    } steps[] = {
        {0, 2, 428, 0x9, 0x04},  {4, 2, 428, 0x9, 0x08},  {8, 2, 428, 0x9, 0x00},
        {12, 2, 320, 0xE, 0x93}, {16, 2, 254, 0xE, 0x91}, {20, 1, 428, 0xE, 0xD2},
        {24, 3, 339, 0xE, 0xD4}, {28, 1, 214, 0xE, 0xD1}, {32, 2, 320, 0xE, 0x92},
        {40, 3, 428, 0x9, 0x00}, {48, 2, 190, 0x0, 0x00},
    };
    for (const Step& s : steps)
        b.Cell(0, s.row, 0, s.sample, s.period, s.command, s.param);
    return b;
}

inline std::vector<std::pair<std::string, ModBuilder>> All() {
    return {{"speed_tempo", SpeedTempo()},
            {"flow", Flow()},
            {"pitch", PitchEffects()},
            {"volume", VolumeEffects()},
            {"triggers", Triggers()}};
}

} // namespace testmods
