// The copy kernels of the DirectDraw stand-in side by side with SDL2's software routines on
// the same RGB565 rectangles: keyed cell copy, keyed writer copy, overlapping strip shift,
// scaled keyed logo copy and the back buffer fill. Ends with the ratio of each pair.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "qrx_ddraw.h"
#include "qrx_host_display.h"

namespace {

LPDIRECTDRAW4 g_dd;
LPDIRECTDRAWSURFACE4 g_sheet, g_back, g_writer, g_strip;
SDL_Surface *s_sheet, *s_back, *s_writer, *s_strip;

LPDIRECTDRAWSURFACE4 Make(int w, int h) {
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = DWORD(w);
    d.dwHeight = DWORD(h);
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    LPDIRECTDRAWSURFACE4 s = nullptr;
    g_dd->CreateSurface(&d, &s, nullptr);
    DDCOLORKEY k = {0, 0};
    s->SetColorKey(DDCKEY_SRCBLT, &k);
    return s;
}

// An SDL surface with the same pixels and the black colour key.
SDL_Surface* Twin(LPDIRECTDRAWSURFACE4 s) {
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
    SDL_Surface* t = SDL_CreateRGBSurfaceWithFormat(0, int(d.dwWidth), int(d.dwHeight), 16,
                                                    SDL_PIXELFORMAT_RGB565);
    for (DWORD y = 0; y < d.dwHeight; ++y)
        std::memcpy(static_cast<uint8_t*>(t->pixels) + y * t->pitch,
                    static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch, d.dwWidth * 2);
    s->Unlock(nullptr);
    SDL_SetColorKey(t, SDL_TRUE, 0);
    return t;
}

void Setup() {
    LPDIRECTDRAW dd;
    DirectDrawCreate(nullptr, &dd, nullptr);
    dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&g_dd));
    dd->Release();
    g_sheet = Make(640, 400);
    g_back = Make(640, 480);
    g_writer = Make(640, 480);
    g_strip = Make(705, 33);
    // The real sheet, as the intro loads it.
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageA(nullptr, "IDB_BITMAP3", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC mem = CreateCompatibleDC(nullptr);
    SelectObject(mem, bmp);
    HDC hdc;
    g_sheet->GetDC(&hdc);
    StretchBlt(hdc, 0, 0, 640, 400, mem, 0, 0, 640, 400, SRCCOPY);
    g_sheet->ReleaseDC(hdc);
    DeleteDC(mem);
    // A writer page: glyph cells of font A over black; the strip: scroller glyphs.
    for (int i = 0; i < 260; ++i) {
        RECT cell = {LONG(32 * (i % 10)), LONG(32 * (i / 10 % 6)), LONG(32 * (i % 10) + 32),
                     LONG(32 * (i / 10 % 6) + 32)};
        g_writer->BltFast(DWORD(32 * (i % 20)), DWORD(32 * (i / 20)), g_sheet, &cell,
                          DDBLTFAST_NOCOLORKEY);
    }
    for (int i = 0; i < 22; ++i) {
        RECT cell = {LONG(32 * i), 288, LONG(32 * i + 32), 320};
        g_strip->BltFast(DWORD(32 * i), 0, g_sheet, &cell, DDBLTFAST_NOCOLORKEY);
    }
    s_sheet = Twin(g_sheet);
    s_back = Twin(g_back);
    s_writer = Twin(g_writer);
    s_strip = Twin(g_strip);
    SDL_SetColorKey(s_strip, SDL_FALSE, 0);
}

