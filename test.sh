#!/usr/bin/env bash
# Builds everything (Release) and runs every test through CTest; builds the Debian package and
# tries it on this machine (tools/package-test.sh); then builds the library tests with the address
# and undefined-behaviour sanitizers and runs them too.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
zendra_install_deps
jobs=$(nproc)
cmake --preset release -DZENDRA_BUILD_UI=ON -DZENDRA_BUILD_TESTS=ON -DZENDRA_BUILD_BENCH=ON >/dev/null
cmake --build --preset release -j "$jobs" -- --quiet
ctest --preset release -j "$jobs" --no-tests=error
# The Debian package, installed, tried and removed on this machine (needs root or sudo).
[ "${ZENDRA_SKIP_PACKAGE:-0}" = "1" ] || tools/package-test.sh
if [ "${ZENDRA_SKIP_ASAN:-0}" != "1" ]; then
    cmake --preset asan -DZENDRA_BUILD_UI=OFF -DZENDRA_BUILD_TESTS=ON >/dev/null
    cmake --build --preset asan -j "$jobs" -- --quiet
    ctest --preset asan -j "$jobs" --no-tests=error
fi
