// musiclib-wavcompare A.wav B.wav: correlation, best lag and per-second alignment of two
// renders of the same module.
#include <cstdio>

#include "wav_compare.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: musiclib-wavcompare A.wav B.wav\n");
        return 2;
    }
    wavcmp::Wav a, b;
    if (!wavcmp::Read(argv[1], &a) || !wavcmp::Read(argv[2], &b)) {
        std::fprintf(stderr, "musiclib-wavcompare: both files must be 16-bit stereo WAV.\n");
        return 2;
    }
    wavcmp::Result r = wavcmp::Compare(a, b);
    std::printf(
        "frames %zu / %zu  correlation %.5f  best lag %ld (%.5f)  windows at lag 0: %d/%d\n",
        r.framesA, r.framesB, r.correlation, r.bestLag, r.bestCorrelation, r.windowsAtLagZero,
        r.windows);
    return 0;
}
