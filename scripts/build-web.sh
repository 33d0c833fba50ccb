#!/usr/bin/env bash
# Builds the demo for the web into build-web/site/: index.html, page.js, the
# program (velmora.js, velmora.wasm) and its data (velmora.data). Any static web
# server can serve the folder (scripts/serve-web.sh serves it on 127.0.0.1).
# The WebAssembly libraries are built once and kept in ~/.cache/velmora-web.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # where Debian's emscripten finds its Node.js modules
jobs=$(nproc)

# What only a native program makes: the data and the font tables (and the native
# program the web test compares frames with).
cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-web/native -j"$jobs" --target velmora demo_data >/dev/null

libraries=$(scripts/web-libraries.sh)
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DVELMORA_LIBRARIES="$libraries" \
  -DVELMORA_NATIVE_BUILD="$PWD/build-web/native" >/dev/null
cmake --build build-web -j"$jobs" --target velmora >/dev/null
echo "build-web/site:"
ls -l build-web/site | awk 'NR > 1 { printf "  %-14s %9d bytes\n", $9, $5 }'
