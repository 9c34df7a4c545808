// The committed module: the composer reproduces it byte for byte, and its layout is a
// four-channel ProTracker module that any player takes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

const std::vector<uint8_t>& Module() {
    static const std::vector<uint8_t> bytes = Read(QRX_MODULE_FILE);
    return bytes;
}

unsigned Word(size_t at) {
    return Module()[at] << 8 | Module()[at + 1];
}

TEST(MusicModule, ComposerReproducesTheCommittedFile) {
    std::string out = "/tmp/qrx-module-" + std::to_string(getpid()) + ".mod";
    ASSERT_EQ(std::system((std::string(QRX_MOD_COMPOSER) + " " + out).c_str()), 0);
    std::vector<uint8_t> made = Read(out);
    std::remove(out.c_str());
    ASSERT_EQ(made.size(), Module().size());
    EXPECT_TRUE(made == Module()) << "assets/module.mod differs from the composer's output";
}

TEST(MusicModule, HeaderPatternsAndSamplesAddUp) {
    ASSERT_GE(Module().size(), 1084u);
    EXPECT_EQ(std::string(Module().begin() + 1080, Module().begin() + 1084), "M.K.");
    const unsigned length = Module()[950];
    EXPECT_EQ(length, 27u);
    unsigned patterns = 0;
    for (int i = 0; i < 128; ++i)
        patterns = std::max(patterns, Module()[952 + i] + 1u);
    size_t sampleBytes = 0;
    int withData = 0;
    for (int s = 0; s < 31; ++s) {
        size_t h = 20 + 30 * s;
        unsigned len = Word(h + 22), volume = Module()[h + 25], start = Word(h + 26),
                 loop = Word(h + 28);
        SCOPED_TRACE(s + 1);
        EXPECT_LE(volume, 64u);
        EXPECT_GE(loop, 1u);
        if (loop > 1) {
            EXPECT_LE(start + loop, len);
        }
        sampleBytes += 2 * len;
        withData += len > 0;
    }
    EXPECT_EQ(withData, 8);
    EXPECT_EQ(Module().size(), 1084 + 1024 * patterns + sampleBytes);
}

TEST(MusicModule, EveryNoteIsOnTheAmigaScaleAndNamesASample) {
    const std::set<unsigned> periods = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                        428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                        214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
    unsigned patterns = 0;
    for (int i = 0; i < 128; ++i)
        patterns = std::max(patterns, Module()[952 + i] + 1u);
    int notes = 0;
    for (size_t at = 1084; at < 1084 + 1024 * patterns; at += 4) {
        unsigned period = (Module()[at] & 0x0F) << 8 | Module()[at + 1];
        unsigned sample = (Module()[at] & 0xF0) | Module()[at + 2] >> 4;
        if (!period) continue;
        ++notes;
        EXPECT_TRUE(periods.count(period)) << "period " << period << " at " << at;
        ASSERT_GE(sample, 1u);
        EXPECT_GT(Word(20 + 30 * (sample - 1) + 22), 0u) << "empty sample at " << at;
    }
    EXPECT_GT(notes, 500);
}

// What a player says about the module, with its warnings (both players print them when the
// loader meets something it does not take as it stands).
std::string PlayerReport(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " '" QRX_MODULE_FILE "' 2>&1").c_str(), "r")) {
        char buf[512];
        while (size_t n = fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

TEST(MusicModule, OtherPlayersLoadItWithoutAWarning) {
    struct Player {
        const char* command;
        const char* channels;
        const char* duration;
    };
    for (Player p :
         {Player{"openmpt123 --verbose --info", "Channels...: 4", "Duration...: 03:27.360"},
          Player{"xmp --load-only", "Channels     : 4 ", "Duration     : 3min27s"}}) {
        SCOPED_TRACE(p.command);
        std::string report = PlayerReport(p.command);
        ASSERT_NE(report.find("qrx intro 2k"), std::string::npos) << report;
        EXPECT_NE(report.find(p.channels), std::string::npos) << report;
        EXPECT_NE(report.find(p.duration), std::string::npos) << report;
        EXPECT_EQ(report.find("arning"), std::string::npos) << report;
    }
}

} // namespace
