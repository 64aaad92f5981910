#!/usr/bin/env bash
# The simulated modem behind a Wine serial port: what a Windows program writes to the
# port arrives as a recorded line, the modem answers OK (ERROR while told to), and it
# ends cleanly on SIGTERM, putting back the port link it replaced.
#   modem_serial_test.sh <simmodem> <comwrite.exe> <wine-run>
set -uo pipefail
simmodem=$1
comwrite=$2
wine_run=$3
top=$(cd "$(dirname "$wine_run")/.." && pwd)
prefix=${WINEPREFIX:-$top/build/wineprefix}
port=com9
link="$prefix/dosdevices/$port"

work=$(mktemp -d)
modem_pid=
cleanup() {
    [ -n "$modem_pid" ] && kill "$modem_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() { # check <description> <command...>
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# Wine prefixes have links for the machine's serial devices; stand one in for it.
ln -sfn /dev/null "$link"

"$simmodem" --prefix "$prefix" --port "$port" --log "$work/lines" \
    --error-file "$work/answer-error" --ready-file "$work/ready" &
modem_pid=$!
for _ in $(seq 200); do [ -s "$work/ready" ] && break; sleep 0.05; done
check "the modem is ready" test -s "$work/ready"
check "the port points at the modem's terminal" test "$(readlink "$link")" = "$(cat "$work/ready")"

command='AT+CGDCONT=1,"IP","internet.example",""'
answer=$("$wine_run" "$comwrite" COM9 "$command" | tr -d '\r')
check "the writer succeeded and the modem answered OK" grep -qx "answer: OK" <<<"$answer"
check "the line was recorded as written" grep -qxF "$command" "$work/lines"

touch "$work/answer-error"
answer=$("$wine_run" "$comwrite" COM9 "AT+CFUN=7" | tr -d '\r')
check "the modem answered ERROR when told to" grep -qx "answer: ERROR" <<<"$answer"
check "both lines were recorded in order" test "$(cat "$work/lines")" = "$command"$'\n'"AT+CFUN=7"

kill -TERM "$modem_pid"
wait "$modem_pid"
status=$?
modem_pid=
check "the modem ended with exit code 0" test "$status" -eq 0
check "the earlier port link is back" test "$(readlink "$link")" = /dev/null
rm -f "$link"

[ "$failures" -eq 0 ]
