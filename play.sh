#!/usr/bin/env bash
# Sets up what is missing, builds the demo and plays it. Arguments go to velmora
# (for instance: ./play.sh --window, or ./play.sh 640 480 16).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec build/velmora "$@"
