// The library's five exports: start-up without an audio device, loading from memory with the
// module's end found from its header, refusal of malformed modules, playing, freeing twice,
// and nothing else exported.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "bass.h"
#include "mod_builder.h"

BASSEXPORT int32_t BASSAPI BASS_Init(int32_t, BASS_DWORD, BASS_DWORD, void*);
BASSEXPORT BASS_DWORD BASSAPI BASS_MusicLoad(int32_t, const void*, BASS_DWORD, BASS_DWORD,
                                             BASS_DWORD);
BASSEXPORT int32_t BASSAPI BASS_Start();
BASSEXPORT int32_t BASSAPI BASS_MusicPlay(BASS_DWORD);
BASSEXPORT void BASSAPI BASS_Free();

namespace {

std::vector<uint8_t> CommittedModule() {
    std::ifstream in(QRX_MODULE_FILE, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(Bass, PlaysTheModuleFromMemoryGivenOnlyItsAddress) {
    ASSERT_NE(BASS_Init(-1, 44100, 0, nullptr), 0);
    std::vector<uint8_t> module = CommittedModule();
    ASSERT_GT(module.size(), 1084u);
    BASS_DWORD handle = BASS_MusicLoad(1, module.data(), 0, 0, 5);
    EXPECT_NE(handle, 0u);
    EXPECT_NE(BASS_Start(), 0);
    EXPECT_NE(BASS_MusicPlay(handle), 0);
    BASS_Free();
    BASS_Free(); // a second call finds nothing left to free
}

TEST(Bass, FallsBackToSilentOutputWithoutAnAudioDevice) {
    // No such driver: the library still starts (rendering into nothing) only when no driver was
    // asked for; an explicit but unusable driver is a failure.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr), 0);
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_NE(BASS_Init(0, 44100, 0, nullptr), 0); // device 0: no sound, the dummy output
    BASS_Free();
}

TEST(Bass, RefusesWorkBeforeInitAndAfterFree) {
    std::vector<uint8_t> module = CommittedModule();
    EXPECT_EQ(BASS_MusicLoad(1, module.data(), 0, 0, 5), 0u);
    EXPECT_EQ(BASS_Start(), 0);
    ASSERT_NE(BASS_Init(0, 44100, 0, nullptr), 0);
    BASS_DWORD handle = BASS_MusicLoad(1, module.data(), 0, 0, 5);
    ASSERT_NE(handle, 0u);
    BASS_Free();
    EXPECT_EQ(BASS_MusicPlay(handle), 0);
    EXPECT_EQ(BASS_MusicLoad(1, module.data(), 0, 0, 5), 0u);
}

TEST(Bass, MalformedModulesGiveNoHandle) {
    ASSERT_NE(BASS_Init(0, 44100, 0, nullptr), 0);
    std::vector<uint8_t> good = CommittedModule();
    std::vector<uint8_t> badSignature = good;
    badSignature[1080] = 'm';
    std::vector<uint8_t> noSong = good;
    noSong[950] = 0;
    EXPECT_EQ(BASS_MusicLoad(1, badSignature.data(), 0, 0, 5), 0u);
    EXPECT_EQ(BASS_MusicLoad(1, noSong.data(), 0, 0, 5), 0u);
    EXPECT_EQ(BASS_MusicLoad(1, good.data(), 0, BASS_DWORD(good.size() - 1), 5), 0u);
    EXPECT_EQ(BASS_MusicLoad(1, nullptr, 0, 0, 5), 0u);
    EXPECT_EQ(BASS_MusicLoad(0, "/nonexistent/module.mod", 0, 0, 5), 0u);
    EXPECT_EQ(BASS_MusicPlay(0), 0);
    EXPECT_EQ(BASS_MusicPlay(12345), 0);
    EXPECT_NE(BASS_MusicLoad(1, good.data(), 0, BASS_DWORD(good.size()), 5), 0u);
    BASS_Free();
}

TEST(Bass, LoadsFromAFileWithAnOffset) {
    ModBuilder b;
    b.samples[1] = SquareSample(32, 2);
    b.Cell(0, 0, 0, 1, 428);
    std::vector<uint8_t> bytes(100, 0xAA);
    std::vector<uint8_t> module = b.Build();
    bytes.insert(bytes.end(), module.begin(), module.end());
    std::string path = testing::TempDir() + "bass_offset.mod";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    ASSERT_NE(BASS_Init(0, 44100, 0, nullptr), 0);
    EXPECT_NE(BASS_MusicLoad(0, path.c_str(), 100, 0, 4), 0u);
    EXPECT_EQ(BASS_MusicLoad(0, path.c_str(), 0, 0, 4), 0u);
    BASS_Free();
    std::remove(path.c_str());
}

TEST(Bass, ExportsExactlyTheFiveFunctions) {
    std::string command = std::string("nm -D --defined-only ") + QRX_BASS_LIBRARY;
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::set<std::string> names;
    std::array<char, 512> line;
    while (std::fgets(line.data(), int(line.size()), p)) {
        std::string s(line.data());
        size_t space = s.find_last_of(' ');
        if (space == std::string::npos) continue;
        std::string name = s.substr(space + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        char type = s.size() > 17 ? s[17] : '?';
        if (type != 'A') names.insert(name);
    }
    ASSERT_EQ(pclose(p), 0);
    std::set<std::string> expected = {"BASS_Free", "BASS_Init", "BASS_MusicLoad", "BASS_MusicPlay",
                                      "BASS_Start"};
    EXPECT_EQ(names, expected);
}

} // namespace
