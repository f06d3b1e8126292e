#!/usr/bin/env bash
# zantor's command line as a player types it: --help and --version answer with 0, an unknown
# option or an extra word is refused with 2 and a message; under Xvfb (1280 x 1024, with a
# window manager) --window and --fullscreen win over the settings, and a data directory that
# does not exist plays with Standard's files and says so once on stderr.
# Usage: command-line.sh STAGE_DIR
set -uo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$stage/Standard" "$work/Standard"
cp "$stage/zantor" "$work/zantor" # a portable copy: its log beside it
cd "$work"

fail() { echo "FAIL: $*"; echo "--- stdout:"; cat out.txt; echo "--- stderr:"; cat err.txt; exit 1; }
# expect CODE ARGUMENTS...: zantor ends with the exit code.
expect() {
    local code=$1
    shift
    ./zantor "$@" > out.txt 2> err.txt
    local status=$?
    [ "$status" -eq "$code" ] || fail "zantor $* ended with $status, expected $code"
}
expect 0 --help
grep -q "^Aufruf: zantor \[--window | --fullscreen\] \[DATEN\]" out.txt || fail "no usage in --help"
grep -q -- "--fullscreen" out.txt || fail "--help does not name --fullscreen"
expect 0 -h
expect 0 --version
[ "$(cat out.txt)" = "zantor 0.95" ] || fail "--version printed $(cat out.txt)"
expect 2 -x
[ "$(head -n 1 err.txt)" = "zantor: unbekannte Option: -x" ] || fail "no message for -x"
[ ! -s out.txt ] || fail "-x wrote to stdout"
expect 2 --help Standard
expect 2 --window --version
[ ! -e log.htm ] || fail "the options that do not play wrote log.htm"
echo "--help, -h, --version: 0; -x, --help with a name, --window --version: 2 with a message"

# "Voll" asks for the full screen, Standard for a window: the options win over both.
mkdir Voll
sed -e 's/^Intro=.*/Intro=0/' -e 's/^Windowed=.*/Windowed=0/' Standard/Zantor.ini > Voll/Zantor.ini
DRIVE=$drive xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' bash -c '
    fail() { echo "FAIL: $*"; kill -TERM "$pid" 2>/dev/null; exit 1; }
    openbox --sm-disable >/dev/null 2>&1 & wm=$!
    trap "kill \$wm 2>/dev/null" EXIT
    sleep 1
    . "$DRIVE"
    size() { xdotool getwindowgeometry --shell "$1" | awk -F= "/WIDTH|HEIGHT/ { printf \"%s \", \$2 }"; }
    # run EXPECTED_SIZE ARGUMENTS...: the window of zantor started so is of the size.
    run() {
        local expected=$1
        shift
        rm -f log.htm
        SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor "$@" 2>>err.txt & pid=$!
        await 60 "menu" logged "Menu Init end" 1
        sleep 1
        local id
        id=$(xdotool search --pid "$pid" | tail -1)
        [ "$(size "$id")" = "$expected" ] || fail "zantor $*: the window is $(size "$id")not $expected"
        echo "zantor $*: $(size "$id")"
        kill -TERM "$pid"
        wait "$pid"
    }
    : > err.txt
    run "1280 1024 " Voll
    run "1024 768 " --window Voll
    run "1024 768 " --fullscreen --window Voll
    run "1280 1024 " --window --fullscreen Fehlt
    grep -c "„Fehlt“ gibt es" err.txt > count.txt
    [ "$(cat count.txt)" = 1 ] || fail "the missing data directory was named $(cat count.txt) times"
    grep -q "cLevelname=\|g_Directory=Fehlt" log.htm || fail "the missing data directory did not play"
' || exit 1
echo "a missing data directory: $(grep "Fehlt" err.txt)"
