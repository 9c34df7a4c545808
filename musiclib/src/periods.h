// Amiga periods and waveform tables shared by the replayer.
#pragma once

#include <cstdint>

namespace qrx_mod {

extern const uint16_t kPeriods[16][36];
extern const uint8_t kVibratoSine[32];

// Index 0..35 of the note a stored period stands for (nearest at or below in pitch).
int Period_NoteIndex(unsigned period);

// The period of note index (0..35) of a finetune row in quarter periods, taken from the lowest
// octave's period halved per octave, so that the upper octaves keep its precision.
int Period_Quarters(int finetuneRow, int index);

} // namespace qrx_mod
