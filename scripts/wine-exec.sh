#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix and display that the test
# run prepared (scripts/wine-bed.sh). Used by CTest as the cross emulator.
set -u
: "${WINEPREFIX:?run inside scripts/wine-bed.sh}"
export WINEDEBUG=${WINEDEBUG:--all}
exe=$1; shift
case "$exe" in /*) ;; *) exe="$PWD/$exe" ;; esac
exec wine "$exe" "$@"
