// The replayer's effects, each on a small module built in code: row timing for speed and tempo,
// the order of positions for breaks, jumps, loops and delays, pitch with finetune, volume
// effects, and the refusal of malformed modules.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "mod_builder.h"
#include "replayer.h"
#include "test_modules.h"

namespace {

using qrx_mod::Module;
using qrx_mod::Options;
using qrx_mod::Replayer;

struct Played {
    Module module;
    Replayer replayer;
    std::vector<std::pair<int, int>> rows; // (position, row) in playing order
    std::vector<uint64_t> rowFrames;       // frame at which each row started
};

void OnRow(void* user, int position, int row, uint64_t frame) {
    auto* p = static_cast<Played*>(user);
    p->rows.emplace_back(position, row);
    p->rowFrames.push_back(frame);
}

// Loads the module and starts it without looping, with the row log attached.
std::unique_ptr<Played> Start(const ModBuilder& b, Options options = {}) {
    auto p = std::make_unique<Played>();
    std::vector<uint8_t> bytes = b.Build();
    EXPECT_TRUE(qrx_mod::Module_Load(bytes.data(), bytes.size(), &p->module));
    options.loop = false;
    qrx_mod::Replayer_Init(&p->replayer, &p->module, options);
    p->replayer.onRow = OnRow;
    p->replayer.hookUser = p.get();
    return p;
}

std::vector<int16_t> RenderAll(Played* p, size_t limit = 44100 * 60) {
    std::vector<int16_t> out(limit * 2);
    size_t n = qrx_mod::Replayer_Render(&p->replayer, out.data(), limit);
    out.resize(n * 2);
    return out;
}

// ---- Row timing: ticks of 44100 * 2.5 / tempo frames, rounded down, as openmpt plays them. ----

struct TimingCase {
    const char* name;
    int speed, tempo;
};

class RowTiming : public testing::TestWithParam<TimingCase> {};

TEST_P(RowTiming, RowsStartOnTheExactFrame) {
    const TimingCase& t = GetParam();
    ModBuilder b;
    b.Cell(0, 0, 0, 0, 0, 0xF, t.speed);
    b.Cell(0, 0, 1, 0, 0, 0xF, t.tempo);
    auto p = Start(b);
    RenderAll(p.get());
    ASSERT_EQ(p->rowFrames.size(), 64u);
    for (size_t row = 1; row < 64; ++row) {
        // Row 0 sets speed and tempo on its first tick, which still lasts 882 frames at the
        // starting tempo of 125; every later tick has 110250 / tempo frames, rounded down.
        uint64_t ticks = row * uint64_t(t.speed);
        uint64_t expected = 882 + (ticks - 1) * (110250 / uint64_t(t.tempo));
        EXPECT_EQ(p->rowFrames[row], expected) << "row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(SpeedAndTempo, RowTiming,
                         testing::Values(TimingCase{"default", 6, 125}, TimingCase{"fast", 3, 125},
                                         TimingCase{"slowest_tempo", 6, 32},
                                         TimingCase{"fractional_tempo", 5, 137},
                                         TimingCase{"fastest", 1, 255},
                                         TimingCase{"slow_speed", 31, 200}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RowTiming, TempoChangeTakesEffectOnTheNextTick) {
    ModBuilder b;
    b.Cell(0, 0, 0, 0, 0, 0xF, 2);
    b.Cell(0, 1, 0, 0, 0, 0xF, 150);
    auto p = Start(b);
    RenderAll(p.get());
    ASSERT_GE(p->rowFrames.size(), 4u);
    EXPECT_EQ(p->rowFrames[1], 2u * 882);
    EXPECT_EQ(p->rowFrames[2], 2u * 882 + 882 + 735); // row 1's first tick is still at 125
    EXPECT_EQ(p->rowFrames[3], 2u * 882 + 882 + 735 + 2 * 735);
}

// Row start frames of the speed and tempo test module as openmpt123 plays it (libopenmpt's
// current order and row, read while rendering at 44,100 Hz).
TEST(RowTiming, SpeedTempoModuleRowsStartWhereOpenmptStartsThem) {
    auto p = Start(testmods::SpeedTempo());
    RenderAll(p.get());
    ASSERT_EQ(p->rowFrames.size(), 128u);
    const std::pair<size_t, uint64_t> kOpenmpt[] = {{9, 29841},   {17, 46078},  {33, 106762},
                                                    {64, 262370}, {99, 467622}, {127, 549634}};
    for (const auto& [row, frame] : kOpenmpt)
        EXPECT_EQ(p->rowFrames[row], frame) << "row " << row;
}

// ---- Song flow: breaks, jumps, pattern loops and delays give the order of rows. ----

struct FlowCase {
    const char* name;
    std::vector<int> order;
    std::vector<std::vector<int>> cells;            // pattern, row, command, param
    std::vector<std::pair<int, int>> expectedStart; // first rows played
    size_t expectedCount;                           // rows in the whole song
};

class SongFlow : public testing::TestWithParam<FlowCase> {};

TEST_P(SongFlow, RowsPlayInOrder) {
    const FlowCase& f = GetParam();
    ModBuilder b;
    b.order = f.order;
    for (int p : f.order)
        b.Cell(p, 63, 3, 0, 0); // every pattern exists
    for (const auto& c : f.cells)
        b.Cell(c[0], c[1], 0, 0, 0, c[2], c[3]);
    b.Cell(0, 0, 1, 0, 0, 0xF, 1); // one tick per row keeps the songs short
    auto p = Start(b);
    RenderAll(p.get());
    ASSERT_GE(p->rows.size(), f.expectedStart.size());
    for (size_t i = 0; i < f.expectedStart.size(); ++i)
        EXPECT_EQ(p->rows[i], f.expectedStart[i]) << "row " << i;
    EXPECT_EQ(p->rows.size(), f.expectedCount);
}

INSTANTIATE_TEST_SUITE_P(
    Effects, SongFlow,
    testing::Values(
        FlowCase{"pattern_break_bcd",
                 {0, 1},
                 {{0, 2, 0xD, 0x12}},
                 {{0, 0}, {0, 1}, {0, 2}, {1, 12}},
                 3 + 52},
        FlowCase{"break_past_63_is_row_0",
                 {0, 1},
                 {{0, 1, 0xD, 0x64}},
                 {{0, 0}, {0, 1}, {1, 0}},
                 2 + 64},
        FlowCase{"position_jump", {0, 1, 2}, {{0, 1, 0xB, 2}}, {{0, 0}, {0, 1}, {2, 0}}, 2 + 64},
        FlowCase{
            "jump_and_break", {0, 1, 2}, {{0, 0, 0xB, 2}, {1, 5, 0, 0}}, {{0, 0}, {2, 0}}, 1 + 64},
        FlowCase{"pattern_loop_twice",
                 {0},
                 {{0, 1, 0xE, 0x60}, {0, 2, 0xE, 0x62}},
                 {{0, 0}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {0, 3}},
                 64 + 4},
        FlowCase{"pattern_delay_repeats_ticks_not_rows",
                 {0},
                 {{0, 1, 0xE, 0xE3}},
                 {{0, 0}, {0, 1}, {0, 2}},
                 64}),
    [](const auto& info) { return std::string(info.param.name); });

// The flow test module combines a loop, a delay, a break into the next pattern, a jump, and a
// second loop that starts at the row of the first one; positions 2 and 3 are never reached.
TEST(SongFlow, CombinedFlowModuleVisitsRowsInOrder) {
    auto p = Start(testmods::Flow());
    RenderAll(p.get());
    struct Run {
        int position, from, to;
    } runs[] = {{0, 0, 11}, {0, 7, 11}, {0, 7, 30}, {1, 16, 40}, {4, 0, 12}, {4, 7, 50}};
    std::vector<std::pair<int, int>> expected;
    for (const Run& r : runs)
        for (int row = r.from; row <= r.to; ++row)
            expected.emplace_back(r.position, row);
    EXPECT_EQ(p->rows, expected);
}

TEST(SongFlow, PatternDelayStretchesTheRow) {
    ModBuilder b;
    b.Cell(0, 1, 0, 0, 0, 0xE, 0xE3); // row 1 lasts 1 + 3 rows' worth of ticks
    auto p = Start(b);
    RenderAll(p.get());
    ASSERT_GE(p->rowFrames.size(), 3u);
    EXPECT_EQ(p->rowFrames[2] - p->rowFrames[1], 4u * 6 * 882);
}

TEST(SongFlow, LoopingRestartsAtTheRestartPosition) {
    ModBuilder b;
    b.order = {0, 1, 2};
    b.restart = 1;
    for (int p = 0; p < 3; ++p)
        b.Cell(p, 0, 0, 0, 0, 0xD, 0); // one row per pattern
    auto p = Start(b);
    p->replayer.options.loop = true;
    std::vector<int16_t> out(882 * 6 * 8 * 2);
    qrx_mod::Replayer_Render(&p->replayer, out.data(), 882 * 6 * 8);
    std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {2, 0}, {1, 0}};
    ASSERT_GE(p->rows.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(p->rows[i], expected[i]);
}

// ---- Pitch: a looped square wave's zero crossings give the played frequency. ----

double MeasuredPeriod(const std::vector<int16_t>& stereo, size_t from, size_t to, int wave) {
    std::vector<size_t> ups;
    for (size_t i = from + 1; i < to; ++i)
        if (stereo[(i - 1) * 2] <= 0 && stereo[i * 2] > 0) ups.push_back(i);
    if (ups.size() < 3) return 0;
    double cyclesPerFrame = double(ups.size() - 1) / double(ups.back() - ups.front());
    double sampleRate = cyclesPerFrame * wave * 44100.0;
    return qrx_mod::kPaulaClock / sampleRate;
}

struct PitchCase {
    const char* name;
    int finetune;
    int notePeriod; // as written in the pattern (finetune 0 table)
    int command, param;
    double expectedPeriod; // the lowest octave's finetuned period halved per octave up
};

class Pitch : public testing::TestWithParam<PitchCase> {};

TEST_P(Pitch, SquareWaveCrossesAtThePeriodsRate) {
    const PitchCase& c = GetParam();
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.samples[1].finetune = c.finetune;
    b.Cell(0, 0, 0, 1, c.notePeriod, c.command, c.param);
    b.Cell(0, 8, 0, 0, 0, 0xC, 0);
    auto p = Start(b);
    std::vector<int16_t> out = RenderAll(p.get());
    // Measure over rows 1..7, after any tick-0 setting.
    double period = MeasuredPeriod(out, 6 * 882, 8 * 6 * 882, 32);
    EXPECT_NEAR(period, c.expectedPeriod, 0.05 * c.expectedPeriod / 100.0 + 0.02);
}

INSTANTIATE_TEST_SUITE_P(Finetune, Pitch,
                         testing::Values(PitchCase{"c2", 0, 428, 0, 0, 428},
                                         PitchCase{"c2_plus_1", 1, 428, 0, 0, 425},
                                         PitchCase{"c2_plus_7", 7, 428, 0, 0, 407},
                                         PitchCase{"c2_minus_8", -8, 428, 0, 0, 453.5},
                                         PitchCase{"c2_minus_1", -1, 428, 0, 0, 431},
                                         PitchCase{"a3_plus_3", 3, 127, 0, 0, 124.5},
                                         PitchCase{"e5_sets_finetune", 0, 428, 0xE, 0x57, 407},
                                         PitchCase{"b3_lowest_note", 0, 113, 0, 0, 113.25},
                                         PitchCase{"f2_minus_5", -5, 320, 0, 0, 332.5},
                                         PitchCase{"c3_minus_5", -5, 214, 0, 0, 221.75}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Per-tick effects on the period Paula gets. ----

struct TickCase {
    const char* name;
    int notePeriod, command, param;
    int presetPeriod;         // a note played one row earlier (tone portamento), 0 for none
    std::vector<int> periods; // outPeriod at ticks 0..5 of the effect's row
};

class TickPeriods : public testing::TestWithParam<TickCase> {};

TEST_P(TickPeriods, PeriodFollowsTheEffect) {
    const TickCase& c = GetParam();
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    int row = 0;
    if (c.presetPeriod) b.Cell(0, row++, 0, 1, c.presetPeriod);
    b.Cell(0, row, 0, c.presetPeriod ? 0 : 1, c.notePeriod, c.command, c.param);
    auto p = Start(b);
    Replayer& r = p->replayer;
    for (int t = 0; t < row * 6; ++t)
        qrx_mod::Replayer_Tick(&r);
    for (size_t t = 0; t < c.periods.size(); ++t) {
        qrx_mod::Replayer_Tick(&r);
        EXPECT_EQ(r.channels[0].outPeriod * 4 + 0, c.periods[t] * 4) << "tick " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Effects, TickPeriods,
    testing::Values(
        TickCase{"arpeggio", 428, 0x0, 0x47, 0, {428, 339, 285, 428, 339, 285}},
        TickCase{"portamento_up", 428, 0x1, 0x10, 0, {428, 412, 396, 380, 364, 348}},
        TickCase{"portamento_up_stops_at_b3", 120, 0x1, 0x04, 0, {120, 116, 113, 113, 113, 113}},
        TickCase{"portamento_down_stops_at_c1", 808, 0x2, 0x14, 0, {808, 828, 848, 856, 856, 856}},
        TickCase{"tone_portamento", 404, 0x3, 0x08, 428, {428, 420, 412, 404, 404, 404}},
        TickCase{"tone_portamento_down", 453, 0x3, 0x0A, 428, {428, 438, 448, 453, 453, 453}},
        TickCase{"fine_portamento_up", 428, 0xE, 0x13, 0, {425, 425, 425, 425, 425, 425}},
        TickCase{"fine_portamento_down", 428, 0xE, 0x25, 0, {433, 433, 433, 433, 433, 433}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TickPeriods, GlissandoRoundsToSemitones) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.Cell(0, 0, 0, 1, 428, 0xE, 0x31);
    b.Cell(0, 1, 0, 0, 339, 0x3, 0x05);
    auto p = Start(b);
    for (int t = 0; t < 6 + 2; ++t)
        qrx_mod::Replayer_Tick(&p->replayer);
    // 428 - 5 = 423 plays as the semitone at or below it in period: 404.
    EXPECT_EQ(p->replayer.channels[0].period, 423);
    EXPECT_EQ(p->replayer.channels[0].outPeriod, 404);
}

TEST(TickPeriods, VibratoSwingsAroundTheNote) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.Cell(0, 0, 0, 1, 428, 0x4, 0x88);
    auto p = Start(b);
    Replayer& r = p->replayer;
    std::vector<int> fine;
    for (int t = 0; t < 6; ++t) {
        qrx_mod::Replayer_Tick(&r);
        fine.push_back(r.voices[0].step > 0
                           ? int(std::lround(double(qrx_mod::kPaulaClock) * 4 * 4294967296.0 /
                                             (double(r.voices[0].step) * 44100)))
                           : 0);
    }
    // Tick 0 plays the note; then the sine at positions 0, 32, 64, 96, 128 (quarter periods).
    std::vector<int> expected = {428 * 4,
                                 428 * 4,
                                 428 * 4 + (180 * 8 >> 5),
                                 428 * 4 + (255 * 8 >> 5),
                                 428 * 4 + (180 * 8 >> 5),
                                 428 * 4};
    for (int t = 0; t < 6; ++t)
        EXPECT_NEAR(fine[t], expected[t], 1) << "tick " << t;
}

// ---- Volume effects. ----

struct VolumeCase {
    const char* name;
    int sampleVolume, command, param;
    std::vector<int> volumes; // outVolume at ticks 0..5
};

class Volume : public testing::TestWithParam<VolumeCase> {};

TEST_P(Volume, VolumeFollowsTheEffect) {
    const VolumeCase& c = GetParam();
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4, 100, c.sampleVolume);
    b.Cell(0, 0, 0, 1, 428, c.command, c.param);
    auto p = Start(b);
    for (size_t t = 0; t < c.volumes.size(); ++t) {
        qrx_mod::Replayer_Tick(&p->replayer);
        EXPECT_EQ(p->replayer.channels[0].outVolume, c.volumes[t]) << "tick " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Effects, Volume,
    testing::Values(VolumeCase{"set_volume", 64, 0xC, 20, {20, 20, 20, 20, 20, 20}},
                    VolumeCase{"set_volume_clamps", 10, 0xC, 0x50, {64, 64, 64, 64, 64, 64}},
                    VolumeCase{"slide_up", 30, 0xA, 0x50, {30, 35, 40, 45, 50, 55}},
                    VolumeCase{"slide_up_clamps", 60, 0xA, 0x30, {60, 63, 64, 64, 64, 64}},
                    VolumeCase{"slide_down", 30, 0xA, 0x07, {30, 23, 16, 9, 2, 0}},
                    VolumeCase{"fine_slide_up", 30, 0xE, 0xA5, {35, 35, 35, 35, 35, 35}},
                    VolumeCase{"fine_slide_down", 30, 0xE, 0xB5, {25, 25, 25, 25, 25, 25}},
                    VolumeCase{"note_cut", 40, 0xE, 0xC3, {40, 40, 40, 0, 0, 0}},
                    VolumeCase{"tremolo",
                               32,
                               0x7,
                               0x88,
                               {32, 32, 32 + (180 * 8 >> 6), 32 + (255 * 8 >> 6),
                                32 + (180 * 8 >> 6), 32}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Volume, SlideShowsInTheAmplitude) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4, 100, 64);
    b.Cell(0, 0, 0, 1, 428, 0xA, 0x08);
    auto p = Start(b);
    std::vector<int16_t> out = RenderAll(p.get(), 6 * 882);
    for (int tick = 0; tick < 6; ++tick) {
        int peak = 0;
        for (int i = tick * 882; i < (tick + 1) * 882; ++i)
            peak = std::max(peak, std::abs(int(out[i * 2])));
        int volume = tick == 0 ? 64 : 64 - 8 * tick;
        EXPECT_EQ(peak, 100 * volume * 2) << "tick " << tick; // hard left, gain of two
    }
}

// ---- Note triggers: delay, retrigger, sample offset. ----

// The frame at which the voice of channel 0 first sounds.
size_t Onset(const std::vector<int16_t>& out) {
    for (size_t i = 0; i < out.size() / 2; ++i)
        if (out[i * 2] != 0) return i;
    return SIZE_MAX;
}

TEST(Triggers, NoteDelayStartsOnItsTick) {
    for (int delay : {1, 3, 5}) {
        ModBuilder b;
        b.samples[1] = SquareSample(32, 4);
        b.Cell(0, 0, 0, 1, 428, 0xE, 0xD0 | delay);
        auto p = Start(b);
        EXPECT_EQ(Onset(RenderAll(p.get(), 6 * 882)), size_t(delay) * 882) << "delay " << delay;
    }
}

// A delayed note keeps the playing note's pitch and data until its tick, then starts with its
// own period.
TEST(Triggers, NoteDelayKeepsTheOldNoteUntilItsTick) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.samples[2] = SquareSample(16, 8);
    b.Cell(0, 0, 0, 1, 428);
    b.Cell(0, 1, 0, 2, 339, 0xE, 0xD3);
    auto p = Start(b);
    Replayer& r = p->replayer;
    for (int tick = 0; tick < 7; ++tick) // row 0 and the first tick of row 1
        qrx_mod::Replayer_Tick(&r);
    const uint32_t first = p->module.samples[1].offset, second = p->module.samples[2].offset;
    EXPECT_EQ(r.channels[0].outPeriod, 428);
    EXPECT_EQ(r.voices[0].pos >> 32, first);
    for (int tick = 1; tick < 3; ++tick)
        qrx_mod::Replayer_Tick(&r);
    EXPECT_EQ(r.channels[0].outPeriod, 428);
    qrx_mod::Replayer_Tick(&r); // tick 3
    EXPECT_EQ(r.channels[0].outPeriod, 339);
    EXPECT_EQ(r.voices[0].pos >> 32, second);
}

// A sample number without a note changes the loop the playing voice goes on to, not the pass
// it is playing.
TEST(Triggers, SampleNumberAloneSwapsTheLoopAtTheEndOfThePass) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.samples[2] = SquareSample(16, 8);
    b.samples[2].loopStart = 64;
    b.samples[2].loopLength = 64;
    b.Cell(0, 0, 0, 1, 428);
    b.Cell(0, 1, 0, 2, 0);
    auto p = Start(b);
    Replayer& r = p->replayer;
    for (int tick = 0; tick < 7; ++tick)
        qrx_mod::Replayer_Tick(&r);
    const qrx_mod::Voice& v = r.voices[0];
    const uint32_t first = p->module.samples[1].offset, second = p->module.samples[2].offset;
    EXPECT_EQ(v.end, first + 128);
    EXPECT_EQ(v.loopStart, second + 64);
    EXPECT_EQ(v.loopLength, 64u);
    std::vector<int16_t> out(2 * 2000);
    qrx_mod::Mixer_Render(&r, out.data(), 2000); // 2000 frames pass the 128 bytes at 428
    EXPECT_GE(v.pos >> 32, second + 64);
    EXPECT_LT(v.pos >> 32, second + 128);
}

TEST(Triggers, RetriggerRestartsTheSampleEveryNTicks) {
    ModSample ramp; // a one-shot rising ramp: the position shows in the value
    for (int i = 0; i < 4000; ++i)
        ramp.data.push_back(int8_t(1 + (i / 40) % 100));
    ModBuilder b;
    b.samples[1] = ramp;
    b.Cell(0, 0, 0, 1, 428, 0xE, 0x92);
    auto p = Start(b);
    std::vector<int16_t> out = RenderAll(p.get(), 6 * 882);
    for (int tick = 0; tick < 6; ++tick) {
        bool restarted = tick % 2 == 0;
        int first = out[tick * 882 * 2];
        EXPECT_EQ(first == 1 * 64 * 2, restarted) << "tick " << tick << " value " << first;
    }
}

TEST(Triggers, SampleOffsetStartsInsideTheSample) {
    ModSample ramp;
    for (int i = 0; i < 4096; ++i)
        ramp.data.push_back(int8_t(i / 256 + 1));
    ModBuilder b;
    b.samples[1] = ramp;
    b.Cell(0, 0, 0, 1, 428, 0x9, 0x05);
    b.Cell(0, 1, 0, 1, 428, 0x9, 0x00); // 900 reuses the last offset
    b.Cell(0, 2, 0, 1, 428, 0x9, 0x20); // past the end: one word, then silence
    auto p = Start(b);
    std::vector<int16_t> out = RenderAll(p.get(), 3 * 6 * 882);
    EXPECT_EQ(out[0], 6 * 64 * 2);
    EXPECT_EQ(out[6 * 882 * 2], 6 * 64 * 2);
    EXPECT_EQ(out[(2 * 6 * 882 + 100) * 2], 0);
}

// An empty sample stays silent with a sample offset too: the word played past the end of a
// sample is never taken from beyond the module's data (an empty last sample ends the data).
TEST(Triggers, SampleOffsetOnAnEmptySampleStaysSilent) {
    ModSample s;
    s.data.assign(64, 50);
    ModBuilder b;
    b.samples[1] = s; // sample 31 is empty and its data starts at the end of the module
    b.Cell(0, 0, 0, 31, 428, 0x9, 0x00);
    b.Cell(0, 0, 1, 31, 428, 0x9, 0x10);
    auto p = Start(b);
    std::vector<int16_t> out = RenderAll(p.get(), 10);
    for (int c = 0; c < 2; ++c)
        EXPECT_FALSE(p->replayer.voices[c].active) << c;
    out = RenderAll(p.get(), 2 * 6 * 882);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0) << i;
}

TEST(Triggers, OneShotSampleStopsAtItsEnd) {
    ModSample s;
    s.data.assign(100, 50);
    ModBuilder b;
    b.samples[1] = s;
    b.Cell(0, 0, 0, 1, 428);
    auto p = Start(b);
    std::vector<int16_t> out = RenderAll(p.get(), 882);
    // 100 bytes at 8287 Hz last about 532 frames.
    EXPECT_NE(out[500 * 2], 0);
    EXPECT_EQ(out[540 * 2], 0);
}

TEST(Mixing, ChannelsPanLeftRightRightLeft) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    for (int ch = 0; ch < 4; ++ch)
        b.Cell(ch, 0, ch, 1, 428);
    b.order = {0, 1, 2, 3};
    for (int sep : {100, 50, 0}) {
        Options o;
        o.separation = sep;
        for (int ch = 0; ch < 4; ++ch) {
            ModBuilder one;
            one.samples[1] = SquareSample(32, 4);
            one.Cell(0, 0, ch, 1, 428);
            auto p = Start(one, o);
            std::vector<int16_t> out = RenderAll(p.get(), 10);
            bool left = ch == 0 || ch == 3;
            int same = 12800 * (100 + sep) / 200, other = 12800 * (100 - sep) / 200;
            EXPECT_NEAR(out[left ? 0 : 1], same, 1) << "channel " << ch << " separation " << sep;
            EXPECT_NEAR(out[left ? 1 : 0], other, 1) << "channel " << ch << " separation " << sep;
        }
    }
}

TEST(Mixing, InterpolationAndRampingSmoothTheWave) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.Cell(0, 0, 0, 1, 856);
    Options o;
    o.interpolation = true;
    o.ramping = true;
    auto p = Start(b, o);
    std::vector<int16_t> out = RenderAll(p.get(), 882);
    EXPECT_LT(std::abs(int(out[2])), 12800); // the ramp starts from silence
    bool between = false;
    for (size_t i = 100; i < 882; ++i)
        between |= std::abs(int(out[i * 2])) > 100 && std::abs(int(out[i * 2])) < 12700;
    EXPECT_TRUE(between);
}

// ---- Malformed modules are refused without reading past their bytes. ----

struct BadCase {
    const char* name;
    void (*spoil)(std::vector<uint8_t>&);
};

std::vector<uint8_t> GoodModule() {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.samples[2] = SquareSample(16, 2);
    b.order = {0, 1};
    b.Cell(0, 0, 0, 1, 428);
    b.Cell(1, 0, 0, 2, 428);
    return b.Build();
}

class Malformed : public testing::TestWithParam<BadCase> {};

TEST_P(Malformed, IsRefused) {
    std::vector<uint8_t> bytes = GoodModule();
    GetParam().spoil(bytes);
    // An exact-size copy, so that ASan sees any read past the end.
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    Module m;
    EXPECT_FALSE(qrx_mod::Module_Load(exact.data(), exact.size(), &m));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Malformed,
    testing::Values(
        BadCase{"truncated_by_one", [](std::vector<uint8_t>& b) { b.pop_back(); }},
        BadCase{"truncated_in_patterns", [](std::vector<uint8_t>& b) { b.resize(1084 + 1500); }},
        BadCase{"header_only_half", [](std::vector<uint8_t>& b) { b.resize(600); }},
        BadCase{"bad_signature", [](std::vector<uint8_t>& b) { b[1080] = 'X'; }},
        BadCase{"song_length_0", [](std::vector<uint8_t>& b) { b[950] = 0; }},
        BadCase{"song_length_129", [](std::vector<uint8_t>& b) { b[950] = 129; }},
        BadCase{"pattern_past_the_file", [](std::vector<uint8_t>& b) { b[953] = 40; }},
        BadCase{"pattern_number_absurd", [](std::vector<uint8_t>& b) { b[1000] = 200; }},
        BadCase{"sample_length_absurd",
                [](std::vector<uint8_t>& b) { b[20 + 22] = 0xFF, b[20 + 23] = 0xFF; }},
        BadCase{"volume_above_64", [](std::vector<uint8_t>& b) { b[20 + 25] = 65; }},
        BadCase{"finetune_not_a_nibble", [](std::vector<uint8_t>& b) { b[20 + 24] = 0x10; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModuleSize, FoundFromTheHeaderAlone) {
    std::vector<uint8_t> bytes = GoodModule();
    EXPECT_EQ(qrx_mod::Module_Size(bytes.data(), 0), bytes.size());
    bytes.resize(bytes.size() + 500, 0x55); // trailing bytes are not part of it
    Module m;
    ASSERT_TRUE(qrx_mod::Module_Load(bytes.data(), 0, &m));
    EXPECT_EQ(m.data.size(), bytes.size() - 500);
    EXPECT_EQ(m.patterns, 2);
}

TEST(ModuleSize, OtherFourChannelSignaturesLoad) {
    for (const char* sig : {"M!K!", "FLT4", "4CHN"}) {
        ModBuilder b;
        b.signature = sig;
        b.Cell(0, 0, 0, 0, 0);
        std::vector<uint8_t> bytes = b.Build();
        Module m;
        EXPECT_TRUE(qrx_mod::Module_Load(bytes.data(), bytes.size(), &m)) << sig;
    }
}

TEST(ModuleSize, LoopsPastTheDataAreCut) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 4);
    b.samples[1].loopStart = 64;
    b.samples[1].loopLength = 200; // runs 136 bytes past the data
    b.Cell(0, 0, 0, 1, 428);
    std::vector<uint8_t> bytes = b.Build();
    Module m;
    ASSERT_TRUE(qrx_mod::Module_Load(bytes.data(), bytes.size(), &m));
    EXPECT_EQ(m.samples[1].loopStart + m.samples[1].loopLength, 128u);
}

} // namespace
