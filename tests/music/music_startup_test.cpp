// The whole program in virtual mode with the recording stand-in library: the music starts
// before the five-second pause, nothing calls into the library while the show runs, and the
// window's destruction frees it; a start-up that fails before the music never touches it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>

#include "music/music.h"
#include "qrx_host.h"
#include "shell/shell.h"
#include "shell/winmain.cpp"

namespace {

std::string LibraryLog() {
    if (!g_hBass) return "";
    auto log = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(g_hBass, "FakeBass_Log")));
    return log ? log() : "FakeBass_Log missing";
}

int BasFiles(const std::string& dir) {
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            n += std::strncmp(e->d_name, "bas", 3) == 0;
        closedir(d);
    }
    return n;
}

class MusicStartup : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qrx-startup-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        setenv("TMPDIR", dir_.c_str(), 1);
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    // Runs the program; closes it after `frames` empty peeks, toggling activation on the way.
    int Run(int frames) {
        int steps = 0;
        qrxhost::OnEmptyPeek([&] {
            ++steps;
            if (steps == frames / 3) qrxhost::SetAppActive(false);
            if (steps == frames / 3 + 2) qrxhost::SetAppActive(true);
            if (steps == frames) qrxhost::RequestClose();
            if (steps > frames + 1000) qrxhost::RequestClose();
        });
        qrxhost::OnCall([&](const char* name) {
            if (!std::strcmp(name, "Sleep") && atPause_.empty()) atPause_ = LibraryLog();
            if (!std::strcmp(name, "DestroyWindow")) beforeDestroy_ = LibraryLog();
        });
        static char noCommandLine[] = "";
        return WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
    }

    std::string dir_, atPause_, beforeDestroy_;
};

const char* const kStarted = "BASS_Init(-1,44100,0,%p);BASS_MusicLoad(1,M.K.,0,0,5);BASS_Start;"
                             "BASS_MusicPlay(80000001)";

TEST_F(MusicStartup, MusicPlaysFromThePauseUntilTheWindowIsDestroyed) {
    EXPECT_EQ(Run(60), 0);
    char started[256];
    std::snprintf(started, sizeof started, kStarted, static_cast<void*>(g_hWnd));
    EXPECT_EQ(atPause_, started);
    EXPECT_EQ(beforeDestroy_, started) << "no call into the library while the show runs";
    EXPECT_EQ(LibraryLog(), std::string(started) + ";BASS_Free");
    EXPECT_TRUE(qrxhost::MessageBoxes().empty());
    EXPECT_EQ(BasFiles(dir_), 1);
}

TEST_F(MusicStartup, FatalDisplayErrorBeforeTheMusicLeavesTheLibraryAlone) {
    qrxhost::InjectFault("DirectDrawCreate", -1);
    EXPECT_EQ(Run(10), 0);
    EXPECT_EQ(qrxhost::MessageBoxes().size(), 1u);
    EXPECT_EQ(g_hBass, nullptr);
    EXPECT_EQ(g_hMusic, 0u);
    EXPECT_EQ(BasFiles(dir_), 0) << "the library image was never written";
}

} // namespace
