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

# The frame at --end is recorded, as it is shown: a start and end at the same
# time give that one frame.
"$velmora" --record one.mkv --lossless --start 5000 --end 5000 --shot 5000:one.png 2>err.txt || fail "one frame: $(cat err.txt)"
frames=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 one.mkv)
[ "$frames" = 1 ] || fail "--start 5000 --end 5000 recorded ${frames:-no} frames, not 1"
ffmpeg -v error -i one.mkv -f rawvideo -pix_fmt rgb24 -y one.rgb
ffmpeg -v error -i one.png -f rawvideo -pix_fmt rgb24 -y oneshot.rgb
cmp -s one.rgb oneshot.rgb || fail "the one frame recorded differs from --shot 5000"

# A file-size limit fails the write: one line with the reason, exit 1, nothing left.
(ulimit -f 1024; exec "$velmora" --record big.mkv --lossless --end 20000) 2>big.txt
status=$?
said=$(grep -v "velmora: recording: [0-9]" big.txt)
[ "$status" -eq 1 ] && [ "$(wc -l <<<"$said")" -eq 1 ] && grep -q "cannot write the file" <<<"$said" ||
  fail "file-size limit: exit $status: $(cat big.txt)"
ls -a | grep -q 'big\.mkv' && fail "file-size limit left $(ls -a | grep 'big\.mkv')"

# HD videos carry the HD matrix (BT.709), smaller ones BT.601; an MP4 has its
# index first, so that a browser plays it while it downloads.
"$velmora" --record hd.mp4 --end 200 2>/dev/null || fail "hd.mp4: exit $?"
"$velmora" --record sd.mkv --record-size 640x480 --end 200 2>/dev/null || fail "sd.mkv: exit $?"
colours() { ffprobe -v error -select_streams v -show_entries stream=color_space,color_transfer,color_primaries -of csv=p=0 "$1"; }
[ "$(colours hd.mp4)" = "bt709,bt709,bt709" ] || fail "1440 x 1080 is tagged $(colours hd.mp4)"
[ "$(colours sd.mkv)" = "smpte170m,smpte170m,smpte170m" ] || fail "640 x 480 is tagged $(colours sd.mkv)"
moov=$(grep -obUa moov hd.mp4 | head -1 | cut -d: -f1)
mdat=$(grep -obUa mdat hd.mp4 | head -1 | cut -d: -f1)
[ -n "$moov" ] && [ -n "$mdat" ] && [ "$moov" -lt "$mdat" ] || fail "the MP4's index is not at the front ($moov, $mdat)"

# Sizes beyond 7680 x 4320 are refused, asked for or the mode's own.
err=$("$velmora" --record huge.mkv --record-size 8192x8192 2>&1)
[ $? -eq 2 ] && grep -q "7680x4320" <<<"$err" || fail "--record-size 8192x8192: $err"
err=$("$velmora" --record wide.mkv --lossless 7682 100 32 2>&1)
[ $? -eq 1 ] && grep -q "largest recorded, 7680 x 4320" <<<"$err" || fail "a 7682 wide mode: $err"
[ -e wide.mkv ] && fail "a refused size left a file"

# A recorder module that is not a loadable library: the loader's reason.
mkdir module && cp "$velmora" module/velmora && echo junk >module/velmora-record.so
err=$(module/velmora --record m.mkv 2>&1)
[ $? -eq 1 ] && grep -q "cannot record: .*velmora-record.so cannot be loaded: ." <<<"$err" || fail "junk module: $err"

# Refusals: one line, nothing written.
err=$("$velmora" --record out.avi 2>&1)
[ $? -eq 2 ] && grep -q ".mkv, .mp4, .webm" <<<"$err" || fail "unknown extension: $err"
err=$("$velmora" --record nowhere/out.mkv 2>&1)
[ $? -eq 1 ] && [ "$(wc -l <<<"$err")" -eq 1 ] && grep -q "cannot record to" <<<"$err" || fail "missing folder: $err"
[ -e nowhere ] && fail "a folder was made"

# Ctrl-C, SIGTERM, SIGHUP: the recording so far, playable, under the requested
# name, and the exit status 128 + the signal.
for signal in INT:130 TERM:143 HUP:129; do
  "$velmora" --record "cut-${signal%:*}.mp4" 2>"cut-${signal%:*}.txt" &
  eval "pid_${signal%:*}=$!"
done
sleep 5
for signal in INT:130 TERM:143 HUP:129; do
  name=${signal%:*}
  pid_var="pid_$name"
  kill "-$name" "${!pid_var}"
  wait "${!pid_var}"
  status=$?
  [ "$status" -eq "${signal#*:}" ] || fail "SIG$name: exit $status"
  grep -q "interrupted" "cut-$name.txt" || fail "SIG$name not said: $(cat "cut-$name.txt")"
  frames=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "cut-$name.mp4")
  [ "${frames:-0}" -gt 0 ] || fail "the file SIG$name ended holds no frames"
done
ls -a | grep -q '\.part$' && fail "a temporary file was left"

[ "$failures" -eq 0 ] && echo "record: all checks passed"
[ "$failures" -eq 0 ]
