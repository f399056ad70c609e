#!/usr/bin/env bash
# dialog_screenshots.sh EXE OUTDIR: pictures of the dialogs and the help
# window under Wine (code page 936, CJK fonts), saved as PNG files in OUTDIR.
# The windows are drawn inside a Wine virtual desktop so they carry frames.
set -eu
exe=$(readlink -f "$1")
out=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
scripts="$here/../../../../scripts"
mkdir -p "$out"
tmp=$(mktemp -d /tmp/dvx-shots.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
"$scripts/wine-bed.sh" bash -c "wine explorer /desktop=shots,1000x700 '$exe' 'Z:${tmp//\//\\}' >/dev/null 2>&1; wineserver -w"
for bmp in "$tmp"/*.bmp; do
  convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
done
ls "$out"
