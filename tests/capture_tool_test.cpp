// qrx-capture from the outside: its options, and the files of a short run.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kTool = std::string(QRX_BINARY_DIR) + "/tools/capture/qrx-capture";

int RunTool(const std::string& args) {
    int status = std::system((kTool + " " + args + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Lines(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::vector<std::string> v;
    for (std::string l; std::getline(in, l);)
        v.push_back(l);
    return v;
}

std::filesystem::path TempDir(const char* name) {
    auto d = std::filesystem::temp_directory_path() /
             (std::string("qrx-capture-") + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    return d;
}

} // namespace

TEST(CaptureTool, RefusesBadOptions) {
    ASSERT_TRUE(std::filesystem::exists(kTool));
    for (const char* args : {"--until 0", "--until", "--frames 5-3", "--png /tmp", "--frames 1",
                             "--seed x", "--frames 1,,2 --png /tmp", "--bogus"})
        EXPECT_EQ(RunTool(args), 2) << args;
}

TEST(CaptureTool, ShortRunWritesLogPicturesAndVideo) {
    auto dir = TempDir("run");
    auto log = dir / "log.csv", video = dir / "v.y4m";
    ASSERT_EQ(RunTool("--until 5 --log " + log.string() + " --png " + dir.string() +
                      " --frames 1,3-4 --y4m " + video.string()),
              0);
    auto lines = Lines(log);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0], "frame,scene,seconds,gamma,crc32");
    if (lines.size() == 1) GTEST_SKIP() << "the show does not start on this host yet";
    ASSERT_EQ(lines.size(), 6u);
    const std::regex row(R"((\d+),(\d+),(\d+),(none|\d+),([0-9a-f]{8}))");
    for (int i = 1; i <= 5; ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, row)) << lines[i];
        EXPECT_EQ(std::stoi(m[1]), i);
        EXPECT_EQ(m[2], "1");                   // the first scene fades in
        EXPECT_EQ(m[4], std::to_string(i - 1)); // fade-in levels 0, 1, 2, 3, 4
    }
    for (int f : {1, 3, 4}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", f);
        std::ifstream png(dir / name, std::ios::binary);
        char sig[8] = {};
        png.read(sig, 8);
        EXPECT_EQ(std::string(sig + 1, 3), "PNG") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "frame-000002.png"));
    const auto header = std::string("YUV4MPEG2 W640 H480 F60:1 Ip A1:1 C444\n");
    EXPECT_EQ(std::filesystem::file_size(video), header.size() + 5 * (6 + 640 * 480 * 3));
    std::filesystem::remove_all(dir);
}

TEST(CaptureTool, SameSeedSameFrames) {
    auto dir = TempDir("seed");
    ASSERT_EQ(RunTool("--until 3 --seed 7 --log " + (dir / "a.csv").string()), 0);
    ASSERT_EQ(RunTool("--until 3 --seed 7 --log " + (dir / "b.csv").string()), 0);
    auto a = Lines(dir / "a.csv");
    EXPECT_EQ(a, Lines(dir / "b.csv"));
    if (a.size() == 1) GTEST_SKIP() << "the show does not start on this host yet";
    EXPECT_EQ(a.size(), 4u);
    std::filesystem::remove_all(dir);
}

namespace {

const std::string kModplay = std::string(QRX_BINARY_DIR) + "/tools/modplay/qrx-modplay";

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples; // interleaved
};

uint32_t Le(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(s[at + i]);
    return v;
}

