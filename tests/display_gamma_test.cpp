// Gamma fade: the ramp of a level, and the fade sequences in both directions.
#include <gtest/gtest.h>

#include <cmath>

#include "display/display.h"
#include "display/gamma.h"
#include "display_test_util.h"
#include "show/show.h"

namespace {

struct Gamma : testing::Test {
    void SetUp() override { ASSERT_EQ(InitApp(), 0); }
    DDGAMMARAMP Ramp() {
        DDGAMMARAMP r;
        EXPECT_EQ(g_pGammaControl->GetGammaRamp(0, &r), DD_OK);
        return r;
    }
    int Applied() { return Ramp().red[1]; } // entry 1 of a level's ramp is the level
};

// The levels a fade applies, frame by frame, until it advances the scene.
std::vector<int> FadeLevels(Gamma& t, void (*fade)()) {
    std::vector<int> levels;
    uint16_t scene = g_Scene;
    while (g_Scene == scene && levels.size() < 1000) {
        fade();
        levels.push_back(t.Applied());
    }
    return levels;
}

} // namespace

TEST_F(Gamma, SetLevelBuildsLinearRamp) {
    struct Case {
        int level, top;
    } cases[] = {{256, 65280}, {255, 65025}, {128, 32640}, {0, 0}, {257, 65535 & (255 * 257)}};
    for (const Case& c : cases) {
        Gamma_SetLevel(c.level);
        DDGAMMARAMP r = Ramp();
        EXPECT_EQ(r.red[255], c.top);
        EXPECT_EQ(r.green[255], c.top);
        EXPECT_EQ(r.blue[255], c.top);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(r.green[i], WORD(i * c.level));
    }
}

TEST_F(Gamma, FadeInFromBlack) {
    g_Scene = 1;
    g_FadeLevel = 0;
    std::vector<int> levels = FadeLevels(*this, Fade_In);
    ASSERT_EQ(levels.size(), 233u);
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(levels[1], 1);
    EXPECT_EQ(levels[10], 11);
    EXPECT_EQ(levels[232], 255);
    EXPECT_EQ(g_Scene, 2);
    EXPECT_EQ(g_FadeLevel, 256.0f);
    EXPECT_EQ(Ramp().red[255], 65025);
    int skipped = 0;
    std::vector<int> firstSkipped;
    for (size_t i = 1; i < levels.size(); ++i)
        for (int v = levels[i - 1] + 1; v < levels[i]; ++v, ++skipped)
            if (firstSkipped.size() < 4) firstSkipped.push_back(v);
    EXPECT_EQ(skipped, 23);
    EXPECT_EQ(firstSkipped, (std::vector<int>{10, 21, 32, 44}));
}

TEST_F(Gamma, FadeOutToBlack) {
    g_Scene = 7;
    g_FadeLevel = 256;
    std::vector<int> levels = FadeLevels(*this, Fade_Out);
    ASSERT_EQ(levels.size(), 233u);
    EXPECT_EQ(std::vector<int>(levels.begin(), levels.begin() + 4),
              (std::vector<int>{256, 254, 253, 252}));
    EXPECT_EQ(levels[232], 0);
    EXPECT_EQ(g_Scene, 8);
    EXPECT_EQ(g_FadeLevel, 0.0f);
    std::vector<int> skipped; // from the low end up
    for (size_t i = levels.size() - 1; i > 0; --i)
        for (int v = levels[i] + 1; v < levels[i - 1]; ++v)
            skipped.push_back(v);
    EXPECT_EQ(skipped.size(), 24u);
    EXPECT_EQ(std::vector<int>(skipped.begin(), skipped.begin() + 4),
              (std::vector<int>{3, 14, 25, 36}));
    EXPECT_EQ(skipped.back(), 255);
}

TEST_F(Gamma, FadeOutAtZeroLastsOneFrame) {
    g_Scene = 26;
    g_FadeLevel = 0;
    Fade_Out();
    EXPECT_EQ(g_Scene, 27);
    EXPECT_EQ(g_FadeLevel, 0.0f);
    DDGAMMARAMP r = Ramp();
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(r.blue[i], 0);
}

TEST(GammaWithoutControl, FadesKeepTheirTiming) {
    ASSERT_EQ(g_pGammaControl, nullptr);
    g_FadeLevel = 0;
    int frames = 0;
    while (g_Scene == 1) {
        Fade_In();
        ++frames;
    }
    EXPECT_EQ(frames, 233);
}
