#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built program into a scratch prefix and checks the layout that desktops and Debian
# expect. Exits 77 (skipped) where a checking tool is missing, once the checks that need none pass.
#     install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/filocompte" ] || fail "bin/filocompte missing"
desktop=$prefix/share/applications/filocompte.desktop
metainfo=$prefix/share/metainfo/filocompte.metainfo.xml
for f in "$desktop" "$metainfo" "$prefix/share/man/man1/filocompte.1" \
         "$prefix/share/icons/hicolor/scalable/apps/filocompte.svg"; do
    [ -s "$f" ] || fail "${f#"$prefix"/} missing"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/filocompte.png
    [ -s "$png" ] || fail "${size}x${size} icon missing"
    # Width and height: big-endian words at bytes 16 and 20 of a PNG.
    actual=$(od -An -tu1 -j16 -N8 "$png" |
             awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$actual" = "${size}x${size}" ] || fail "${size}x${size} icon is $actual"
done
# From the menu or at login the files go to the user's data folder.
grep -qx 'Exec=filocompte --dossier-utilisateur' "$desktop" || fail "Exec line"
# The history's module lies where the program looks for it, and only it maps the chart library.
module=$(find "$prefix" -name libfilocompte-history.so)
[ -n "$module" ] || fail "history module missing"
folder=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")${module#"$prefix"}
grep -qaF "${folder%/*}" "$prefix/bin/filocompte" || fail "the program looks for its module elsewhere"
needed() { readelf -d "$1" | grep -c "NEEDED.*$2" || true; }
[ "$(needed "$prefix/bin/filocompte" libQt6Charts)" = 0 ] || fail "the program links Qt Charts"
[ "$(needed "$module" libQt6Charts)" = 1 ] || fail "the module does not link Qt Charts"
# The journal's database module beside it, and only it maps QtSql.
journal=${module%/*}/libfilocompte-journal.so
[ -f "$journal" ] || fail "journal module missing"
[ "$(needed "$prefix/bin/filocompte" libQt6Sql)" = 0 ] || fail "the program links QtSql"
[ "$(needed "$journal" libQt6Sql)" = 1 ] || fail "the journal module does not link QtSql"

missing=()
if command -v python3 >/dev/null; then
    python3 "$source/resources/icons/make_icon.py" --check || fail "icons differ from their drawing"
else
    missing+=(python3)
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry"
else
    missing+=(desktop-file-validate)
fi
if command -v appstreamcli >/dev/null; then
    # Warnings pass (see README); errors fail.
    report=$(appstreamcli validate --no-net "$metainfo" || true)
    echo "$report"
    ! grep -q '^E:' <<<"$report" || fail "metainfo"
else
    missing+=(appstreamcli)
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped, missing: ${missing[*]}"
    exit 77
fi
