// Offline render speed of the intro's module: our replayer and libopenmpt side by side, each
// rendering the whole song at 44,100 Hz stereo 16-bit without interpolation or ramping.
#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "replayer.h"

namespace {

const std::vector<uint8_t>& Bytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream in(QRX_MODULE_FILE, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

void BM_OurReplayer(benchmark::State& state) {
    static qrx_mod::Module module;
    qrx_mod::Module_Load(Bytes().data(), Bytes().size(), &module);
    std::vector<int16_t> buffer(4096 * 2);
    size_t frames = 0;
    for (auto _ : state) {
        qrx_mod::Replayer r;
        qrx_mod::Options o;
        o.loop = false;
        qrx_mod::Replayer_Init(&r, &module, o);
        while (size_t n = qrx_mod::Replayer_Render(&r, buffer.data(), 4096))
            frames += n;
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}

void BM_Libopenmpt(benchmark::State& state) {
    std::vector<int16_t> buffer(4096 * 2);
    size_t frames = 0;
    for (auto _ : state) {
        openmpt_module* m =
            openmpt_module_create_from_memory2(Bytes().data(), Bytes().size(), nullptr, nullptr,
                                               nullptr, nullptr, nullptr, nullptr, nullptr);
        openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
        openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 0);
        openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT, 200);
        while (size_t n = openmpt_module_read_interleaved_stereo(m, 44100, 4096, buffer.data()))
            frames += n;
        openmpt_module_destroy(m);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_OurReplayer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libopenmpt)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
