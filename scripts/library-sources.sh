# Shared by the scripts that build the C libraries for another target (the web
# page, Windows) from Debian's own source packages of the installed versions.
# Sourced with $cache (the cache folder), $jobs and a say function set; sources
# come through a private apt folder with deb-src copies of the machine's
# configured Debian sources, and the system's own sources are never changed.

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
    { say "$1 is not installed (scripts/install-deps.sh installs it)"; exit 1; }
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


# The files each library is made of, listed from its unpacked source folder.
zlib_sources() {
  ls "$1"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c
}
# libpng's files with its shipped default configuration put in place.
png_sources() {
  cp "$1/scripts/pnglibconf.h.prebuilt" "$1/pnglibconf.h"
  ls "$1"/png{,error,get,mem,pread,read,rio,rtran,rutil,set,trans,wio,write,wtran,wutil}.c
}
# libopenmpt's C++ files as its Makefile.am lists them, with no optional
# decoders (the module is plain XM).
openmpt_sources() {
  sed -nE -e 's#^MPT_FILES_(SRC_MPT|SRC_OPENMPT|COMMON|SOUNDBASE|SOUNDLIB|SOUNDDSP) \+= (.*\.cpp)$#'"$1"'/\2#p' \
    -e 's#^libopenmpt_la_SOURCES \+= (libopenmpt/.*\.cpp)$#'"$1"'/\1#p' "$1/Makefile.am"
}
# The flags libopenmpt's own files need.
openmpt_flags() { echo "-std=c++17 -DLIBOPENMPT_BUILD -I$1 -I$1/src -I$1/common -I$1/build/svn_version"; }
# Puts a library's public headers into the prefix.
install_headers() {
  local kind=$1 src=$2 prefix=$3
  case "$kind" in
    zlib) cp "$src"/zlib.h "$src"/zconf.h "$prefix/include/" ;;
    png) cp "$src"/png.h "$src"/pngconf.h "$src"/pnglibconf.h "$prefix/include/" ;;
    openmpt)
      mkdir -p "$prefix/include/libopenmpt"
      cp "$src"/libopenmpt/libopenmpt{,_config,_version,_ext}.h "$src"/libopenmpt/libopenmpt{,_ext}.hpp \
        "$prefix/include/libopenmpt/"
      ;;
  esac
}

# Reads the installed versions of the four libraries into sdl_name, sdl_version,
# mpt_*, png_* and zlib_*, and sets prefix to their folder in the cache, named by
# `tag` (the compiler and its version) and every library's version. A complete
# folder is printed and the script ends there; otherwise a fresh one is made and
# `what` libraries are said to be built into it.
begin_prefix() {
  local tag=$1 what=$2
  read -r sdl_name sdl_version < <(installed_source libsdl2-dev)
  read -r mpt_name mpt_version < <(installed_source libopenmpt-dev)
  read -r png_name png_version < <(installed_source libpng-dev)
  read -r zlib_name zlib_version < <(installed_source zlib1g-dev)
  prefix=$cache/${tag}_${sdl_name}-${sdl_version#*:}_${mpt_name}-${mpt_version#*:}_${png_name}-${png_version#*:}_${zlib_name}-${zlib_version#*:}
  if [ -e "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
  say "building the $what libraries into $prefix (once per version)"
  started=$(date +%s)
  rm -rf "$prefix" "$cache/objects"
  mkdir -p "$prefix/include" "$prefix/lib" "$cache/objects"
}

# Marks the folder complete, with the time the build took, and prints it.
finish_prefix() {
  rm -rf "$cache/objects"
  echo "$(($(date +%s) - started)) s" >"$prefix/.complete"
  say "built in $(cat "$prefix/.complete")"
  echo "$prefix"
}
