// qrx-capture from the outside: its options, and the files of a short run.
#include <gtest/gtest.h>

#include <sys/wait.h>

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
