#!/usr/bin/env bash
# Renders the whole show with its music to build/video/qrx-intro.mp4 (H.264 + AAC), from the
# capture tool's virtual run. Usage: scripts/video.sh [BUILD_DIR]   (default build/release)
# VIDEO_FRAMES=N stops after N frames (a short preview).
set -euo pipefail
cd "$(dirname "$0")/.."
capture=${1:-build/release}/tools/capture/qrx-capture
out=build/video
until=()
if [ -n "${VIDEO_FRAMES:-}" ]; then until=(--until "$VIDEO_FRAMES"); fi
mkdir -p "$out"

# Pass 1: the music from MOD_Play to the last frame, the number of frames, and where frame 1
# falls after MOD_Play. The run is deterministic, so pass 2 shows the very same frames.
echo "Pass 1 of 2: the music"
"$capture" "${until[@]}" --wav "$out/qrx-intro.wav" 2> >(tee "$out/capture-audio.log" >&2)
summary=$(tr '\r' '\n' < "$out/capture-audio.log")
frames=$(sed -n 's/^qrx-capture: \([0-9]*\) frames.*/\1/p' <<< "$summary")
ticks=$(sed -n 's/.*frame 1 at \([0-9]*\) ticks of \([0-9]*\) Hz.*/\1 \2/p' <<< "$summary")
if [ -z "$frames" ] || [ -z "$ticks" ] || grep -q "WRITE ERRORS" <<< "$summary"; then
  echo "The capture did not complete; see $out/capture-audio.log" >&2
  exit 1
fi
# The music starts before the first frame (the start-up waits five seconds after MOD_Play):
# the video begins with `pad` black frames, and the music is delayed by what is left over, so
# that every sample keeps its place on the show's clock.
read -r pad delay <<< "$(awk -v t="${ticks% *}" -v f="${ticks#* }" 'BEGIN {
  p = int((t * 60 + f - 1) / f); printf "%d %d\n", p, int((p * f / 60 - t) * 44100 / f + 0.5) }')"
total=$((frames + pad))

# Pass 2: every frame straight into the encoder, no temporary video file.
echo "Pass 2 of 2: the video ($frames frames, music from frame $pad minus $delay samples)"
"$capture" "${until[@]}" --y4m - 2> "$out/capture-video.log" |
  ffmpeg -hide_banner -loglevel error -nostdin -nostats -y \
    -f yuv4mpegpipe -i - -i "$out/qrx-intro.wav" \
    -filter_complex "[0:v]tpad=start=$pad:color=black,format=yuv420p[v];[1:a]adelay=delays=${delay}S:all=1[a]" \
    -map "[v]" -map "[a]" -c:v libx264 -preset veryfast -crf 16 -tune animation \
    -colorspace smpte170m -color_primaries smpte170m -color_trc smpte170m -color_range tv \
    -c:a aac -b:a 192k -movflags +faststart -progress pipe:1 "$out/qrx-intro.mp4" |
  awk -v total="$total" -F= '$1 == "frame" {
      n = $2 + 0; w = 40; k = int(n * w / total); if (k > w) k = w
      bar = ""; for (i = 0; i < w; i++) bar = bar (i < k ? "#" : "-")
      printf "\r[%s] %3d%% frame %d/%d", bar, int(n * 100 / total), n, total > "/dev/stderr"
      fflush("/dev/stderr") }
    END { printf "\n" > "/dev/stderr" }'
if ! grep -q "exit code 0$" "$out/capture-video.log"; then
  echo "The capture did not complete; see $out/capture-video.log" >&2
  exit 1
fi
echo "The video is $(pwd)/$out/qrx-intro.mp4"
