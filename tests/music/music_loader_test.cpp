// The music loader and playback against a recording stand-in library embedded as "BASS_DLL":
// the order of the platform calls, the arguments handed to the library, every failure with
// its message, and the temporary files it leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "music/music.h"
#include "qrx_host.h"
#include "shell/shell.h"

namespace {

std::string ResourceBytes(const char* name, const char* type) {
    HRSRC r = FindResourceA(nullptr, name, type);
    const char* p = static_cast<const char*>(LockResource(LoadResource(nullptr, r)));
    return std::string(p, SizeofResource(nullptr, r));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> BasFiles(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).rfind("bas", 0) == 0) out.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    return out;
}

// What the stand-in library has been asked so far; empty when no library is loaded.
std::string LibraryLog() {
    if (!g_hBass) return "";
    auto log = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(g_hBass, "FakeBass_Log")));
    return log ? log() : "FakeBass_Log missing";
}

void ExpectLastBox(const std::string& text) {
    ASSERT_FALSE(qrxhost::MessageBoxes().empty());
    EXPECT_EQ(qrxhost::MessageBoxes().back().text, text);
    EXPECT_EQ(qrxhost::MessageBoxes().back().caption, "QRX Intro 2k");
}

// At the end of a process that ends itself, tells the parent what it showed and played.
void ReportAtExit() {
    std::string last = qrxhost::MessageBoxes().empty() ? "" : qrxhost::MessageBoxes().back().text;
    std::fprintf(stderr, "[box=%s][music=%u][library=%s]\n", last.c_str(), g_hMusic,
                 LibraryLog().c_str());
}
void ReportAtEnd() {
    qrxhost::MessageBoxes(); // made before the handler, so it outlives it at exit
    std::atexit(ReportAtExit);
}

class MusicLoader : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "fast");
        char tmpl[] = "/tmp/qrx-music-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        setenv("TMPDIR", dir_.c_str(), 1);
        unsetenv("FAKE_BASS_INIT");
        unsetenv("FAKE_BASS_LOAD");
    }
    void TearDown() override {
        for (const std::string& f : BasFiles(dir_))
            unlink(f.c_str());
        rmdir(dir_.c_str());
    }
    std::string dir_;
};

TEST_F(MusicLoader, StartsAndPlaysTheModuleAndFreesTheLibraryAtTheEnd) {
    qrxhost::EnableCallLog(true);
    MOD_Init(nullptr);
    MOD_Play();
    EXPECT_EQ(g_hMusic, 0x80000001u);
    EXPECT_EQ(LibraryLog(), "BASS_Init(-1,44100,0,(nil));BASS_MusicLoad(1,M.K.,0,0,5);BASS_Start;"
                            "BASS_MusicPlay(80000001)");
    std::vector<std::string> calls = qrxhost::CallLog();
    std::vector<std::string> loader(calls.begin(),
                                    calls.begin() + std::min<size_t>(calls.size(), 13));
    EXPECT_EQ(loader, (std::vector<std::string>{"FindResourceA", "LoadResource", "GetTempPathA",
                                                "GetTempFileNameA", "CreateFileA", "WriteFile",
                                                "CloseHandle", "LoadLibraryA", "GetProcAddress",
                                                "GetProcAddress", "GetProcAddress",
                                                "GetProcAddress", "GetProcAddress"}));
    MOD_Free();
    EXPECT_EQ(LibraryLog().substr(LibraryLog().rfind(';') + 1), "BASS_Free");
    EXPECT_TRUE(qrxhost::MessageBoxes().empty());
}