void Ours_KeyedCell(benchmark::State& st) {
    RECT r = {608, 352, 640, 384};
    for (auto _ : st)
        g_back->BltFast(300, 200, g_sheet, &r, DDBLTFAST_SRCCOLORKEY);
}
void Sdl_KeyedCell(benchmark::State& st) {
    SDL_Rect r = {608, 352, 32, 32}, d = {300, 200, 32, 32};
    for (auto _ : st)
        SDL_BlitSurface(s_sheet, &r, s_back, &d);
}
void Ours_CallOnly(benchmark::State& st) {
    RECT r = {0, 0, 1, 1};
    for (auto _ : st)
        g_back->BltFast(0, 0, g_strip, &r, DDBLTFAST_NOCOLORKEY);
}
void Ours_KeyedWriter(benchmark::State& st) {
    RECT r = {0, 0, 640, 416};
    for (auto _ : st)
        g_back->BltFast(0, 28, g_writer, &r, DDBLTFAST_SRCCOLORKEY);
}
void Sdl_KeyedWriter(benchmark::State& st) {
    SDL_Rect r = {0, 0, 640, 416}, d = {0, 28, 640, 416};
    for (auto _ : st)
        SDL_BlitSurface(s_writer, &r, s_back, &d);
}
void Ours_StripShift(benchmark::State& st) {
    RECT r = {31, 0, 704, 32};
    for (auto _ : st)
        g_strip->BltFast(29, 0, g_strip, &r, DDBLTFAST_NOCOLORKEY);
}
void Sdl_StripShift(benchmark::State& st) {
    SDL_Rect r = {31, 0, 673, 32}, d = {29, 0, 673, 32};
    for (auto _ : st)
        SDL_BlitSurface(s_strip, &r, s_strip, &d);
}
void Ours_ScaledLogo(benchmark::State& st) {
    RECT s = {0, 194, 534, 288}, d = {21, 131, 619, 349};
    for (auto _ : st)
        g_back->Blt(&d, g_sheet, &s, DDBLT_KEYSRC, nullptr);
}
void Sdl_ScaledLogo(benchmark::State& st) {
    SDL_Rect s = {0, 194, 534, 94}, d = {21, 131, 598, 218};
    for (auto _ : st) {
        SDL_Rect dd = d; // SDL clips it in place
        SDL_BlitScaled(s_sheet, &s, s_back, &dd);
    }
}
void Ours_Fill(benchmark::State& st) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 4;
    for (auto _ : st)
        g_back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
}
void Sdl_Fill(benchmark::State& st) {
    for (auto _ : st)
        SDL_FillRect(s_back, nullptr, 4);
}

// Collects the times of the runs so that each pair can be compared at the end.
class Reporter : public benchmark::ConsoleReporter {
  public:
    // With repetitions the median stands for the pair; otherwise the single run.
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const std::string name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median")
                    times[name] = r.GetAdjustedCPUTime(), medians[name] = true;
            } else if (!medians[name]) {
                times[name] = r.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, bool> medians;
    std::map<std::string, double> times;
};

} // namespace

BENCHMARK(Ours_KeyedCell);
BENCHMARK(Sdl_KeyedCell);
BENCHMARK(Ours_CallOnly);
BENCHMARK(Ours_KeyedWriter);
BENCHMARK(Sdl_KeyedWriter);
BENCHMARK(Ours_StripShift);
BENCHMARK(Sdl_StripShift);
BENCHMARK(Ours_ScaledLogo);
BENCHMARK(Sdl_ScaledLogo);
BENCHMARK(Ours_Fill);
BENCHMARK(Sdl_Fill);

int main(int argc, char** argv) {
    Setup();
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nSDL time / our time (above 1: ours is faster)\n");
    for (const char* name : {"KeyedCell", "KeyedWriter", "StripShift", "ScaledLogo", "Fill"}) {
        auto ours = reporter.times.find(std::string("Ours_") + name),
             sdl = reporter.times.find(std::string("Sdl_") + name);
        if (ours != reporter.times.end() && sdl != reporter.times.end() && ours->second > 0)
            std::printf("  %-12s %6.2f\n", name, sdl->second / ours->second);
    }
    benchmark::Shutdown();
    return 0;
}
// Baseline: the strip shift as bare row moves, without any surface layer around them.
static void Raw_Strip(benchmark::State& st) {
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    g_strip->Lock(nullptr, &d, 0, nullptr);
    g_strip->Unlock(nullptr);
    uint8_t* b = static_cast<uint8_t*>(d.lpSurface);
    for (auto _ : st)
        for (int y = 0; y < 32; ++y)
            std::memmove(b + y * d.lPitch + 58, b + y * d.lPitch + 62, 1346);
}
BENCHMARK(Raw_Strip);
