#!/usr/bin/env bash
# FIFOs where files belong never hold the game up: a FIFO waits for a writer for ever when it
# is opened as a file. The data directory "Rohr" has FIFOs for its settings, a level and the
# highscore; the game's own "Standard" folder (links to the staged one) FIFOs for a sound, a
# mesh, a picture and the music. The game must start (the settings and the level come from
# Standard), log each file of Standard as not loadable, play a scripted game, refuse to write
# the highscore into a FIFO, end in order on SIGTERM, and leave every FIFO as it was.
# Usage: fifo.sh STAGE_DIR
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program beside the data, so that the data directory's settings are looked up here.
cp "$stage/zantor" "$work/zantor"
cd "$work"
mkdir Standard Rohr
for file in "$stage"/Standard/*; do
    ln -s "$file" "Standard/$(basename "$file")"
done
fifos="Standard/klick.wav Standard/ball.mdl Standard/background.png Standard/musik.mp3
       Rohr/Zantor.ini Rohr/Level1.txt Rohr/Highscore.dat"
for fifo in $fifos; do
    rm -f "$fifo"
    mkfifo "$fifo"
done

status=0
DRIVE=$drive xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null timeout -s KILL 90 ./zantor Rohr 2>/dev/null & pid=$!
    . "$DRIVE"
    to_selection 20
    click 3 1.0        # level 1 (from Standard)
    click 3 0.5        # past the help text
    click 1 2.0        # launch, and play for two seconds
    end_unwritten      # game over: the highscore cannot be written into a FIFO
    kill -TERM "$pid"
    wait "$pid"' || status=$?

fail() { echo "FAIL: $*"; echo "--- error rows:"; grep -o "Fehler</b></font><td>[^<]*" log.htm | head -40; exit 1; }
[ "$status" -eq 0 ] || fail "exit code $status"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
for row in "Sound konnte nicht geladen werden!:" \
           "Standard\\ball.mdl" \
           "Fehler beim Laden der Bildinformationen: background.png" \
           "Musik konnte nicht geladen werden!" \
           "Datei konnte nicht geschrieben werden:"; do
    grep -qF "$row" log.htm || fail "no row: $row"
done
for fifo in $fifos; do
    [ -p "$fifo" ] || fail "$fifo is no longer a FIFO"
done
echo "FIFOs in place of 7 files: the game started, played and ended in order;" \
     "$(grep -c Fehler log.htm) error rows; every FIFO left as it was"
