#!/bin/sh
# Usage: install_test.sh BUILD_DIR GUI(ON/OFF)
set -eu
build=$1
gui=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "install test: $*" >&2; exit 1; }

programs="elsetry-tle elsetry-settings"
[ "$gui" = ON ] && programs="elsetry $programs"
for program in $programs; do
    [ -x "$prefix/bin/$program" ] || fail "$program not installed"
    "$prefix/bin/$program" --help > "$prefix/help.txt" 2>&1 || fail "$program --help failed"
    grep -qi "usage" "$prefix/help.txt" || fail "$program --help printed no usage"
    [ -f "$prefix/share/man/man1/$program.1" ] || fail "no manual page for $program"
done
[ -f "$prefix/share/applications/elsetry.desktop" ] || fail "no desktop entry"
[ -f "$prefix/share/icons/hicolor/scalable/apps/elsetry.svg" ] || fail "no icon"
grep -q '^Exec=elsetry$' "$prefix/share/applications/elsetry.desktop" || fail "desktop entry runs something else"
echo "installed and ran: $programs"
