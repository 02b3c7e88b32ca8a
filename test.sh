#!/usr/bin/env bash
# Builds everything (Release) and runs every test through CTest; then builds the library tests
# with the address and undefined-behaviour sanitizers and runs them too.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
zendra_install_deps
jobs=$(nproc)
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" -- --quiet
ctest --preset release -j "$jobs"
if [ "${ZENDRA_SKIP_ASAN:-0}" != "1" ]; then
    cmake --preset asan -DZENDRA_BUILD_UI=OFF >/dev/null
    cmake --build --preset asan -j "$jobs" -- --quiet
    ctest --preset asan -j "$jobs"
fi
