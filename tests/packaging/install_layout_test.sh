#!/bin/sh
# Installs the build into a temporary DESTDIR with prefix /usr, as the package
# does, and checks what a desktop and `man` will look for there.
# Usage: install_layout_test.sh BUILD_DIR WITH_GUI(ON|OFF)
set -u
build=$1
with_gui=$2
stage=$(mktemp -d "${TMPDIR:-/tmp}/pavona-install.XXXXXX") || exit 1
trap 'rm -rf "$stage"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1 ||
    { cat "$stage.log" >&2; rm -f "$stage.log"; echo "FAIL: cmake --install" >&2; exit 1; }
rm -f "$stage.log"
root=$stage/usr

# The programs, runnable from where they were installed.
[ -x "$root/bin/pavona-cli" ] || fail "bin/pavona-cli missing or not executable"
"$root/bin/pavona-cli" --help >"$stage/help.txt" || fail "installed pavona-cli --help failed"

# The manual page: groff reads it without a warning, and every option the tool's
# usage lists is documented.
man_page=$root/share/man/man1/pavona-cli.1
if [ -f "$man_page" ]; then
    groff -man -Tascii -P-cbou -ww "$man_page" >"$stage/man.txt" 2>"$stage/man.err" ||
        fail "groff could not render the manual page"
    [ -s "$stage/man.err" ] && { cat "$stage/man.err" >&2; fail "groff warned about the manual page"; }
    grep -q "EXIT STATUS" "$stage/man.txt" || fail "the manual page has no EXIT STATUS section"
    for option in $(grep -o -- '--[a-z][a-z-]*' "$stage/help.txt" | sort -u); do
        grep -q -- "^ *$option\b" "$stage/man.txt" ||
            fail "option $option is not described in the manual page"
    done
else
    fail "share/man/man1/pavona-cli.1 missing"
fi

png_size() { # width x height from the PNG header
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'
}

if [ "$with_gui" = ON ]; then
    [ -x "$root/bin/pavona" ] || fail "bin/pavona missing or not executable"
    entry=$root/share/applications/pavona.desktop
    if [ -f "$entry" ]; then
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$entry" >&2 || fail "desktop-file-validate refused the entry"
        else
            echo "desktop-file-validate not installed: entry not validated" >&2
        fi
        grep -qx 'Exec=pavona' "$entry" || fail "the entry does not start pavona"
        grep -qx 'Icon=pavona' "$entry" || fail "the entry does not name the pavona icon"
    else
        fail "share/applications/pavona.desktop missing"
    fi
    for size in 48 64 128 256; do
        icon=$root/share/icons/hicolor/${size}x${size}/apps/pavona.png
        if [ -f "$icon" ]; then
            [ "$(png_size "$icon")" = "${size}x${size}" ] ||
                fail "$size px icon is $(png_size "$icon")"
        else
            fail "icon ${size}x${size} missing"
        fi
    done
fi

[ "$failures" -eq 0 ] && echo "install layout under $root: all checks passed"
exit "$failures"
