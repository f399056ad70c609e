#!/usr/bin/env bash
# fixture_web_tests.sh TEST_EXE: the main window against the fixture web
# (started around this script by with-fixture-web.sh): the query job with the
# hosts pointed at it, then the title check with the fixture web as the proxy
# of this throwaway prefix, which is switched off again afterwards.
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../../scripts/wine-exec.sh"
: "${WINEPREFIX:?needs the throwaway prefix of the test run}"
: "${DVX_FIXTURE_PORT:?needs the fixture web}"

rc=0
"$run" "$exe" --gtest_also_run_disabled_tests --gtest_filter='DISABLED_FixtureWebJob.*' || rc=1

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
wine reg add "$key" /v ProxyServer /t REG_SZ /d "127.0.0.1:$DVX_FIXTURE_PORT" /f >/dev/null 2>&1
wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
DVX_FIXTURE_PROXY=1 "$run" "$exe" --gtest_also_run_disabled_tests --gtest_filter='DISABLED_FixtureWebProxy.*' || rc=1
wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1
exit $rc
