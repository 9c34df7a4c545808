// The tracker side of the replayer: rows, ticks and effects in ProTracker's order, feeding the
// four Paula voices with a period and a volume on every tick.
#include "replayer.h"

#include <algorithm>

#include "periods.h"

namespace qrx_mod {

namespace {

constexpr int kMinPeriod = 113;
constexpr int kMaxPeriod = 856;
constexpr int kRampFrames = 64;

const uint16_t* Row(const Channel& c) {
    return kPeriods[c.finetune & 15];
}

int TableIndex(const uint16_t* table, int period) {
    for (int i = 0; i < 36; ++i)
        if (period >= table[i]) return i;
    return 35;
}

// The rounded table period of note index i differs from its exact period by a few quarters.
int NoteFine(const Channel& c, int i) {
    return Period_Quarters(c.finetune, i) - Row(c)[i] * 4;
}

// The frequency is taken in steps of 1/16 Hz (clock * 16 / period, rounded down), as other
// players do, so that long notes stay in phase with theirs.
void SetVoiceRate(const Replayer& r, Voice& v, int period) { // period in quarters
    if (period <= 0) {
        v.step = 0;
        return;
    }
    uint64_t frequency16 = uint64_t(kPaulaClock) * 64 / uint64_t(period);
    v.step = (frequency16 << 32) / (uint64_t(r.options.rate) * 16);
}

void SetVoiceVolume(const Replayer& r, Voice& v, int volume) {
    int32_t target = volume << 8;
    if (!r.options.ramping) {
        v.volume = v.target = target;
        v.rampLeft = 0;
        return;
    }
    if (target == v.target && v.rampLeft == 0) return;
    v.target = target;
    v.rampLeft = kRampFrames;
    v.rampStep = (target - v.volume) / kRampFrames;
}

// Takes the period of the cell's note from the channel's finetune row.
void NotePeriod(Channel& c) {
    int index = Period_NoteIndex(unsigned(c.note));
    c.period = Row(c)[index];
    c.fine = NoteFine(c, index);
}

// Paula's DMA restart: play the channel's current data from its start.
void Trigger(Replayer& r, int n) {
    Channel& c = r.channels[n];
    Voice& v = r.voices[n];
    v.active = c.length > 0;
    v.pos = uint64_t(c.start) << 32;
    v.end = c.start + c.length;
    v.loopStart = c.loopStart;
    v.loopLength = c.loopLength;
    if (r.options.ramping) {
        v.volume = 0;
        v.rampLeft = 0;
        v.target = -1; // forces a ramp to the tick's volume
    }
}

void VolumeSlide(Channel& c) {
    int up = c.param >> 4, down = c.param & 15;
    c.volume = up ? std::min(64, c.volume + up) : std::max(0, c.volume - down);
    c.outVolume = c.volume;
}

void TonePortamento(Channel& c) {
    if (c.wantedPeriod == 0) return;
    if (c.portaDown) {
        c.period -= c.portaSpeed;
        if (c.period <= c.wantedPeriod) {
            c.period = c.wantedPeriod;
            c.fine = c.wantedFine;
            c.wantedPeriod = 0;
        }
    } else {
        c.period += c.portaSpeed;
        if (c.period >= c.wantedPeriod) {
            c.period = c.wantedPeriod;
            c.fine = c.wantedFine;
            c.wantedPeriod = 0;
        }
    }
    c.outPeriod = c.glissando ? Row(c)[TableIndex(Row(c), c.period)] : c.period;
}

int Waveform(int control, uint8_t pos) {
    int index = (pos >> 2) & 31;
    switch (control & 3) {
    case 0:
        return kVibratoSine[index];
    case 1:
        return (pos & 0x80) ? 255 - (index << 3) : index << 3;
    default:
        return 255;
    }
}

void Vibrato(Channel& c) {
    // The depth is kept in quarter periods instead of being cut to whole ones.
    int delta = Waveform(c.waveControl, c.vibratoPos) * (c.vibratoCmd & 15) >> 5;
    c.outFine = (c.vibratoPos & 0x80) ? -delta : delta;
    c.vibratoPos = uint8_t(c.vibratoPos + ((c.vibratoCmd >> 2) & 0x3C));
}

void Tremolo(Channel& c) {
    if (c.param & 15) c.tremoloCmd = (c.tremoloCmd & 0xF0) | (c.param & 15);
    if (c.param & 0xF0) c.tremoloCmd = (c.tremoloCmd & 0x0F) | (c.param & 0xF0);
    int delta = Waveform(c.waveControl >> 4, c.tremoloPos) * (c.tremoloCmd & 15) >> 6;
    c.outVolume =
        (c.tremoloPos & 0x80) ? std::max(0, c.volume - delta) : std::min(64, c.volume + delta);
    c.tremoloPos = uint8_t(c.tremoloPos + ((c.tremoloCmd >> 2) & 0x3C));
}

void Arpeggio(const Replayer& r, Channel& c) {
    int step = r.tick % 3;
    if (step == 0) {
        c.outPeriod = c.period;
        return;
    }
    int semitones = step == 1 ? c.param >> 4 : c.param & 15;
    int index = std::min(35, TableIndex(Row(c), c.period) + semitones);
    c.outPeriod = Row(c)[index];
    c.outFine = NoteFine(c, index) - c.fine;
}

void ExtendedCommand(Replayer& r, int n) {
    Channel& c = r.channels[n];
    int y = c.param & 15;
    switch (c.param >> 4) {
    case 0x1:
        if (r.tick == 0) c.outPeriod = c.period = std::max(kMinPeriod, c.period - y);
        break;
    case 0x2:
        if (r.tick == 0) c.outPeriod = c.period = std::min(kMaxPeriod, c.period + y);
        break;
    case 0x3:
        c.glissando = y != 0;
        break;
    case 0x4:
        c.waveControl = (c.waveControl & 0xF0) | y;
        break;
    case 0x5:
        c.finetune = int8_t((y ^ 8) - 8);
        break;
    case 0x6:
        if (r.tick != 0) break;
        if (y == 0) {
            c.loopRow = r.row;
        } else {
            if (c.loopCount == 0)
                c.loopCount = y;
            else if (--c.loopCount == 0)
                break;
            r.breakRow = c.loopRow;
            r.breakFlag = true;
        }
        break;
    case 0x7:
        c.waveControl = uint8_t((c.waveControl & 0x0F) | y << 4);
        break;
    case 0x9:
        if (y == 0 || (r.tick == 0 && c.note != 0)) break;
        if (r.tick % y == 0) Trigger(r, n);
        break;
    case 0xA:
        if (r.tick == 0) c.outVolume = c.volume = std::min(64, c.volume + y);
        break;
    case 0xB:
        if (r.tick == 0) c.outVolume = c.volume = std::max(0, c.volume - y);
        break;
    case 0xC:
        if (r.tick == y) c.outVolume = c.volume = 0;
        break;
    case 0xD:
        if (r.tick == y && c.note != 0) {
            NotePeriod(c);
            c.outPeriod = c.period;
            Trigger(r, n);
        }
        break;
    case 0xE:
        if (r.tick == 0 && r.patternDelayLeft == 0) r.patternDelay = y + 1;
        break;
    default:
        break; // E0 filter, E8, EF invert loop: nothing to play
    }
}

// Tick-0 commands that need no new note (ProTracker's "more effects").
void MoreEffects(Replayer& r, int n) {
    Channel& c = r.channels[n];
    c.outPeriod = c.period;
    switch (c.command) {
    case 0x9: {
        if (c.param) c.offsetMemory = c.param;
        uint32_t offset = uint32_t(c.offsetMemory) << 8;
        if (offset < c.length) {
            c.length -= offset;
            c.start += offset;
        } else if (c.length > 0) {
            c.length = 2; // past the end: one word of the sample, never of what follows it
        }
        break;
    }
    case 0xB:
        r.position = c.param - 1;
        r.breakRow = 0;
        r.positionJump = true;
        break;
    case 0xC:
        c.outVolume = c.volume = std::min<int>(64, c.param);
        break;
    case 0xD: {
        int row = (c.param >> 4) * 10 + (c.param & 15);
        r.breakRow = row > 63 ? 0 : row;
        r.positionJump = true;
        break;
    }
    case 0xE:
        ExtendedCommand(r, n);
        break;
    case 0xF:
        if (c.param == 0) break;
        if (c.param < 32)
            r.speed = c.param;
        else
            r.tempo = c.param;
        break;
    default:
        break;
    }
}

void SetPeriod(Replayer& r, int n) {
    Channel& c = r.channels[n];
    // A delayed note (EDx) keeps the old pitch until its tick.
    if (!(c.command == 0xE && (c.param >> 4) == 0xD)) {
        NotePeriod(c);
        if (!(c.waveControl & 0x04)) c.vibratoPos = 0;
        if (!(c.waveControl & 0x40)) c.tremoloPos = 0;
        Trigger(r, n);
    }
    MoreEffects(r, n);
}

void PlayCell(Replayer& r, int n, const Cell& cell) {
    Channel& c = r.channels[n];
    c.note = cell.period;
    c.command = cell.command;
    c.param = cell.param;
    if (cell.sample != 0 && cell.sample <= kSamples) {
        const Sample& s = r.module->samples[cell.sample];
        c.sample = cell.sample;
        c.start = s.offset;
        c.length = s.loopLength ? s.loopStart + s.loopLength : s.length;
        c.loopStart = s.offset + s.loopStart;
        c.loopLength = s.loopLength;
        c.finetune = s.finetune;
        c.outVolume = c.volume = s.volume;
    }
    if (cell.period == 0) {
        MoreEffects(r, n);
        return;
    }
    if (c.command == 0xE && (c.param >> 4) == 0x5) {
        c.finetune = int8_t(((c.param & 15) ^ 8) - 8);
        SetPeriod(r, n);
    } else if (c.command == 0x3 || c.command == 0x5) {
        const uint16_t* table = Row(c);
        int i = TableIndex(table, c.note);
        if ((c.finetune & 8) && i > 0 && c.note < table[0]) --i;
        c.wantedPeriod = table[i];
        c.wantedFine = NoteFine(c, i);
        c.portaDown = c.period > c.wantedPeriod;
        if (c.period == c.wantedPeriod) c.wantedPeriod = 0;
        MoreEffects(r, n);
    } else if (c.command == 0x9) {
        MoreEffects(r, n);
        SetPeriod(r, n);
    } else {
        SetPeriod(r, n);
    }
}

// Effects of the ticks between rows (and of rows repeated by a pattern delay).
void TickEffects(Replayer& r, int n) {
    Channel& c = r.channels[n];
    c.outPeriod = c.period;
    c.outVolume = c.volume;
    switch (c.command) {
    case 0x0:
        if (c.param) Arpeggio(r, c);
        break;
    case 0x1:
        c.outPeriod = c.period = std::max(kMinPeriod, c.period - c.param);
        break;
    case 0x2:
        c.outPeriod = c.period = std::min(kMaxPeriod, c.period + c.param);
        break;
    case 0x3:
        if (c.param) c.portaSpeed = c.param;
        TonePortamento(c);
        break;
    case 0x4:
        if (c.param & 15) c.vibratoCmd = (c.vibratoCmd & 0xF0) | (c.param & 15);
        if (c.param & 0xF0) c.vibratoCmd = (c.vibratoCmd & 0x0F) | (c.param & 0xF0);
        Vibrato(c);
        break;
    case 0x5:
        TonePortamento(c);
        VolumeSlide(c);
        break;
    case 0x6:
        Vibrato(c);
        VolumeSlide(c);
        break;
    case 0x7:
        Tremolo(c);
        break;
    case 0xA:
        VolumeSlide(c);
        break;
    case 0xE:
        ExtendedCommand(r, n);
        break;
    default:
        break;
    }
}

void NextPosition(Replayer& r) {
    r.row = r.breakRow;
    r.breakRow = 0;
    r.positionJump = false;
    r.position = (r.position + 1) & 127;
    if (r.position >= r.module->songLength) {
        r.position = r.module->restart < r.module->songLength ? r.module->restart : 0;
        r.songEnded = true;
    }
}

void UpdateVoices(Replayer& r) {
    for (int n = 0; n < kChannels; ++n) {
        const Channel& c = r.channels[n];
        SetVoiceRate(r, r.voices[n], c.outPeriod * 4 + c.fine + c.outFine);
        r.channels[n].outFine = 0;
        SetVoiceVolume(r, r.voices[n], r.channels[n].outVolume);
    }
}

} // namespace

void Replayer_Init(Replayer* r, const Module* m, const Options& options) {
    *r = Replayer{};
    r->module = m;
    r->options = options;
    if (r->options.rate == 0) r->options.rate = 44100;
    int sep = std::clamp(options.separation, 0, 100);
    r->gainSame = (100 + sep) * 32768 / 200;
    r->gainOther = (100 - sep) * 32768 / 200;
    r->tick = r->speed - 1; // the first tick reads row 0
}

void Replayer_Tick(Replayer* rp) {
    Replayer& r = *rp;
    // The tick's length is set by the tempo in force when it starts, as the CIA timer's period
    // is: a tempo command changes the ticks after its own. rate * 2.5 / tempo frames, rounded
    // down.
    r.tickFrames = r.options.rate * 5 / (uint32_t(r.tempo) * 2);
    if (++r.tick >= r.speed) {
        if (r.songEnded && !r.options.loop) {
            r.finished = true;
            return;
        }
        r.tick = 0;
        if (r.patternDelayLeft == 0) {
            if (r.onRow) r.onRow(r.hookUser, r.position, r.row, r.frame);
            int pattern = r.module->order[r.position];
            for (int n = 0; n < kChannels; ++n) {
                PlayCell(r, n, Module_Cell(*r.module, pattern, r.row, n));
                // Paula's loop registers are written on every row: a sample number without a
                // note plays its loop once the current pass ends.
                r.voices[n].loopStart = r.channels[n].loopStart;
                r.voices[n].loopLength = r.channels[n].loopLength;
            }
        } else {
            for (int n = 0; n < kChannels; ++n)
                TickEffects(r, n);
        }
        ++r.row;
        if (r.patternDelay) {
            r.patternDelayLeft = r.patternDelay;
            r.patternDelay = 0;
        }
        if (r.patternDelayLeft && --r.patternDelayLeft) --r.row;
        if (r.breakFlag) {
            r.breakFlag = false;
            r.row = r.breakRow;
            r.breakRow = 0;
        }
        if (r.row >= kRows || r.positionJump) NextPosition(r);
    } else {
        for (int n = 0; n < kChannels; ++n)
            TickEffects(r, n);
        if (r.positionJump) NextPosition(r);
    }
    UpdateVoices(r);
    r.tickLeft = r.tickFrames;
}

size_t Replayer_Render(Replayer* r, int16_t* out, size_t frames) {
    size_t done = 0;
    while (done < frames && !r->finished) {
        if (r->tickLeft == 0) {
            Replayer_Tick(r);
            continue;
        }
        size_t n = std::min<size_t>(frames - done, r->tickLeft);
        Mixer_Render(r, out + done * 2, n);
        r->tickLeft -= uint32_t(n);
        r->frame += n;
        done += n;
    }
    return done;
}

} // namespace qrx_mod
