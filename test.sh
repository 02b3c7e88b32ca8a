#!/usr/bin/env bash
# Checks the format, builds everything (Release, warnings as errors), runs clang-tidy over the
# libraries and every test through CTest; builds the Debian package and
# tries it on this machine (tools/package-test.sh); then runs the library tests built by clang
# with the address and undefined-behaviour sanitizers and replays the fuzz corpora (tools/fuzz.sh)
# on the same build (preset "fuzz": one sanitizer build serves both); then runs the loader,
# start-up and cancel tests under the thread sanitizer.
# At the end, also when a step fails, prints the wall time of each step so the suite's budget can
# be watched as it grows.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh

# timed NAME COMMAND...: runs one step and records its wall time under NAME. A step made of
# several commands is a function that joins them with && (errexit does not reach inside it).
step_names=()
step_seconds=()
timed() {
    local name=$1 started=$SECONDS status=0
    shift
    "$@" || status=$?
    [ "$status" -eq 0 ] || name="$name (FAILED)"
    record_time "$name" $((SECONDS - started))
    return "$status"
}
record_time() {
    step_names+=("$1")
    step_seconds+=("$2")
}
print_times() {
    [ ${#step_names[@]} -eq 0 ] && return
    echo "Wall time of each step:"
    local i
    for i in "${!step_names[@]}"; do
        printf '  %-52s %5d s  (%d:%02d)\n' "${step_names[$i]}" "${step_seconds[$i]}" \
            $((step_seconds[i] / 60)) $((step_seconds[i] % 60))
    done
    printf '  %-52s %5d s  (%d:%02d)\n' "whole run" "$SECONDS" $((SECONDS / 60)) $((SECONDS % 60))
}
sanitizer_build=""
finish() {
    [ -n "$sanitizer_build" ] && kill -- -"$sanitizer_build" 2>/dev/null
    print_times
}
trap finish EXIT

# clang for the fuzz targets, clang-format and clang-tidy for the gates; Xvfb, openbox and the X
# tools for the window check (a CTest test) and the package test.
timed "dependencies" zendra_install_deps clang libclang-rt-dev clang-format clang-tidy "${ZENDRA_PACKAGE_TEST_TOOLS[@]}"
jobs=$(nproc)
# Gates: the tree formatted, compiler warnings as errors in every build, clang-tidy clean.
timed "format check" tools/lint.sh format
release_build() {
    cmake --preset release -DZENDRA_BUILD_UI=ON -DZENDRA_BUILD_TESTS=ON -DZENDRA_BUILD_BENCH=ON -DZENDRA_WERROR=ON \
        >/dev/null &&
        cmake --build --preset release -j "$jobs" -- --quiet
}
timed "configure + build (Release)" release_build
timed "clang-tidy" tools/lint.sh tidy build/release
# The sanitizer build (clang, address and undefined-behaviour sanitizers: the libraries, their
# tests and the fuzz targets) runs beside the Release tests and the package test, which spend much
# of their time waiting for windows and for apt; its output is shown when it is done, its time is
# its own. ZENDRA_SKIP_ASAN=1 skips its tests, ZENDRA_SKIP_FUZZ=1 the fuzz replay, both the build.
sanitize_tests=$([ "${ZENDRA_SKIP_ASAN:-0}" != "1" ] && echo 1 || echo 0)
sanitize_fuzz=$([ "${ZENDRA_SKIP_FUZZ:-0}" != "1" ] && echo 1 || echo 0)
if [ "$sanitize_tests" = 1 ] || [ "$sanitize_fuzz" = 1 ]; then
    # In a process group of its own, so that a failing step before it is done can stop all of it.
    rm -f build/sanitizer-build.seconds
    setsid bash -c 'trap "echo \$SECONDS >build/sanitizer-build.seconds" EXIT
        cmake --preset fuzz -DZENDRA_WERROR=ON >/dev/null &&
        cmake --build --preset fuzz -j "$1" -- --quiet' sanitizer-build "$jobs" >build/sanitizer-build.log 2>&1 &
    sanitizer_build=$!
fi
timed "release ctest" ctest --preset release -j "$jobs" --no-tests=error
# The Debian package, installed, tried and removed on this machine (needs root or sudo).
[ "${ZENDRA_SKIP_PACKAGE:-0}" = "1" ] || timed "package test" tools/package-test.sh
if [ -n "$sanitizer_build" ]; then
    status=0
    timed "waiting for the sanitizer build" wait "$sanitizer_build" || status=$?
    sanitizer_build=""
    record_time "sanitizer build (beside the two steps above)" "$(cat build/sanitizer-build.seconds 2>/dev/null || echo 0)"
    cat build/sanitizer-build.log
    [ "$status" -eq 0 ] || { echo "the sanitizer build failed" >&2; exit "$status"; }
    [ "$sanitize_tests" = 1 ] && timed "sanitizer ctest" ctest --preset fuzz -j "$jobs" --no-tests=error
    [ "$sanitize_fuzz" = 1 ] && timed "fuzz replay" tools/fuzz.sh replay 2000
fi
if [ "${ZENDRA_SKIP_TSAN:-0}" != "1" ]; then
    tsan() {
        cmake --preset tsan -DZENDRA_WERROR=ON >/dev/null &&
            cmake --build --preset tsan -j "$jobs" --target thread_tests -- --quiet &&
            ctest --preset tsan -j "$jobs" --no-tests=error -R '^thread\.'
    }
    timed "thread sanitizer build + tests" tsan
fi
