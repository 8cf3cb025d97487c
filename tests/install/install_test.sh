#!/usr/bin/env bash
# The build installed into a temporary prefix: a logon against the private servers with
# the module from the private library folder and the database a wddata.conf names.
#   install_test.sh BUILD_DIR TESTSERVERS_DIR
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$1" --prefix "$tmp/usr" >/dev/null
bin=$tmp/usr/bin
for module in libwdprint.so libwdclientui.so; do
    [ ! -e "$bin/$module" ] || fail "$module lies beside the programs"
    [ -n "$(find "$tmp/usr/lib" -path "*/wendrell/$module")" ] ||
        fail "no $module in the private library folder"
done
# A silent logon must not pay for mapping the window toolkit.
! ldd "$bin/wdclient" | grep -q libQt6 || fail "wdclient links the window toolkit"

share=$tmp/usr/share
desktop-file-validate "$share/applications/wendrell-config.desktop" \
    "$share/wendrell/autostart/wendrell-client.desktop"
for page in wdclient wdConfig wddb; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" \
        >"$tmp/page" 2>"$tmp/warnings"
    grep -q "^NAME" "$tmp/page" || fail "$page.1 does not render"
    [ ! -s "$tmp/warnings" ] || fail "$page.1: $(cat "$tmp/warnings")"
done

grep -q "wddata.conf" <<<"$("$bin/wdConfig" --help)" || fail "wdConfig --help"
for word in /CLIENTNAME /S /q USERNAME STARTDIR "Exit codes"; do
    grep -q -- "$word" <<<"$("$bin/wdclient" --help)" || fail "wdclient --help: $word"
done
mkdir "$tmp/site"
"$bin/wddb" create "$tmp/site/wddata.mdb" >/dev/null
# shellcheck disable=SC1091
source "$2/env"
export CUPS_SERVER CUPS_SERVERROOT HOME
laser="\\\\$SMB_HOST\\$SMB_SHARE_LASER"
sqlite3 "$tmp/site/wddata.mdb" "UPDATE Config SET ClearPrintersFirst = 0, AllowClientSelection = 0;
    INSERT INTO printers (UNCNAME, Description, Available) VALUES ('$laser', '', 1);
    INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, \"Default\", Active) VALUES ('PC1', '$laser', '', '', '', 1, 1);"
echo "database = ../../site/wddata.mdb" >"$bin/wddata.conf"

for queue in $(lpstat -e); do lpadmin -x "$queue"; done
# An error box would wait for ever: offscreen, nobody answers it.
QT_QPA_PLATFORM=offscreen timeout 60 "$bin/wdclient" /S /q /CLIENTNAME=PC1 ||
    fail "the installed client ended with $?"
queues=$(lpstat -v)
grep -qF "smb://$SMB_HOST/$SMB_SHARE_LASER" <<<"$queues" || fail "no queue: $queues"
for queue in $(lpstat -e); do lpadmin -x "$queue"; done
# With its status window, through the windows' module.
QT_QPA_PLATFORM=offscreen timeout 60 "$bin/wdclient" /q /CLIENTNAME=PC1 ||
    fail "the installed client with its window ended with $?"
grep -qF "smb://$SMB_HOST/$SMB_SHARE_LASER" <<<"$(lpstat -v)" || fail "no queue from the window run"
for queue in $(lpstat -e); do lpadmin -x "$queue"; done
