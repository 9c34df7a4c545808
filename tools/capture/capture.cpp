// qrx-capture: runs the intro's own code on the virtual host (virtual clock, virtual 60 Hz
// display, recorded message boxes) and writes what the show displays: a CSV log of every
// flip, chosen frames as PNG pictures, every frame as Y4M video, and the music as a WAV file.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/globals.h"
#include "music/music.h"
#include "qrx_host.h"
#include "qrx_host_display.h"
#include "replayer.h"
#include "show/show.h"
#include "wav.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

namespace {

struct Options {
    std::string log, pngDir, y4m, wav;
    std::set<int> frames;
    long long seed = 1;
    int until = 0; // 0: until the show closes
};

const char* kUsage =
    "usage: qrx-capture [--seed N] [--log FILE] [--png DIR --frames LIST] [--y4m FILE] [--wav "
    "FILE] "
    "[--until N]\n"
    "  --seed N      calendar time in seconds since 1970 seen by the show (default 1)\n"
    "  --log FILE    CSV, one row per flip: frame,scene,seconds,gamma,crc32\n"
    "  --png DIR     write the frames of --frames as DIR/frame-NNNNNN.png, gamma applied\n"
    "  --frames LIST frame numbers and ranges, e.g. 1,100,230-240\n"
    "  --y4m FILE    write every displayed frame as 60 fps Y4M video, gamma applied\n"
    "  --wav FILE    write the music from MOD_Play to the last frame, 44,100 Hz 16-bit stereo\n"
    "  --until N     stop after N frames\n"
    "FILE - for --y4m writes the video to standard output.\n";

bool ParseNumber(const char* s, long long lo, long long hi, long long* out) {
    if (!s || !*s) return false;
    errno = 0;
    char* end;
    long long v = std::strtoll(s, &end, 10);
    if (errno || *end || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool ParseFrames(const std::string& list, std::set<int>* out) {
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t comma = list.find(',', pos);
        std::string item =
            list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        size_t dash = item.find('-');
        long long a, b;
        if (dash == std::string::npos) {
            if (!ParseNumber(item.c_str(), 1, 100000000, &a)) return false;
            b = a;
        } else if (!ParseNumber(item.substr(0, dash).c_str(), 1, 100000000, &a) ||
                   !ParseNumber(item.substr(dash + 1).c_str(), 1, 100000000, &b) || b < a ||
                   b - a > 10000000) {
            return false;
        }
        for (long long f = a; f <= b; ++f)
            out->insert(static_cast<int>(f));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        long long n;
        if (a == "--log" && v) {
            o->log = v;
        } else if (a == "--png" && v) {
            o->pngDir = v;
        } else if (a == "--y4m" && v) {
            o->y4m = v;
        } else if (a == "--wav" && v) {
            o->wav = v;
        } else if (a == "--frames" && v) {
            if (!ParseFrames(v, &o->frames)) return false;
        } else if (a == "--seed" && v && ParseNumber(v, 0, 0x7FFFFFFFFFFFll, &n)) {
            o->seed = n;
        } else if (a == "--until" && v && ParseNumber(v, 1, 100000000, &n)) {
            o->until = static_cast<int>(n);
        } else {
            return false;
        }
        ++i;
    }
    return o->pngDir.empty() == o->frames.empty();
}

// The displayed picture as 8-bit RGB rows, gamma applied.
void DisplayedRgb(const qrxhost::DisplayedFrame& f, std::vector<uint8_t>* rgb) {
    rgb->resize(static_cast<size_t>(f.width) * f.height * 3);
    uint8_t* out = rgb->data();
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            uint32_t c = qrxhost::DisplayColor(
                f.pixels[static_cast<ptrdiff_t>(y) * f.pitchPixels + x], f.ramp);
            *out++ = static_cast<uint8_t>(c >> 16);
            *out++ = static_cast<uint8_t>(c >> 8);
            *out++ = static_cast<uint8_t>(c);
        }
}

bool WritePng(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
    FILE* fp = std::fopen(path.c_str(), "wb");
    if (!fp) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, fp);
        png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < h; ++y)
            png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<size_t>(y) * w * 3));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(fp) == 0 && ok;
}

