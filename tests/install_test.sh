#!/usr/bin/env bash
# Installs the build into a fresh prefix and plays from an empty folder: the
# installed program finds its installed data and draws what the build draws. The
# manual page, the desktop entry and --help are checked on the way.
# Usage: install_test.sh BUILD_DIR
set -u
build=$(realpath "$1")
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for f in bin/velmora lib/velmora/velmora-record.so share/velmora/data/twirl.bmp share/velmora/data/rovaraza.xm share/man/man6/velmora.6 \
  share/applications/velmora.desktop share/metainfo/org.example.velmora.metainfo.xml \
  share/icons/hicolor/48x48/apps/velmora.png \
  share/icons/hicolor/256x256/apps/velmora.png share/doc/velmora/README.md share/doc/velmora/copyright; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done

mkdir "$work/empty" "$work/reference"
(cd "$work/empty" && "$prefix/bin/velmora" --fps 100 --end 5000 --shot 5000:x.png) || fail "installed program exit $?"
(cd "$work/reference" && "$build/velmora" --fps 100 --end 5000 --shot 5000:x.png) || fail "build's program exit $?"
cmp -s "$work/empty/x.png" "$work/reference/x.png" || fail "the installed program's frame differs"
[ -e "$work/empty/data" ] && fail "the run made a data folder"
# Recording loads the installed recorder module.
(cd "$work/empty" && "$prefix/bin/velmora" --record r.mkv --end 500 2>/dev/null) || fail "installed recording exit $?"
[ -s "$work/empty/r.mkv" ] || fail "the installed program recorded nothing"

# Without any data folder: one line naming the places, exit 1.
mkdir "$work/alone" && cp "$prefix/bin/velmora" "$work/alone/"
err=$(cd "$work/alone" && env -u VELMORA_DATA ./velmora 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "no data: exit $status"
[ "$(grep -c 'no data folder: looked in' <<<"$err")" -eq 1 ] || fail "no data: $err"
# Without the recorder module beside it or in ../lib/velmora: playing needs none,
# recording says so in one line, exit 1, before anything starts.
cp -r "$prefix/share/velmora/data" "$work/alone/data"
(cd "$work/alone" && ./velmora --fps 100 --end 200 2>/dev/null) || fail "playing without the recorder module: exit $?"
err=$(cd "$work/alone" && ./velmora --record r.mkv --end 200 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "no recorder module: exit $status"
[ "$(grep -c 'cannot record: the recorder module velmora-record.so is missing' <<<"$err")" -eq 1 ] ||
  fail "no recorder module: $err"
[ -e "$work/alone/r.mkv" ] && fail "no recorder module: a file was made"

# The manual and --help list the same options.
from_manual=$(sed 's/\\-/-/g' "$prefix/share/man/man6/velmora.6" | grep -oE '^\.BI? --[a-z-]+' | sed 's/^[^ ]* //' | sort -u)
from_help=$("$prefix/bin/velmora" --help | grep -oE '^  --[a-z-]+' | sed 's/^ *//' | sort)
[ -n "$from_manual" ] && [ "$from_manual" = "$from_help" ] ||
  fail "options differ: manual [$(echo $from_manual)] help [$(echo $from_help)]"
grep -q "velmora $("$prefix/bin/velmora" --version | cut -d' ' -f2)" "$prefix/share/man/man6/velmora.6" ||
  fail "the manual does not carry the program's version"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/velmora.desktop" || fail "desktop entry"
fi
# The software centres' description: valid to the letter, its newest release the program's version.
if command -v appstreamcli >/dev/null; then
  metainfo=$prefix/share/metainfo/org.example.velmora.metainfo.xml
  appstreamcli validate --pedantic --no-net "$metainfo" >/dev/null || fail "AppStream: $(appstreamcli validate --pedantic --no-net "$metainfo")"
  grep -q "<release version=\"$("$prefix/bin/velmora" --version | cut -d' ' -f2)\"" "$metainfo" ||
    fail "the AppStream releases do not start at the program's version"
fi
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/velmora.6" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page warnings: $warnings"
fi

[ "$failures" -eq 0 ] && echo "install: all checks passed"
[ "$failures" -eq 0 ]
