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

apt_dir=$cache/apt
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "APT::Sandbox::User=root"
          -o "Debug::NoLocking=1")
apt_ready=false
prepare_apt() {
  $apt_ready && return
  rm -rf "$apt_dir/sources.list.d"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && sed -nE 's/^deb[[:space:]]+/deb-src /p' "$f" >"$apt_dir/sources.list.d/$(basename "$f" .list)-src.list"
  done
  apt-get "${apt_opts[@]}" update -qq >&2
  apt_ready=true
}

# The source package behind an installed binary package, as "name version".
installed_source() {
  dpkg-query -W -f='${source:Package} ${source:Version}\n' "$1" 2>/dev/null ||
    { say "$1 is not installed (scripts/install-deps.sh web installs it)"; exit 1; }
}

# Unpacks a source package into $cache/src and prints the folder. Debian's mirror
# may no longer hold the installed revision (a security update replaced it):
# then the newest revision it can deliver is taken.
unpack_source() {
  local name=$1 version=$2 work=$cache/src/$1
  local upstream=${version#*:}
  upstream=${upstream%-*}
  local found
  found=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name "*-${upstream}*" 2>/dev/null | head -1)
  if [ -z "$found" ]; then
    prepare_apt
    rm -rf "$work" && mkdir -p "$work"
    local candidate
    for candidate in "$version" $(apt-cache "${apt_opts[@]}" showsrc "$name" | sed -n 's/^Version: //p' | sort -Vru); do
      [ "$candidate" = "$version" ] || say "$name $version is not on the mirror; trying $candidate"
      (cd "$work" && apt-get "${apt_opts[@]}" source -qq "$name=$candidate" >/dev/null 2>&1) && break
    done
    found=$(find "$work" -maxdepth 1 -mindepth 1 -type d | head -1)
  fi
  echo "$found"
}

# Compiles the listed sources in parallel into $2/*.o with the flags after "--".
compile_all() {
  local list=$1 objects=$2
  shift 2
  mkdir -p "$objects"
  # shellcheck disable=SC2016
  xargs -a "$list" -P "$jobs" -I{} bash -c 'out="$0/$(tr / _ <<<"$1").o"; [ -e "$out" ] || "${@:2}" -c "$1" -o "$out"' \
    "$objects" {} "$@"
}

em_version=$(emcc --version | head -1 | sed -E 's/.* ([0-9]+\.[0-9]+\.[0-9]+).*/\1/')
read -r sdl_name sdl_version < <(installed_source libsdl2-dev)
read -r mpt_name mpt_version < <(installed_source libopenmpt-dev)
read -r png_name png_version < <(installed_source libpng-dev)
read -r zlib_name zlib_version < <(installed_source zlib1g-dev)
key="em${em_version}_${sdl_name}-${sdl_version#*:}_${mpt_name}-${mpt_version#*:}_${png_name}-${png_version#*:}_${zlib_name}-${zlib_version#*:}"
prefix=$cache/$key
if [ -e "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi
say "building the WebAssembly libraries into $prefix (once per version)"
started=$(date +%s)
rm -rf "$prefix" "$cache/objects"
mkdir -p "$prefix/include" "$prefix/lib" "$cache/objects"
common=(-O2 -DNDEBUG)

# zlib: its plain C files.
src=$(unpack_source "$zlib_name" "$zlib_version")
ls "$src"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c >"$cache/objects/zlib.list"
compile_all "$cache/objects/zlib.list" "$cache/objects/zlib" emcc "${common[@]}" -DHAVE_UNISTD_H -DHAVE_STDARG_H
emar rcs "$prefix/lib/libz.a" "$cache/objects/zlib"/*.o
cp "$src"/zlib.h "$src"/zconf.h "$prefix/include/"
say "zlib done"

# libpng: the library's files with its shipped default configuration.
src=$(unpack_source "$png_name" "$png_version")
cp "$src/scripts/pnglibconf.h.prebuilt" "$src/pnglibconf.h"
ls "$src"/png{,error,get,mem,pread,read,rio,rtran,rutil,set,trans,wio,write,wtran,wutil}.c >"$cache/objects/png.list"
compile_all "$cache/objects/png.list" "$cache/objects/png" emcc "${common[@]}" -I"$prefix/include" -DPNG_ARM_NEON_OPT=0
emar rcs "$prefix/lib/libpng.a" "$cache/objects/png"/*.o
cp "$src"/png.h "$src"/pngconf.h "$src"/pnglibconf.h "$prefix/include/"
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
sed -nE -e 's#^MPT_FILES_(SRC_MPT|SRC_OPENMPT|COMMON|SOUNDBASE|SOUNDLIB|SOUNDDSP) \+= (.*\.cpp)$#'"$src"'/\2#p' \
  -e 's#^libopenmpt_la_SOURCES \+= (libopenmpt/.*\.cpp)$#'"$src"'/\1#p' "$src/Makefile.am" >"$cache/objects/openmpt.list"
compile_all "$cache/objects/openmpt.list" "$cache/objects/openmpt" em++ "${common[@]}" -std=c++17 -DLIBOPENMPT_BUILD \
  -I"$src" -I"$src/src" -I"$src/common" -I"$src/build/svn_version" -Wno-deprecated-declarations -Wno-#pragma-messages
emar rcs "$prefix/lib/libopenmpt.a" "$cache/objects/openmpt"/*.o
mkdir -p "$prefix/include/libopenmpt"
cp "$src"/libopenmpt/libopenmpt{,_config,_version,_ext}.h "$src"/libopenmpt/libopenmpt{,_ext}.hpp "$prefix/include/libopenmpt/"
say "libopenmpt done"

rm -rf "$cache/objects"
echo "$(($(date +%s) - started)) s" >"$prefix/.complete"
say "built in $(cat "$prefix/.complete")"
echo "$prefix"
