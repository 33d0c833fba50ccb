#!/usr/bin/env bash
# The checks CI runs beside the sanitizer suite: a release build that treats every
# warning as an error, cppcheck failing on any finding, and clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== release build, warnings are errors"
cmake -S . -B build-werror -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror -DCMAKE_C_FLAGS=-Werror >/dev/null
cmake --build build-werror -j"$(nproc)" >/dev/null

echo "== cppcheck"
# Passing a three-byte colour by value in the data generator is not a fault.
cppcheck -q --std=c++20 --enable=warning,performance,portability --error-exitcode=1 --inline-suppr \
  --suppress='passedByValue:tools/datagen/*' -I src -j"$(nproc)" src tools fuzz bench

echo "== clang-format"
# Every tracked source: the tree is kept formatted, so this is the changed files
# and no more work than finding them.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "ci checks passed"
