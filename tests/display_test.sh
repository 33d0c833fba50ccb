#!/usr/bin/env bash
# --display on a desktop of two screens (run under xvfb-run with a 1024 x 768
# screen and an 800 x 600 one): the list has both, a third is refused with one
# line and status 2, and --display 2 opens full screen on the second.
set -uo pipefail
velmora=$1
fail() { echo "FAIL: $*"; exit 1; }
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11  # the suite runs on the offscreen driver otherwise
export LSAN_OPTIONS="${LSAN_OPTIONS:-}:print_suppressions=0"  # a sanitizer build says nothing more

list=$("$velmora" --display list) || fail "--display list ended with $?"
[ "$(echo "$list" | wc -l)" -eq 2 ] || fail "two screens expected: $list"
echo "$list" | grep -q "^1: 1024 x 768" || fail "the first screen: $list"
echo "$list" | grep -q "^2: 800 x 600" || fail "the second screen: $list"

err=$("$velmora" --display 3 2>&1 >/dev/null); status=$?
[ $status -eq 2 ] || fail "--display 3 ended with $status"
[ "$(echo "$err" | wc -l)" -eq 1 ] && echo "$err" | grep -q "no screen 3" || fail "--display 3 said: $err"

"$velmora" --display 2 --start 5000 --end 7000 & pid=$!
geometry=""
for _ in $(seq 50); do
  sleep 0.1
  geometry=$(DISPLAY="${DISPLAY%.*}.1" xdotool search --name Velmora getwindowgeometry 2>/dev/null) && break
done
wait $pid || fail "--display 2 ended with $?"
echo "$geometry" | grep -q "Geometry: 800x600" || fail "no full-screen window on the second screen: $geometry"
echo "display test passed"
