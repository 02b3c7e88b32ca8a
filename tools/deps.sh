#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing; quiet when
# nothing is missing. Sourced by run.sh and test.sh.
zendra_install_deps() {
    local packages=(cmake ninja-build g++ pkg-config zlib1g-dev libpugixml-dev qt6-base-dev libgl-dev
        libgtest-dev libgmock-dev libbenchmark-dev libsodium-dev libzip-dev libxcb1-dev fonts-liberation "$@")
    local missing=()
    local package
    for package in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing build dependencies: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq >/dev/null || return 1
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

# Extra tools of the package test (tools/package-test.sh): a virtual display and window manager,
# the desktop and AppStream validators, dpkg-shlibdeps, the manual page finder.
ZENDRA_PACKAGE_TEST_TOOLS=(xvfb openbox xdotool x11-utils desktop-file-utils appstream dpkg-dev man-db)
