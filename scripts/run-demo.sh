#!/usr/bin/env bash
# Builds Quillmark and starts it on the demo network in lab/demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake ninja-build g++ nlohmann-json3-dev qt6-base-dev libbenchmark-dev
cmake --preset release >/dev/null
cmake --build build/release -j "$(nproc)"
# The build put the demo network beside the executable, where the program looks for it.
unset QUILLMARK_LAB
exec build/release/bin/quillmark "$@"
