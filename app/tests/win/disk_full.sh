#!/usr/bin/env bash
# disk_full.sh TEST_EXE: a small tmpfs mounted and mapped as drive T: of the
# test prefix, for the add that fills the disk. Mounting needs root: without
# it the test is skipped (exit 77).
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?run inside scripts/wine-bed.sh}"
mnt=$(mktemp -d /tmp/domivex-full.XXXXXX)
if ! mount -t tmpfs -o size=1m tmpfs "$mnt" 2>/dev/null; then
  rmdir "$mnt"
  echo "cannot mount a tmpfs here: skipped"
  exit 77
fi
trap 'rm -f "$WINEPREFIX/dosdevices/t:"; umount "$mnt"; rmdir "$mnt"' EXIT
ln -sfn "$mnt" "$WINEPREFIX/dosdevices/t:"
"$here/../../../scripts/wine-exec.sh" "$exe" --gtest_also_run_disabled_tests \
  --gtest_filter='DISABLED_DiskFull.*'
