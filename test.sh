#!/usr/bin/env bash
# Checks the format, builds everything (Release, warnings as errors), runs clang-tidy over the
# libraries and every test through CTest; builds the Debian package and
# tries it on this machine (tools/package-test.sh); then builds the library tests with the address
# and undefined-behaviour sanitizers and runs them too; then replays the fuzz corpora
# (tools/fuzz.sh) and runs the loader, start-up and cancel tests under the thread sanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
# clang for the fuzz targets, clang-format and clang-tidy for the gates; Xvfb, openbox and the X tools for the window check (a CTest test) and
# the package test.
zendra_install_deps clang libclang-rt-dev clang-format clang-tidy "${ZENDRA_PACKAGE_TEST_TOOLS[@]}"
jobs=$(nproc)
# Gates: the tree formatted, compiler warnings as errors in every build, clang-tidy clean.
tools/lint.sh format
cmake --preset release -DZENDRA_BUILD_UI=ON -DZENDRA_BUILD_TESTS=ON -DZENDRA_BUILD_BENCH=ON -DZENDRA_WERROR=ON >/dev/null
cmake --build --preset release -j "$jobs" -- --quiet
tools/lint.sh tidy build/release
# The sanitizer build runs beside the Release tests and the package test, which spend much of their
# time waiting for windows and for apt; its output is shown when it is done.
if [ "${ZENDRA_SKIP_ASAN:-0}" != "1" ]; then
    # In a process group of its own, so that a failing step before it is done can stop all of it.
    setsid bash -c 'cmake --preset asan -DZENDRA_BUILD_UI=OFF -DZENDRA_BUILD_TESTS=ON -DZENDRA_WERROR=ON >/dev/null &&
        cmake --build --preset asan -j "$1" -- --quiet' asan-build "$jobs" >build/asan-build.log 2>&1 &
    asan_build=$!
    trap 'kill -- -$asan_build 2>/dev/null' EXIT
fi
ctest --preset release -j "$jobs" --no-tests=error
# The Debian package, installed, tried and removed on this machine (needs root or sudo).
[ "${ZENDRA_SKIP_PACKAGE:-0}" = "1" ] || tools/package-test.sh
if [ "${ZENDRA_SKIP_ASAN:-0}" != "1" ]; then
    status=0
    wait "$asan_build" || status=$?
    trap - EXIT
    cat build/asan-build.log
    [ "$status" -eq 0 ] || { echo "the sanitizer build failed" >&2; exit "$status"; }
    ctest --preset asan -j "$jobs" --no-tests=error
fi
if [ "${ZENDRA_SKIP_FUZZ:-0}" != "1" ] && command -v clang++ >/dev/null; then
    tools/fuzz.sh build
    tools/fuzz.sh replay 2000
fi
if [ "${ZENDRA_SKIP_TSAN:-0}" != "1" ]; then
    cmake --preset tsan -DZENDRA_WERROR=ON >/dev/null
    cmake --build --preset tsan -j "$jobs" --target thread_tests -- --quiet
    ctest --preset tsan -j "$jobs" --no-tests=error -R '^thread\.'
fi
