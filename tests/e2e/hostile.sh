#!/usr/bin/env bash
# The real program in a hostile data directory: truncated, empty, oversized, binary and
# wrongly typed versions of the files the game reads, and a "Highscore.dat" and "Daten.dat"
# that cannot be written. A scripted game under Xvfb must neither crash nor hang, must end
# with a complete log.htm holding the expected error rows, and must take what the data
# directory lacks from "Standard". A second start with a binary Zantor.ini must end in
# order too (without video settings the game cannot open its screen).
# Usage: hostile.sh STAGE_DIR
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$stage/Standard" "$work/Standard"
# The program beside the data, so that its settings are looked up here too.
cp "$stage/zantor" "$work/zantor"
cd "$work"
mkdir Boese
std=Standard
random() { head -c "$1" /dev/urandom; }

# Layouts: binary, huge, one valid line after a NUL, and a type past NumBlocks.
random 5000 > Boese/Level1.txt
awk 'BEGIN { for (i = 0; i < 28000; i++) print "0000000000000000000000000000000000000000000000000000000000000000000000" }' \
    > Boese/Level2.txt
printf '\0\0\0\n0@\n9999@\n' > Boese/Level4.txt
# Help texts: binary and a line far longer than the line buffer.
random 3000 > Boese/Text1.txt
head -c 5000 /dev/zero | tr '\0' 'x' > Boese/Text3.txt
# Meshes: empty, cut short, a picture under a mesh's name, counts far beyond the file.
: > Boese/ball.mdl
head -c 100 "$std/Board.mdl" > Boese/Board.mdl
cp "$std/background.png" Boese/paddel.mdl
printf '\xff\xff\xff\x0f' > Boese/Block0.mdl
# Pictures: cut short, text, a sound, a header claiming 30000 x 30000.
head -c 200 "$std/info.png" > Boese/info.png
echo "kein Bild" > Boese/zeiger.png
cp "$std/klick.wav" Boese/links.png
printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x75\x30\0\0\x75\x30\x08\x06\0\0\0\0\0\0\0' > Boese/rechts.png
random 100000 > Boese/sprite.png
: > Boese/risse.png
echo "kein Bild" > Boese/block1.png   # the texture of a mesh that comes from Standard
# Sounds: empty, cut short, a 40-byte format, a data chunk claiming 4 GB, a picture.
: > Boese/ball.wav
head -c 30 "$std/ploing.wav" > Boese/ploing.wav
{ printf 'RIFF\x50\0\0\0WAVEfmt \x28\0\0\0'; head -c 40 /dev/zero; printf 'data\0\0\0\0'; } > Boese/wall.wav
{ head -c 36 "$std/paddel.wav"; printf 'data\xf0\xff\xff\xff'; head -c 1000 /dev/zero; } > Boese/paddel.wav
cp "$std/zeiger.png" Boese/klick.wav
# Music: text, and a picture.
echo "Dies ist kein Lied." > Boese/musik.mp3
# The score files cannot be written: folders in their place.
mkdir Boese/Highscore.dat Boese/Daten.dat
files=$(find Boese -mindepth 1 | wc -l)

DRIVE=$drive xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null timeout -s KILL 120 ./zantor Boese \
        2>/dev/null & pid=$!
    . "$DRIVE"
    to_selection 60    # (the picture of the start button comes from Standard)
    click 3 1.0        # level 1: the binary layout
    click 3 0.5        # past the binary help text
    click 1 2.0        # launch, and play for two seconds
    key F4 0.5         # the camera behind the paddle
    end_unwritten      # game over: the highscore cannot be written
    level_loaded key n 0 # a new game
    click 3 1.0; click 3 0.5; click 1 1.5
    end_unwritten
    key Escape 1.0     # back to the menu (no row marks it: a few frames)
    kill -TERM "$pid"
    wait "$pid"' || status=$?
status=${status:-0}

fail() { echo "FAIL: $*"; echo "--- error rows:"; grep -o "Fehler</b></font><td>[^<]*" log.htm | sort | uniq -c | head -40; exit 1; }
[ "$status" -eq 0 ] || fail "exit code $status"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
for row in "Fehler beim Anlegen der Sprite Textur: info.png" \
           "Fehler beim Laden der Bildinformationen: zeiger.png" \
           "Fehler beim Laden der Bildinformationen: rechts.png" \
           "...ist unvollständig!" \
           "Texture konnte nicht erzeugt werden!" \
           "SpriteTextur konnte nicht geladen werden!" \
           "Sound konnte nicht geladen werden!:" \
           "DirectAudio: Datei hat falsches Format!" \
           "Musik konnte nicht geladen werden!" \
           "Datei konnte nicht geschrieben werden:"; do
    grep -qF "$row" log.htm || fail "no row: $row"
done
# What the data directory lacks comes from Standard without a word.
if grep -q "Standard\\\\start.png\|Fehler beim Laden der Bildinformationen: start.png" log.htm; then
    fail "start.png did not fall back"
fi
rows=$(grep -c "Fehler" log.htm)

# A binary Zantor.ini hides Standard's: no video settings, so no screen; an orderly end.
random 4000 > Boese/Zantor.ini
set +e
SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null xvfb-run -a -s '-screen 0 1024x768x24 -noreset' \
    timeout -s KILL 60 ./zantor Boese > /dev/null 2> stderr.txt
second=$?
set -e
[ "$second" -eq 1 ] || fail "with a binary Zantor.ini: exit code $second, expected 1"
grep -q "Die gewählte Auflösung ist nicht verfügbar" log.htm || fail "no mode report"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer after the binary Zantor.ini"
echo "hostile data directory: $files files, a scripted game without a crash, $rows error rows;" \
     "a binary Zantor.ini ends in order with exit code 1"
