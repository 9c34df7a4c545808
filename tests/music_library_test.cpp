// The loader with the intro's own music library, as the program carries it: with the silent
// output driver, or with none chosen on a machine without sound (the library then falls back
// to a silent output), the module loads and plays without a report.
#include <gtest/gtest.h>

#include <cstdlib>

#include "music/music.h"
#include "qrx_host.h"

namespace {

class MusicLibrary : public ::testing::TestWithParam<const char*> {};

TEST_P(MusicLibrary, OwnLibraryStartsLoadsAndPlaysTheModuleHeadless) {
    if (GetParam())
        setenv("SDL_AUDIODRIVER", GetParam(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    MOD_Init(nullptr);
    EXPECT_TRUE(qrxhost::MessageBoxes().empty()) << qrxhost::MessageBoxes().front().text;
    EXPECT_NE(g_hBass, nullptr);
    EXPECT_NE(g_hMusic, 0u);
    MOD_Play();
    MOD_Free();
}

INSTANTIATE_TEST_SUITE_P(Music, MusicLibrary, ::testing::Values("dummy", nullptr));

} // namespace
