#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root (no installation
# on the machine) and checks what a user and the desktop see: every program
# answers --version with the package's version, cadenzor-cli checks the
# installed demo folder, the desktop entry and the AppStream metainfo pass
# their validators, the man pages format without warnings, and the package
# depends on the Qt runtime libraries, not on -dev packages.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing_packages
configure_and_build

fail() { echo "package check: $*" >&2; exit 1; }

cd "$BUILD"
rm -f cadenzor_*.deb
cpack -G DEB >/dev/null
DEB=$(ls cadenzor_*.deb)
echo "built $DEB"

SCRATCH=$(mktemp -d)
trap 'chmod -R u+w "$SCRATCH"; rm -rf "$SCRATCH"' EXIT
dpkg-deb -x "$DEB" "$SCRATCH/root"
ROOT_USR="$SCRATCH/root/usr"

VERSION=$(dpkg-deb -f "$DEB" Version)
for program in cadenzor cadenzor-cli kelvo-sim ds-sim; do
    [ -x "$ROOT_USR/bin/$program" ] || fail "$program is not installed"
    answer=$("$ROOT_USR/bin/$program" --version)
    [ "$answer" = "$program $VERSION" ] || fail "$program --version says '$answer', the package is $VERSION"
done
for program in cadenzor cadenzor-cli kelvo-sim; do
    [ -f "$ROOT_USR/share/man/man1/$program.1.gz" ] || fail "no man page for $program"
    if command -v man >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$ROOT_USR/share/man/man1/$program.1.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man page of $program: $warnings"
    fi
done

DEPENDS=$(dpkg-deb -f "$DEB" Depends)
echo "depends: $DEPENDS"
grep -q 'libqt6widgets6' <<<"$DEPENDS" || fail "no dependency on the Qt widgets runtime"
grep -q 'libqt6serialport6' <<<"$DEPENDS" || fail "no dependency on the Qt serial port runtime"
grep -q 'qt6-qpa-plugins' <<<"$DEPENDS" || fail "no dependency on the Qt platform plugins"
if grep -q -- '-dev' <<<"$DEPENDS"; then fail "depends on a -dev package"; fi

# The demo folder as installed: read-only, checked where it lies.
DEMO="$ROOT_USR/share/cadenzor/examples/methods"
[ -f "$DEMO/latest_kelvo.kol" ] || fail "no demo folder"
chmod -R a-w "$DEMO"
"$ROOT_USR/bin/cadenzor-cli" check "$DEMO" >/dev/null || fail "cadenzor-cli check fails on the installed demo folder"

desktop-file-validate "$ROOT_USR/share/applications/org.qerant.Cadenzor.desktop"
appstreamcli validate --no-net "$ROOT_USR/share/metainfo/org.qerant.Cadenzor.metainfo.xml"
[ -f "$ROOT_USR/share/icons/hicolor/scalable/apps/org.qerant.Cadenzor.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
    [ -f "$ROOT_USR/share/icons/hicolor/${size}x${size}/apps/org.qerant.Cadenzor.png" ] || fail "no ${size}px icon"
done

# lintian is not installed by the scripts (it is large); its findings are
# shown when it is there, without failing the check.
if command -v lintian >/dev/null; then lintian --no-tag-display-limit "$DEB" || true; fi
echo "package check passed: $DEB"
