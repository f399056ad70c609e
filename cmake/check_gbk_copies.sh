#!/usr/bin/env bash
# Compiles each original source with gcc's -fexec-charset=GBK and its GBK
# copy without it, and fails unless both give the same assembly: the fuzz
# build then runs the program's own code.
# usage: check_gbk_copies.sh G++ SOURCE_ROOT COPY_ROOT COPY...
set -uo pipefail
gxx=$1 root=$2 copies=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for copy in "$@"; do
  rel=${copy#"$copies"/}
  # Relative names, so the assembly's file names agree.
  (cd "$root" && "$gxx" -std=c++17 -O1 -fexec-charset=GBK -I. -S "$rel" -o "$work/a.s") || { status=1; continue; }
  (cd "$copies" && "$gxx" -std=c++17 -O1 -I. -S "$rel" -o "$work/b.s") || { status=1; continue; }
  if cmp -s "$work/a.s" "$work/b.s"; then
    echo "same code: $rel"
  else
    echo "DIFFERENT code: $rel"
    status=1
  fi
done
exit $status
