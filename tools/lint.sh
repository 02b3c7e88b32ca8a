#!/usr/bin/env bash
# The quality gates beside the compiler's: every tracked C++ file formatted with the project's
# .clang-format, and clang-tidy's chosen checks (.clang-tidy) clean over the toolkit-free
# libraries. Exits non-zero on the first gate that fails, naming the files.
#   tools/lint.sh format            only the format check (needs nothing built)
#   tools/lint.sh tidy BUILD_DIR    only clang-tidy, with BUILD_DIR's compile_commands.json
#   tools/lint.sh BUILD_DIR         both
set -euo pipefail
cd "$(dirname "$0")/.."

check_format() {
    local report
    # One clang-format process for the whole tree; it names each unformatted file in its report.
    if ! report=$(git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>&1); then
        echo "not formatted with .clang-format (run clang-format -i on them):" >&2
        grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
        return 1
    fi
    echo "format: every C++ file formatted"
}

check_tidy() {
    local build_dir=$1
    [ -f "$build_dir/compile_commands.json" ] || { echo "no compile_commands.json in $build_dir" >&2; return 1; }
    local libraries=(services model userdata index keywords entry render admin startup editions)
    local sources
    mapfile -t sources < <(git ls-files "${libraries[@]/%//*.cpp}")
    # Two files per process, as many processes as cores; clang-tidy fails on any finding
    # (WarningsAsErrors in .clang-tidy).
    if ! printf '%s\n' "${sources[@]}" | xargs -n 2 -P "$(nproc)" clang-tidy -p "$build_dir" --quiet 2>/dev/null; then
        echo "clang-tidy found the problems above" >&2
        return 1
    fi
    echo "clang-tidy: ${#sources[@]} library files clean"
}

case "${1:-}" in
    format) check_format ;;
    tidy) check_tidy "${2:?build folder}" ;;
    "") echo "usage: tools/lint.sh format | tidy BUILD_DIR | BUILD_DIR" >&2; exit 2 ;;
    *) check_format && check_tidy "$1" ;;
esac
