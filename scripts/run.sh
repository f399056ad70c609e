#!/usr/bin/env bash
# Sets up whatever is missing, builds if needed and starts Domivex under Wine.
# The program lives in a directory of its own outside the source tree, so
# its database survives rebuilds. Without a screen it runs on a virtual
# display, leaves a screenshot of the main window and says where it is.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib-wine.sh"
home="${DOMIVEX_HOME:-$HOME/.local/share/domivex}"
progdir="$home/program"
export WINEPREFIX="$home/wine"
wine_env

bash "$root/scripts/setup.sh" || exit 1
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$root/build/win" --target domivex -j"${DVX_JOBS:-2}" || exit 1
mkdir -p "$progdir"
cp "$root/build/win/app/domivex.exe" "$progdir/domivex.exe"

XVFB_PID=""
if [ -n "${DISPLAY:-}" ]; then
  init_prefix || exit 1
  echo "Starting Domivex from $progdir (database: $progdir/domains.mdb)"
  exec wine "$progdir/domivex.exe"
fi

# No screen: a virtual display, a screenshot, then a normal close.
trap 'stop_wineserver; stop_xvfb' EXIT
start_xvfb || exit 1
init_prefix || exit 1
shot="$home/domivex-main-window.png"
rm -f "$shot"
echo "No screen: running Domivex on virtual display $DISPLAY"
wine explorer /desktop=Domivex,1024x560 "$progdir/domivex.exe" &
wine_pid=$!
win=""
for _ in $(seq 1 300); do
  win=$(xdotool search --name '^Domivex v15\.0$' 2>/dev/null | head -n1)
  [ -n "$win" ] && break
  sleep 0.1
done
if [ -z "$win" ]; then
  echo "Domivex's main window did not appear" >&2
  exit 1
fi
sleep 2  # let the list and buttons finish painting
import -window root -crop 1024x560+0+0 +repage "$shot" && echo "Screenshot of the main window: $shot"
# Close it the way a user would, so it saves its window state.
xdotool windowactivate --sync "$win" >/dev/null 2>&1
xdotool key --window "$win" alt+F4 >/dev/null 2>&1
for _ in $(seq 1 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.1; done
echo "Domivex closed. Program directory: $progdir"
