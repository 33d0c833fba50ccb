#!/usr/bin/env bash
# The executable as a user meets it: help, errors, exit codes and frame capture.
set -u
velmora="$1"
export SDL_AUDIODRIVER=dummy
failures=0
check() {  # description, expected exit code, actual exit code, output, expected text
  if [ "$3" -ne "$2" ] || ! grep -qF -- "$5" <<<"$4"; then
    echo "FAIL: $1 (exit $3, wanted $2; output: $4)"
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

out=$("$velmora" --help 2>&1); check "--help" 0 $? "$out" "Usage: velmora"
out=$("$velmora" --version 2>&1); check "--version" 0 $? "$out" "velmora 0."
out=$("$velmora" --bogus 2>&1); check "unknown option" 2 $? "$out" "unknown option --bogus"
out=$("$velmora" --fps 2>&1); check "--fps without a number" 2 $? "$out" "--fps needs"
out=$(SDL_VIDEODRIVER=offscreen "$velmora" 640 480 8 2>&1)
check "8-bit mode refused" 1 $? "$out" "velmora: 640 x 480 x 8: not a mode this program shows (16, 24 or 32 bits)"
out=$(SDL_VIDEODRIVER=offscreen "$velmora" 0 0 0 2>&1)
check "0x0x0 mode refused" 1 $? "$out" "velmora: 0 x 0 x 0: not a mode this program shows"
out=$(env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY "$velmora" 2>&1)
check "no display" 1 $? "$out" "InitHwnd() failed: no display available"
out=$(SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=no-such-driver "$velmora" --fps 100 --end 2000 2>&1)
check "no sound device: plays silently" 0 $? "$out" "velmora: no sound device: playing without sound"
[ "$(wc -l <<<"$out")" -eq 1 ] || { echo "FAIL: no sound device said more than one line: $out"; failures=$((failures + 1)); }
out=$(SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=no-such-driver "$velmora" --mute --fps 100 --end 2000 2>&1)
check "--mute says nothing" 0 $? "$out" ""
[ -z "$out" ] || { echo "FAIL: --mute printed: $out"; failures=$((failures + 1)); }
out=$(SDL_VIDEODRIVER=offscreen "$velmora" --fps 100 --end 1000 --shot 500:early.png --shot 999999:never.png 2>&1)
check "capture and a time never reached" 1 $? "$out" "no frame at or after 999999 ms"
if [ "$(od -An -tx1 -j16 -N8 early.png | tr -d ' \n')" != "00000140000000c8" ]; then
  echo "FAIL: early.png is not a 320x200 PNG"; failures=$((failures + 1))
else
  echo "ok: early.png is 320x200"
fi
[ -e log ] && { echo "FAIL: a run without --log left a log directory"; failures=$((failures + 1)); }

# Starting later draws the same frames: the way there is run, only unseen.
export SDL_VIDEODRIVER=offscreen
"$velmora" --fps 60 --end 90000 --shot 40000:a40.png --shot 63000:a63.png --shot 90000:a90.png
"$velmora" --fps 60 --start 40000 --end 90000 --shot 40000:b40.png --shot 63000:b63.png --shot 90000:b90.png
"$velmora" --fps 60 --start 62500 --end 90000 --shot 63000:c63.png --shot 90000:c90.png
for pair in a40:b40 a63:b63 a90:b90 a63:c63 a90:c90; do
  if cmp -s "${pair%%:*}.png" "${pair##*:}.png"; then
    echo "ok: --start frame ${pair##*:} equals ${pair%%:*}"
  else
    echo "FAIL: --start frame ${pair##*:} differs from ${pair%%:*}"; failures=$((failures + 1))
  fi
done
out=$("$velmora" --fps 60 --start 50000 --end 40000 2>&1); check "--end before --start" 2 $? "$out" "--end comes before --start"
echo "$((17 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
