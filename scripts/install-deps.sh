#!/usr/bin/env bash
# Installs the Debian packages a job needs, when any is missing.
#   scripts/install-deps.sh play   build and play the demo
#   scripts/install-deps.sh test   also the test suite (GoogleTest, an X server, xdotool, Python, pmccabe)
#   scripts/install-deps.sh ci     also the static checks (cppcheck, clang-format) and the web build's test
#   scripts/install-deps.sh web    build the web page (Emscripten)
#   scripts/install-deps.sh web-test  also test it (Chromium)
#   scripts/install-deps.sh windows   cross-build the Windows program (mingw-w64)
#   scripts/install-deps.sh windows-test  also run it (Wine, an X server, xdotool)
set -euo pipefail
job=${1:-play}
packages=(build-essential cmake pkg-config libsdl2-dev libopenmpt-dev libpng-dev zlib1g-dev console-setup-linux
          libfreetype-dev fonts-dejavu-core
          libavformat-dev libavcodec-dev libavutil-dev libswscale-dev)
case "$job" in
  play) ;;
  test) packages+=(libgtest-dev xvfb xauth xdotool desktop-file-utils appstream man-db ffmpeg python3 pmccabe) ;;
  ci) packages+=(libgtest-dev xvfb xauth xdotool desktop-file-utils appstream man-db ffmpeg python3 pmccabe cppcheck
                 clang-format
                 emscripten chromium dpkg-dev) ;;
  web) packages+=(emscripten dpkg-dev) ;;
  web-test) packages+=(emscripten dpkg-dev chromium) ;;
  windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev) ;;
  windows-test) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev wine64 wine xvfb xauth
                           xdotool ffmpeg unzip) ;;
  *)
    echo "usage: $0 play|test|ci|web|web-test|windows|windows-test" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
