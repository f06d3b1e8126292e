#!/usr/bin/env bash
# zantor-options under Xvfb, driven by xdotool beside a test Zantor.ini: Tab twice and space
# toggle "Spiegelungen", Enter saves all eight; a second run with Escape changes nothing.
# Usage: options.sh PROGRAM [SCREENSHOT]
set -euo pipefail
program=$1
screenshot=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/zantor-options"
printf '; Einstellungen\n[VideoMode]\nWidth=800\nWindowed=1\n[Options]\nSpiegelung=0\nIntro=7\n' \
    > "$work/Zantor.ini"
cp "$work/Zantor.ini" "$work/before.ini"

run() { # the keys to press after the dialog has the focus
    WORK=$work KEYS=$1 SHOT=$2 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
        "$WORK/zantor-options" & pid=$!
        window=$(xdotool search --sync --name "Zantor Optionen" | head -n 1)
        xdotool windowfocus --sync "$window"; sleep 0.5
        if [ -n "$SHOT" ]; then import -window root "$SHOT"; fi
        for key in $KEYS; do xdotool key "$key"; sleep 0.2; done
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$pid" 2>/dev/null; then echo "the dialog did not close"; kill "$pid"; exit 3; fi
        wait "$pid"'
}
fail() { echo "FAIL: $*"; echo "--- Zantor.ini:"; cat "$work/Zantor.ini"; exit 1; }

run "Escape" ""
cmp -s "$work/Zantor.ini" "$work/before.ini" || fail "Escape changed the file"

run "Tab Tab space Return" "$screenshot"
expected='; Einstellungen
[VideoMode]
Width=800
Windowed=1
[Options]
Spiegelung=1
Intro=0
ShowSpeed=0
Ballreflexionen=0
Partikeleffekte=0
Leveluebergaenge=0
Textverzoegerung=0'
[ "$(cat "$work/Zantor.ini")" = "$expected" ] || fail "unexpected file after OK"
echo "zantor-options: Escape kept the file, Tab Tab space Enter toggled Spiegelungen and saved"
