#!/usr/bin/env bash
# Serves the web build (scripts/build-web.sh) on 127.0.0.1 for trying it out:
#   scripts/serve-web.sh [PORT]     then open http://127.0.0.1:PORT/ (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
site=build-web/site
[ -f "$site/velmora.wasm" ] || { echo "serve-web: no $site yet; run scripts/build-web.sh" >&2; exit 1; }
port=${1:-8000}
echo "serve-web: http://127.0.0.1:$port/  (try ?args=640+480+32; Ctrl-C stops)" >&2
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
