#!/usr/bin/env bash
# Recording as a user meets it: with no display and no sound device, exact frames
# with --lossless, a part of the timeline, refusals, and Ctrl-C leaving a file
# that plays. Usage: record_test.sh VELMORA
set -u
velmora=$(realpath "$1")
unset SDL_VIDEODRIVER SDL_AUDIODRIVER DISPLAY WAYLAND_DISPLAY
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Exact frames, no screen or sound device.
"$velmora" --record exact.mkv --lossless --end 5500 --shot 5000:shot.png 2>err.txt || fail "lossless: $(cat err.txt)"
grep -q "recorded $work/exact.mkv" err.txt || fail "no summary line: $(cat err.txt)"
ffmpeg -v error -i exact.mkv -vf 'select=eq(n\,300)' -frames:v 1 -f rawvideo -pix_fmt rgb24 -y decoded.rgb
ffmpeg -v error -i shot.png -f rawvideo -pix_fmt rgb24 -y shot.rgb
cmp -s decoded.rgb shot.rgb || fail "the frame decoded at 5 s differs from --shot 5000"
[ "$(ffprobe -v error -select_streams a -show_entries stream=sample_rate,channels -of csv=p=0 exact.mkv)" = "48000,2" ] ||
  fail "the sound is not 48000 Hz stereo"

# One part of the timeline: two seconds of it.
"$velmora" --record part.mkv --lossless --start 36000 --end 38000 2>/dev/null || fail "part: exit $?"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 part.mkv)
awk -v d="$duration" 'BEGIN { exit !(d > 1.98 && d < 2.04) }' || fail "part lasts $duration s, not 2"

# Refusals: one line, nothing written.
err=$("$velmora" --record out.avi 2>&1)
[ $? -eq 2 ] && grep -q ".mkv, .mp4, .webm" <<<"$err" || fail "unknown extension: $err"
err=$("$velmora" --record nowhere/out.mkv 2>&1)
[ $? -eq 1 ] && [ "$(wc -l <<<"$err")" -eq 1 ] && grep -q "cannot record to" <<<"$err" || fail "missing folder: $err"
[ -e nowhere ] && fail "a folder was made"

# Ctrl-C: the recording so far, playable, under the requested name.
"$velmora" --record cut.mp4 2>cut.txt &
pid=$!
sleep 4
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C: exit $status"
grep -q "interrupted" cut.txt || fail "Ctrl-C not said: $(cat cut.txt)"
frames=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 cut.mp4)
[ "${frames:-0}" -gt 0 ] || fail "the interrupted file holds no frames"
ls -a | grep -q '\.part$' && fail "a temporary file was left"

[ "$failures" -eq 0 ] && echo "record: all checks passed"
[ "$failures" -eq 0 ]
