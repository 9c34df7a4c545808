#!/bin/sh
# Runs the 32-bit Windows build under Wine on a private Xvfb screen of 640x480x16 and checks:
#   1. the program starts (its window appears) and shows no message box;
#   2. frames are displayed (a screenshot taken after the first fade-in is not black);
#   3. Esc closes it with exit code 0;
#   4. the music played: the sound sent to the (null) sound device is 16-bit PCM, not silent;
#   5. the run leaves one "bas" file, holding our music library, in Wine's temporary folder;
#   6. a build without the sheet "IDB_BITMAP3" shows "Couldnt load Gfx Bitmap", and Return on
#      that box ends it with exit code 0.
# Usage: scripts/test-windows.sh [EXE [NOSHEET_EXE]]   (default: the builds in build/windows)
# Before running, it checks the build: a 32-bit program that imports only system DLLs, with its
# resources, and bass.dll exporting the five functions by their plain names.
# Installs what it needs (scripts/deps.sh wine); works as root and with no display of its own.
set -eu

cd "$(dirname "$0")/.."
ROOT=$(pwd)
WORK=$ROOT/build/wine
LOG=$WORK/logs
# Seconds after the window appears: 5 s pause, then 233 fade-in frames, done near 9 s.
SHOT_AT=${QRX_SHOT_AT:-15}

step() { printf '== %s\n' "$*"; }
pass() { printf '   ok: %s\n' "$*"; }
fail() {
  printf '   FAILED: %s\n' "$*" >&2
  exit 1
}

