// The logo zoomer: its rectangles, its 181-call width cycle and its failure results.
#include <gtest/gtest.h>

#include "effects/zoom.h"
#include "fake_ddraw.h"

namespace {

void ExpectRect(const RECT& r, LONG l, LONG t, LONG rt, LONG b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rt);
    EXPECT_EQ(r.bottom, b);
}

} // namespace

TEST(Zoom, FirstCallCopiesTheLogoIntoATinyRectangle) {
    FakeDevice dev;
    EXPECT_EQ(Zoom_Draw(320, 240), 0);
    ASSERT_EQ(dev.back.calls.size(), 1u);
    const FakeCall& c = dev.back.calls[0];
    EXPECT_FALSE(c.fast);
    ExpectRect(c.dst, 315, 237, 325, 243);
    ExpectRect(c.src, 0, 194, 534, 288);
    EXPECT_EQ(c.flags, DWORD(DDBLT_KEYSRC));
    EXPECT_EQ(c.source, &dev.gfx);
    EXPECT_EQ(g_ZoomWidthPhase, 1);
    EXPECT_EQ(g_ZoomHeightPhase, 2);
    // The logo pixels landed there, and nothing else changed.
    EXPECT_EQ(dev.back.At(315, 237), SheetPixel(0, 194));
    EXPECT_EQ(dev.back.At(314, 237), 4);
    EXPECT_EQ(dev.back.At(325, 242), 4);
}

TEST(Zoom, WidthCycleIs181CallsAndHeightCycle91) {
    FakeDevice dev;
    for (int call = 1; call <= 180; ++call) {
        ASSERT_EQ(Zoom_Draw(320, 240), 0) << call;
        if (call == 90) {
            EXPECT_EQ(g_ZoomHeightPhase, 180);
        } else if (call == 91) {
            EXPECT_EQ(g_ZoomHeightPhase, 0);
        }
    }
    EXPECT_EQ(g_ZoomWidthPhase, 180);
    EXPECT_EQ(Zoom_Draw(320, 240), 1);
    EXPECT_EQ(g_ZoomWidthPhase, 0);
    EXPECT_EQ(g_ZoomHeightPhase, 180); // 181 calls: two height cycles less one call
    EXPECT_EQ(Zoom_Draw(320, 240), 0);
    EXPECT_EQ(g_ZoomWidthPhase, 1);
    EXPECT_EQ(g_ZoomHeightPhase, 0);
}

TEST(Zoom, HalfSizesAtTellingAngles) {
    FakeDevice dev;
    const struct {
        uint16_t angle;
        LONG hw;
        LONG hh; // -1: odd angle, height not checked
    } cases[] = {{0, 0, 0},      {1, 5, -1},     {2, 10, 3},     {30, 149, 54},
                 {45, 212, -1},  {86, 299, 109}, {90, 299, 109}, {94, 299, 109},
                 {150, 150, 55}, {179, 5, -1},   {180, 0, 0}};
    for (const auto& c : cases) {
        // The phases step before use: start one step below the angle wanted.
        g_ZoomWidthPhase = c.angle == 0 ? 180 : c.angle - 1;
        g_ZoomHeightPhase = c.angle == 0 ? 180 : uint16_t(c.angle - 2);
        Zoom_Draw(320, 240);
        const RECT r = dev.back.calls.back().dst;
        EXPECT_EQ(r.left, 320 - c.hw) << c.angle;
        EXPECT_EQ(r.right, 320 + c.hw) << c.angle;
        if (c.hh >= 0) {
            EXPECT_EQ(r.top, 240 - c.hh) << c.angle;
            EXPECT_EQ(r.bottom, 240 + c.hh) << c.angle;
        }
    }
}

TEST(Zoom, FailedCopyReportsOneAtAnyPhase) {
    FakeDevice dev;
    dev.back.scripted = {DDERR_GENERIC};
    EXPECT_EQ(Zoom_Draw(320, 240), 1);
    EXPECT_EQ(g_ZoomWidthPhase, 1);
}

TEST(Zoom, StillDrawingIsRetriedUntilTheCopyGoesThrough) {
    FakeDevice dev;
    dev.back.scripted = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING};
    EXPECT_EQ(Zoom_Draw(320, 240), 0);
    EXPECT_EQ(dev.back.calls.size(), 4u);
    EXPECT_EQ(dev.back.At(315, 237), SheetPixel(0, 194));
}

TEST(Zoom, LostSurfaceRestoredHidesTheCycleEnd) {
    FakeDevice dev;
    g_ZoomWidthPhase = 180;
    dev.back.scripted = {DDERR_SURFACELOST};
    EXPECT_EQ(Zoom_Draw(320, 240), 0); // the restore succeeds; the copy is not repeated
    EXPECT_EQ(dev.back.calls.size(), 1u);
    EXPECT_EQ(g_ZoomWidthPhase, 0);
}

TEST(Zoom, EmptyRectangleAcceptedKeepsTheCycleFlag) {
    FakeDevice dev;
    g_ZoomWidthPhase = 180; // this call completes the cycle with width angle 0
    EXPECT_EQ(Zoom_Draw(320, 240), 1);
    const RECT r = dev.back.calls.back().dst;
    EXPECT_EQ(r.left, r.right);
}

TEST(Zoom, WithoutADeviceNothingIsTouched) {
    EXPECT_EQ(Zoom_Draw(320, 240), 1);
    EXPECT_EQ(g_ZoomWidthPhase, 1);
}
