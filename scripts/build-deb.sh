#!/usr/bin/env bash
# Builds velmora_<version>_amd64.deb (the player) and velmora-record_<version>_amd64.deb
# (the recorder module, which brings FFmpeg) in build-deb/: a release build,
# installed under /usr, each package's Depends worked out from its shared
# libraries by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DVELMORA_TESTS=OFF \
  -DVELMORA_BENCH=OFF -DVELMORA_DEBIAN_DOCS=ON >/dev/null
cmake --build build-deb -j"$(nproc)" >/dev/null
(cd build-deb && rm -f velmora*.deb && cpack -G DEB >/dev/null)
ls build-deb/velmora_*.deb build-deb/velmora-record_*.deb