# Whatever way this script ends, the program, the wineserver and Xvfb end with it.
XVFB_PID=""
APP_PID=""
cleanup() {
  status=$?
  trap - EXIT INT TERM HUP
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null || true; fi
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    timeout 20 wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  if [ "$status" -eq 0 ]; then step "test-windows: all checks passed"; else
    printf '== test-windows: FAILED (logs in %s)\n' "$LOG" >&2
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Polls "$2..." every half second until it succeeds or $1 seconds have passed.
wait_for() {
  limit=$1
  shift
  tries=$((limit * 2))
  while [ "$tries" -gt 0 ]; do
    if "$@"; then return 0; fi
    sleep 0.5
    tries=$((tries - 1))
  done
  return 1
}

# Waits up to $1 seconds for the background program to end; sets APP_RC.
wait_exit() {
  if wait_for "$1" app_gone; then
    APP_RC=0
    wait "$APP_PID" || APP_RC=$?
    APP_PID=""
    return 0
  fi
  return 1
}
app_gone() { ! kill -0 "$APP_PID" 2>/dev/null; }

# The ids of the X windows titled "QRX Intro 2k" (the intro's window and its message boxes).
qrx_windows() { xdotool search --name '^QRX Intro 2k$' 2>/dev/null || true; }
has_window() { [ -n "$(qrx_windows)" ]; }
log_has() { grep -q "$2" "$1" 2>/dev/null; }

# The message box texts Wine traces on its msgbox channel.
boxes() { grep 'msgbox:MSGBOX_OnInit' "$1" 2>/dev/null | sed 's/.*MSGBOX_OnInit //' || true; }

bas_files() { find "$TEMP_DIR" -maxdepth 1 -iname 'bas*.tmp' -type f 2>/dev/null | sort; }

# ---------------------------------------------------------------------------------------------
step "Packages (scripts/deps.sh wine)"
scripts/deps.sh wine

EXE=${1:-}
NOSHEET_EXE=${2:-}
if [ -z "$EXE" ]; then
  step "Building the Windows program and its variant without the sheet"
  [ -f build/windows/CMakeCache.txt ] || make -s windows JOBS="${JOBS:-2}"
  cmake --build build/windows --target QRXIntro QRXIntroNoSheet ddraw_probe -j "${JOBS:-2}" >/dev/null
  EXE=$ROOT/build/windows/QRXIntro.exe
  NOSHEET_EXE=$ROOT/build/windows/QRXIntroNoSheet.exe
fi
[ -f "$EXE" ] || fail "no program at $EXE"
[ -z "$NOSHEET_EXE" ] || [ -f "$NOSHEET_EXE" ] || fail "no program at $NOSHEET_EXE"
abspath() { printf '%s/%s' "$(cd "$(dirname "$1")" && pwd)" "$(basename "$1")"; }
EXE=$(abspath "$EXE")
[ -z "$NOSHEET_EXE" ] || NOSHEET_EXE=$(abspath "$NOSHEET_EXE")
BASS_DLL=$(dirname "$EXE")/bass.dll
PROBE=$(dirname "$EXE")/ddraw_probe.exe

mkdir -p "$WORK" "$LOG"
rm -f "$LOG"/*

# ---------------------------------------------------------------------------------------------
step "The build: imports, exports and resources"
OBJDUMP=i686-w64-mingw32-objdump
WINDRES=i686-w64-mingw32-windres
SYSTEM_DLLS=" ddraw.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll winmm.dll "
imports() { $OBJDUMP -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort -u; }
check_imports() {
  $OBJDUMP -f "$1" | grep -q 'file format pei-i386' || fail "$(basename "$1") is not a 32-bit x86 image"
  for dll in $(imports "$1"); do
    case "$SYSTEM_DLLS" in
      *" $dll "*) ;;
      *) fail "$(basename "$1") needs $dll, which is not part of Windows" ;;
    esac
  done
  pass "$(basename "$1"): i386, imports only $(imports "$1" | tr '\n' ' ')"
}
check_imports "$EXE"
[ -f "$BASS_DLL" ] || fail "no $BASS_DLL"
check_imports "$BASS_DLL"
EXPORTS=$($OBJDUMP -p "$BASS_DLL" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' |
  sort | tr '\n' ' ')
[ "$EXPORTS" = "BASS_Free BASS_Init BASS_MusicLoad BASS_MusicPlay BASS_Start " ] ||
  fail "bass.dll exports \"$EXPORTS\", expected the five BASS functions undecorated"
pass "bass.dll exports $EXPORTS"
resources() { $WINDRES -J coff -O rc -i "$1" | grep -E '^("|[0-9]+ [0-9]+ |1 VERSIONINFO)' | sed 's| /\*.*||'; }
resources "$EXE" >"$LOG/resources.txt"
for r in '"BASS_DLL" "DLL"' '"MOD1" "MODULES"' '"IDB_BITMAP3" 2' '101 14' '1 VERSIONINFO'; do
  grep -qxF "$r" "$LOG/resources.txt" || fail "$(basename "$EXE") lacks the resource $r"
done
pass "resources: sheet, module, library, icon group 101, version record"
if [ -n "$NOSHEET_EXE" ]; then
  ! resources "$NOSHEET_EXE" | grep -q IDB_BITMAP3 || fail "$(basename "$NOSHEET_EXE") holds the sheet"
  pass "$(basename "$NOSHEET_EXE") has no \"IDB_BITMAP3\""
fi
for tool in xwd_check wav_check; do
  c++ -std=c++20 -O2 -Wall -Wextra -Werror -o "$WORK/$tool" "tests/windows/$tool.cpp"
done

# Sound: Wine plays through ALSA, whose default device becomes a null device that records what
# it is given into a WAV file, so the test needs no sound card and hears what was played.
SOUND=$WORK/sound.wav
cat >"$WORK/asound.conf" <<EOF
pcm.!default {
  type file
  slave.pcm "null"
  file "$SOUND"
  format "wav"
}
EOF
ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$WORK/asound.conf
export ALSA_CONFIG_PATH

# ---------------------------------------------------------------------------------------------
step "X server: Xvfb at 640x480x16"
DISPLAY_FILE=$WORK/display
rm -f "$DISPLAY_FILE"
# -displayfd lets the server pick a free display number and report it.
Xvfb -displayfd 9 -screen 0 640x480x16 -nolisten tcp 9>"$DISPLAY_FILE" >"$LOG/xvfb.log" 2>&1 &
XVFB_PID=$!
display_ready() { [ -s "$DISPLAY_FILE" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; }
wait_for 20 display_ready || fail "Xvfb did not start (see $LOG/xvfb.log)"
kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended at once (see $LOG/xvfb.log)"
DISPLAY=:$(tr -d '[:space:]' <"$DISPLAY_FILE")
export DISPLAY
pass "display $DISPLAY"

# ---------------------------------------------------------------------------------------------
step "Wine prefix in $WORK/prefix"
WINEPREFIX=$WORK/prefix
WINEARCH=win32
WINEDEBUG=-all
# No Mono or Gecko installer dialogs (the intro needs neither), no desktop menu entries.
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 300 wineboot -i >"$LOG/wineboot.log" 2>&1 || fail "wineboot failed (see $LOG/wineboot.log)"
fi
timeout 120 wineserver -w || true
wine --version
timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1 ||
  fail "could not choose Wine's ALSA sound driver"
TEMP_WIN=$(timeout 60 wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
TEMP_DIR=$(timeout 60 winepath -u "$TEMP_WIN" 2>/dev/null | tr -d '\r')
TEMP_DIR=${TEMP_DIR%/}
[ -d "$TEMP_DIR" ] || fail "Wine's temporary folder $TEMP_WIN ($TEMP_DIR) does not exist"
pass "temporary folder $TEMP_WIN = $TEMP_DIR"

# ---------------------------------------------------------------------------------------------
if [ -f "$PROBE" ]; then
  step "DirectDraw under Wine: what the display relies on (tests/windows/ddraw_probe.cpp)"
  rm -f "$WORK/ddraw_probe.txt"
  PROBE_RC=0
  (cd "$WORK" && timeout 60 wine "$PROBE" ddraw_probe.txt >"$LOG/ddraw_probe.log" 2>&1) || PROBE_RC=$?
  [ -f "$WORK/ddraw_probe.txt" ] && sed 's/^/   /' "$WORK/ddraw_probe.txt"
  [ "$PROBE_RC" -eq 0 ] || fail "Wine's DirectDraw lacks what the display needs (exit code $PROBE_RC)"
  pass "mode, flip chain, colour keys, fills and flips as the display expects"
fi

# ---------------------------------------------------------------------------------------------
step "Run: $(basename "$EXE")"
bas_files >"$WORK/bas.before"
rm -f "$SOUND"
APP_LOG=$LOG/intro.log
START=$(date +%s)
WINEDEBUG=-all,+msgbox timeout 300 wine "$EXE" >"$APP_LOG" 2>&1 &
APP_PID=$!

wait_for 30 has_window || fail "no window \"QRX Intro 2k\" within 30 s (see $APP_LOG)"
pass "window \"QRX Intro 2k\" is up after $(($(date +%s) - START)) s"
START=$(date +%s)

NOW=$(date +%s)
[ $((NOW - START)) -lt "$SHOT_AT" ] && sleep $((START + SHOT_AT - NOW))
app_gone && fail "the program ended before the screenshot; boxes: $(boxes "$APP_LOG")"
[ -z "$(boxes "$APP_LOG")" ] || fail "message box shown: $(boxes "$APP_LOG")"
pass "no message box"
xwd -root -silent >"$WORK/frame.xwd" || fail "xwd could not take the screenshot"
if "$WORK/xwd_check" "$WORK/frame.xwd" 50 "$WORK/frame.ppm" >"$LOG/frame.txt"; then
  pass "frame $SHOT_AT s after the window appeared: $(cat "$LOG/frame.txt")"
else
  fail "frame at $SHOT_AT s is black: $(cat "$LOG/frame.txt") (picture in $WORK/frame.ppm)"
fi
# The stars move every frame: a second picture a moment later must differ from the first.
sleep 1
xwd -root -silent >"$WORK/frame2.xwd" || fail "xwd could not take the second screenshot"
cmp -s "$WORK/frame.xwd" "$WORK/frame2.xwd" && fail "the picture did not change within 1 s"
pass "the picture changes: frames keep coming"

# Esc goes to the window under the pointer: put it on the intro's full-screen window.
xdotool mousemove 320 240
xdotool key Escape
wait_exit 20 || fail "still running 20 s after Esc"
[ "$APP_RC" -eq 0 ] || fail "exit code $APP_RC after Esc (see $APP_LOG)"
[ -z "$(boxes "$APP_LOG")" ] || fail "message box shown: $(boxes "$APP_LOG")"
pass "Esc closed it with exit code 0"

[ -f "$SOUND" ] || fail "the program opened no sound device"
if "$WORK/wav_check" "$SOUND" 1 >"$LOG/sound.txt"; then
  pass "music played: $(cat "$LOG/sound.txt")"
else
  fail "no music: $(cat "$LOG/sound.txt") (recording in $SOUND)"
fi
rm -f "$SOUND"

bas_files >"$WORK/bas.after"
NEW=$(comm -13 "$WORK/bas.before" "$WORK/bas.after")
COUNT=$(printf '%s' "$NEW" | grep -c . || true)
[ "$COUNT" -eq 1 ] || fail "$COUNT new \"bas\" files in $TEMP_DIR, expected 1: $NEW"
if [ -f "$BASS_DLL" ]; then
  cmp -s "$NEW" "$BASS_DLL" || fail "$NEW does not hold $BASS_DLL"
  pass "one new file $(basename "$NEW") in the temporary folder, identical to bass.dll"
else
  pass "one new file $(basename "$NEW") in the temporary folder"
fi

# ---------------------------------------------------------------------------------------------
if [ -n "$NOSHEET_EXE" ]; then
  step "Run: $(basename "$NOSHEET_EXE") (no \"IDB_BITMAP3\")"
  bas_files >"$WORK/bas.before"
  APP_LOG=$LOG/nosheet.log
  WINEDEBUG=-all,+msgbox timeout 120 wine "$NOSHEET_EXE" >"$APP_LOG" 2>&1 &
  APP_PID=$!
  box_up() { [ -n "$(boxes "$APP_LOG")" ] || app_gone; }
  wait_for 30 box_up || fail "no message box within 30 s (see $APP_LOG)"
  [ "$(boxes "$APP_LOG")" = 'L"Couldnt load Gfx Bitmap"' ] ||
    fail "expected only \"Couldnt load Gfx Bitmap\", got: $(boxes "$APP_LOG")"
  pass "message box \"Couldnt load Gfx Bitmap\""
  # The box is centred on the screen; the pointer there sends Return to it.
  wait_for 10 has_window || fail "the message box has no X window"
  sleep 1
  xdotool mousemove 320 240
  xdotool key Return
  wait_exit 20 || fail "still running 20 s after Return on the message box"
  [ "$APP_RC" -eq 0 ] || fail "exit code $APP_RC after the message box (see $APP_LOG)"
  [ "$(boxes "$APP_LOG" | wc -l)" -eq 1 ] || fail "more than one message box: $(boxes "$APP_LOG")"
  pass "Return closed the box, exit code 0"
  bas_files >"$WORK/bas.after"
  [ "$(comm -13 "$WORK/bas.before" "$WORK/bas.after" | grep -c . || true)" -eq 0 ] ||
    fail "the failed start-up wrote a \"bas\" file"
  pass "no \"bas\" file written"
fi
