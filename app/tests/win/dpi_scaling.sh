#!/usr/bin/env bash
# dpi_scaling.sh PROBE_EXE SHOT_DIR: every window at 144 DPI is its 96-DPI
# layout times 1.5 (within a pixel), with a picture of each saved as
# SHOT_DIR/<name>-144dpi.png. Runs on a copy of the test run's prefix with a
# display and desktop large enough for the scaled main window; the DPI is the
# prefix's LogPixels, read when its wineserver starts.
set -u
exe=$(readlink -f "$1")
shots=$(mkdir -p "$2" && readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../../scripts/lib-wine.sh"
: "${WINEPREFIX:?run inside scripts/wine-bed.sh}"

work=$(mktemp -d /tmp/dvx-dpi.XXXXXX)
XVFB_PID=""
cleanup() {
  stop_wineserver
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX="$work/prefix"
start_xvfb 1920x1200 || exit 1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1800x1100 /f >/dev/null 2>&1
stop_wineserver

probe() {  # probe OUTDIR [BASELINE DPI]
  mkdir -p "$1"
  local dir; dir=$(winepath -w "$1" 2>/dev/null)
  if [ $# -eq 3 ]; then
    wine "$exe" "$dir" "$(winepath -w "$2" 2>/dev/null)" "$3"
  else
    wine "$exe" "$dir"
  fi
}

probe "$work/at96" || { echo "FAIL: the layout at 96 DPI could not be measured"; exit 1; }
stop_wineserver
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
stop_wineserver  # the new DPI holds from the next start
probe "$work/at144" "$work/at96/geometry.txt" 144
rc=$?
for bmp in "$work/at144"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "$shots/$(basename "${bmp%.bmp}")-144dpi.png"
done
exit $rc
