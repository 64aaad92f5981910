#!/usr/bin/env bash
# scripts/sim-world.sh sets up the whole simulated world and takes it away again:
# the modem appears as a present modem on COM5, answers there, and is gone after stop.
#   sim_world_test.sh <comwrite.exe>
set -uo pipefail
comwrite=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix}"
world="$top/scripts/sim-world.sh"
netctl="$top/build/win32/bin/netctl.exe"
wine_run() { "$top/scripts/wine-run" "$@" </dev/null | tr -d '\r'; }
trap '"$world" stop >/dev/null 2>&1' EXIT

failures=0
check() { # check <description> <command...>
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

rm -f "$WINEPREFIX/simworld/modem-lines.log"
check "start succeeds" "$world" start
check "status reports the running modem" "$world" status
output=$(wine_run "$netctl" connect)
check "the world's modem is the present modem" grep -q 'on "Korvan USB Modem"' <<<"$output"
answer=$(wine_run "$comwrite" COM5 'AT+CGDCONT=1,"IP","apn"')
check "the modem answers on COM5" grep -qx "answer: OK" <<<"$answer"
check "the modem recorded the line" grep -qxF 'AT+CGDCONT=1,"IP","apn"' "$WINEPREFIX/simworld/modem-lines.log"
check "a second start leaves the running world alone" "$world" start

check "stop succeeds" "$world" stop
check "status reports no modem" test "$("$world" status | head -n 1)" = "modem: not running"
check "the COM5 link is gone" test ! -L "$WINEPREFIX/dosdevices/com5"
output=$(wine_run "$netctl" list)
check "no connection is left" grep -qx "0 connection(s)" <<<"$output"
"$top/scripts/wine-run" "$netctl" connect </dev/null >/dev/null 2>&1
status=$?
check "no modem is present any more" test "$status" -eq 1

[ "$failures" -eq 0 ]
