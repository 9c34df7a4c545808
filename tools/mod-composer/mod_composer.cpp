// mod-composer: composes the intro's music, a four-channel ProTracker ("M.K.") module in
// A minor at speed 6 / 125 BPM, and writes it to a file. Every sample is synthesised here
// (pulse lead, saw bass, two chord pads, kick, snare, closed and open hi-hat), and only plain
// arithmetic is used, so the output is the same bytes on every run and every machine.
//
//   mod-composer OUT.mod
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- Samples --------------------------------------------------------------------------------

struct Sample {
    const char* name;
    std::vector<int8_t> data;
    int volume;
    size_t loopStart, loopLength; // in bytes; loopLength 0: played once
};

int8_t Clip(double v) {
    double s = std::floor(v * 127.0 + 0.5);
    return static_cast<int8_t>(s > 127 ? 127 : s < -127 ? -127 : s);
}

// One period of a sine from two parabolas, x in [0, 1).
double Sine(double x) {
    x -= std::floor(x);
    return x < 0.5 ? 16.0 * x * (0.5 - x) : -16.0 * (x - 0.5) * (1.0 - x);
}
double Saw(double x) {
    return 2.0 * (x - std::floor(x)) - 1.0;
}
double Triangle(double x) {
    return 1.0 - 4.0 * std::fabs(x - std::floor(x) - 0.5);
}

