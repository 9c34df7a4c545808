// Border strips and the tag: the copies of each mode and the counters through a slide in and
// a slide out.
#include <gtest/gtest.h>

#include "effects/border.h"
#include "fake_ddraw.h"

namespace {

struct Copy {
    LONG x, y, left, right; // the strip's rows 384..400 are implied
};

void ExpectCopies(const FakeSurface& back, size_t from, std::initializer_list<Copy> copies) {
    ASSERT_EQ(back.calls.size(), from + copies.size());
    size_t i = from;
    for (const Copy& c : copies) {
        const FakeCall& call = back.calls[i++];
        SCOPED_TRACE(testing::Message() << "copy " << i - from);
        EXPECT_TRUE(call.fast);
        EXPECT_EQ(call.dst.left, c.x);
        EXPECT_EQ(call.dst.top, c.y);
        EXPECT_EQ(call.src.left, c.left);
        EXPECT_EQ(call.src.right, c.right);
        EXPECT_EQ(call.src.top, 384);
        EXPECT_EQ(call.src.bottom, 400);
        EXPECT_EQ(call.flags, DWORD(DDBLTFAST_SRCCOLORKEY));
    }
}

} // namespace

TEST(Border, SlideInFromProgramStart) {
    FakeDevice dev;
    Border_Draw(1); // empty rectangles: nothing visible
    ExpectCopies(dev.back, 0, {{0, 10, 640, 640}, {640, 454, 0, 0}});
    EXPECT_EQ(g_BorderIn, 4);
    for (WORD p : dev.back.pixels)
        ASSERT_EQ(p, 4);
    for (int call = 2; call <= 159; ++call)
        Border_Draw(1);
    EXPECT_EQ(g_BorderIn, 636);
    dev.back.calls.clear();
    Border_Draw(1);
    ExpectCopies(dev.back, 0, {{0, 10, 4, 640}, {4, 454, 0, 636}});
    EXPECT_EQ(g_BorderIn, 640);
    EXPECT_EQ(g_BorderOut, 0);
    EXPECT_EQ(dev.back.At(0, 10), SheetPixel(4, 384));
    EXPECT_EQ(dev.back.At(635, 25), SheetPixel(639, 399));
    EXPECT_EQ(dev.back.At(4, 454), SheetPixel(0, 384));
    EXPECT_EQ(dev.back.At(3, 454), 4);
    Border_Draw(1); // from now on whole, as in mode 3
    ExpectCopies(dev.back, 2, {{0, 10, 0, 640}, {0, 454, 0, 640}});
    EXPECT_EQ(g_BorderIn, 640);
}

TEST(Border, SlideOut) {
    FakeDevice dev;
    g_BorderIn = 640;
    Border_Draw(2);
    ExpectCopies(dev.back, 0, {{0, 10, 0, 640}, {0, 454, 0, 640}});
    EXPECT_EQ(g_BorderOut, 4);
    g_BorderOut = 100;
    Border_Draw(2);
    ExpectCopies(dev.back, 2, {{100, 10, 0, 540}, {0, 454, 0, 540}});
    EXPECT_EQ(dev.back.At(100, 10), SheetPixel(0, 384));
    EXPECT_EQ(dev.back.At(99, 10), SheetPixel(99, 384)); // left there by the first call
    g_BorderOut = 636;
    Border_Draw(2);
    EXPECT_EQ(g_BorderOut, 640);
    EXPECT_EQ(g_BorderIn, 0);
    Border_Draw(2);
    ExpectCopies(dev.back, 6, {{640, 10, 0, 0}, {0, 454, 0, 0}});
    EXPECT_EQ(g_BorderOut, 640);
    EXPECT_EQ(g_BorderIn, 0);
}

TEST(Border, SlideInAfterASlideOutStartsEmpty) {
    FakeDevice dev;
    g_BorderOut = 640;
    Border_Draw(1);
    ExpectCopies(dev.back, 0, {{0, 10, 640, 640}, {640, 454, 0, 0}});
    EXPECT_EQ(g_BorderIn, 4);
    EXPECT_EQ(g_BorderOut, 640); // cleared only when the slide-in completes
}

TEST(Border, OtherModesChangeNoCounter) {
    FakeDevice dev;
    g_BorderIn = 200;
    g_BorderOut = 300;
    Border_Draw(3);
    ExpectCopies(dev.back, 0, {{0, 10, 0, 640}, {0, 454, 0, 640}});
    for (int mode : {0, 4, -1})
        Border_Draw(mode);
    EXPECT_EQ(dev.back.calls.size(), 2u);
    EXPECT_EQ(g_BorderIn, 200);
    EXPECT_EQ(g_BorderOut, 300);
}

TEST(Border, BlackStripRowsLeaveThePictureVisible) {
    FakeDevice dev;
    for (int x = 0; x < 640; ++x) {
        dev.gfx.Set(x, 384, 0);
        dev.gfx.Set(x, 385, 0);
    }
    Border_Draw(3);
    EXPECT_EQ(dev.back.At(7, 10), 4);
    EXPECT_EQ(dev.back.At(7, 11), 4);
    EXPECT_EQ(dev.back.At(7, 12), SheetPixel(7, 386));
}

TEST(Border, TagSitsBelowTheBottomStrip) {
    FakeDevice dev;
    Tag_Draw();
    ASSERT_EQ(dev.back.calls.size(), 1u);
    const FakeCall& c = dev.back.calls[0];
    EXPECT_EQ(c.dst.left, 576);
    EXPECT_EQ(c.dst.top, 470);
    EXPECT_EQ(c.dst.right, 640);
    EXPECT_EQ(c.dst.bottom, 478);
    EXPECT_EQ(c.src.left, 576);
    EXPECT_EQ(c.src.top, 256);
    EXPECT_EQ(dev.back.At(576, 470), SheetPixel(576, 256));
    EXPECT_EQ(dev.back.At(576, 469), 4);
}
