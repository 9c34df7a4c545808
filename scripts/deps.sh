#!/bin/sh
# Installs the Debian packages the build and the tests need, skipping what is already there.
# Usage: scripts/deps.sh [run|test|windows|video|fuzz]...
set -eu

want="cmake g++ make pkg-config libsdl2-dev zlib1g-dev libpng-dev libfreetype-dev fonts-dejavu-core fonts-league-spartan"
for goal in "$@"; do
  case "$goal" in
    run) ;;
    test) want="$want googletest libgtest-dev libbenchmark-dev libopenmpt-dev g++-mingw-w64-i686 openmpt123 xmp xvfb xauth" ;;
    windows) want="$want g++-mingw-w64-i686" ;;
    wine) want="$want g++-mingw-w64-i686 wine wine32 libgl1:i386 libgl1-mesa-dri:i386 libgl1-mesa-dri xvfb xauth x11-apps xdotool" ;;
    video) want="$want ffmpeg" ;;
    fuzz) want="$want clang libclang-rt-14-dev" ;;
  esac
done

missing=""
for p in $want; do
  case "$p" in
    wine32) pkg="wine32:i386" ;;
    *) pkg="$p" ;;
  esac
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
echo "Installing:$missing"
case " $missing " in
  *" wine32 "*)
    if ! dpkg --print-foreign-architectures | grep -q i386; then
      $SUDO dpkg --add-architecture i386
    fi ;;
esac
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
