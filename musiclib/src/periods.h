// Amiga periods and waveform tables shared by the replayer.
#pragma once

#include <cstdint>

namespace qrx_mod {

extern const uint16_t kPeriods[16][36];
extern const uint8_t kVibratoSine[32];

// Index 0..35 of the note a stored period stands for (nearest at or below in pitch).
int Period_NoteIndex(unsigned period);

} // namespace qrx_mod
