#!/usr/bin/env bash
# The NetworkManager dispatcher script runs the client for each user logged on here when a
# connection comes up, as that user, and does nothing on other events.
#   dispatcher_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
script=$2/packaging/networkmanager-dispatcher
tmp=$(mktemp -d)
user=wdtest-laptop
fail() { echo "FAIL: $*" >&2; exit 1; }
id "$user" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$user"
uid=$(id -u "$user")
runtime=/run/user/$uid
made=0
[ -d "$runtime" ] || { mkdir -p "$runtime" && chown "$user" "$runtime" && made=1; }
trap '[ "$made" = 1 ] && rm -rf "$runtime"; rm -rf "$tmp"' EXIT

# The client beside its database, which every computer's rule (no printers) matches.
cp "$build/client/wdclient" "$build/client/libwdprint.so" "$tmp/"
"$build/tools/wddb" create "$tmp/wddata.mdb" >/dev/null
sqlite3 "$tmp/wddata.mdb" "INSERT INTO MapRules (RULENAME) VALUES ('*');"
chmod 777 "$tmp"
chmod 666 "$tmp/wddata.mdb"
runs() { sqlite3 "$tmp/wddata.mdb" "SELECT COUNT(*) FROM wd_runlog WHERE username = '$user'"; }

PATH=$tmp:$PATH "$script" eth0 down
PATH=$tmp:$PATH "$script" eth0 connectivity-change
sleep 1
[ "$(runs)" = 0 ] || fail "the client ran on an event that changes no address"
PATH=$tmp:$PATH "$script" eth0 up
for _ in $(seq 100); do [ "$(runs)" = 1 ] && break; sleep 0.1; done
[ "$(runs)" = 1 ] || fail "no run of the client for $user after 'up'"
