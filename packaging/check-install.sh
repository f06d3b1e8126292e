#!/bin/bash
# check-install.sh BUILD WORK APP_ID VERSION DATA_SOURCE GENERATED_LIST "SIZES"
#
# Installs the build with DESTDIR and with a prefix into WORK and checks the trees: both
# programs, the Standard data set exactly (the hand-written files from DATA_SOURCE, byte for
# byte, the generated ones from GENERATED_LIST and the music, no player's file), the menu
# entries, the icons at each size, the metadata, the manual pages and the copyright; the
# validators on the installed files. The install writes its list to
# install_manifest_Unspecified.txt, so the build's install_manifest.txt (the one an
# uninstall reads) stays as it is.
set -u
build=$1 work=$2 id=$3 version=$4 source=$5 generated=$6 sizes=$7
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
has() { [ -f "$root/$1" ] || fail "$label: missing $1"; }

rm -rf "$work"
mkdir -p "$work"
DESTDIR="$work/destdir" cmake --install "$build" --prefix /usr --component Unspecified \
    >"$work/destdir.log" || { cat "$work/destdir.log"; fail "cmake --install with DESTDIR"; exit 1; }
cmake --install "$build" --prefix "$work/prefix" --component Unspecified \
    >"$work/prefix.log" || { cat "$work/prefix.log"; fail "cmake --install --prefix"; exit 1; }

# The data set as it must be: every file of data/Standard and every generated file.
{
    (cd "$source" && find . -maxdepth 1 -type f -printf '%f\n')
    cat "$generated"
    echo musik.mp3
} | LC_ALL=C sort >"$work/expected"

[ -n "$sizes" ] || fail "no icon sizes given"
for label in destdir prefix; do
    if [ $label = destdir ]; then root="$work/destdir/usr"; else root="$work/prefix"; fi
    for program in zantor zantor-options; do
        [ -x "$root/bin/$program" ] || fail "$label: bin/$program missing or not executable"
        said=$("$root/bin/$program" --version 2>&1)
        [ "$said" = "$program $version" ] || fail "$label: $program --version says: $said"
    done
    standard="$root/share/zantor/Standard"
    (cd "$standard" && find . -mindepth 1 -printf '%P\n') | LC_ALL=C sort >"$work/installed"
    diff -u "$work/expected" "$work/installed" >"$work/data.diff" ||
        { cat "$work/data.diff" >&2; fail "$label: share/zantor/Standard is not the pristine set"; }
    for name in Highscore.dat Daten.dat log.htm Screenshot.bmp; do
        [ ! -e "$standard/$name" ] || fail "$label: a player's $name was installed"
    done
    while read -r name; do
        cmp -s "$source/$name" "$standard/$name" || fail "$label: $name differs from data/Standard"
    done < <(cd "$source" && find . -maxdepth 1 -type f -printf '%f\n')
    while read -r name; do
        [ "$(stat -c %a "$standard/$name")" = 644 ] || fail "$label: $name is not rw-r--r--"
    done <"$work/expected"
    has "share/applications/$id.desktop"
    has "share/applications/$id.Options.desktop"
    has "share/metainfo/$id.metainfo.xml"
    for size in $sizes; do
        icon="share/icons/hicolor/${size}x${size}/apps/$id.png"
        has "$icon"
        # A PNG's width and height: big-endian at bytes 16 and 20.
        dimensions=$(od -An -tu1 -j16 -N8 "$root/$icon" 2>/dev/null |
                     awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }')
        [ "$dimensions" = "${size}x${size}" ] || fail "$label: $icon is $dimensions"
    done
    has "share/icons/hicolor/scalable/apps/$id.svg"
    cmp -s "$root/share/icons/hicolor/64x64/apps/$id.png" "$standard/zantor.png" ||
        fail "$label: the 64 x 64 icon is not the window icon zantor.png"
    has share/man/man6/zantor.6.gz
    has share/man/man6/zantor-options.6.gz
    has share/man/de/man6/zantor.6.gz
    has share/man/de/man6/zantor-options.6.gz
    has share/doc/zantor/copyright
    has share/doc/zantor/changelog.gz
done

# The validators on the installed files.
root="$work/destdir/usr"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/share/applications/$id.desktop" \
        "$root/share/applications/$id.Options.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$root/share/metainfo/$id.metainfo.xml" ||
        fail "appstreamcli validate"
fi
if [ $failures -ne 0 ]; then
    echo "$failures failures" >&2
    exit 1
fi
echo "PASS: installed with DESTDIR and with a prefix, $(wc -l <"$work/expected") data files"
