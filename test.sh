#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
BUILD_DIR=${NIMBREL_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=ON -DNIMBREL_TOOLS=ON -DNIMBREL_BENCH=ON
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)" "$@"
