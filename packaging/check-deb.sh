#!/bin/bash
# check-deb.sh BUILD WORK APP_ID VERSION "SIZES"
#
# Makes the Debian package with cpack into WORK and checks it: its name, its control fields,
# a file list with both programs (in /usr/games, stripped), the Standard data set (spot
# checks), the menu entries, the icons at each size, the metadata, the manual pages, the
# copyright and changelog, and no player's file; the validators on the packaged files; and
# lintian, which fails the test on any error or warning.
set -u
build=$1 work=$2 id=$3 version=$4 sizes=$5
for tool in cpack dpkg-deb dpkg-shlibdeps lintian file; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb="$work/zantor_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work" >&2; echo "FAIL: no $deb" >&2; exit 1; }

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zantor ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
for library in libsdl2 libgtk-3 libopenal libmpg123 libc6 libgl1; do
    field Depends | grep -q "$library" || fail "Depends lacks $library: $(field Depends)"
done

# The file list.
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/files"
must() { grep -qxF "$1" "$work/files" || fail "the package lacks $1"; }
must /usr/games/zantor
must /usr/games/zantor-options
for name in Zantor.ini Level0.txt Level1.txt Level22.txt Text1.txt background.png zantor.png \
            ball.mdl Board.mdl Block0.mdl ball.wav klick.wav musik.mp3; do
    must "/usr/share/zantor/Standard/$name"
done
must "/usr/share/applications/$id.desktop"
must "/usr/share/applications/$id.Options.desktop"
for size in $sizes; do
    must "/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
must "/usr/share/icons/hicolor/scalable/apps/$id.svg"
must "/usr/share/metainfo/$id.metainfo.xml"
must /usr/share/man/man6/zantor.6.gz
must /usr/share/man/man6/zantor-options.6.gz
must /usr/share/man/de/man6/zantor.6.gz
must /usr/share/man/de/man6/zantor-options.6.gz
must /usr/share/doc/zantor/copyright
must /usr/share/doc/zantor/changelog.gz
for name in Highscore.dat Daten.dat log.htm Screenshot.bmp; do
    ! grep -q "/$name\$" "$work/files" || fail "the package holds a player's $name"
done
! grep -q '^/usr/bin/' "$work/files" || fail "a program in /usr/bin, not /usr/games"
! grep -q '^/usr/share/zantor/Standard/Screenshot' "$work/files" || fail "a screenshot"

# What is inside: stripped programs, and the validators on the packaged files.
dpkg-deb -x "$deb" "$work/root"
for program in zantor zantor-options; do
    file "$work/root/usr/games/$program" | grep -q ', stripped' ||
        fail "$program is not stripped: $(file "$work/root/usr/games/$program")"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/"*.desktop || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
        fail "appstreamcli validate"
fi

# lintian: errors and warnings fail; infos are shown (the hardening ones concern the
# compiler flags of the whole build).
lintian --fail-on error,warning --display-info "$deb" 2>&1 | grep -v '^running with root' |
    tee "$work/lintian.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian"

if [ $failures -ne 0 ]; then
    echo "$failures failures" >&2
    exit 1
fi
echo "PASS: $deb, $(wc -l <"$work/files") entries"
