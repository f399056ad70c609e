#!/usr/bin/env bash
# The data-directory choice with and without a drive D: in the prefix.
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?run inside scripts/wine-bed.sh}"
run() { "$here/../../../scripts/wine-exec.sh" "$exe" --gtest_also_run_disabled_tests "--gtest_filter=$1"; }

rm -f "$WINEPREFIX/dosdevices/d:"
run 'DISABLED_DriveChoice.NoDriveD' || exit 1

ddir=$(mktemp -d)
trap 'rm -f "$WINEPREFIX/dosdevices/d:"; rm -rf "$ddir"' EXIT
ln -s "$ddir" "$WINEPREFIX/dosdevices/d:"
run 'DISABLED_DriveChoice.WithDriveD' || exit 1
# The notice file is on the Linux side too, byte for byte.
[ -f "$ddir/Veltro/用户注意.txt" ] || { echo "notice file missing under D:"; exit 1; }
