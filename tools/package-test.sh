#!/usr/bin/env bash
# Builds the Debian package from the Release build and tries it on this machine as an IT
# department would: installs it with apt-get, runs both programs from PATH (the desktop program
# under Xvfb, closed through its window), validates the installed menu entry and AppStream file,
# finds both manual pages, removes the package and checks that nothing of it is left under /usr
# while the user's settings stay. Needs root or sudo; run by test.sh after the Release tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
source tools/x-screen.sh
zendra_install_deps "${ZENDRA_PACKAGE_TEST_TOOLS[@]}"
apt_get=(env DEBIAN_FRONTEND=noninteractive apt-get -y)
[ "$(id -u)" -ne 0 ] && apt_get=(sudo "${apt_get[@]}")
build=$PWD/build/release
app_id=example.kelvora.ZendraICD10
# The program's window is waited for by the rule of the window check (tests/ui/WindowSettle.h).
cmake --build "$build" --target ui_window_settle >/dev/null
settle=$(find "$build" -type f -name ui_window_settle -perm -u+x | head -n 1)

step() { printf "package test [%3ds]: %s\n" "$SECONDS" "$*"; }
fail() { printf 'package test FAILED: %s\n' "$*" >&2; exit 1; }
# Runs a command silently; its output is shown only when it fails.
quiet() {
    local output
    output=$("$@" 2>&1) || { printf '%s\n' "$output" >&2; fail "$*"; }
}

step "building the package"
rm -rf "$build/packages"
(cd "$build" && quiet cpack -G DEB -B "$build/packages")
deb=$(ls "$build"/packages/zendra-icd10_*.deb)
dpkg-deb --field "$deb" Package Version Section Maintainer Depends

# Runs on one machine are serialised: the package is installed system-wide.
exec 9>/tmp/zendra-icd10-package-test.lock
flock 9
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^/*$')
existing=()
for path in "${paths[@]}"; do [ -e "$path" ] && existing+=("$path"); done

step "installing $(basename "$deb") with apt-get"
# Minimal images may exclude manual pages from installs; ours are part of what is tested.
home=$(mktemp -d)
installed=0
cleanup() {
    zendra_stop_screen
    # A failed run does not leave the package on the machine.
    if [ "$installed" = 1 ]; then "${apt_get[@]}" -qq remove zendra-icd10 >/dev/null 2>&1 || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
installed=1
quiet "${apt_get[@]}" install --no-install-recommends \
    -o Dpkg::Options::=--path-include='/usr/share/man/man1/zendra-icd10*' "$deb"
export HOME=$home XDG_CONFIG_HOME= XDG_DATA_HOME= AppData= ProgramData=
cd "$home"
for name in zendra-icd10 zendra-icd10-cli; do
    [ "$(command -v "$name")" = "/usr/bin/$name" ] || fail "$name is not on PATH from /usr/bin"
done
step "zendra-icd10-cli stats"
zendra-icd10-cli stats
step "zendra-icd10-cli code A00"
zendra-icd10-cli code A00

step "starting zendra-icd10 under Xvfb and closing its window"
zendra_start_screen 1366x768 || fail "no virtual screen with a window manager"
export DISPLAY=$ZENDRA_SCREEN
zendra-icd10 2>"$home/program.log" &
program=$!
# Closed only once the window manager has framed its window and it has stopped moving.
window=$("$settle" 'ICD-10' 60 2>"$home/settle.log") ||
    { cat "$home/settle.log" "$home/program.log" >&2; fail "the window did not appear and settle"; }
xdotool windowactivate --sync "$window" key alt+F4
status=0
timeout 15 tail --pid="$program" -f /dev/null || fail "zendra-icd10 did not end after its window was closed"
wait "$program" || status=$?
[ "$status" -eq 0 ] || { cat "$home/program.log" >&2; fail "zendra-icd10 ended with status $status"; }
step "zendra-icd10 ended with status 0"
settings="$home/.config/Zendra ICD10 2021"
[ -d "$settings" ] || fail "the program made no user folder $settings"
touch "$settings/SearchHistory.txt"

step "validating the installed menu entry, AppStream file and manual pages"
desktop-file-validate /usr/share/applications/$app_id.desktop
appstreamcli validate --no-net /usr/share/metainfo/$app_id.metainfo.xml
man -w zendra-icd10 zendra-icd10-cli

step "removing the package"
quiet "${apt_get[@]}" remove zendra-icd10
installed=0
left=()
for path in "${paths[@]}"; do
    [ -e "$path" ] || continue
    printf '%s\n' "${existing[@]}" | grep -qxF -- "$path" || left+=("$path")
done
[ ${#left[@]} -eq 0 ] || fail "left behind: ${left[*]}"
found=$(find /usr -xdev -name '*zendra*' 2>/dev/null)
[ -z "$found" ] || fail "left behind under /usr: $found"
[ -f "$settings/SearchHistory.txt" ] || fail "the user's files went with the package"
step "removed: nothing of the package is left under /usr; the user's settings folder is untouched"
