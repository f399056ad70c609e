#!/usr/bin/env bash
# run_fixture_web.sh EMULATOR TEST_EXE: starts the fixture web on an ephemeral
# port, runs the fetch tests against it directly and then through Wine's
# proxy setting, and stops the server whatever happened. It changes the proxy
# setting of the current throwaway prefix only (never ~/.wine).
set -u
emulator=$1
exe=$2
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?needs the throwaway prefix of the test run}"
case "$WINEPREFIX" in "$HOME/.wine"|"$HOME/.wine/") echo "refusing to use ~/.wine" >&2; exit 1 ;; esac

ports=$(mktemp)
/usr/bin/python3 "$here/fixture_web.py" --max-seconds 300 --hang-seconds 3 >"$ports" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -f "$ports"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

port=""
for _ in $(seq 100); do
  port=$(head -n1 "$ports")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "fixture web did not start" >&2; exit 1; }
# A port nobody listens on, for the refused connection.
refused=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')

rc=0
DVX_FIXTURE_PORT=$port DVX_REFUSED_PORT=$refused "$emulator" "$exe" --gtest_filter='FixtureWeb.*' || rc=1

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
wine reg add "$key" /v ProxyServer /t REG_SZ /d "127.0.0.1:$port" /f >/dev/null 2>&1
wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
DVX_FIXTURE_PROXY=1 "$emulator" "$exe" --gtest_filter='FixtureProxy.*' || rc=1
wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1
exit $rc