// The shared noise source: a 32-bit linear congruential generator.
struct Noise {
    uint32_t state;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

// Lead: a 32-byte cycle (C-2 plays about C4), a pulse with a little saw for edge.
Sample Lead() {
    Sample s{"qrx lead pulse", {}, 44, 0, 32};
    for (int i = 0; i < 32; ++i)
        s.data.push_back(Clip(0.55 * (i < 12 ? 1 : -1) + 0.3 * Saw(i / 32.0)));
    return s;
}

// Bass: a 64-byte cycle (C-1 plays about C2), saw over a softer square.
Sample Bass() {
    Sample s{"qrx bass saw", {}, 56, 0, 64};
    for (int i = 0; i < 64; ++i)
        s.data.push_back(Clip(0.6 * Saw(i / 64.0) + 0.3 * (i < 32 ? 1 : -1)));
    return s;
}

// Chord pad: three triangle voices in just intonation, so one loop holds whole cycles of all
// three; the root has 64 bytes a cycle (A-2 plays about A3). The loop is preceded by one copy
// that swells in.
Sample Pad(const char* name, int root, int third, int fifth, int loop) {
    Sample s{name, {}, 36, static_cast<size_t>(loop), static_cast<size_t>(loop)};
    for (int i = 0; i < 2 * loop; ++i) {
        double x = static_cast<double>(i % loop) / loop;
        double v = (Triangle(x * root) + Triangle(x * third) + 0.8 * Triangle(x * fifth)) / 3.2;
        double swell = i < loop ? static_cast<double>(i) / loop : 1.0;
        s.data.push_back(Clip(0.9 * v * swell));
    }
    return s;
}

// Drums are made for C-3 (16,574 Hz) and played once; they begin with two silent bytes.
constexpr double kDrumRate = 3546895.0 / 214.0;

Sample Kick() {
    Sample s{"qrx kick", {0, 0}, 64, 0, 0};
    double phase = 0, pitchEnv = 1, ampEnv = 1;
    for (int i = 0; i < 2400; ++i) {
        phase += (48.0 + 120.0 * pitchEnv) / kDrumRate;
        s.data.push_back(Clip(ampEnv * Sine(phase)));
        pitchEnv *= 0.9975;
        ampEnv *= i < 300 ? 0.99995 : 0.9982;
    }
    return s;
}

Sample Snare() {
    Sample s{"qrx snare", {0, 0}, 52, 0, 0};
    Noise noise{0x5EED1234u};
    double phase = 0, noiseEnv = 1, toneEnv = 1, low = 0;
    for (int i = 0; i < 3000; ++i) {
        phase += 185.0 / kDrumRate;
        double n = noise.Next();
        low += 0.5 * (n - low);
        s.data.push_back(Clip(0.75 * noiseEnv * low + 0.5 * toneEnv * Sine(phase)));
        noiseEnv *= 0.9988;
        toneEnv *= 0.9960;
    }
    return s;
}

Sample HiHat(const char* name, int length, double decay, int volume) {
    Sample s{name, {0, 0}, volume, 0, 0};
    Noise noise{0xC0FFEE11u};
    double env = 1, prev = 0;
    for (int i = 0; i < length; ++i) {
        double n = noise.Next();
        s.data.push_back(Clip(0.8 * env * (n - prev) * 0.5));
        prev = n;
        env *= decay;
    }
    return s;
}

enum SampleNo { kLead = 1, kBass, kMajor, kMinor, kKick, kSnare, kHat, kOpenHat };

std::vector<Sample> Samples() {
    return {Lead(),
            Bass(),
            Pad("qrx pad major", 4, 5, 6, 256),
            Pad("qrx pad minor", 10, 12, 15, 640),
            Kick(),
            Snare(),
            HiHat("qrx hihat closed", 600, 0.990, 40),
            HiHat("qrx hihat open", 1800, 0.9975, 34)};
}

// ---- Notes ----------------------------------------------------------------------------------

// Amiga periods, finetune 0, C-1 to B-3.
const uint16_t kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                               428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                               214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

// "A2", "G#3", "C1": note name and ProTracker octave (1..3) to 0..35.
int Note(const std::string& n) {
    static const char* names = "C D EF G A B";
    int semi = static_cast<int>(std::strchr(names, n[0]) - names);
    size_t i = 1;
    if (n[i] == '#') ++semi, ++i;
    return (n[i] - '1') * 12 + semi;
}

struct Cell {
    int note = -1; // 0..35, -1 none
    int sample = 0;
    int effect = 0, param = 0;
};

struct Pattern {
    Cell cells[64][4];
};

enum Channel { kChBass, kChDrums, kChLead, kChPad };

struct Chord {
    const char* root; // octave 2, e.g. "A2"
    bool minor;
};

// Four bars of a pattern, one chord a bar.
typedef Chord Progression[4];
const Progression kProgressions[] = {
    {{"A2", true}, {"F2", false}, {"C2", false}, {"G2", false}}, // 0: i VI III VII
    {{"A2", true}, {"F2", false}, {"G2", false}, {"E2", false}}, // 1: to the dominant
    {{"D2", true}, {"G2", false}, {"C2", false}, {"A2", true}},  // 2: iv VII III i
    {{"F2", false}, {"G2", false}, {"A2", true}, {"E2", false}}, // 3: VI VII i V
};

// Lead lines: four bars of eight eighth notes each; "-" holds, "." stops the note.
const char* const kMelodies[][4] = {
    {"E3 - D3 C3 - A2 C3 E3", "F3 - E3 C3 - A2 - C3", "G3 - E3 - C3 - E3 G3", "D3 - - B2 - G2 - -"},
    {"A3 - G3 E3 - C3 - E3", "F3 - A3 - C3 - F3 -", "G3 - B3 - D3 - B2 -", "G#3 - - E3 - B2 - G#2"},
    {"D3 - F3 A3 - F3 D3 -", "B2 - D3 G3 - D3 B2 -", "C3 - E3 G3 - E3 C3 E3", "A2 - - C3 - E3 - -"},
    {"F3 - - E3 F3 - A3 -", "G3 - - F3 G3 - B3 -", "A3 - - - G3 - E3 -", "G#3 - - - B3 - - ."},
};

enum Drums { kNoDrums, kHatsOnly, kKickAndHats, kFullKit, kFullKitRoll };
enum Pads { kNoPad, kPadHeld, kPadStabs };

struct PatternPlan {
    int progression;
    Pads pads;
    bool bass;
    Drums drums;
    int melody; // -1: none
    int leadVolume;
};

const PatternPlan kPlans[] = {
    {0, kPadHeld, false, kHatsOnly, -1, 0},   // 0 intro
    {0, kPadHeld, true, kKickAndHats, -1, 0}, // 1 intro with bass
    {0, kPadStabs, true, kFullKit, -1, 0},    // 2 groove
    {1, kPadStabs, true, kFullKit, -1, 0},    // 3 groove to the dominant
    {0, kPadStabs, true, kFullKit, 0, 44},    // 4 theme
    {1, kPadStabs, true, kFullKit, 1, 44},    // 5 theme answered
    {2, kPadHeld, true, kFullKit, 2, 40},     // 6 bridge
    {3, kPadHeld, true, kFullKitRoll, 3, 40}, // 7 bridge to the theme
    {0, kPadHeld, false, kNoDrums, 0, 28},    // 8 breakdown
    {3, kPadHeld, true, kFullKitRoll, 3, 34}, // 9 build back to the top
};

// The song: about three and a half minutes; its last bar (E major) leads back to the first.
const int kOrder[] = {0, 1, 2, 3, 4, 5, 2, 3, 6, 7, 4, 5, 8, 9,
                      2, 3, 4, 5, 6, 7, 4, 5, 2, 3, 6, 8, 9};

void Put(Pattern& p, int row, int ch, int note, int sample, int effect = 0, int param = 0) {
    p.cells[row][ch] = Cell{note, sample, effect, param};
}

void Lead(Pattern& p, const PatternPlan& plan) {
    for (int bar = 0; bar < 4; ++bar) {
        std::string line = kMelodies[plan.melody][bar];
        int step = 0;
        for (size_t pos = 0; pos < line.size(); ++step) {
            size_t end = line.find(' ', pos);
            std::string tok =
                line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
            pos = end == std::string::npos ? line.size() : end + 1;
            int row = bar * 16 + step * 2;
            if (tok == ".")
                Put(p, row, kChLead, -1, 0, 0xC, 0);
            else if (tok != "-")
                Put(p, row, kChLead, Note(tok), kLead, 0xC, plan.leadVolume);
            else if (row % 16 == 4)
                Put(p, row, kChLead, -1, 0, 0x4, 0x34); // a held note sings
        }
    }
}

void Bass(Pattern& p, const Chord& chord, int bar) {
    int root = Note(chord.root) - 12; // octave 1
    int fifth = root + 7 > 23 ? root - 5 : root + 7;
    const int rows[] = {0, 3, 6, 8, 11, 14};
    const int notes[] = {root, root, root + 12, root, root, fifth};
    for (int i = 0; i < 6; ++i)
        Put(p, bar * 16 + rows[i], kChBass, notes[i], kBass);
}

void Pad(Pattern& p, const Chord& chord, int bar, Pads pads) {
    int sample = chord.minor ? kMinor : kMajor;
    int note = Note(chord.root);
    if (pads == kPadHeld) {
        Put(p, bar * 16, kChPad, note, sample);
        return;
    }
    Put(p, bar * 16, kChPad, note, sample, 0xC, 36);
    Put(p, bar * 16 + 6, kChPad, note, sample, 0xC, 28);
    Put(p, bar * 16 + 10, kChPad, note, sample, 0xC, 32);
}

void DrumBar(Pattern& p, int bar, Drums drums, bool last) {
    const int c3 = Note("C3");
    for (int r = 0; r < 16; ++r) {
        int row = bar * 16 + r;
        bool beat = r % 4 == 0, offbeat = r % 4 == 2;
        if (drums == kFullKitRoll && last && r >= 8) { // snare roll, growing louder
            Put(p, row, kChDrums, c3, kSnare, 0xC, 24 + (r - 8) * 5);
            continue;
        }
        if (drums >= kKickAndHats &&
            (r == 0 || r == 8 || (drums >= kFullKit && r == 10 && bar % 2)))
            Put(p, row, kChDrums, c3, kKick);
        else if (drums >= kFullKit && (r == 4 || r == 12))
            Put(p, row, kChDrums, c3, kSnare);
        else if (drums != kNoDrums && offbeat)
            Put(p, row, kChDrums, c3, r == 14 && bar == 3 ? kOpenHat : kHat);
        else if (drums == kHatsOnly && beat)
            Put(p, row, kChDrums, c3, kHat, 0xC, 20);
    }
}

Pattern Compose(const PatternPlan& plan) {
    Pattern p;
    for (int bar = 0; bar < 4; ++bar) {
        const Chord& chord = kProgressions[plan.progression][bar];
        if (plan.pads != kNoPad) Pad(p, chord, bar, plan.pads);
        if (plan.bass) Bass(p, chord, bar);
        DrumBar(p, bar, plan.drums, bar == 3);
    }
    if (plan.melody >= 0) Lead(p, plan);
    return p;
}

// ---- File -----------------------------------------------------------------------------------

void PutName(std::vector<uint8_t>& out, const char* name, size_t size) {
    for (size_t i = 0; i < size; ++i)
        out.push_back(i < std::strlen(name) ? name[i] : 0);
}
void PutWord(std::vector<uint8_t>& out, size_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

std::vector<uint8_t> Module() {
    std::vector<Sample> samples = Samples();
    std::vector<uint8_t> out;
    PutName(out, "qrx intro 2k", 20);
    for (int i = 0; i < 31; ++i) {
        if (i >= static_cast<int>(samples.size())) {
            PutName(out, "", 22);
            PutWord(out, 0), out.push_back(0), out.push_back(0), PutWord(out, 0), PutWord(out, 1);
            continue;
        }
        const Sample& s = samples[i];
        PutName(out, s.name, 22);
        PutWord(out, s.data.size() / 2);
        out.push_back(0); // finetune
        out.push_back(static_cast<uint8_t>(s.volume));
        PutWord(out, s.loopLength ? s.loopStart / 2 : 0);
        PutWord(out, s.loopLength ? s.loopLength / 2 : 1);
    }
    const int positions = sizeof kOrder / sizeof kOrder[0];
    const int patterns = sizeof kPlans / sizeof kPlans[0];
    out.push_back(positions);
    out.push_back(127);
    for (int i = 0; i < 128; ++i)
        out.push_back(i < positions ? kOrder[i] : 0);
    for (char c : std::string("M.K."))
        out.push_back(c);

    for (int n = 0; n < patterns; ++n) {
        Pattern p = Compose(kPlans[n]);
        if (n == 0) p.cells[0][kChLead] = Cell{-1, 0, 0xF, 6}; // speed 6 (125 BPM by default)
        for (const auto& row : p.cells)
            for (const Cell& c : row) {
                int period = c.note >= 0 ? kPeriods[c.note] : 0;
                out.push_back(static_cast<uint8_t>((c.sample & 0xF0) | (period >> 8)));
                out.push_back(static_cast<uint8_t>(period));
                out.push_back(static_cast<uint8_t>(((c.sample & 0x0F) << 4) | c.effect));
                out.push_back(static_cast<uint8_t>(c.param));
            }
    }
    for (const Sample& s : samples)
        for (int8_t v : s.data)
            out.push_back(static_cast<uint8_t>(v));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mod-composer OUT.mod\n");
        return 2;
    }
    std::vector<uint8_t> bytes = Module();
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "mod-composer: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
