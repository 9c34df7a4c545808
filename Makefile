# The two commands a new user needs: `make run` and `make test`. Both install what is missing.
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
BUILD := build/release
ASAN := build/asan
WIN := build/windows

.PHONY: run test build asan windows test-windows video deps-run deps-test clean

run: deps-run build
	$(BUILD)/qrx-intro

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

asan:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQRX_SANITIZE=ON -DQRX_BENCHMARKS=OFF >/dev/null
	cmake --build $(ASAN) -j $(JOBS)

windows:
	@scripts/deps.sh windows
	cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WIN) -j $(JOBS)
	@echo "Built $(WIN)/QRXIntro.exe"

# The Windows program under Wine on a private Xvfb screen (installs wine, Xvfb, xdotool).
test-windows: windows
	scripts/test-windows.sh

# The whole show with its music as build/video/qrx-intro.mp4, for a machine without a display
# (installs ffmpeg).
video:
	@scripts/deps.sh video
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qrx-capture
	scripts/video.sh $(BUILD)

test: deps-test build asan windows test-windows
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(ASAN) -j $(JOBS) --output-on-failure

# The libFuzzer targets (module, sheet bitmap) under ASan and UBSan, FUZZ_SECONDS each (60).
fuzz:
	FUZZ_SECONDS=$(or $(FUZZ_SECONDS),60) scripts/fuzz.sh

deps-run:
	@scripts/deps.sh run

deps-test:
	@scripts/deps.sh run test

clean:
	rm -rf build
