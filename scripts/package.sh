#!/usr/bin/env bash
# Builds dist/domivex-<version>-win64.zip: domivex.exe and a short README.txt.
# The same sources give the same zip byte for byte: a fresh build directory,
# no build paths or link time in the exe, fixed names, order, dates and modes
# in the zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^const char kProductVersion\[\] = "\(.*\)";$/\1/p' "$root/startup/data_directory.cpp")
[ -n "$version" ] || { echo "no version found in startup/data_directory.cpp" >&2; exit 1; }

bash "$root/scripts/setup.sh" >/dev/null
build="$root/build/package"
rm -rf "$build"
prefix_map="-ffile-prefix-map=$root/=/domivex/ -ffile-prefix-map=$build/=/domivex/build/"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="$prefix_map" -DCMAKE_CXX_FLAGS="$prefix_map" \
  ${DVX_CMAKE_LAUNCHER:-} >/dev/null
cmake --build "$build" --target domivex -j"${DVX_JOBS:-2}" >/dev/null

mkdir -p "$root/dist"
zip="$root/dist/domivex-$version-win64.zip"
python3 - "$zip" "$build/app/domivex.exe" "$root/docs/package-readme.txt" <<'PY'
import sys, zipfile
out, exe, readme = sys.argv[1:]
text = open(readme, encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n")
entries = [("domivex.exe", open(exe, "rb").read()),
           # Notepad reads UTF-8 with a byte-order mark on every Windows 10/11.
           ("README.txt", b"\xef\xbb\xbf" + text.encode("utf-8"))]
with zipfile.ZipFile(out + ".part", "w") as z:
    for name, data in entries:
        info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # archive attribute, as Windows writes it
        z.writestr(info, data, compresslevel=9)
import os
os.replace(out + ".part", out)
PY
echo "$zip"
sha256sum "$zip"
