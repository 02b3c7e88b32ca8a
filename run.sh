#!/usr/bin/env bash
# Builds the program (Release) and starts it. Installs missing build dependencies first.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
zendra_install_deps
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    echo "run.sh: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
    exit 1
fi
# Same options as test.sh, so the two never reconfigure each other's build; only the program is built.
cmake --preset release -DZENDRA_BUILD_UI=ON -DZENDRA_BUILD_TESTS=ON -DZENDRA_BUILD_BENCH=ON >/dev/null
cmake --build --preset release --target zendra-icd10 -- --quiet
exec build/release/app/zendra-icd10 "$@"
