#!/usr/bin/env bash
# The Debian package that cpack makes of the build: its files, its dependencies, the note on
# the queue service and its sandboxing, and no lintian error.
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
    ./usr/share/man/man1/{wdclient,wdConfig,wddb}.1.gz ./etc/wendrell/wddata.conf \
    ./usr/sbin/wdprintd ./usr/share/man/man8/wdprintd.8.gz \
    ./lib/systemd/system/wdprintd.socket ./lib/systemd/system/wdprintd@.service \
    ./usr/lib/cups/backend/wdsmb; do
    grep -qx "$file" <<<"$listing" || fail "the package lacks $file"
done
for module in libwdprint libwdclientui; do
    grep -qE "^\./usr/lib/(.+/)?wendrell/$module\.so\$" <<<"$listing" || fail "no $module.so"
done
# An administrator's settings survive an upgrade.
[ "$(dpkg-deb -I "$deb" conffiles)" = /etc/wendrell/wddata.conf ] || fail "no conffile"
# CUPS runs a backend as root only when nobody else may run it.
grep -q '^-rwx------ root/root .* ./usr/lib/cups/backend/wdsmb$' <<<"$(dpkg-deb -c "$deb")" ||
    fail "the wdsmb backend is not 0700 root"
grep -q cups-filters <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "no cups-filters"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libcups2 libsmbclient libqt6widgets6 libsqlite3; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
description=$(dpkg-deb -f "$deb" Description)
grep -q wdprintd <<<"$description" || fail "no word on the queue service"
! grep -q "add the logon users to lpadmin" <<<"$description" || fail "still sends users to lpadmin"
# The service's units are sandboxed as systemd rates them (lower is safer).
dpkg-deb -x "$deb" "$tmp/root"
exposure=$(systemd-analyze security --offline=yes \
    --root="$tmp/root" wdprintd@.service 2>/dev/null | sed -n 's/.*exposure level for [^:]*: \([0-9.]*\).*/\1/p')
awk -v e="$exposure" 'BEGIN { exit !(e != "" && e <= 2.0) }' || fail "exposure $exposure"
lintian --fail-on error "$deb"
