// The frame routine: clear, dispatch on the scene, pacing and flip.
#include <gtest/gtest.h>

#include "display/display.h"
#include "display/surface.h"
#include "display_test_util.h"
#include "shell/shell.h"
#include "show/show.h"

using namespace dtest;

namespace {

struct Frame : testing::Test {
    void SetUp() override {
        if (qrxhost::CounterFrequency() == 0 || !Init_Timer())
            GTEST_SKIP() << "the clock is not in place yet";
        ASSERT_EQ(InitApp(), 0);
        RowOffset_Init();
    }
    bool CloseQueued() {
        MSG m;
        bool found = false;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            found |= m.message == WM_CLOSE;
        return found;
    }
};

} // namespace

TEST_F(Frame, LastSceneShowsBackgroundAndPostsClose) {
    g_Scene = 27;
    const int64_t start = qrxhost::Counter();
    Show_Frame();
    EXPECT_EQ(g_Scene, 27);
    EXPECT_TRUE(CloseQueued());
    qrxhost::DisplayedFrame f = qrxhost::Displayed();
    ASSERT_NE(f.pixels, nullptr);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(f.pixels[y * f.pitchPixels + x], 4);
    // The busy wait lasts the frame period, then the flip waits for the next blank.
    EXPECT_GE(qrxhost::Counter() - start, int64_t(FRAME_PERIOD * qrxhost::CounterFrequency()));
}

TEST_F(Frame, SceneOutsideRangeDrawsOnlyBackground) {
    for (uint16_t scene : {uint16_t(0), uint16_t(28), uint16_t(65535)}) {
        g_Scene = scene;
        Surface_Fill(g_pDDSBack, 0x1234);
        Show_Frame();
        EXPECT_EQ(g_Scene, scene);
        EXPECT_FALSE(CloseQueued());
        qrxhost::DisplayedFrame f = qrxhost::Displayed();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                ASSERT_EQ(f.pixels[y * f.pitchPixels + x], 4) << scene;
    }
}

TEST_F(Frame, LostSurfaceAtFlipEndsWithMessage) {
    if (!BoxesRecorded()) GTEST_SKIP() << "message boxes are not recorded by this host yet";
    g_Scene = 0;
    qrxhost::LoseSurface("primary");
    Show_Frame();
    EXPECT_EQ(qrxhost::MessageBoxes().back().text, "DX_Flip(): surface lost\nLine : 60");
}
