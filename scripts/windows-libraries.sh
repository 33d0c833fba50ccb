#!/usr/bin/env bash
# Builds the C libraries the Windows build links (SDL2, libopenmpt, libpng, zlib)
# with mingw-w64 from Debian's own source packages, the versions this machine's
# desktop build uses, as static libraries in a cache outside the checkout:
#   scripts/windows-libraries.sh        prints the folder holding include/ and lib/
# The folder's name carries every version, so a second build reuses it, and an
# upgrade of a package or of the compiler builds afresh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${VELMORA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-windows}
jobs=$(nproc)
mkdir -p "$cache"

say() { echo "windows-libraries: $*" >&2; }
# shellcheck source=scripts/library-sources.sh
source "$here/library-sources.sh"

cc=x86_64-w64-mingw32-gcc-posix
cxx=x86_64-w64-mingw32-g++-posix
ar=x86_64-w64-mingw32-ar
gcc_version=$($cc -dumpversion)
begin_prefix "mingw${gcc_version}" Windows
common=(-O2 -DNDEBUG)

src=$(unpack_source "$zlib_name" "$zlib_version")
zlib_sources "$src" >"$cache/objects/zlib.list"
compile_all "$cache/objects/zlib.list" "$cache/objects/zlib" $cc "${common[@]}" -DHAVE_STDARG_H
$ar rcs "$prefix/lib/libz.a" "$cache/objects/zlib"/*.o
install_headers zlib "$src" "$prefix"
say "zlib done"

src=$(unpack_source "$png_name" "$png_version")
png_sources "$src" >"$cache/objects/png.list"
compile_all "$cache/objects/png.list" "$cache/objects/png" $cc "${common[@]}" -I"$prefix/include"
$ar rcs "$prefix/lib/libpng.a" "$cache/objects/png"/*.o
install_headers png "$src" "$prefix"
say "libpng done"

src=$(unpack_source "$mpt_name" "$mpt_version")
openmpt_sources "$src" >"$cache/objects/openmpt.list"
# shellcheck disable=SC2046
compile_all "$cache/objects/openmpt.list" "$cache/objects/openmpt" $cxx "${common[@]}" $(openmpt_flags "$src") \
  -Wno-deprecated-declarations -Wno-cpp
$ar rcs "$prefix/lib/libopenmpt.a" "$cache/objects/openmpt"/*.o
install_headers openmpt "$src" "$prefix"
say "libopenmpt done"

# SDL2 through its own CMake build: its Windows back ends (window, input, WASAPI
# and DirectSound audio) and the offscreen video driver the tests use.
src=$(unpack_source "$sdl_name" "$sdl_version")
cmake -S "$src" -B "$cache/objects/sdl" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_OFFSCREEN=ON -DSDL_TESTS=OFF >"$cache/objects/sdl.log" 2>&1 || { cat "$cache/objects/sdl.log" >&2; exit 1; }
cmake --build "$cache/objects/sdl" -j"$jobs" >>"$cache/objects/sdl.log" 2>&1 || { tail -40 "$cache/objects/sdl.log" >&2; exit 1; }
cmake --install "$cache/objects/sdl" >>"$cache/objects/sdl.log" 2>&1
say "SDL2 done"

finish_prefix
