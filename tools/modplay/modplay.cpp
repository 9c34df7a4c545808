// qrx-modplay: plays a four-channel ProTracker module through our music library's replayer and
// its SDL output, or renders it offline to a 44,100 Hz 16-bit stereo WAV file.
//
//   qrx-modplay [options] FILE.mod
//     --wav OUT.wav        render offline instead of playing
//     --seconds N          stop after N seconds
//     --loop               keep playing past the song's end (default when playing live)
//     --no-loop            stop at the song's end (default with --wav)
//     --ramp / --no-ramp   volume ramping (default on)
//     --interpolation / --no-interpolation   linear interpolation (default off)
//     --separation N       stereo separation in percent, 0..100 (default 100)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "src/audio.h"
#include "src/replayer.h"
#include "src/wav.h"

namespace {

constexpr unsigned kRate = 44100;

struct Args {
    const char* file = nullptr;
    const char* wav = nullptr;
    double seconds = 0;
    int loop = -1; // -1: by mode
    qrx_mod::Options options;
};

int Usage() {
    std::fprintf(stderr, "usage: qrx-modplay [--wav OUT.wav] [--seconds N] [--loop|--no-loop] "
                         "[--ramp|--no-ramp] [--interpolation|--no-interpolation] [--separation N] "
                         "FILE.mod\n");
    return 2;
}

bool ParseArgs(int argc, char** argv, Args* a) {
    a->options.ramping = true;
    for (int i = 1; i < argc; ++i) {
        std::string s = argv[i];
        bool hasValue = i + 1 < argc;
        if (s == "--wav" && hasValue) {
            a->wav = argv[++i];
        } else if (s == "--seconds" && hasValue) {
            a->seconds = std::atof(argv[++i]);
            if (a->seconds <= 0) return false;
        } else if (s == "--separation" && hasValue) {
            char* end = nullptr;
            long v = std::strtol(argv[++i], &end, 10);
            if (*end != 0 || v < 0 || v > 100) return false;
            a->options.separation = int(v);
        } else if (s == "--loop") {
            a->loop = 1;
        } else if (s == "--no-loop") {
            a->loop = 0;
        } else if (s == "--ramp") {
            a->options.ramping = true;
        } else if (s == "--no-ramp") {
            a->options.ramping = false;
        } else if (s == "--interpolation") {
            a->options.interpolation = true;
        } else if (s == "--no-interpolation") {
            a->options.interpolation = false;
        } else if (!s.empty() && s[0] != '-' && !a->file) {
            a->file = argv[i];
        } else {
            return false;
        }
    }
    if (!a->file) return false;
    a->options.rate = kRate;
    a->options.loop = a->loop < 0 ? a->wav == nullptr : a->loop == 1;
    return true;
}

void Progress(const qrx_mod::Replayer& r, const char* verb) {
    double t = double(r.frame) / kRate;
    std::fprintf(stderr, "\r%s %d:%04.1f  position %3d/%d  row %2d ", verb, int(t) / 60,
                 t - 60 * int(t / 60), r.position, r.module->songLength, r.row);
    std::fflush(stderr);
}

int RenderWav(const Args& a, const qrx_mod::Module& m) {
    qrx_mod::Replayer r;
    qrx_mod::Replayer_Init(&r, &m, a.options);
    qrx_mod::WavWriter w;
    if (!qrx_mod::Wav_Open(&w, a.wav, kRate)) {
        std::fprintf(stderr, "qrx-modplay: cannot write %s.\n", a.wav);
        return 1;
    }
    uint64_t limit = a.seconds > 0 ? uint64_t(a.seconds * kRate) : UINT64_MAX;
    // Without a limit a looping song would never end; ten minutes bound it.
    if (a.options.loop && a.seconds <= 0) limit = 600ull * kRate;
    static int16_t buffer[4096 * 2];
    uint64_t nextReport = 0;
    while (r.frame < limit && !r.finished) {
        size_t want = size_t(std::min<uint64_t>(4096, limit - r.frame));
        size_t got = qrx_mod::Replayer_Render(&r, buffer, want);
        qrx_mod::Wav_Write(&w, buffer, got);
        if (r.frame >= nextReport) {
            Progress(r, "rendering");
            nextReport += kRate;
        }
    }
    Progress(r, "rendered");
    std::fprintf(stderr, "\n");
    if (!qrx_mod::Wav_Close(&w)) {
        std::fprintf(stderr, "qrx-modplay: writing %s failed.\n", a.wav);
        return 1;
    }
    return 0;
}

void Fill(void* user, int16_t* out, size_t frames) {
    auto* r = static_cast<qrx_mod::Replayer*>(user);
    size_t done = qrx_mod::Replayer_Render(r, out, frames);
    std::memset(out + done * 2, 0, (frames - done) * 4);
}

int Play(const Args& a, const qrx_mod::Module& m) {
    static qrx_mod::Replayer r;
    qrx_mod::Replayer_Init(&r, &m, a.options);
    if (!Audio_Open(-1, kRate, Fill, &r)) {
        std::fprintf(stderr, "qrx-modplay: no audio output could be opened.\n");
        return 1;
    }
    Audio_Start();
    uint64_t limit = a.seconds > 0 ? uint64_t(a.seconds * kRate) : UINT64_MAX;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Audio_Lock();
        bool done = r.finished || r.frame >= limit;
        Progress(r, "playing");
        Audio_Unlock();
        if (done) break;
    }
    std::fprintf(stderr, "\n");
    Audio_Close();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Args a;
    if (!ParseArgs(argc, argv, &a)) return Usage();
    std::vector<uint8_t> bytes;
    if (!qrx_mod::Module_ReadFile(a.file, &bytes)) {
        std::fprintf(stderr, "qrx-modplay: cannot read %s.\n", a.file);
        return 1;
    }
    static qrx_mod::Module module;
    if (!qrx_mod::Module_Load(bytes.data(), bytes.size(), &module)) {
        std::fprintf(stderr, "qrx-modplay: %s is not a complete four-channel ProTracker module.\n",
                     a.file);
        return 1;
    }
    return a.wav ? RenderWav(a, module) : Play(a, module);
}
