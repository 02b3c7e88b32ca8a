#!/usr/bin/env bash
# Builds everything (Release) and runs every test through CTest; then builds the library tests
# with the address and undefined-behaviour sanitizers and runs them too.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
zendra_install_deps
jobs=$(nproc)
cmake --preset release -DZENDRA_BUILD_UI=ON -DZENDRA_BUILD_TESTS=ON -DZENDRA_BUILD_BENCH=ON >/dev/null
cmake --build --preset release -j "$jobs" -- --quiet
ctest --preset release -j "$jobs" --no-tests=error
if [ "${ZENDRA_SKIP_ASAN:-0}" != "1" ]; then
    cmake --preset asan -DZENDRA_BUILD_UI=OFF -DZENDRA_BUILD_TESTS=ON >/dev/null
    cmake --build --preset asan -j "$jobs" -- --quiet
    ctest --preset asan -j "$jobs" --no-tests=error
fi