// A RIFF/WAVE file with a PCM "fmt " chunk and a "data" chunk whose sizes match the file.
bool ReadWav(const std::filesystem::path& p, Wav* w) {
    std::ifstream in(p, std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (s.size() < 12 || s.compare(0, 4, "RIFF") || s.compare(8, 4, "WAVE") ||
        Le(s, 4, 4) != s.size() - 8)
        return false;
    for (size_t at = 12; at + 8 <= s.size();) {
        std::string id = s.substr(at, 4);
        size_t size = Le(s, at + 4, 4);
        if (at + 8 + size > s.size()) return false;
        if (id == "fmt " && size >= 16 && Le(s, at + 8, 2) == 1) {
            w->channels = static_cast<int>(Le(s, at + 10, 2));
            w->rate = static_cast<int>(Le(s, at + 12, 4));
            w->bits = static_cast<int>(Le(s, at + 22, 2));
        } else if (id == "data") {
            w->samples.resize(size / 2);
            std::memcpy(w->samples.data(), s.data() + at + 8, size / 2 * 2);
            return w->channels != 0;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

// Runs a capture with --wav; the summary's start of frame 1 after MOD_Play, in counter ticks.
long long CaptureWav(const std::string& args, const std::filesystem::path& wav, Wav* out) {
    auto err = wav.string() + ".err";
    int status = std::system((kTool + " " + args + " --wav " + wav.string() + " 2>" + err).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << args;
    EXPECT_TRUE(ReadWav(wav, out)) << wav;
    std::ifstream in(err);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::smatch m;
    const std::regex line(
        R"(wav: (\d+) samples from MOD_Play; frame 1 at (\d+) ticks of 10000000)");
    if (!std::regex_search(text, m, line)) {
        ADD_FAILURE() << text;
        return -1;
    }
    EXPECT_EQ(std::stoull(m[1]) * 2, out->samples.size());
    return std::stoll(m[2]);
}

} // namespace

// The music starts at MOD_Play, five seconds (the start-up's Sleep) before the first frame, and
// runs with the virtual clock to the flip of the last frame, to the sample.
TEST(CaptureTool, WavFollowsTheVirtualClockFromModPlay) {
    auto dir = TempDir("wav");
    Wav one, a, b;
    long long firstFlip = CaptureWav("--until 1", dir / "one.wav", &one);
    EXPECT_EQ(one.channels, 2);
    EXPECT_EQ(one.rate, 44100);
    EXPECT_EQ(one.bits, 16);
    EXPECT_GE(firstFlip, 50000000);          // Sleep(5000)
    EXPECT_LT(firstFlip, 50000000 + 333334); // then at most two vertical blanks
    EXPECT_EQ(one.samples.size() / 2, static_cast<size_t>(firstFlip * 44100 / 10000000));

    // 60 more frames are exactly one virtual second, 44,100 more samples.
    EXPECT_EQ(CaptureWav("--until 120", dir / "a.wav", &a), firstFlip);
    EXPECT_EQ(CaptureWav("--until 180", dir / "b.wav", &b), firstFlip);
    EXPECT_EQ(b.samples.size() - a.samples.size(), 2u * 44100);
    // Deterministic: a longer run starts with the shorter one, and a rerun is identical.
    ASSERT_GE(b.samples.size(), a.samples.size());
    EXPECT_TRUE(std::equal(a.samples.begin(), a.samples.end(), b.samples.begin()));
    Wav again;
    CaptureWav("--until 120", dir / "again.wav", &again);
    EXPECT_EQ(again.samples, a.samples);
    // Not silent in any tenth of a second.
    for (size_t at = 0; at + 8820 <= b.samples.size(); at += 8820) {
        int peak = 0;
        for (size_t i = at; i < at + 8820; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(b.samples[i])));
        EXPECT_GT(peak, 256) << "silent at sample " << at / 2;
    }
    std::filesystem::remove_all(dir);
}

// Sample 0 is the module's first sample as the library plays it (ramping, looping): the capture
// equals a direct render of the module file from its start.
TEST(CaptureTool, WavIsTheModuleFromItsStart) {
    auto dir = TempDir("wavmod");
    Wav capture, direct;
    CaptureWav("--until 120", dir / "capture.wav", &capture);
    ASSERT_TRUE(std::filesystem::exists(kModplay));
    auto out = dir / "direct.wav";
    ASSERT_EQ(std::system((kModplay + " --wav " + out.string() +
                           " --seconds 8 --loop --ramp --no-interpolation --separation 100 " +
                           QRX_SOURCE_DIR + "/assets/module.mod >/dev/null 2>&1")
                              .c_str()),
              0);
    ASSERT_TRUE(ReadWav(out, &direct));
    ASSERT_GE(direct.samples.size(), capture.samples.size());
    size_t mismatch = 0;
    while (mismatch < capture.samples.size() &&
           capture.samples[mismatch] == direct.samples[mismatch])
        ++mismatch;
    EXPECT_EQ(mismatch, capture.samples.size()) << "first difference at frame " << mismatch / 2;
    std::filesystem::remove_all(dir);
}

TEST(CaptureTool, WavRefusesAnUnwritableFile) {
    EXPECT_EQ(RunTool("--until 1 --wav /nonexistent-dir/x.wav"), 1);
    EXPECT_EQ(RunTool("--until 1 --wav"), 2);
}
