#!/bin/sh
# Builds the libFuzzer targets with clang, ASan and UBSan in their own build folder and runs
# each for FUZZ_SECONDS (default 60), seeded from our own assets and test modules.
# Usage: scripts/fuzz.sh [target...]   (targets: fuzz_module fuzz_bitmap; default both)
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${FUZZ_SECONDS:-60}
BUILD=${FUZZ_BUILD:-build/fuzz}
JOBS=${JOBS:-2}
TARGETS=${*:-"fuzz_module fuzz_bitmap"}

scripts/deps.sh fuzz
SAN="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# GCC-only attributes of the copy kernels are ignored by clang.
WARN="-Wno-unknown-attributes"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRX_FUZZ=ON \
    -DQRX_BENCHMARKS=OFF -DCMAKE_C_FLAGS="$SAN $WARN -fsanitize=fuzzer-no-link" \
    -DCMAKE_CXX_FLAGS="$SAN $WARN -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="$SAN" -DCMAKE_SHARED_LINKER_FLAGS="$SAN" >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target $TARGETS

for t in $TARGETS; do
    corpus="$BUILD/corpus/$t"
    mkdir -p "$corpus"
    case $t in
    fuzz_module)
        cp assets/module.mod "$corpus/seed-module.mod"
        # The test modules built in code, written out by the music library's tool when present.
        if cmake --build "$BUILD" -j "$JOBS" --target musiclib-testmods >/dev/null 2>&1; then
            "$BUILD/tests/musiclib/musiclib-testmods" "$corpus" >/dev/null 2>&1 || true
        fi
        max=200000 ;;
    fuzz_bitmap)
        # A packed DIB is the bitmap file without its 14-byte file header.
        tail -c +15 assets/sheet.bmp >"$corpus/seed-sheet.dib"
        max=300000 ;;
    esac
    echo "== $t: ${SECONDS_EACH}s"
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$BUILD/tests/fuzz/$t" -max_total_time="$SECONDS_EACH" -max_len="$max" \
        -print_final_stats=1 -artifact_prefix="$BUILD/$t-" "$corpus" 2>&1 |
        grep -E '^(stat::number_of_executed_units|stat::peak_rss|==|SUMMARY|INFO: (Seed|Running)|#[0-9]+ +DONE)' || true
    # A finding leaves a crash-*, leak-*, oom-* or timeout-* file next to the corpus.
    if ls "$BUILD/$t-"* >/dev/null 2>&1; then
        echo "FINDING in $t:"; ls "$BUILD/$t-"*; exit 1
    fi
done
