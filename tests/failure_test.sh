#!/usr/bin/env bash
# Every failure a user can cause says what went wrong, once, with the right exit
# status. Each row of the tables below is one case: read them as the program's
# promises. Usage: failure_test.sh VELMORA DATA_DIR
set -u
velmora=$(realpath "$1")
data=$(realpath "$2")
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
failures=0
passed=0
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"

# expect DESCRIPTION STATUS TEXT -- ARGS...: runs the program, checks the exit
# status and that stderr holds TEXT (a fixed string) on exactly one line.
expect() {
  local what=$1 status=$2 text=$3
  shift 4
  local err rc
  err=$("$velmora" "$@" 2>&1 >/dev/null)
  rc=$?
  if [ "$rc" -ne "$status" ] || [ "$(grep -cF -- "$text" <<<"$err")" -ne 1 ]; then
    echo "FAIL: $what: exit $rc (wanted $status); stderr: $err"
    failures=$((failures + 1))
  else
    passed=$((passed + 1))
  fi
}

# ---- Command lines --------------------------------------------------------
mkdir readonly && chmod a-w readonly
cp -r "$data" data
#      what                              exit  stderr line                                            command line
expect "letters in a mode word"            2 "not a display mode number: '320abc'"                 -- 320abc 200 32
expect "a mode word past 32 bits"          2 "not a display mode number: '4294967616'"             -- 4294967616 200 32
expect "a negative mode word"              2 "not a display mode number: '-320'"                    -- -320 200 32
expect "an unknown single-dash option"     2 "unknown option -x"                                    -- -x
expect "an unknown long option"            2 "unknown option --bogus"                               -- --bogus
expect "--fps without a number"            2 "--fps needs a positive whole number"                  -- --fps
expect "--fps of zero"                     2 "--fps needs a positive whole number"                  -- --fps 0
expect "--shot without a file"             2 "--shot needs MS:FILE"                                 -- --shot 100
expect "two mode words"                    0 "expected WIDTH HEIGHT BITS, playing at 320 x 200 x 32" -- --fps 2 640 480
expect "four mode words"                   0 "expected WIDTH HEIGHT BITS, playing at 320 x 200 x 32" -- --fps 2 640 480 16 1
expect "an 8-bit mode"                     1 "640 x 480 x 8: not a mode this program shows (16, 24 or 32 bits)"   -- --fps 2 640 480 8
expect "a shot into a missing folder"      1 "cannot save a frame as $work/nowhere/a.png: no folder" -- --shot 1:nowhere/a.png
expect "a shot onto a folder"              1 "cannot save a frame as $work/data: is a directory"    -- --shot 1:data
if [ "$(id -u)" -ne 0 ]; then  # root writes anywhere
  expect "a shot into a read-only folder"  1 "cannot write in $work/readonly"                       -- --shot 1:readonly/a.png
fi
expect "a shot time never reached"         1 "no frame at or after 200000 ms for $work/late.png"    -- --fps 2 --shot 200000:late.png
touch log && chmod a-w log
expect "--log where log/ cannot be made"   0 "cannot make the log folder"                           -- --fps 2 --log
rm -f log

# ---- Damaged data: each file missing, empty, cut in half, or noise ---------
# damage FILE HOW: makes data/ a fresh copy with FILE damaged.
damage() {
  rm -rf data && cp -r "$data" data
  case $2 in
    missing) rm "data/$1" ;;
    empty) : >"data/$1" ;;
    half) head -c $(($(stat -c%s "$data/$1") / 2)) "$data/$1" >"data/$1" ;;
    noise) LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; ++i) printf "%c", 1 + int(rand() * 255) }' >"data/$1" ;;
  esac
}
while read -r file how status text; do
  [ -z "$file" ] || [ "${file:0:1}" = "#" ] && continue
  damage "$file" "$how"
  expect "data/$file $how" "$status" "$text" -- --fps 2
done <<'TABLE'
# file           damage   exit  stderr line
twirl.bmp        missing  0     velmora: data/twirl.bmp: not found
twirl.bmp        empty    0     velmora: data/twirl.bmp: not a picture this program reads
twirl.bmp        half     0     velmora: data/twirl.bmp: truncated file
twirl.bmp        noise    0     velmora: data/twirl.bmp: not a picture this program reads
bump.bmp         missing  0     velmora: data/bump.bmp: not found
height.bmp       half     0     velmora: data/height.bmp: truncated file
bios_iso.bmp     empty    0     velmora: data/bios_iso.bmp: not a picture this program reads
bios_pieni.bmp   noise    0     velmora: data/bios_pieni.bmp: not a picture this program reads
Cola.obj         missing  0     velmora: data/Cola.obj: not found
Cola.obj         empty    0     velmora: data/Cola.obj: not an object file this program reads
Cola.obj         half     0     velmora: data/Cola.obj: truncated file
font.ult         missing  0     velmora: data/font.ult: not found
font.ult         half     0     velmora: data/font.ult: truncated file
font.ult         noise    0     velmora: data/font.ult:
rovaraza.xm      missing  1     velmora: s.Load('data/rovaraza.xm') failed: data/rovaraza.xm: not found
rovaraza.xm      empty    1     velmora: s.Load('data/rovaraza.xm') failed: data/rovaraza.xm: not a module this program plays
rovaraza.xm      noise    1     velmora: s.Load('data/rovaraza.xm') failed: data/rovaraza.xm: not a module this program plays
TABLE

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
