#!/usr/bin/env bash
# Builds the C libraries the web build links (SDL2, libopenmpt, libpng, zlib) for
# WebAssembly from Debian's own source packages, the versions this machine's
# desktop build uses, as static libraries in a cache outside the checkout:
#   scripts/web-libraries.sh            prints the folder holding include/ and lib/
# The folder's name carries every version, so a second build reuses it, and an
# upgrade of a package or of the compiler builds afresh.
# Sources come through a private apt folder with deb-src copies of the machine's
# configured Debian sources; the system's own sources are never changed.
set -euo pipefail
cache=${VELMORA_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-web}
jobs=$(nproc)
mkdir -p "$cache"
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # where Debian's emscripten finds its Node.js modules

say() { echo "web-libraries: $*" >&2; }
# shellcheck source=scripts/library-sources.sh
source "$(dirname "$0")/library-sources.sh"

em_version=$(emcc --version | head -1 | sed -E 's/.* ([0-9]+\.[0-9]+\.[0-9]+).*/\1/')
begin_prefix "em${em_version}" WebAssembly
common=(-O2 -DNDEBUG)

# zlib: its plain C files.
src=$(unpack_source "$zlib_name" "$zlib_version")
zlib_sources "$src" >"$cache/objects/zlib.list"
compile_all "$cache/objects/zlib.list" "$cache/objects/zlib" emcc "${common[@]}" -DHAVE_UNISTD_H -DHAVE_STDARG_H
emar rcs "$prefix/lib/libz.a" "$cache/objects/zlib"/*.o
install_headers zlib "$src" "$prefix"
say "zlib done"

# libpng: the library's files with its shipped default configuration.
src=$(unpack_source "$png_name" "$png_version")
png_sources "$src" >"$cache/objects/png.list"
compile_all "$cache/objects/png.list" "$cache/objects/png" emcc "${common[@]}" -I"$prefix/include" -DPNG_ARM_NEON_OPT=0
emar rcs "$prefix/lib/libpng.a" "$cache/objects/png"/*.o
install_headers png "$src" "$prefix"
say "libpng done"

# SDL2: its sources straight from the file list, with SDL's own Emscripten
# configuration header (SDL's CMake configure alone takes longer than this).
src=$(unpack_source "$sdl_name" "$sdl_version")
(
  cd "$src"
  ls src/*.c src/{atomic,audio,cpuinfo,dynapi,events,file,haptic,joystick,libm,locale,misc,power,render,sensor,stdlib,thread,timer,video}/*.c \
    src/audio/{disk,dummy,emscripten}/*.c src/filesystem/emscripten/*.c src/haptic/dummy/*.c \
    src/joystick/emscripten/*.c src/loadso/dlopen/*.c src/locale/emscripten/*.c src/misc/emscripten/*.c \
    src/power/emscripten/*.c src/render/software/*.c src/render/opengles2/*.c src/sensor/dummy/*.c \
    src/thread/generic/*.c src/timer/unix/*.c src/video/emscripten/*.c src/video/yuv2rgb/*.c |
    sed "s|^|$src/|"
) >"$cache/objects/sdl.list"
compile_all "$cache/objects/sdl.list" "$cache/objects/sdl" emcc "${common[@]}" -I"$src/include" -Wno-deprecated-declarations
emar rcs "$prefix/lib/libSDL2.a" "$cache/objects/sdl"/*.o
mkdir -p "$prefix/include/SDL2"
cp "$src"/include/*.h "$prefix/include/SDL2/"
say "SDL2 done"

# libopenmpt: the library's C++ files as its Makefile.am lists them, with no
# optional decoders (the module is plain XM).
src=$(unpack_source "$mpt_name" "$mpt_version")
openmpt_sources "$src" >"$cache/objects/openmpt.list"
# shellcheck disable=SC2046
compile_all "$cache/objects/openmpt.list" "$cache/objects/openmpt" em++ "${common[@]}" $(openmpt_flags "$src") \
  -Wno-deprecated-declarations -Wno-#pragma-messages
emar rcs "$prefix/lib/libopenmpt.a" "$cache/objects/openmpt"/*.o
install_headers openmpt "$src" "$prefix"
say "libopenmpt done"

finish_prefix
