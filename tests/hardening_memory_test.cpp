// The whole program with its own music library: once the first frame has been shown, no frame
// of any scene allocates on the window thread, up to the close.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "qrx_host.h"
#include "shell/shell.h"
#include "shell/winmain.cpp"
#include "show/show.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
// The music library, a shared object, allocates through the sanitizer's own operator new and
// may free through the replacement below: the pairing check would flag that, not a fault.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options() {
    return "alloc_dealloc_mismatch=0";
}

namespace {
thread_local bool t_counting = false; // only the thread that runs the show is counted
std::atomic<long> g_news{0};
} // namespace

void* operator new(size_t size) {
    if (t_counting) ++g_news;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int kFramesPerScene = 45;

TEST(HardeningMemory, NoFrameAllocatesFromTheFirstFlipToTheClose) {
    t_counting = true; // the counter itself sees an allocation
    int* volatile probe = new int(1);
    t_counting = false;
    delete probe;
    ASSERT_EQ(g_news.load(), 1);
    g_news = 0;

    // Every scene in turn for a few dozen frames, then the close; counted from the first
    // flip on, the close's own release excluded.
    int lastFrame = 0;
    long before = 0;
    qrxhost::OnFlip([&](int frame) {
        lastFrame = frame;
        if (frame == 1) t_counting = true;
        const int scene = 1 + (frame - 1) / kFramesPerScene;
        if (scene <= 26 && (frame - 1) % kFramesPerScene == 0) g_Scene = uint16_t(scene);
        if (frame == 26 * kFramesPerScene) {
            before = g_news.load();
            t_counting = false;
            qrxhost::RequestClose();
        }
    });
    int peeks = 0;
    qrxhost::OnEmptyPeek([&] {
        if (++peeks > 40 * kFramesPerScene) qrxhost::RequestClose();
    });
    static char noCommandLine[] = "";
    EXPECT_EQ(WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL), 0);
    t_counting = false;
    EXPECT_GE(lastFrame, 26 * kFramesPerScene);
    EXPECT_EQ(before, 0) << "allocations during the show's frames";
    EXPECT_TRUE(qrxhost::MessageBoxes().empty());
}

} // namespace