// BT.601 studio range, 4:4:4, so that no colour detail of the pixel art is lost.
void WriteY4mFrame(FILE* fp, const std::vector<uint8_t>& rgb, std::vector<uint8_t>* planes) {
    const size_t n = rgb.size() / 3;
    planes->resize(n * 3);
    uint8_t *Y = planes->data(), *U = Y + n, *V = U + n;
    for (size_t i = 0; i < n; ++i) {
        int r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        Y[i] = static_cast<uint8_t>(16 + ((66 * r + 129 * g + 25 * b + 128) >> 8));
        U[i] = static_cast<uint8_t>(128 + ((-38 * r - 74 * g + 112 * b + 128) >> 8));
        V[i] = static_cast<uint8_t>(128 + ((112 * r - 94 * g - 18 * b + 128) >> 8));
    }
    std::fputs("FRAME\n", fp);
    std::fwrite(planes->data(), 1, planes->size(), fp);
}

// The music as the library plays it: the same module bytes through the same replayer with the
// options MOD_Init asks for, sample n belonging to virtual time tPlay + n / 44,100 s. The
// library's own output is silenced in the capture; this renders its stream offline instead.
struct MusicTrack {
    static constexpr unsigned kRate = 44100; // BASS_Init's frequency in MOD_Init
    static constexpr unsigned kFlags = 5;    // BASS_MusicLoad's flags in MOD_Init: ramp, loop
    qrx_mod::Module module;
    qrx_mod::Replayer replayer;
    qrx_mod::WavWriter wav;
    bool loaded = false, playing = false;
    int64_t playCount = 0, firstFlip = -1;
    uint64_t frames = 0;
    int16_t buffer[4096 * 2];
};

// The module as MOD_Init finds it: the "MOD1" resource, its size taken from its own header.
void MusicTrack_Load(MusicTrack* t) {
    HRSRC info = FindResourceA(nullptr, "MOD1", "MODULES");
    const void* bytes = info ? LockResource(LoadResource(nullptr, info)) : nullptr;
    t->loaded = bytes && qrx_mod::Module_Load(static_cast<const uint8_t*>(bytes), 0, &t->module);
}

// MOD_Play is the last start-up step, and the Sleep that follows it is the only Sleep of the
// program, so the counter at that Sleep is the counter at MOD_Play. A module that failed to
// load (g_hMusic 0) is never played.
void MusicTrack_OnCall(MusicTrack* t, const char* name) {
    if (t->playing || !t->loaded || g_hMusic == 0 || std::strcmp(name, "Sleep") != 0) return;
    qrx_mod::Options options;
    options.rate = MusicTrack::kRate;
    options.ramping = (MusicTrack::kFlags & 1) != 0;
    options.loop = (MusicTrack::kFlags & 4) != 0;
    qrx_mod::Replayer_Init(&t->replayer, &t->module, options);
    t->playCount = qrxhost::Counter();
    t->playing = true;
}

