// The scene routines on an in-memory device: drawing order, the scene ends, and a routine
// that stops once its lock has failed.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/helpers.h"
#include "effects/bobs.h"
#include "effects/border.h"
#include "effects/copper.h"
#include "effects/scroller.h"
#include "effects/stars.h"
#include "effects/writer.h"
#include "effects/zoom.h"
#include "fake_ddraw.h"
#include "show/show.h"
#include "show/texts.h"

namespace {

struct Script : ::testing::Test {
    FakeDevice dev;
    std::vector<const char*> events;

    void SetUp() override {
        for (int y = 0; y < 480; ++y)
            g_RowOffset[y] = y * 640;
        ASSERT_EQ(Scroller_Init(), 0);
        ASSERT_EQ(Writer_Init(), 0);
        Copper_Init();
        Random_Seed(1);
        Stars_Init();
        dev.back.events = &events;
    }

    // Runs the scene's routine frame by frame, as Show_Frame does, until g_Scene moves on.
    int FramesOf(uint16_t scene, int limit = 20000) {
        g_Scene = scene;
        int frames = 0;
        while (g_Scene == scene && frames < limit) {
            Frame();
            ++frames;
        }
        return frames;
    }

    void Frame() {
        events.clear();
        dev.back.calls.clear();
        std::fill(dev.back.pixels.begin(), dev.back.pixels.end(), WORD(4));
        Scene_Run(g_Scene);
    }

    std::string Events() const {
        std::string s;
        for (const char* e : events)
            s += std::string(s.empty() ? "" : " ") + e;
        return s;
    }
};

} // namespace

TEST_F(Script, Scene1FadesInOver233FramesWhileTheStripsSlideIn) {
    EXPECT_EQ(FramesOf(1), 233);
    EXPECT_EQ(g_Scene, 2);
    EXPECT_EQ(g_FadeLevel, 256.0f);
    EXPECT_EQ(g_BorderIn, 640);
}

TEST_F(Script, StarsAreDrawnBeforeTheBlittedEffects) {
    g_Scene = 1;
    Frame();
    EXPECT_EQ(Events(), "Lock Unlock BltFast BltFast");
    const Star& s = g_Stars[0];
    EXPECT_NE(dev.back.At(s.x, s.y), 4);
}

TEST_F(Script, Scene2EndsOnTheZoomersFirstCycleEnd) {
    EXPECT_EQ(FramesOf(2), 181);
    EXPECT_EQ(g_ZoomWidthPhase, 0);
    EXPECT_EQ(Events(), "Lock Unlock Blt BltFast BltFast");
}

TEST_F(Script, ScrollerScenesLast17FramesPerCharacterAndOne) {
    const FakeSurface* strip = dev.Created(0);
    auto visibleEmpty = [&] {
        for (int y = 0; y < 32; ++y)
            for (int x = 32; x < 672; ++x)
                if (strip->At(x, y) != 0) return false;
        return true;
    };
    g_Scene = 3;
    int frames = 0;
    bool textSeen = false;
    while (g_Scene == 3 && frames < 2000) {
        Frame();
        ++frames;
        textSeen = textSeen || !visibleEmpty();
    }
    EXPECT_EQ(frames, 56 * 17 + 1);
    EXPECT_TRUE(textSeen);
    // The dedication's 20 closing spaces have scrolled through: nothing of it is left.
    EXPECT_TRUE(visibleEmpty());
    EXPECT_EQ(FramesOf(4), 3 * 17 + 1);
    EXPECT_EQ(FramesOf(6), 120 * 17 + 1);
    EXPECT_TRUE(visibleEmpty());
    EXPECT_EQ(g_Scene, 7);
}

TEST_F(Script, Scene9WritesFullLevelEveryFrame) {
    g_Scene = 9;
    g_FadeLevel = 12;
    Frame();
    EXPECT_EQ(g_FadeLevel, 256.0f);
    EXPECT_EQ(std::string(events[0]), "Lock"); // copper first, then 320 sine columns
    EXPECT_EQ(dev.back.calls.size(), 322u);
}

TEST_F(Script, Scene10DrawsTheTagBeforeTheCopperBars) {
    g_Scene = 10;
    g_FadeLevel = 256;
    Frame();
    EXPECT_EQ(std::string(events[0]), "BltFast");
    EXPECT_EQ(std::string(events[1]), "Lock");
    EXPECT_EQ(dev.back.At(600, 472), SheetPixel(600, 258)); // the tag stays visible
    EXPECT_EQ(g_CopperPhase, 1);
    EXPECT_EQ(FramesOf(10), 232);
    EXPECT_EQ(g_FadeLevel, 0.0f);
}

TEST_F(Script, WriterScenesDrawTheFontEveryFrame) {
    g_Scene = 16;
    g_FadeLevel = 256;
    for (int frame = 0; frame < 9; ++frame) {
        const uint32_t before = g_RandomState;
        Frame();
        const uint32_t after = g_RandomState;
        Random_Seed(before);
        Random_Next();
        EXPECT_EQ(after, g_RandomState) << "frame " << frame; // one value, written or not
    }
    EXPECT_EQ(g_PageCredits.pos, 3);
}

TEST_F(Script, ClearScenesEmptyTheWriterSurface) {
    FakeSurface* page = dev.Created(1);
    page->Set(5, 5, 0x7777);
    g_Scene = 17;
    Frame();
    EXPECT_EQ(page->At(5, 5), 0);
}

TEST_F(Script, Scene26EndsAfterOneFrameAtBlack) {
    g_FadeLevel = 0;
    EXPECT_EQ(FramesOf(26), 1);
    EXPECT_EQ(g_Scene, 27);
}

TEST_F(Script, ScenesWithoutARoutineDrawNothing) {
    for (uint16_t scene : {0, 27, 28, 65535}) {
        g_Scene = scene;
        Frame();
        EXPECT_TRUE(events.empty()) << scene;
        EXPECT_EQ(g_Scene, scene);
    }
}

TEST_F(Script, FailedLockStopsTheRoutine) {
    dev.back.lost = true; // Lock now fails; Surface_Lock reports it
    for (uint16_t scene : {1, 9, 18, 23}) {
        g_Scene = scene;
        const float level = g_FadeLevel;
        Frame();
        dev.Attach();
        EXPECT_EQ(Events(), scene == 23 ? "BltFast BltFast Lock" : "Lock") << scene;
        EXPECT_EQ(g_Scene, scene);
        EXPECT_EQ(g_FadeLevel, level);
    }
}
