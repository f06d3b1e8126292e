#!/usr/bin/env bash
# The game as a player meets it once installed: installed into a scratch root (DESTDIR), made
# read-only, and started by its desktop entry's command from an empty folder elsewhere, as a
# player whose XDG base directories point into a scratch home. The menu shows (the screenshot
# is not black), E saves a screenshot into the pictures folder, a game through the menu ends
# with its highscore under XDG_DATA_HOME, the log goes to XDG_STATE_HOME, and nothing is
# written into the installation or the working folder. zantor-options then edits the
# player's copy of the settings, which the game reads. Its catalogues make it English under
# an English locale.
# Usage: installed.sh BUILD_DIR [SCREENSHOT_DIR]
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
build=$(realpath "$1")
shots=${2:-}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
root=$work/root
home=$work/home
DESTDIR=$root cmake --install "$build" --prefix /usr > /dev/null
chmod -R a-w "$root"
mkdir -p "$home/.config" "$work/elsewhere"
printf 'XDG_PICTURES_DIR="$HOME/Bilder"\n' > "$home/.config/user-dirs.dirs"
touch "$work/installed-at"
sleep 1 # anything written into the installation afterwards is newer than the mark

fail() {
    echo "FAIL: $*"
    echo "--- the player's files:"; (cd "$home" && find . | sort)
    echo "--- error rows:"; grep -o "Fehler</b></font><td>[^<]*" "$home/state/zantor/log.htm" | head -20
    exit 1
}

# The installed catalogues: both programs speak English on an English desktop.
for program in zantor zantor-options; do
    usage=$(LANG=en_US.UTF-8 "$root/usr/bin/$program" --help | head -n 1)
    [ "${usage%% *}" = Usage: ] || fail "installed $program --help under en_US: $usage"
done

# The desktop entry's command, as a desktop starts it: the program found on the PATH.
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/"*Zantor.desktop | head -n 1)
[ "$command" = zantor ] || fail "unexpected desktop command: $command"
cd "$work/elsewhere"

DRIVE=$drive SHOTS=$shots COMMAND=$command HOME=$home PATH=$root/usr/bin:$PATH \
XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state LOG=$home/state/zantor/log.htm \
    xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null $COMMAND 2>"$HOME/stderr.txt" & pid=$!
    . "$DRIVE"
    await 60 "menu" logged "Menu Init end" 1
    sleep 3 # the buttons fly in
    import -window root "$HOME/menu.png"
    if [ -n "$SHOTS" ]; then cp "$HOME/menu.png" "$SHOTS/installed-menu.png"; fi
    key E 0
    saved() { compgen -G "$HOME/Bilder/Zantor-*.bmp" > /dev/null; }
    await 10 "screenshot in the pictures folder" saved
    xdotool mousemove_relative -- 560 187; sleep 0.3
    level_loaded click 1 0 # start: the level selection
    click 3 1.5            # level 1 with its help text
    click 3 0.5            # past the help text
    key Escape 0           # the game ends at once: a first highscore
    await 10 "highscore" test -f "$XDG_DATA_HOME/zantor/Standard/Highscore.dat"
    kill -TERM "$pid"
    wait "$pid" || true'

[ -z "$(find "$root" -newer "$work/installed-at")" ] || fail "written into the installation"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "written into the working folder: $(ls -A "$work/elsewhere")"
log=$home/state/zantor/log.htm
[ -f "$log" ] || fail "no log in XDG_STATE_HOME"
[ "$(tail -c 7 "$log")" = "</html>" ] || fail "log without footer"
if grep -q "Datei konnte nicht geschrieben werden" "$log"; then fail "a file was not written"; fi
[ -f "$home/data/zantor/Standard/Daten.dat" ] || fail "no progress in XDG_DATA_HOME"
mean=$(convert "$home/menu.png" -format '%[fx:mean]' info:)
awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || fail "the menu is black (mean $mean)"
if [ -s "$home/stderr.txt" ]; then fail "stderr: $(cat "$home/stderr.txt")"; fi

# zantor-options on the command line edits the player's copy; the game's lookup finds it.
options() { HOME=$home XDG_DATA_HOME=$home/data "$root/usr/bin/zantor-options" "$@"; }
[ "$(options --list | grep ShowSpeed)" = "Options.ShowSpeed=0" ] || fail "options read $(options --list)"
options --set ShowSpeed=1 || fail "options could not save"
[ "$(options --list | grep ShowSpeed)" = "Options.ShowSpeed=1" ] || fail "options did not keep it"
grep -q "^ShowSpeed=1" "$home/data/zantor/Standard/Zantor.ini" || fail "no player's copy"
grep -q "^Width=" "$home/data/zantor/Standard/Zantor.ini" || fail "the copy lost the other keys"
[ -z "$(find "$root" -newer "$work/installed-at")" ] || fail "options wrote into the installation"
echo "installed: menu mean $mean; files kept: $(cd "$home" && find data state Bilder -type f | sort | tr '\n' ' ')"
