// The scenes on the platform's own DirectDraw: a lost strip or page coming back, what a
// frame shows, and no allocation while the show runs.
#include <atomic>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "common/helpers.h"
#include "display/surface.h"
#include "display_test_util.h"
#include "effects/copper.h"
#include "effects/scroller.h"
#include "effects/stars.h"
#include "effects/writer.h"
#include "show/show.h"
#include "show/texts.h"

// Counts allocations while g_countNew is set. The replacement pairs malloc with free, which
// GCC cannot see through once gtest's own new/delete pairs are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<bool> g_countNew{false};
std::atomic<long> g_news{0};
} // namespace

void* operator new(size_t size) {
    if (g_countNew) ++g_news;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

using namespace dtest;

namespace {

WORD SheetValue(int x, int y) {
    return WORD(0x0841 + (x * 7 + y * 13) % 0xF000);
}

struct ShowDevice : testing::Test {
    void SetUp() override {
        g_pDD = dtest::Device();
        g_pDDSPrimary = Offscreen(g_pDD, 640, 480);
        g_pDDSBack = Offscreen(g_pDD, 640, 480);
        g_pDDSGfx = Offscreen(g_pDD, 640, 400);
        Paint(g_pDDSGfx, [](int x, int y) {
            const bool space = y < 32 && (x < 32 || (x >= 320 && x < 352));
            const bool scrollerSpace = y >= 288 && y < 320 && x < 32;
            return space || scrollerSpace ? 0 : SheetValue(x, y);
        });
        SetBlackKey(g_pDDSGfx);
        SetBlackKey(g_pDDSBack);
        for (int y = 0; y < 480; ++y)
            g_RowOffset[y] = y * 640;
        ASSERT_EQ(Scroller_Init(), 0);
        ASSERT_EQ(Writer_Init(), 0);
        Copper_Init();
        Random_Seed(1);
        Stars_Init();
    }
    void TearDown() override {
        for (LPDIRECTDRAWSURFACE4* s :
             {&g_pDDSScroller, &g_pDDSWriter, &g_pDDSGfx, &g_pDDSBack, &g_pDDSPrimary})
            if (*s) (*s)->Release(), *s = nullptr;
        if (g_pDD) g_pDD->Release(), g_pDD = nullptr;
    }

    void Frame() {
        Surface_Fill(g_pDDSBack, 4);
        Scene_Run(g_Scene);
    }

    static bool VisibleStripEmpty() {
        Pixels p(g_pDDSScroller);
        for (int y = 0; y < 33; ++y)
            for (int x = 0; x < 705; ++x)
                if (p.At(x, y) != 0) return false;
        return true;
    }

    static size_t RestoreNotices() {
        size_t n = 0;
        for (const std::string& t : BoxTexts())
            n += t == "RestoreAll() called";
        return n;
    }
};

} // namespace

TEST_F(ShowDevice, LostStripComesBackBlackAndScrollsOn) {
    g_Scene = 3;
    for (int i = 0; i < 17 * 5; ++i)
        Frame();
    ASSERT_FALSE(VisibleStripEmpty());
    qrxhost::LoseSurface("705x33");
    const size_t boxes = RestoreNotices();
    Frame(); // the shift meets the loss: the strip is restored and cleared
    if (BoxesRecorded()) {
        EXPECT_EQ(RestoreNotices(), boxes + 1);
    }
    EXPECT_TRUE(VisibleStripEmpty());
    for (int i = 0; i < 17; ++i)
        Frame(); // the next glyph comes in as usual
    EXPECT_FALSE(VisibleStripEmpty());
    Pixels strip(g_pDDSScroller);
    EXPECT_EQ(strip.At(0, 32), 0);
}

TEST_F(ShowDevice, LostPageComesBackClearedAndTypingGoesOn) {
    g_Scene = 15;
    for (int i = 0; i < 4 * 30; ++i)
        Frame(); // 30 characters typed
    EXPECT_EQ(g_PageCredits.pos, 30);
    qrxhost::LoseSurface("640x480"); // the writer, and with it the back buffer
    Surface_Fill(g_pDDSBack, 4);     // lost: the fill does nothing
    // The writer's own glyph copy meets the loss first: 4 calls later.
    for (int i = 0; i < 4; ++i)
        Writer_Update(&g_PageCredits, 1);
    EXPECT_EQ(g_PageCredits.pos, 31);
    {
        Pixels page(g_pDDSWriter);
        for (int y = 0; y < 480; y += 3)
            for (int x = 0; x < 640; x += 3)
                ASSERT_EQ(page.At(x, y), 0) << x << "," << y;
    }
    g_PageCredits.pos = 40; // "CODE": row 2, column 0
    for (int i = 0; i < 4; ++i)
        Writer_Update(&g_PageCredits, 1);
    EXPECT_EQ(g_PageCredits.pos, 41);
    Pixels page(g_pDDSWriter);
    const int code = 'C' - 32;
    EXPECT_EQ(page.At(16, 86), SheetValue(32 * (code % 10) + 16, 32 * (code / 10) + 16));
}

TEST_F(ShowDevice, ClearBringsALostPageBack) {
    qrxhost::LoseSurface("640x480");
    EXPECT_EQ(Writer_Clear(), 0);
    EXPECT_EQ(Writer_PutGlyph(96, 96, 0, 0), 0);
    Pixels page(g_pDDSWriter);
    EXPECT_EQ(page.At(5, 5), SheetValue(101, 101));
}

TEST_F(ShowDevice, WriterSceneShowsThePageOverBobsAndStars) {
    g_Scene = 18;
    for (int i = 0; i < 4 * 20 + 1; ++i)
        Frame(); // row 0 complete, row 1 begun
    Pixels back(g_pDDSBack);
    // "GREETINGS" in row 0: a cell of font A or B at screen (32 * column, 28).
    const uint16_t g = back.At(16, 28 + 16);
    const int code = 'G' - 32;
    const WORD fontA = SheetValue(32 * (code % 10) + 16, 32 * (code / 10) + 16);
    const WORD fontB = SheetValue(320 + 32 * (code % 10) + 16, 32 * (code / 10) + 16);
    EXPECT_TRUE(g == fontA || g == fontB) << g;
    // The border strips frame the picture.
    EXPECT_EQ(back.At(100, 12), SheetValue(100, 386));
}

TEST_F(ShowDevice, ScenesAllocateNothingPerFrame) {
    g_countNew = true; // the counter itself sees an allocation
    int* volatile probe = new int(1);
    g_countNew = false;
    delete probe;
    ASSERT_EQ(g_news.load(), 1);
    const uint16_t scenes[] = {1, 3, 5, 6, 8, 9, 10, 15, 18, 24};
    for (uint16_t scene : scenes) {
        g_Scene = scene;
        Frame(); // first frame of its kind outside the count
        g_Scene = scene;
        g_news = 0;
        g_countNew = true;
        for (int i = 0; i < 300 && g_Scene == scene; ++i)
            Frame();
        g_countNew = false;
        EXPECT_EQ(g_news.load(), 0) << "scene " << scene;
    }
}
