// The whole show from the outside, through qrx-capture with seed 1: how long each scene lasts,
// and that it reaches scene 27 and closes.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string TOOL = std::string(QRX_BINARY_DIR) + "/tools/capture/qrx-capture";

struct Row {
    int frame;
    int scene;
    unsigned seconds;
};

// One run of the whole show.
struct Show {
    int exitCode = -1;
    std::vector<Row> rows;
    std::map<int, int> frames; // scene -> frames it ran
    std::map<int, int> first;  // scene -> index of its first row

    Show() {
        const auto dir =
            std::filesystem::temp_directory_path() / ("qrx-show-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        const auto log = dir / "log.csv";
        const int status =
            std::system((TOOL + " --seed 1 --log " + log.string() + " 2>/dev/null").c_str());
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(log);
        std::string line;
        std::getline(in, line); // header
        while (std::getline(in, line)) {
            Row r{};
            if (std::sscanf(line.c_str(), "%d,%d,%u", &r.frame, &r.scene, &r.seconds) != 3)
                continue;
            if (!first.count(r.scene)) first[r.scene] = int(rows.size());
            ++frames[r.scene];
            rows.push_back(r);
        }
        std::filesystem::remove_all(dir);
    }
};

const Show& TheShow() {
    static const Show show;
    return show;
}

} // namespace

// One test, so that the whole show runs once per test run.
TEST(ShowCapture, SceneLengthsFromSeed1) {
    const Show& s = TheShow();
    ASSERT_EQ(s.exitCode, 0);
    ASSERT_FALSE(s.rows.empty());
    {
        SCOPED_TRACE("every scene in order, up to 27");
        int scene = 1;
        for (const Row& r : s.rows) {
            ASSERT_TRUE(r.scene == scene || r.scene == scene + 1) << "frame " << r.frame;
            scene = r.scene;
        }
        EXPECT_EQ(s.rows.front().scene, 1);
        EXPECT_EQ(s.rows.back().scene, 27);
        for (int sc = 1; sc <= 27; ++sc)
            ASSERT_GT(s.frames.count(sc), 0u) << sc;
    }
    {
        SCOPED_TRACE("fades: 233 frames, scene 26 one");
        for (int scene : {1, 10, 11, 13, 14, 16, 17, 19, 20, 22, 23, 25})
            EXPECT_EQ(s.frames.at(scene), 233) << "scene " << scene;
        EXPECT_EQ(s.frames.at(26), 1);
    }
    {
        SCOPED_TRACE("scroller scenes: 17 frames per character and one");
        const std::pair<int, int> scenes[] = {{3, 56}, {4, 3}, {6, 120}, {8, 275}, {9, 289}};
        for (const auto& [scene, length] : scenes)
            EXPECT_EQ(s.frames.at(scene), 17 * length + 1) << "scene " << scene;
    }
    EXPECT_EQ(s.frames.at(2), 181) << "scene 2 ends on the zoomer's first cycle end";
    {
        SCOPED_TRACE("timed scenes: between n - 1 and n seconds");
        const std::pair<int, unsigned> scenes[] = {{5, 8},   {7, 8},   {12, 8}, {15, 25},
                                                   {18, 25}, {21, 25}, {24, 30}};
        for (const auto& [scene, n] : scenes) {
            // Its last frame began n ticks after its first.
            const unsigned start = s.rows[size_t(s.first.at(scene))].seconds;
            const unsigned last = s.rows[size_t(s.first.at(scene + 1) - 1)].seconds;
            EXPECT_EQ(last - start, n) << "scene " << scene;
            // In frames of the 60 Hz display, give or take a frame.
            const int frames = s.frames.at(scene);
            EXPECT_GE(frames, int(n - 1) * 60 - 1) << "scene " << scene;
            EXPECT_LE(frames, int(n) * 60 + 1) << "scene " << scene;
        }
    }
}