// Renders up to the current virtual time.
void MusicTrack_Advance(MusicTrack* t) {
    if (!t->playing) return;
    if (t->firstFlip < 0) t->firstFlip = qrxhost::Counter() - t->playCount;
    const uint64_t ticks = static_cast<uint64_t>(qrxhost::Counter() - t->playCount);
    const uint64_t hz = static_cast<uint64_t>(qrxhost::CounterFrequency());
    const uint64_t due =
        hz ? ticks / hz * MusicTrack::kRate + ticks % hz * MusicTrack::kRate / hz : 0;
    while (t->frames < due) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(due - t->frames, 4096));
        size_t got = qrx_mod::Replayer_Render(&t->replayer, t->buffer, n);
        for (size_t i = got * 2; i < n * 2; ++i)
            t->buffer[i] = 0;
        qrx_mod::Wav_Write(&t->wav, t->buffer, n);
        t->frames += n;
    }
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!ParseOptions(argc, argv, &opt)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    FILE* log = nullptr;
    if (!opt.log.empty() && !(log = std::fopen(opt.log.c_str(), "w"))) {
        std::fprintf(stderr, "qrx-capture: cannot write %s\n", opt.log.c_str());
        return 1;
    }
    FILE* y4m = nullptr;
    if (!opt.y4m.empty()) {
        if (opt.y4m == "-") {
            y4m = stdout;
        } else if (!(y4m = std::fopen(opt.y4m.c_str(), "wb"))) {
            std::fprintf(stderr, "qrx-capture: cannot write %s\n", opt.y4m.c_str());
            return 1;
        }
        std::fputs("YUV4MPEG2 W640 H480 F60:1 Ip A1:1 C444\n", y4m);
    }
    if (log) std::fputs("frame,scene,seconds,gamma,crc32\n", log);
    static MusicTrack music; // large; one per process
    if (!opt.wav.empty()) {
        if (!qrx_mod::Wav_Open(&music.wav, opt.wav.c_str(), MusicTrack::kRate)) {
            std::fprintf(stderr, "qrx-capture: cannot write %s\n", opt.wav.c_str());
            return 1;
        }
        MusicTrack_Load(&music);
        qrxhost::OnCall([](const char* name) { MusicTrack_OnCall(&music, name); });
    }
    // The music is rendered here instead; the library's own output plays silence, and opens
    // no audio device.
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    qrxhost::SetCalendarTime(static_cast<time_t>(opt.seed));
    // A frame begins where the previous one flipped: the scene changes only inside frames.
    // The seconds change only through timer messages, which are never handled inside a frame,
    // so their value at the flip is their value when the frame began.
    unsigned sceneAtBegin = g_Scene;
    int frames = 0, pngs = 0;
    bool failed = false;
    std::vector<uint8_t> rgb, planes;
    qrxhost::OnFlip([&](int frame) {
        if (opt.until && frame > opt.until) return;
        qrxhost::DisplayedFrame f = qrxhost::Displayed();
        frames = frame;
        if (music.wav.file) MusicTrack_Advance(&music);
        if (log) {
            uint32_t crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
            for (int y = 0; y < f.height; ++y)
                crc = static_cast<uint32_t>(
                    crc32(crc,
                          reinterpret_cast<const Bytef*>(f.pixels +
                                                         static_cast<ptrdiff_t>(y) * f.pitchPixels),
                          static_cast<uInt>(f.width * 2)));
            char gamma[16] = "none";
            if (f.ramp) std::snprintf(gamma, sizeof gamma, "%u", f.ramp->red[1]);
            std::fprintf(log, "%d,%u,%u,%s,%08x\n", frame, sceneAtBegin, g_Seconds, gamma, crc);
        }
        bool png = opt.frames.count(frame) != 0;
        if (png || y4m) DisplayedRgb(f, &rgb);
        if (png) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
            if (WritePng(opt.pngDir + name, f.width, f.height, rgb))
                ++pngs;
            else
                failed = true;
        }
        if (y4m) WriteY4mFrame(y4m, rgb, &planes);
        sceneAtBegin = g_Scene;
        if (frame % 100 == 0) std::fprintf(stderr, "\rframe %d, scene %u", frame, g_Scene);
        if (opt.until && frame == opt.until) qrxhost::RequestClose();
    });
    // Nothing else would wake a blocked message loop in virtual mode: end the show.
    qrxhost::OnIdle([] { qrxhost::RequestClose(); });

    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), 1);

    if (log && std::fclose(log) != 0) failed = true;
    if (y4m && std::fclose(y4m) != 0) failed = true;
    if (music.wav.file && !qrx_mod::Wav_Close(&music.wav)) failed = true;
    if (frames >= 100) std::fputc('\n', stderr);
    for (const auto& box : qrxhost::MessageBoxes()) {
        std::string text = box.text;
        for (char& c : text)
            if (c == '\n') c = ' ';
        std::fprintf(stderr, "message box: %s\n", text.c_str());
    }
    std::fprintf(stderr, "qrx-capture: %d frames, last scene %u, %d pictures, exit code %d%s\n",
                 frames, g_Scene, pngs, code, failed ? ", WRITE ERRORS" : "");
    // The music's start relative to the first frame, for putting the two together.
    if (!opt.wav.empty())
        std::fprintf(stderr,
                     "qrx-capture: wav: %llu samples from MOD_Play; frame 1 at %lld ticks "
                     "of %lld Hz after it\n",
                     static_cast<unsigned long long>(music.frames),
                     static_cast<long long>(music.firstFlip),
                     static_cast<long long>(qrxhost::CounterFrequency()));
    return failed ? 1 : 0;
}
