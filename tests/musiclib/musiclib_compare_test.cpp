// Renders the effect test modules and the intro's module with qrx-modplay and with players no
// one here wrote (openmpt123, xmp) at matched settings (44,100 Hz, no interpolation, no ramping,
// hard stereo), and compares: correlation of the renders and the lag of best match, second by
// second. Skipped when openmpt123 is not installed.
//
// Matched settings: qrx-modplay --no-ramp --no-interpolation --separation 100;
// openmpt123 --render --samplerate 44100 --stereo 200 --filter 1 --ramping 0 --no-float
// --dither 0 --subsong 0 (its 100 % is 75/25 panning for MOD, 200 % is hard left/right; without
// --subsong 0 it goes on to play positions the song never reaches as further subsongs);
// xmp -f 44100 -i nearest --nofilter -P 100.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "test_modules.h"
#include "wav_compare.h"

namespace {

bool Have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string WorkDir() {
    static const std::string dir = [] {
        std::string d = testing::TempDir() + "musiclib-compare-" + std::to_string(getpid());
        Shell("mkdir -p " + d);
        return d;
    }();
    return dir;
}

struct Case {
    const char* name;
    double openmptFloor; // correlation with openmpt123 this module must keep
    bool timingExact;    // every second of sound best aligned at lag 0
};

// The goal is 0.99 everywhere; modules below it carry their current figure as a floor so that
// the test guards against regressions while the gap is open.
const Case kCases[] = {
    {"module", 0.99, true}, {"volume", 0.99, true}, {"triggers", 0.99, true},
    {"pitch", 0.99, true},  {"flow", 0.99, true},   {"speed_tempo", 0.99, true},
};

class AgainstOtherPlayers : public testing::TestWithParam<Case> {};

TEST_P(AgainstOtherPlayers, RendersMatch) {
    if (!Have("openmpt123")) GTEST_SKIP() << "openmpt123 is not installed";
    const Case& c = GetParam();
    std::string base = WorkDir() + "/" + c.name;
    std::string mod = base + ".mod";
    if (std::string(c.name) == "module") {
        ASSERT_TRUE(Shell(std::string("cp ") + QRX_MODULE_FILE + " " + mod));
    } else {
        for (const auto& [name, builder] : testmods::All()) {
            if (name != c.name) continue;
            std::vector<uint8_t> bytes = builder.Build();
            FILE* f = std::fopen(mod.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ASSERT_TRUE(Shell(std::string(QRX_MODPLAY) +
                      " --no-ramp --no-interpolation --separation 100 --wav " + base +
                      ".ours.wav " + mod));
    ASSERT_TRUE(Shell("openmpt123 --render --samplerate 44100 --stereo 200 --filter 1 --ramping 0 "
                      "--no-float --dither 0 --force --subsong 0 " +
                      mod));
    wavcmp::Wav ours, openmpt;
    ASSERT_TRUE(wavcmp::Read(base + ".ours.wav", &ours));
    ASSERT_TRUE(wavcmp::Read(mod + ".wav", &openmpt));
    wavcmp::Result r = wavcmp::Compare(ours, openmpt);
    std::printf("%-12s openmpt123: correlation %.4f, best lag %ld, seconds at lag 0: %d/%d, "
                "frames %zu / %zu\n",
                c.name, r.correlation, r.bestLag, r.windowsAtLagZero, r.windows, r.framesA,
                r.framesB);
    if (Have("xmp") &&
        Shell("xmp -o " + base + ".xmp.wav -f 44100 -i nearest --nofilter -P 100 " + mod)) {
        wavcmp::Wav xmp;
        if (wavcmp::Read(base + ".xmp.wav", &xmp)) {
            wavcmp::Result x = wavcmp::Compare(ours, xmp);
            std::printf(
                "%-12s xmp:        correlation %.4f, best lag %ld, seconds at lag 0: %d/%d, "
                "frames %zu / %zu\n",
                c.name, x.correlation, x.bestLag, x.windowsAtLagZero, x.windows, x.framesA,
                x.framesB);
        }
    }
    EXPECT_GE(r.correlation, c.openmptFloor);
    if (c.timingExact) {
        EXPECT_EQ(r.bestLag, 0);
        EXPECT_EQ(r.windowsAtLagZero, r.windows);
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, AgainstOtherPlayers, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
