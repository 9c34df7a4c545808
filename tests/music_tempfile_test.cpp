// Temporary files of the platform layer: the directory from TMPDIR, unique names created
// exclusively and privately, never over an existing file or through a link, and file handles
// that write what they are given.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "common/platform.h"
#include "qrx_host.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TempFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qrx-tempfile-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
    std::string dir_;
};

TEST_F(TempFiles, TemporaryPathComesFromTmpdirWithATrailingSlash) {
    struct Case {
        const char* tmpdir; // null: unset
        const char* path;
    };
    for (Case c : {Case{nullptr, "/tmp/"}, Case{"", "/tmp/"}, Case{"/var/x", "/var/x/"},
                   Case{"/var/x/", "/var/x/"}}) {
        if (c.tmpdir)
            setenv("TMPDIR", c.tmpdir, 1);
        else
            unsetenv("TMPDIR");
        char buf[MAX_PATH];
        EXPECT_EQ(GetTempPathA(MAX_PATH, buf), std::strlen(c.path));
        EXPECT_STREQ(buf, c.path);
        // Too small a buffer: untouched, and the size needed is returned.
        char small[4] = "abc";
        EXPECT_EQ(GetTempPathA(sizeof small, small), std::strlen(c.path) + 1);
        EXPECT_STREQ(small, "abc");
    }
}

TEST_F(TempFiles, EachNameIsANewEmptyFileOfTheUserOnly) {
    char a[MAX_PATH], b[MAX_PATH];
    UINT na = GetTempFileNameA(dir_.c_str(), "bas", 0, a);
    UINT nb = GetTempFileNameA((dir_ + "/").c_str(), "basxyz", 0, b);
    ASSERT_NE(na, 0u);
    ASSERT_NE(nb, 0u);
    EXPECT_NE(std::string(a), std::string(b));
    for (const char* name : {a, b}) {
        std::string s = name;
        EXPECT_EQ(s.rfind(dir_ + "/bas", 0), 0u) << s;
        EXPECT_EQ(s.find("xyz"), std::string::npos) << "the prefix is three characters at most";
        EXPECT_EQ(s.substr(s.size() - 4), ".tmp");
        struct stat st;
        ASSERT_EQ(lstat(name, &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(st.st_size, 0);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X.tmp", na);
    EXPECT_EQ(std::string(a), dir_ + "/bas" + hex);
}

TEST_F(TempFiles, TakenNamesAndLinksAreNeverReused) {
    // Every name but one is taken, by links to a file that must stay untouched.
    std::string victim = dir_ + "/victim";
    std::ofstream(victim) << "keep";
    const UINT freeNumber = 0x1A2B;
    for (UINT n = 1; n <= 0xFFFF; ++n) {
        if (n == freeNumber) continue;
        char name[64];
        std::snprintf(name, sizeof name, "%s/bas%X.tmp", dir_.c_str(), n);
        ASSERT_EQ(symlink(victim.c_str(), name), 0);
    }
    char got[MAX_PATH];
    EXPECT_EQ(GetTempFileNameA(dir_.c_str(), "bas", 0, got), freeNumber);
    EXPECT_EQ(std::string(got), dir_ + "/bas1A2B.tmp");
    // Now every name is taken: the call fails rather than reuse one.
    EXPECT_EQ(GetTempFileNameA(dir_.c_str(), "bas", 0, got), 0u);
    EXPECT_EQ(ReadFile(victim), "keep");
}

TEST_F(TempFiles, UnusableDirectoryOrInjectedFaultGivesNoName) {
    char got[MAX_PATH] = "";
    std::string file = dir_ + "/plain";
    std::ofstream(file) << "x";
    EXPECT_EQ(GetTempFileNameA((dir_ + "/missing").c_str(), "bas", 0, got), 0u);
    EXPECT_EQ(GetTempFileNameA((file + "/below").c_str(), "bas", 0, got), 0u);
    EXPECT_EQ(GetTempFileNameA("", "bas", 0, got), 0u);
    qrxhost::InjectFault("GetTempFileNameA", -1);
    EXPECT_EQ(GetTempFileNameA(dir_.c_str(), "bas", 0, got), 0u);
    EXPECT_STREQ(got, "");
}

TEST_F(TempFiles, WritingReplacesTheContentOfOurFileInOneCall) {
    char name[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(dir_.c_str(), "bas", 0, name), 0u);
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::string data(100000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
    EXPECT_EQ(written, data.size());
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h)) << "a closed handle is no longer valid";
    EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));
    EXPECT_EQ(ReadFile(name), data);
    struct stat st;
    ASSERT_EQ(stat(name, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(TempFiles, OpeningNeverFollowsALinkNorWritesIntoAFifo) {
    std::string victim = dir_ + "/victim", link = dir_ + "/link", fifo = dir_ + "/fifo";
    std::ofstream(victim) << "keep";
    ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {link, fifo, dir_, std::string()})
        EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr),
                  INVALID_HANDLE_VALUE)
            << path;
    EXPECT_EQ(ReadFile(victim), "keep");
    qrxhost::InjectFault("CreateFileA", -1);
    EXPECT_EQ(CreateFileA(victim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(TempFiles, LibrariesLoadByPathAndResolveByName) {
    // The intro's own library image, written out and loaded as the loader does.
    HRSRC r = FindResourceA(nullptr, "BASS_DLL", "DLL");
    ASSERT_NE(r, nullptr);
    char name[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(dir_.c_str(), "bas", 0, name), 0u);
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(h, LockResource(LoadResource(nullptr, r)), SizeofResource(nullptr, r), &written,
              nullptr);
    CloseHandle(h);
    HMODULE lib = LoadLibraryA(name);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(LoadLibraryA(name), lib);
    for (const char* fn :
         {"BASS_Free", "BASS_Init", "BASS_Start", "BASS_MusicLoad", "BASS_MusicPlay"})
        EXPECT_NE(GetProcAddress(lib, fn), nullptr) << fn;
    EXPECT_EQ(GetProcAddress(lib, "BASS_NoSuchFunction"), nullptr);
    EXPECT_EQ(GetProcAddress(lib, MAKEINTRESOURCEA(1)), nullptr) << "no ordinals";
    EXPECT_EQ(GetProcAddress(GetModuleHandleA(nullptr), "BASS_Init"), nullptr);
    EXPECT_EQ(LoadLibraryA((dir_ + "/missing.so").c_str()), nullptr);
    std::ofstream(dir_ + "/text") << "not a library";
    EXPECT_EQ(LoadLibraryA((dir_ + "/text").c_str()), nullptr);
}

TEST_F(TempFiles, ExitProcessEndsWithItsCode) {
    for (UINT code : {0u, 3u})
        EXPECT_EXIT(ExitProcess(code), ::testing::ExitedWithCode(static_cast<int>(code)), "");
}

} // namespace
