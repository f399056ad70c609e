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

# The fixture web runs around this script; it names its port.
if [ -z "${DVX_FIXTURE_PORT:-}" ]; then
  exec "$here/../../scripts/with-fixture-web.sh" "$0" "$@"
fi
port=$DVX_FIXTURE_PORT
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
