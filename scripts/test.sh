#!/usr/bin/env bash
# Builds and runs every test: the Qt-free layers under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Qt layers headless, and the Qt-free layers
# cross-compiled for Windows against the real Windows headers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev \
    libbenchmark-dev nlohmann-json3-dev qt6-base-dev g++-mingw-w64-x86-64

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== Qt-free layers with AddressSanitizer and UBSan"
cmake --preset asan >/dev/null
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== Everything, with the Qt layers (headless) and the benchmark programs"
cmake --preset dev >/dev/null
cmake --build build/dev -j "$jobs"
ctest --test-dir build/dev --output-on-failure -j "$jobs"

echo "== The fuzz targets, each run a little on its seed files"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$jobs" --target queue_data_fuzz enum_file_fuzz
for target in queue_data enum_file; do
    work=$(mktemp -d)
    cp fuzz/corpus/$target/* "$work"/
    build/fuzz/bin/${target}_fuzz -max_total_time=15 -max_len=4096 "$work" 2>&1 | tail -n 1
    rm -rf "$work"
done

echo "== Qt-free layers for Windows (mingw-w64, real Windows headers)"
cmake --preset mingw >/dev/null
cmake --build build/mingw -j "$jobs"

echo "All tests passed."
