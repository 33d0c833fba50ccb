#!/usr/bin/env bash
# The web build's test: builds the site, serves it on 127.0.0.1 and drives it in
# headless Chromium (tests/web_page_check.mjs): frames on the virtual clock equal
# the native program's, and a real-time run starts on a click, advances, plays
# sound and logs no errors.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh web-test
scripts/build-web.sh
command -v npm >/dev/null || { echo "test-web: npm is needed to fetch the browser driver" >&2; exit 1; }
# The browser driver is kept beside the WebAssembly libraries, in the same cache.
driver=$(dirname "$(scripts/web-libraries.sh)")/node
if [ ! -d "$driver/node_modules/playwright-core" ]; then
  mkdir -p "$driver"
  (cd "$driver" && npm install --no-audit --no-fund --silent playwright-core@1.64.1 >/dev/null)
fi
cp tests/web_page_check.mjs "$driver/"

out=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$out"
}
trap cleanup EXIT

# The native program's frames at the same times, on the same virtual clock.
shots=()
for t in 5000 40000 63000 90000; do shots+=(--shot "$t:$out/native-$t.png"); done
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy build-web/native/velmora --mute --fps 60 "${shots[@]}" --end 90000

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build-web/site" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done
node "$driver/web_page_check.mjs" "http://127.0.0.1:$port/index.html" "$out" "${VELMORA_WEB_SHOTS:-$out}"
