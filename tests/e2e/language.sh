#!/usr/bin/env bash
# The programs in the player's language. --help of both programs is English under an English
# locale, and German, byte for byte the same, under "C", German and French ones (French has no
# catalogue), and under an English locale with LANGUAGE naming French first and then English
# it is English again. Under Xvfb, the game is played to the level selection, the help text,
# a paused level and the game over once in German and once in English: the screenshots differ
# in the text areas and nowhere else, and log.htm stays German.
# Usage: language.sh STAGE_DIR [SHOTS_DIR]
set -uo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$(realpath "$1")
shots=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# --help in each locale: LANG and LANGUAGE as given, nothing else of the locale set.
help() { env -u LC_ALL -u LC_MESSAGES LANG="$1" LANGUAGE="$2" "$stage/$3" --help; }
for program in zantor zantor-options; do
    german=$(help C.UTF-8 "" "$program")
    english=$(help en_US.UTF-8 "" "$program")
    case "$german" in "Aufruf: $program "*) ;; *) fail "$program --help under C: $german" ;; esac
    case "$english" in "Usage: $program "*) ;; *) fail "$program --help under en_US: $english" ;; esac
    for locale in de_DE.UTF-8 de_AT POSIX fr_FR.UTF-8; do
        [ "$(help "$locale" "" "$program")" = "$german" ] || fail "$program --help under $locale"
    done
    [ "$(help en_GB.UTF-8 fr:en "$program")" = "$english" ] || fail "$program: LANGUAGE=fr:en"
    [ "$(help de_DE.UTF-8 fr:en "$program")" = "$english" ] || fail "$program: LANGUAGE=fr:en, de_DE"
done
echo "--help: English under en_US, en_GB and LANGUAGE=fr:en; German under C, de, POSIX and fr"

# The game in a data set of one short level, without intro or transitions.
mkdir "$work/Sprache"
awk '
    { sub(/\r$/, "") }
    /^\[/ { section = $0 }
    section == "[Options]" && /^(Intro|Leveluebergaenge|Control)=/ { next }
    { print }
    /^\[Options\]$/ { print "Intro=0\nLeveluebergaenge=0\nControl=1" }
' "$stage/Standard/Zantor.ini" > "$work/Sprache/Zantor.ini"
printf '..@\n00@\n' > "$work/Sprache/Level1.txt"
cp "$stage/Standard/Text1.txt" "$stage/Standard/Text1.en.txt" "$work/Sprache/"

# play LANG FOLDER: the screenshots of one game in the folder.
play() {
    mkdir -p "$work/$2"
    (cd "$work/$2" && ln -s "$stage/Standard" Standard && ln -s "$stage/locale" locale &&
        cp -r "$work/Sprache" Sprache && cp "$stage/zantor" zantor) # a highscore each
    cd "$work/$2" || exit 1
    DRIVE=$drive LANG=$1 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
        SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor Sprache 2>/dev/null & pid=$!
        . "$DRIVE"
        await 60 "menu" logged "Menu Init end" 1
        sleep 1
        key Down 0.3
        key Return 0 # start: two seconds, then level 1 loads
        await 30 "level 1" logged "cLevelname=" 2
        sleep 0.5
        import -window root selection.png
        key Return 0.5
        import -window root help.png
        key Return 0.5
        key p 0.5
        import -window root pause.png
        key p 0.2
        key Escape 1.0 # the game ends, with 0 as the first highscore
        import -window root over.png
        kill -TERM "$pid"
        wait "$pid"' || fail "the game in $1 did not reach its paused level"
    cd "$work" || exit 1
}
play C.UTF-8 de
play en_US.UTF-8 en
if [ -n "$shots" ]; then
    for shot in selection help pause over; do
        cp "$work/de/$shot.png" "$shots/$shot-de.png"
        cp "$work/en/$shot.png" "$shots/$shot-en.png"
    done
fi

# same SHOT RECTANGLES...: the German and the English picture are the same outside the
# rectangles (x0,y0 x1,y1, painted black in both) and differ inside them.
same() {
    local shot=$1
    shift
    local draw=() rect
    for rect in "$@"; do draw+=(-draw "rectangle $rect"); done
    local outside inside
    convert "$work/de/$shot.png" -fill black "${draw[@]}" "$work/de-$shot.png"
    convert "$work/en/$shot.png" -fill black "${draw[@]}" "$work/en-$shot.png"
    outside=$(compare -metric AE "$work/de-$shot.png" "$work/en-$shot.png" null: 2>&1)
    [ "$outside" = 0 ] || fail "$shot: $outside pixels differ outside the texts"
    inside=$(compare -metric AE "$work/de/$shot.png" "$work/en/$shot.png" null: 2>&1)
    [ "$inside" != 0 ] || fail "$shot: the English texts look like the German ones"
    echo "$shot: $inside pixels differ, all in the texts"
}
same selection "0,0 1023,18" "0,748 1023,767"        # the title row, the level number
same help "100,80 960,600"                           # the help text on its panel
same pause "0,0 360,84" "0,370 1023,400"             # the score lines, the pause line
same over "0,376 1023,456"                           # the four lines of the game over

# log.htm is a file that tools read: its rows stay German in every language.
for rows in de/log.htm en/log.htm; do
    grep -qF "Game: Initialisierung abgeschlossen" "$work/$rows" || fail "$rows: no German rows"
done
