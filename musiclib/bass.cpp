// The five exported functions: start the output, load ProTracker modules from memory (or from a
// file), start the output and play one module in the backend's callback, free everything.
#include "bass.h"

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "src/audio.h"
#include "src/replayer.h"

namespace {

constexpr int kMaxMusic = 8;
constexpr BASS_DWORD kFlagRamp = 1;
constexpr BASS_DWORD kFlagLoop = 4;

struct Music {
    qrx_mod::Module module;
    qrx_mod::Options options;
};

bool g_bInit = false;
bool g_bAudioOpen = false;
unsigned g_Rate = 44100;
std::unique_ptr<Music> g_Music[kMaxMusic];
// The replayer the callback renders; null plays silence.
std::unique_ptr<qrx_mod::Replayer> g_pPlaying;

void Fill(void*, int16_t* out, size_t frames) {
    size_t done = g_pPlaying ? qrx_mod::Replayer_Render(g_pPlaying.get(), out, frames) : 0;
    for (size_t i = done * 2; i < frames * 2; ++i)
        out[i] = 0;
}

} // namespace

BASSEXPORT int32_t BASSAPI BASS_Init(int32_t device, BASS_DWORD freq, BASS_DWORD, void*) {
    if (g_bInit) return 1;
    g_Rate = freq >= 8000 && freq <= 192000 ? freq : 44100;
    g_bAudioOpen = Audio_Open(device, g_Rate, Fill, nullptr);
    g_bInit = g_bAudioOpen;
    return g_bInit ? 1 : 0;
}

BASSEXPORT BASS_DWORD BASSAPI BASS_MusicLoad(int32_t mem, const void* file, BASS_DWORD offset,
                                             BASS_DWORD length, BASS_DWORD flags) {
    if (!g_bInit || file == nullptr) return 0;
    int slot = 0;
    while (slot < kMaxMusic && g_Music[slot])
        ++slot;
    if (slot == kMaxMusic) return 0;
    std::unique_ptr<Music> music(new (std::nothrow) Music);
    if (!music) return 0;
    bool loaded;
    if (mem) {
        loaded = qrx_mod::Module_Load(static_cast<const uint8_t*>(file) + offset, length,
                                      &music->module);
    } else {
        std::vector<uint8_t> bytes;
        loaded = qrx_mod::Module_ReadFile(static_cast<const char*>(file), &bytes) &&
                 offset < bytes.size() && (length == 0 || length <= bytes.size() - offset) &&
                 qrx_mod::Module_Load(bytes.data() + offset,
                                      length ? length : bytes.size() - offset, &music->module);
    }
    if (!loaded) return 0;
    music->options.rate = g_Rate;
    music->options.ramping = (flags & kFlagRamp) != 0;
    music->options.loop = (flags & kFlagLoop) != 0;
    g_Music[slot] = std::move(music);
    return BASS_DWORD(slot + 1);
}

BASSEXPORT int32_t BASSAPI BASS_Start() {
    if (!g_bInit) return 0;
    Audio_Start();
    return 1;
}

BASSEXPORT int32_t BASSAPI BASS_MusicPlay(BASS_DWORD handle) {
    if (!g_bInit || handle == 0 || handle > kMaxMusic || !g_Music[handle - 1]) return 0;
    std::unique_ptr<qrx_mod::Replayer> replayer(new (std::nothrow) qrx_mod::Replayer);
    if (!replayer) return 0;
    const Music& music = *g_Music[handle - 1];
    qrx_mod::Replayer_Init(replayer.get(), &music.module, music.options);
    Audio_Lock();
    g_pPlaying.swap(replayer);
    Audio_Unlock();
    return 1;
}

BASSEXPORT void BASSAPI BASS_Free() {
    if (g_bAudioOpen) Audio_Close();
    g_bAudioOpen = false;
    g_bInit = false;
    g_pPlaying.reset();
    for (auto& music : g_Music)
        music.reset();
}
