// Linux audio backend over SDL2. With no audio device and no driver asked for through
// SDL_AUDIODRIVER, it falls back to SDL's "dummy" driver, which consumes the stream in real time
// without sound, so that a program still runs (silently) on a machine without audio.
#include <SDL.h>

#include <cstdlib>

#include "src/audio.h"

namespace {

SDL_AudioDeviceID g_device = 0;
Audio_Fill g_fill = nullptr;
void* g_user = nullptr;

void SDLCALL Callback(void*, Uint8* stream, int bytes) {
    g_fill(g_user, reinterpret_cast<int16_t*>(stream), size_t(bytes) / 4);
}

SDL_AudioDeviceID OpenDevice(unsigned rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    SDL_AudioSpec want{}, have{};
    want.freq = int(rate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Callback;
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return id;
}

SDL_AudioDeviceID OpenDummy(unsigned rate) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_AudioDeviceID id = OpenDevice(rate);
    unsetenv("SDL_AUDIODRIVER");
    return id;
}

} // namespace

bool Audio_Open(int device, unsigned rate, Audio_Fill fill, void* user) {
    if (g_device != 0) return false;
    g_fill = fill;
    g_user = user;
    bool driverChosen = SDL_getenv("SDL_AUDIODRIVER") != nullptr;
    if (device == 0 && !driverChosen) {
        g_device = OpenDummy(rate);
    } else {
        g_device = OpenDevice(rate);
        if (g_device == 0 && !driverChosen) g_device = OpenDummy(rate);
    }
    return g_device != 0;
}

void Audio_Start() {
    if (g_device) SDL_PauseAudioDevice(g_device, 0);
}

void Audio_Lock() {
    if (g_device) SDL_LockAudioDevice(g_device);
}

void Audio_Unlock() {
    if (g_device) SDL_UnlockAudioDevice(g_device);
}

void Audio_Close() {
    if (g_device == 0) return;
    SDL_CloseAudioDevice(g_device);
    g_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