TEST_F(MusicLoader, WritesTheWholeImageToOneNewPrivateFileThatStays) {
    Load_BASS(nullptr);
    std::string name = g_TempFileName;
    ASSERT_EQ(name.rfind(dir_ + "/bas", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_EQ(BasFiles(dir_), std::vector<std::string>{name});
    EXPECT_EQ(ReadFile(name), ResourceBytes("BASS_DLL", "DLL"));
    struct stat st;
    ASSERT_EQ(stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(g_hBass, nullptr);
}

TEST_F(MusicLoader, TwoRunsLeaveTwoDistinctFiles) {
    // Each run is a process of its own that loads the library and ends.
    for (int run = 0; run < 2; ++run)
        EXPECT_EXIT(
            {
                Load_BASS(nullptr);
                std::exit(g_hBass ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    std::vector<std::string> files = BasFiles(dir_);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0], files[1]);
    for (const std::string& f : files)
        EXPECT_EQ(ReadFile(f), ResourceBytes("BASS_DLL", "DLL"));
}

// Each failure of the loader shows its message and ends the process with code 0, before any
// music is made.
struct LoaderFailure {
    const char* call;
    int skip; // matching calls that pass first
    const char* message;
};

class LoaderFailures : public MusicLoader, public ::testing::WithParamInterface<LoaderFailure> {};

TEST_P(LoaderFailures, ShowTheirMessageAndEndWithCodeZero) {
    const LoaderFailure& f = GetParam();
    std::string expected = std::string("\\[box=") + f.message;
    EXPECT_EXIT(
        {
            qrxhost::InjectFault(f.call, -1, 1, f.skip);
            ReportAtEnd();
            MOD_Init(nullptr);
            std::exit(3); // not reached: the loader ends the process
        },
        ::testing::ExitedWithCode(0), expected + "\n\\]\\[music=0\\]\\[library=\\]");
}

INSTANTIATE_TEST_SUITE_P(
    Music, LoaderFailures,
    ::testing::Values(LoaderFailure{"FindResourceA", 0, "Error: Can't get the BASS.DLL resource"},
                      LoaderFailure{"LoadResource", 0, "Error: Can't get the BASS.DLL resource"},
                      LoaderFailure{"GetTempPathA", 0, "Error: Can't write BASS.DLL"},
                      LoaderFailure{"GetTempFileNameA", 0, "Error: Can't write BASS.DLL"},
                      LoaderFailure{"CreateFileA", 0, "Error: Can't write BASS.DLL"},
                      LoaderFailure{"LoadLibraryA", 0, "Error: Can't load BASS.DLL"},
                      // A library lacking one of the five functions is refused.
                      LoaderFailure{"GetProcAddress", 0, "Error: Can't load BASS.DLL"},
                      LoaderFailure{"GetProcAddress", 4, "Error: Can't load BASS.DLL"}));

// A temporary directory that cannot be written to: the library never gets loaded.
TEST_F(MusicLoader, UnwritableTemporaryDirectoryEndsWithoutMusic) {
    std::string file = dir_ + "/bas-plain-file";
    std::ofstream(file) << "x";
    std::vector<std::string> dirs = {dir_ + "/missing", file + "/below-a-file"};
    if (geteuid() != 0) { // the superuser writes through permission bits
        mkdir((dir_ + "/readonly").c_str(), 0500);
        dirs.push_back(dir_ + "/readonly");
    }
    std::string expected = "\\[box=Error: Can't write BASS.DLL\n\\]";
    for (const std::string& d : dirs) {
        SCOPED_TRACE(d);
        setenv("TMPDIR", d.c_str(), 1);
        EXPECT_EXIT(
            {
                ReportAtEnd();
                MOD_Init(nullptr);
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), expected + "\\[music=0\\]\\[library=\\]");
    }
    rmdir((dir_ + "/readonly").c_str());
    unlink(file.c_str());
}

TEST_F(MusicLoader, MissingModuleIsReportedAndNothingPlays) {
    qrxhost::InjectFault("FindResourceA@MOD1", -1);
    MOD_Init(nullptr);
    ExpectLastBox("MOD_Init: FindResource() on MOD1 failed");
    EXPECT_EQ(g_hMusic, 0u);
    MOD_Free(); // as the window's destruction does
    EXPECT_EQ(LibraryLog(), "BASS_Init(-1,44100,0,(nil))");
}

TEST_F(MusicLoader, FailedStartOrLoadOfTheLibraryIsReported) {
    struct Case {
        const char* var;
        const char* message;
        const char* log;
    };
    for (Case c :
         {Case{"FAKE_BASS_INIT", "MOD_Init: Bass_Init() failed", "BASS_Init(-1,44100,0,(nil))"},
          Case{"FAKE_BASS_LOAD", "MOD_Init: BASS_MusicLoad() on MOD1 failed",
               "BASS_Init(-1,44100,0,(nil));BASS_MusicLoad(1,M.K.,0,0,5)"}}) {
        SCOPED_TRACE(c.var);
        EXPECT_EXIT(
            {
                setenv(c.var, "0", 1);
                MOD_Init(nullptr);
                MOD_Free();
                std::exit(g_hMusic == 0 && LibraryLog() == c.log &&
                                  !qrxhost::MessageBoxes().empty() &&
                                  qrxhost::MessageBoxes().back().text == c.message
                              ? 0
                              : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

TEST_F(MusicLoader, WindowDestroyedBeforeStartMakesNoCallIntoTheLibrary) {
    qrxhost::EnableCallLog(true);
    MOD_Free();
    EXPECT_EQ(g_hBass, nullptr);
    EXPECT_TRUE(qrxhost::CallLog().empty());
}

} // namespace
