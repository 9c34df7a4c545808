// Bobs: positions from the summed sines, the angle wrap at 360, the sprites.
#include <gtest/gtest.h>

#include <cmath>

#include "common/helpers.h"
#include "effects/bobs.h"
#include "fake_ddraw.h"

TEST(Bobs, FirstFourBobsOfPreset2) {
    FakeDevice dev;
    Bobs_Draw(2);
    ASSERT_EQ(dev.back.calls.size(), 150u);
    const LONG expected[4][2] = {{320, 420}, {341, 419}, {364, 417}, {385, 413}};
    for (int i = 0; i < 4; ++i) {
        const FakeCall& c = dev.back.calls[size_t(i)];
        EXPECT_EQ(c.dst.left, expected[i][0]) << i;
        EXPECT_EQ(c.dst.top, expected[i][1]) << i;
        EXPECT_EQ(c.src.left, 608); // the silver ball
        EXPECT_EQ(c.src.top, 352);
        EXPECT_EQ(c.src.right, 640);
        EXPECT_EQ(c.src.bottom, 384);
        EXPECT_EQ(c.flags, DWORD(DDBLTFAST_SRCCOLORKEY));
    }
    EXPECT_EQ(g_BobPresets[2].angle1, 2);
    EXPECT_EQ(g_BobPresets[2].angle2, 2);
    EXPECT_EQ(g_BobPresets[2].angle3, 8);
    // The last bob is drawn last and covers what lies under it.
    const FakeCall& last = dev.back.calls.back();
    EXPECT_EQ(dev.back.At(last.dst.left, last.dst.top), SheetPixel(608, 352));
}

TEST(Bobs, ExtremePositions) {
    FakeDevice dev;
    const struct {
        int16_t angle;
        LONG x, y;
    } cases[] = {{90, 597, -1}, {270, 43, -1}, {0, 320, 420}, {180, 320, 60}};
    for (const auto& c : cases) {
        g_BobPresets[0].angle1 = g_BobPresets[0].angle2 = g_BobPresets[0].angle3 = c.angle;
        dev.back.calls.clear();
        Bobs_Draw(0);
        ASSERT_EQ(dev.back.calls.size(), 150u);
        EXPECT_EQ(dev.back.calls[0].dst.left, c.x) << c.angle;
        if (c.y >= 0) {
            EXPECT_EQ(dev.back.calls[0].dst.top, c.y) << c.angle;
        }
        EXPECT_EQ(dev.back.calls[0].src.left, 544); // the red ball
        EXPECT_EQ(dev.back.calls[0].src.bottom, 228);
    }
}

TEST(Bobs, AnglesWrapOnlyAbove360) {
    FakeDevice dev;
    for (int call = 0; call < 180; ++call)
        Bobs_Draw(3);
    EXPECT_EQ(g_BobPresets[3].angle1, 360);
    EXPECT_EQ(g_BobPresets[3].angle2, 0); // speed 0 never moves it
    EXPECT_EQ(g_BobPresets[3].angle3, 360);
    Bobs_Draw(3);
    EXPECT_EQ(g_BobPresets[3].angle1, 2);
    EXPECT_EQ(g_BobPresets[3].angle3, 2);
    // Along the chain the working angles wrap the same way: from 360, +4 gives 4.
    g_BobPresets[0].angle1 = 356;
    g_BobPresets[0].angle2 = 0;
    g_BobPresets[0].angle3 = 0;
    dev.back.calls.clear();
    Bobs_Draw(0);
    ASSERT_EQ(dev.back.calls.size(), 150u);
    // bob 1 at a1 = 360, bob 2 at a1 = 4: their x differ by the a1 term alone.
    const int x1 = dev.back.calls[1].dst.left;
    const int x2 = dev.back.calls[2].dst.left;
    EXPECT_EQ(x2 - x1, int(std::sin(DegToRad(4)) * 60) - int(std::sin(DegToRad(360)) * 60) +
                           (int(std::sin(DegToRad(2)) * 100) - int(std::sin(DegToRad(1)) * 100)) +
                           (int(std::sin(DegToRad(16)) * 120) - int(std::sin(DegToRad(8)) * 120)));
}

TEST(Bobs, EveryPositionStaysOnScreen) {
    FakeDevice dev;
    for (int call = 0; call < 200; ++call)
        for (uint8_t preset = 0; preset < BOB_PRESETS; ++preset)
            Bobs_Draw(preset);
    for (const FakeCall& c : dev.back.calls) {
        ASSERT_GE(c.dst.left, 43);
        ASSERT_LE(c.dst.left, 597);
        ASSERT_GE(c.dst.top, 60);
        ASSERT_LE(c.dst.top, 420);
    }
    EXPECT_EQ(dev.back.calls.size(), 200u * 5 * 150);
}

TEST(Bobs, UnknownSpriteDrawsNothingButAdvances) {
    FakeDevice dev;
    g_BobPresets[1].sprite = 2;
    Bobs_Draw(1);
    EXPECT_TRUE(dev.back.calls.empty());
    EXPECT_EQ(g_BobPresets[1].angle1, 4);
    EXPECT_EQ(g_BobPresets[1].angle2, 1);
    EXPECT_EQ(g_BobPresets[1].angle3, 2);
}
