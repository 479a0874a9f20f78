#!/usr/bin/env bash
# The program as a school installs it: `cmake --install` into a scratch
# prefix, and the .deb unpacked into a scratch root. Each must hold the whole
# program, pass the desktop's own validators, and start to its menu from any
# folder without writing into its install folder.
# Usage: install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check_tree() { # ROOT PREFIX
    local root=$1 prefix=$2
    [ -x "$root$prefix/bin/valdoria" ] || fail "no program in $prefix/bin"
    # The printer, charts and voice, found by the program at ../lib/valdoria/modules.
    local module="$root$prefix/lib/valdoria/modules/libvaldoria_ondemand.so"
    [ -f "$module" ] || fail "no on-demand module in $prefix/lib/valdoria/modules"
    nm -D --defined-only "$module" | grep -q ' valdoria_ondemand$' || fail "the module gives no entry"
    ! ldd "$module" | grep -q 'not found' || fail "the module's libraries are missing"
    "$root$prefix/bin/valdoria" --version | grep -qF "lettura ad alta voce: $module" \
        || fail "the program does not find its module"
    local share="$root$prefix/share"
    [ -f "$share/valdoria/valdoria.mdb" ] || fail "no course database"
    local pictures; pictures=$(find "$share/valdoria" -name '*.jpg' | wc -l)
    [ "$pictures" -ge 160 ] || fail "only $pictures pictures installed"
    for f in granit1.jpg valdoria1.jpg control6.jpg GHIACC1.jpg; do
        [ -n "$(find "$share/valdoria" -iname "$f")" ] || fail "missing picture $f"
    done
    [ -f "$share/applications/it.valdoria.Valdoria.desktop" ] || fail "no desktop entry"
    [ -f "$share/metainfo/it.valdoria.Valdoria.metainfo.xml" ] || fail "no metainfo"
    [ -f "$share/icons/hicolor/scalable/apps/it.valdoria.Valdoria.svg" ] || fail "no SVG icon"
    for s in 16 32 48 64 128 256; do
        [ -f "$share/icons/hicolor/${s}x${s}/apps/it.valdoria.Valdoria.png" ] || fail "no ${s}px icon"
    done
    desktop-file-validate "$share/applications/it.valdoria.Valdoria.desktop" || fail "desktop entry not valid"
    appstreamcli validate --no-net "$share/metainfo/it.valdoria.Valdoria.metainfo.xml" >/dev/null \
        || fail "metainfo not valid"
    # The course database has its questions and empty archives.
    [ "$(sqlite_count "$share/valdoria/valdoria.mdb" studenti)" = 0 ] || fail "results shipped in the course"
}

sqlite_count() { # FILE TABLE
    "$build/tests/tst_tools" --count "$1" "$2" 2>/dev/null
}

start_from_elsewhere() { # PROGRAM SHARE
    local program=$1 share=$2
    local home="$work/home-$RANDOM" elsewhere="$work/elsewhere-$RANDOM"
    mkdir -p "$home" "$elsewhere"
    local before; before=$(cd "$share" && find . -type f -printf '%p %s %T@\n' | sort | md5sum)
    local status=0
    (cd "$elsewhere" && HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
        QT_QPA_PLATFORM=offscreen timeout 5 "$program" 2>"$work/said") || status=$?
    # Still running at the time limit: it had started and was waiting on its menu.
    [ "$status" = 124 ] || { cat "$work/said" >&2; fail "$program ended with status $status"; }
    if grep -q '^valdoria:' "$work/said"; then cat "$work/said" >&2; fail "$program reported an error"; fi
    [ -f "$home/.local/share/Valdoria/valdoria.mdb" ] || fail "no data folder with the database in $home"
    local after; after=$(cd "$share" && find . -type f -printf '%p %s %T@\n' | sort | md5sum)
    [ "$before" = "$after" ] || fail "the install folder was written to"
    # A second start works on the same data folder.
    (cd "$elsewhere" && HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
        QT_QPA_PLATFORM=offscreen timeout 3 "$program" 2>"$work/said") || status=$?
    [ "$status" = 124 ] || fail "second start ended with status $status"
}

echo "== cmake --install"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
check_tree "" "$work/prefix"
start_from_elsewhere "$work/prefix/bin/valdoria" "$work/prefix/share/valdoria"

echo "== .deb"
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/valdoria_*.deb)
# Debian's own checker finds no error; the version is the project's everywhere.
lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
if grep -q '^E:' "$work/lintian"; then cat "$work/lintian" >&2; fail "lintian reports errors"; fi
version=$(sed -n 's/^project(Valdoria VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "the package version is not $version"
ls "$work"/package/valdoria-dbgsym_*.ddeb >/dev/null 2>&1 || fail "no package of debug symbols"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || fail "the .deb does not depend on the Qt libraries"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6sql6-sqlite' || fail "the .deb does not depend on the SQLite driver"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6charts6' || fail "the .deb does not depend on the module's libraries"
dpkg -x "$deb" "$work/root"
check_tree "$work/root" /usr
file "$work/root/usr/bin/valdoria" | grep -q ', stripped' || fail "the packaged program is not stripped"
grep -q "release version=\"$version\"" "$work/root/usr/share/metainfo/it.valdoria.Valdoria.metainfo.xml" \
    || fail "the software-centre description does not name version $version"
zgrep -q 'prepara.*cartella' "$work/root/usr/share/man/man6/valdoria.6.gz" || fail "no manual page with the options"
start_from_elsewhere "$work/root/usr/bin/valdoria" "$work/root/usr/share/valdoria"
echo "installed tree, desktop entry, metainfo and package all right"
