#!/usr/bin/env bash
# wine-bed.sh COMMAND...: runs COMMAND with a throwaway Wine prefix and a
# virtual display of its own, set up for code page 936 with CJK fonts, then
# ends its wineserver and display and removes the prefix, whatever happened.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib-wine.sh"

bed=$(mktemp -d /tmp/domivex-bed.XXXXXX)
export WINEPREFIX="$bed/prefix"
export DVX_BED_DIR="$bed"
wine_env
XVFB_PID=""

cleanup() {
  stop_wineserver
  stop_xvfb
  rm -rf "$bed"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb || exit 1
init_prefix desktop || exit 1
"$@"
