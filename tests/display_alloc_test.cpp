// The per-frame display calls allocate nothing: copies, scaled copy, fill, lock and flip.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "display/display.h"
#include "display/gamma.h"
#include "display/surface.h"
#include "display_test_util.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(DisplayAllocation, FrameCallsAllocateNothing) {
    ASSERT_EQ(InitApp(), 0);
    RowOffset_Init();
    LPDIRECTDRAWSURFACE4 strip = dtest::Offscreen(g_pDD, 705, 33);
    RECT logo = {0, 194, 534, 288}, dst = {21, 131, 619, 349}, shift = {31, 0, 704, 32};
    auto frame = [&] {
        Surface_Fill(g_pDDSBack, 4);
        WORD* px = Surface_Lock(g_pDDSBack);
        px[g_RowOffset[240] + 320] = 0xFFFF;
        Surface_Unlock(g_pDDSBack);
        Surface_BltFast(g_pDDSGfx, g_pDDSBack, 10, 10, 608, 352, 640, 384);
        strip->BltFast(29, 0, strip, &shift, DDBLTFAST_NOCOLORKEY);
        g_pDDSBack->Blt(&dst, g_pDDSGfx, &logo, DDBLT_KEYSRC, nullptr);
        Gamma_SetLevel(128);
        DX_Flip();
    };
    frame(); // first use of everything
    const long before = g_allocations.load();
    for (int i = 0; i < 50; ++i)
        frame();
    EXPECT_EQ(g_allocations.load(), before);
    EXPECT_EQ(qrxhost::Displayed().frame, 51);
    strip->Release();
}
