#!/usr/bin/env bash
# The Debian package that cpack makes of the build: its files, its dependencies, the note on
# the CUPS group, and no lintian error.
#   package_test.sh BUILD_DIR
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$1" && cpack -G DEB -B "$tmp" >/dev/null)
deb=$(echo "$tmp"/*.deb)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/wdclient ./usr/bin/wdConfig ./usr/bin/wddb \
    ./usr/share/applications/wendrell-config.desktop \
    ./usr/share/icons/hicolor/scalable/apps/wendrell-config.svg \
    ./usr/share/wendrell/autostart/wendrell-client.desktop \
    ./usr/share/man/man1/{wdclient,wdConfig,wddb}.1.gz ./etc/wendrell/wddata.conf; do
    grep -qx "$file" <<<"$listing" || fail "the package lacks $file"
done
for module in libwdprint libwdclientui; do
    grep -qE "^\./usr/lib/(.+/)?wendrell/$module\.so\$" <<<"$listing" || fail "no $module.so"
done
# An administrator's settings survive an upgrade.
[ "$(dpkg-deb -I "$deb" conffiles)" = /etc/wendrell/wddata.conf ] || fail "no conffile"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libcups2 libsmbclient libqt6widgets6 libsqlite3; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
grep -q lpadmin <<<"$(dpkg-deb -f "$deb" Description)" || fail "no note on the CUPS group"
lintian --fail-on error "$deb"
