#!/usr/bin/env bash
# Single sign-on printing, end to end, inside the private domain's namespace (scripts/krbserver):
# the client makes its queue with the site's logon "kerberos"; a job of a user with a ticket
# reaches the domain's printer share as that user; without a ticket it is held and nothing
# arrives.
#   kerberos_test.sh BUILD_DIR KRBSERVER_DIR
set -euo pipefail
build=$1
# shellcheck disable=SC1091
. "$2/env"
user=wdtest-a
fail() { echo "FAIL: $*" >&2; exit 1; }
id "$user" >/dev/null 2>&1 || useradd --system --no-create-home "$user"
uid=$(id -u "$user")
tmp=$(mktemp -d)
chmod 755 "$tmp"
trap 'rm -rf "$tmp" "/tmp/krb5cc_$uid"' EXIT
as_user() { setpriv --reuid="$user" --regid="$user" --init-groups -- env HOME="$tmp/home" \
    CUPS_SERVER="$KRB_CUPS_SERVER" KRB5_CONFIG="$KRB_CONFIG" "$@"; }
mkdir "$tmp/home" && chown "$user" "$tmp/home"

cp "$build/client/wdclient" "$build/client/libwdprint.so" "$tmp/"
"$build/tools/wddb" create "$tmp/wddata.mdb" >/dev/null
printer="\\\\$KRB_DC_NAME\\$KRB_SHARE"
sqlite3 "$tmp/wddata.mdb" "UPDATE Config SET ClearPrintersFirst = 0, AllowClientSelection = 0,
    PrintAuthentication = 'kerberos';
  INSERT INTO printers (UNCNAME, Available) VALUES ('$printer', 1);
  INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('*', '$printer');"
chmod 666 "$tmp/wddata.mdb"
rm -f "$KRB_PRINTED_DIR"/*

# The user's ticket in the cache the job's backend looks in.
as_user kinit "$KRB_USER" <<<"$KRB_PASSWORD" >/dev/null || fail "kinit"
as_user "$tmp/wdclient" /S /q || fail "the client ended with $?"
queue=$(as_user lpstat -v | awk '/wdsmb:/ { sub(":", "", $3); print $3 }')
[ -n "$queue" ] || fail "no wdsmb queue: $(as_user lpstat -v)"
as_user lpoptions -p "$queue" | grep -q "auth-info-required=negotiate" || fail "no negotiate"

echo "a page for the domain" >"$tmp/page.txt"
chmod 644 "$tmp/page.txt"
as_user lp -d "$queue" "$tmp/page.txt" >/dev/null
for _ in $(seq 150); do compgen -G "$KRB_PRINTED_DIR/$KRB_USER-*" >/dev/null && break; sleep 0.1; done
arrived=$(compgen -G "$KRB_PRINTED_DIR/$KRB_USER-*" | head -1) || fail "nothing arrived as $KRB_USER"
cmp -s "$arrived" "$tmp/page.txt" || fail "what arrived differs from what was printed"

# Without a ticket: held for authentication, and nothing arrives.
rm -f "$KRB_PRINTED_DIR"/* "/tmp/krb5cc_$uid"
job=$(as_user lp -d "$queue" "$tmp/page.txt" | awk '{ print $4 }')
held() { as_user lpstat -l -o | grep -A4 "^$job " | grep -q "held-for-authentication"; }
for _ in $(seq 150); do held && break; sleep 0.1; done
held || fail "the job is not held for authentication: $(as_user lpstat -l -o)"
[ -z "$(ls -A "$KRB_PRINTED_DIR")" ] || fail "something arrived without a ticket"
as_user cancel "$job"
