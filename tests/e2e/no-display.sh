#!/usr/bin/env bash
# Without a display the game says so on stderr and in the log, and exits with code 1.
set -uo pipefail
stage=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$stage/zantor" Standard 2>stderr.txt
status=$?

fail() { echo "FAIL: $*"; echo "--- stderr:"; cat stderr.txt; echo "--- log.htm:"; cat log.htm; exit 1; }
[ "$status" -eq 1 ] || fail "exit code $status, expected 1"
grep -q 'Das Fenster konnte nicht angelegt werden' stderr.txt || fail "no message on stderr"
grep -q '<b>Fehler</b></font><td>Das Fenster konnte nicht angelegt werden!' log.htm ||
    fail "no Fehler row"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
echo "no display: exit code 1 with message: $(head -n 1 stderr.txt)"
