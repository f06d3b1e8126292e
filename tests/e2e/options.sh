#!/usr/bin/env bash
# zantor-options under Xvfb, driven by xdotool beside a test Zantor.ini, and on the command
# line. The dialog: Escape changes nothing; Tab to "Abbrechen" and Enter change nothing and
# close it; Tab Tab space Enter toggle "Spiegelungen" and save all nine (Enter on a check
# box is OK); a save into a read-only file shows a message naming the file and leaves it as
# it was, and after the message the dialog is still open with the boxes as they were set.
# Usage: options.sh PROGRAM [SCREENSHOT]
set -euo pipefail
program=$1
screenshot=${2:-}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cp "$program" "$work/zantor-options"
printf '; Einstellungen\n[VideoMode]\nWidth=800\nWindowed=1\n[Options]\nSpiegelung=0\nIntro=7\n' \
    > "$work/before.ini"
fresh() { chmod 0644 "$work/Zantor.ini" 2>/dev/null || true; cp "$work/before.ini" "$work/Zantor.ini"; }

# Runs the dialog and presses the keys once it has the focus. Besides key names:
#   =error     waits for the message "Fehler beim Speichern" and gives it the focus
#   =back      the message is gone, the dialog is still there: gives it the focus again
#   =writable  makes Zantor.ini writable
run() {
    WORK=$work KEYS=$1 SHOT=$2 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
        "$WORK/zantor-options" 2>"$WORK/stderr" & pid=$!
        window=$(timeout 20 xdotool search --sync --name "^Zantor Optionen$" | head -n 1)
        xdotool windowfocus --sync "$window"; sleep 0.5
        if [ -n "$SHOT" ]; then import -window root "$SHOT"; fi
        for key in $KEYS; do
            case $key in
            =error)
                message=$(timeout 10 xdotool search --sync --name "^Fehler beim Speichern$" |
                          head -n 1) || { echo "no message about the failed save"; kill "$pid"; exit 3; }
                xdotool windowfocus --sync "$message"; sleep 0.3 ;;
            =back)
                if xdotool search --name "^Fehler beim Speichern$" >/dev/null; then
                    echo "the message did not close"; kill "$pid"; exit 3
                fi
                if ! kill -0 "$pid" 2>/dev/null; then echo "the dialog closed with the message"; exit 3; fi
                xdotool windowfocus --sync "$window"; sleep 0.3 ;;
            =writable) chmod 0644 "$WORK/Zantor.ini" ;;
            *) xdotool key "$key"; sleep 0.2 ;;
            esac
        done
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$pid" 2>/dev/null; then echo "the dialog did not close"; kill "$pid"; exit 3; fi
        wait "$pid"'
}
fail() { echo "FAIL: $*"; echo "--- Zantor.ini:"; cat "$work/Zantor.ini"; exit 1; }
unchanged() { cmp -s "$work/Zantor.ini" "$work/before.ini" || fail "$1 changed the file"; }

saved='; Einstellungen
[VideoMode]
Width=800
Windowed=1
VSync=1
[Options]
Spiegelung=1
Intro=0
ShowSpeed=0
Ballreflexionen=0
Partikeleffekte=0
Leveluebergaenge=0
Textverzoegerung=0'

fresh
run "Escape" ""
unchanged "Escape"

# The focus starts on OK; one Tab is "Abbrechen", and Enter there cancels.
run "Tab Return" ""
unchanged "Enter on Abbrechen"

run "Tab Tab space Return" "$screenshot"
[ "$(cat "$work/Zantor.ini")" = "$saved" ] || fail "unexpected file after Enter on a check box"

# A read-only file: the message, the file as it was, the dialog still open; then Escape.
fresh
chmod 0444 "$work/Zantor.ini"
run "Tab Tab space Return =error Return =back Escape" ""
unchanged "A failed save"
if grep -q "Zantor.ini" "$work/stderr"; then fail "the dialog reported on stderr"; fi
# The boxes stay as they were set: the same Enter saves once the file may be written.
run "Tab Tab space Return =error Return =back =writable Return" ""
[ "$(cat "$work/Zantor.ini")" = "$saved" ] || fail "unexpected file after saving again"
echo "zantor-options: Escape and Enter on Abbrechen kept the file, Enter on a check box saved;"
echo "zantor-options: a read-only file gave a message, stayed as it was, and the dialog stayed open"

# The command line.
options=$work/zantor-options
"$options" --help >"$work/out" || fail "--help failed"
grep -q "^Aufruf: zantor-options" "$work/out" || fail "--help printed no usage"
grep -q "Options.Intro" "$work/out" || fail "--help named no settings"
"$options" --version | grep -Eqx 'zantor-options [0-9]+(\.[0-9]+)+' || fail "--version"

fresh
"$options" --set Options.Intro=0 videomode.windowed=0 Spiegelung=1 || fail "--set failed"
grep -qx "Intro=0" "$work/Zantor.ini" && grep -qx "Windowed=0" "$work/Zantor.ini" &&
    grep -qx "Spiegelung=1" "$work/Zantor.ini" || fail "--set did not write all three"
[ "$("$options" --list | head -n 2)" = "VideoMode.Windowed=0
Options.ShowSpeed=0" ] || fail "--list"

fresh
status=0
"$options" --set VideoMode.Intro=0 2>"$work/stderr" || status=$?
[ "$status" = 2 ] || fail "a Section.Key of another section gave $status, not 2"
unchanged "An unknown setting"

chmod 0444 "$work/Zantor.ini"
status=0
"$options" --set Options.Intro=0 Windowed=0 2>"$work/stderr" || status=$?
[ "$status" = 1 ] || fail "--set into a read-only file gave $status, not 1"
unchanged "--set into a read-only file"
grep -q "$work/Zantor.ini: " "$work/stderr" || { cat "$work/stderr"; fail "--set named no file and reason"; }
echo "zantor-options: --help, --version, --set Section.Key, and --set into a read-only file"
