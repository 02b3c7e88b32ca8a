#!/usr/bin/env bash
# The bash completion and the manual page of the command-line front follow its --help: every
# command completes and has a manual entry, options complete per command, other words fall back
# to file names. Arguments: the program, the completion script, the gzip-compressed manual page.
set -uo pipefail
cli=$1 completion=$2 manpage=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$completion"
PATH="$(dirname "$cli"):$PATH"
program=zendra-icd10-cli
# Reads cases "command line|expected words" (a trailing blank: a new empty word is being typed).
check_cases() {
    local line expected words got
    while IFS='|' read -r line expected; do
        read -ra words <<<"$line"
        [[ $line == *" " ]] && words+=("")
        got=$(complete_words "${words[@]}")
        [ "$got" == "$expected" ] || fail "$program \"$line\": expected \"$expected\", got \"$got\""
    done
}
complete_words() {  # the words $program is offered for the command line "$@" (the last word being typed)
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _zendra_icd10_cli
    [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

commands=$("$cli" --help | awk '/^  [a-z]/ { print $1 }' | sort -u)
[ "$(wc -l <<<"$commands")" -ge 8 ] || fail "--help lists too few commands: $commands"
offered=$(complete_words "")
entries=$(zcat "$manpage" | awk '/^\.TP/ { getline; print }')
for command in $commands; do
    [[ " $offered " == *" $command "* ]] || fail "command $command is not completed (offered: $offered)"
    grep -q "^\\\\fB${command//-/\\\\-}\\\\fR" <<<"$entries" || fail "command $command has no manual entry"
done

check_cases <<'CASES'
sta|stats
index --|--drugs --external --help --neoplasms
show --w|--width
search --full-text |
no-such-command --|
CASES

# Sub-commands and top-level options, on a usage text of that shape.
program=$(mktemp)
trap 'rm -f "$program"' EXIT
cat >"$program" <<'PROGRAM'
#!/bin/sh
cat <<'HELP'
usage: zendra-icd10-cli COMMAND [ARGS]
       zendra-icd10-cli --version

Commands:
  code TEXT                  look a code up
  lists [--key-fd N] show|drop USER
  lists [--key-fd N] add USER CODE...
      The lists of USER.
HELP
PROGRAM
chmod +x "$program"
check_cases <<'CASES'
--|--help --version
lists |add drop show
lists --key-fd 3 s|show
lists --key-fd |
lists show |
lists --|--help --key-fd
CASES

[ "$failures" -eq 0 ] && echo "completion and manual page follow --help"
exit $((failures > 0))
