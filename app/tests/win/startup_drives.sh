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

# This user's folder from the run above is used again; a link planted in
# place of its notice file is replaced, not written through.
echo victim > "$ddir/victim"
ln -sf "$ddir/victim" "$ddir/Veltro/用户注意.txt"
run 'DISABLED_DriveTrust.TheUsersOwnFolderIsUsed' || exit 1
[ "$(cat "$ddir/victim")" = victim ] || { echo "written through the notice link"; exit 1; }
# A folder that leads elsewhere is passed over, and nothing is written
# through it (the test skips where a link is not shown as a reparse point).
rm -rf "$ddir/Veltro"
mkdir "$ddir/elsewhere"
ln -s "$ddir/elsewhere" "$ddir/Veltro"
run 'DISABLED_DriveTrust.AFolderThatLeadsElsewhereIsPassedOver' || exit 1
[ -z "$(ls -A "$ddir/elsewhere")" ] || { echo "written through the link: $(ls -A "$ddir/elsewhere")"; exit 1; }
