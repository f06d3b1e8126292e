#!/usr/bin/env bash
# Without a display the game says so on stderr and in the log, and exits with code 1: when
# SDL is told to use X11, and when it is left to choose (it would fall back to a video driver
# that shows nothing, and the game would run unseen until killed).
set -uo pipefail
stage=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$(realpath "$stage")/Standard" "$work/Standard"
cp "$stage/zantor" "$work/zantor" # a portable copy: its log beside it
cd "$work"

fail() { echo "FAIL ($case): $*"; echo "--- stderr:"; cat stderr.txt; echo "--- log.htm:"; cat log.htm; exit 1; }
for case in x11 chosen; do
    rm -f log.htm stderr.txt
    start=$(date +%s%N)
    if [ "$case" = x11 ]; then
        env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 \
            timeout -s KILL 30 ./zantor Standard 2>stderr.txt
    else
        env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER \
            timeout -s KILL 30 ./zantor Standard 2>stderr.txt
    fi
    status=$?
    millis=$((($(date +%s%N) - start) / 1000000))
    [ "$millis" -lt 2000 ] || fail "took $millis ms to give up, expected under 2 s"
    [ "$status" -eq 1 ] || fail "exit code $status, expected 1"
    grep -q 'Das Fenster konnte nicht angelegt werden' stderr.txt || fail "no message on stderr"
    grep -q '<b>Fehler</b></font><td>Das Fenster konnte nicht angelegt werden!' log.htm ||
        fail "no Fehler row"
    [ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
    echo "no display ($case): exit code 1 after $millis ms with message: $(grep -m 1 '^zantor:' stderr.txt)"
done
