#!/usr/bin/env bash
# The Windows build's test: builds the zip, unpacks it in a temporary folder and
# runs velmora.exe under Wine with a fresh prefix. On SDL's offscreen driver its
# --fps 60 frames at four times in 32 and 16 bits equal the Linux program's pixel
# for pixel; under Xvfb a live run shows the power-on screen, the key under
# Escape opens the console and Escape twice ends it with status 0; a bad option
# gives the usage line and status 2.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows-test
zip=$(scripts/build-windows.sh | tail -1)
native=$PWD/build-windows/native/velmora

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unzip -q "$zip" -d "$work"
program=$(find "$work" -name velmora.exe | head -1)
[ -z "$(find "$(dirname "$program")" -maxdepth 1 -iname '*.dll')" ] || { echo "test-windows: DLLs beside the program" >&2; exit 1; }
wine=$(command -v wine64 || command -v wine)
fail() {
  echo "test-windows: $*" >&2
  exit 1
}

# Wine makes its prefix on the first run; the version line checks the program starts.
version=$("$wine" "$program" --version 2>/dev/null | tr -d '\r')
[[ $version == velmora* ]] || fail "--version printed '$version'"

# The same frames as the Linux program.
times=(5000 40000 63000 90000)
for bits in 32 16; do
  shots=() native_shots=()
  for t in "${times[@]}"; do
    unix=$work/win-$bits-$t.png
    shots+=(--shot "$t:Z:${unix//\//\\}")  # the Unix file as Wine's drive Z: shows it
    native_shots+=(--shot "$t:$work/linux-$bits-$t.png")
  done
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$wine" "$program" --mute --fps 60 "${shots[@]}" --end 90000 \
    320 200 "$bits" >/dev/null 2>&1 || fail "the $bits-bit run under Wine failed"
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$native" --mute --fps 60 "${native_shots[@]}" --end 90000 \
    320 200 "$bits" >/dev/null 2>&1 || fail "the $bits-bit Linux run failed"
  for t in "${times[@]}"; do
    a=$(ffmpeg -loglevel error -i "$work/win-$bits-$t.png" -f rawvideo -pix_fmt rgb24 - | md5sum)
    b=$(ffmpeg -loglevel error -i "$work/linux-$bits-$t.png" -f rawvideo -pix_fmt rgb24 - | md5sum)
    [ "$a" = "$b" ] || fail "the $bits-bit frame at $t ms differs from the Linux program's"
  done
done
echo "test-windows: frames at ${times[*]} ms in 32 and 16 bits equal the Linux program's"

# A bad option: the usage line and status 2.
set +e
usage=$("$wine" "$program" --bogus 2>&1 | tr -d '\r')
status=$?
set -e
[ "$status" -eq 2 ] || fail "a bad option ended with status $status"
grep -q "unknown option --bogus" <<<"$usage" || fail "a bad option said: $usage"
set +e
"$wine" "$program" --record x.mkv >/dev/null 2>&1
status=$?
set -e
[ "$status" -eq 2 ] || fail "--record ended with status $status"

# Live, under an X server: the power-on screen, the console, Escape twice.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY=$display
SDL_AUDIODRIVER=dummy "$wine" "$program" --window >"$work/live.log" 2>&1 &
live=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Velmora' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "no window appeared"
sleep 3
ffmpeg -loglevel error -f x11grab -video_size 1280x800 -i "$display" -frames:v 1 "$work/live.png"
brightest=$(ffmpeg -loglevel error -i "$work/live.png" -vf signalstats,metadata=print:file=- -f null - |
  sed -n 's/.*signalstats.YMAX=//p')
[ "${brightest:-0}" -gt 100 ] || fail "the live screen is black"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null || true
# The console takes the first Escape (it closes); the demo ends on the second.
xdotool key --window "$window" grave
sleep 1
ffmpeg -loglevel error -f x11grab -video_size 1280x800 -i "$display" -frames:v 1 "$work/console.png"
xdotool key --window "$window" Escape
sleep 1
kill -0 "$live" 2>/dev/null || fail "the first Escape ended the demo: the console did not open"
xdotool key --window "$window" Escape
set +e
for _ in $(seq 50); do
  kill -0 "$live" 2>/dev/null || break
  sleep 0.2
done
wait "$live"
status=$?
set -e
[ "$status" -eq 0 ] || { cat "$work/live.log" >&2; fail "the live run ended with status $status"; }
# The screenshots, for a person to look at.
[ -n "${VELMORA_WINDOWS_SHOTS:-}" ] && cp "$work/live.png" "$work/console.png" "$VELMORA_WINDOWS_SHOTS/"
echo "test-windows: a live run under Xvfb showed the power-on screen, opened the console and ended on Escape"
