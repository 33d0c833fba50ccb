#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer and UBSan on)
# and runs each for the given number of seconds on one core, then merges what it
# found into a minimal corpus under fuzz/corpus.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (default 60 s, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_bmp fuzz_pcx fuzz_object fuzz_riff fuzz_cfg fuzz_animation)
command -v clang++ >/dev/null || { apt-get update -qq && apt-get install -y -qq clang libclang-rt-14-dev; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
  -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
for t in "${targets[@]}"; do
  [ -f "fuzz/$t.cpp" ] || continue
  cmake --build build-fuzz --target "$t" -j"$(nproc)" >/dev/null
  found=$(mktemp -d)
  echo "== $t: ${seconds}s"
  build-fuzz/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$t-" "$found" "fuzz/corpus/$t" 2>&1 |
    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|Done|==.*ERROR|SUMMARY)" || true
  merged=$(mktemp -d)
  build-fuzz/fuzz/"$t" -merge=1 "$merged" "fuzz/corpus/$t" "$found" >/dev/null 2>&1
  rm -rf "fuzz/corpus/$t" && mkdir -p "fuzz/corpus/$t" && cp "$merged"/* "fuzz/corpus/$t/"
  echo "corpus: $(ls "fuzz/corpus/$t" | wc -l) inputs"
  rm -rf "$found" "$merged"
  ls build-fuzz/"$t"-* 2>/dev/null && { echo "$t: finding saved"; exit 1; }
done
exit 0
