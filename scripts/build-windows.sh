#!/usr/bin/env bash
# Cross-builds the Windows program with mingw-w64 and writes
# build-windows/velmora-<version>-win64.zip: velmora.exe (statically linked), its
# data folder and README.txt. The Windows libraries are built once and kept in
# ~/.cache/velmora-windows (scripts/windows-libraries.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
jobs=$(nproc)

# What only a native program makes: the data and the font tables (and the native
# program the Windows test compares frames with).
cmake -S . -B build-windows/native -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-windows/native -j"$jobs" --target velmora demo_data >/dev/null

libraries=$(scripts/windows-libraries.sh)
cmake -S . -B build-windows/cross -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DVELMORA_LIBRARIES="$libraries" -DVELMORA_NATIVE_BUILD="$PWD/build-windows/native" >/dev/null
cmake --build build-windows/cross -j"$jobs" --target velmora >/dev/null

version=$(sed -nE 's/^project\(velmora VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
name=velmora-$version-win64
stage=build-windows/$name
rm -rf "$stage" "build-windows/$name.zip"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/velmora.exe" build-windows/cross/velmora.exe
cp -r build-windows/native/data "$stage/data"
rm -f "$stage/data/.stamp"
# Windows' own line ends, for Notepad.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' windows/README.txt >"$stage/README.txt"
(cd build-windows && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "build-windows/$name.zip"
