#!/usr/bin/env bash
# check_tests.sh TEST_EXE: the unattended check against the fixture web
# (started around this script by with-fixture-web.sh, so its request log
# holds only what these tests asked).
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?needs the throwaway prefix of the test run}"
: "${DVX_FIXTURE_PORT:?needs the fixture web}"
exec "$here/../../../scripts/wine-exec.sh" "$exe" --gtest_also_run_disabled_tests \
  --gtest_filter='DISABLED_FixtureWebCheck.*'
