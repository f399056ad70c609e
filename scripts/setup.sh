#!/usr/bin/env bash
# Installs whatever Domivex needs to build, run and test, and prepares the
# cached SQLite amalgamation for the cross build. Safe to run again: it only
# does what is missing, and says what it does.
set -euo pipefail

say() { printf '[setup] %s\n' "$*"; }
die() { printf '[setup] FAILED: %s\n' "$*" >&2; exit 1; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || die "not root and no sudo: cannot install packages"
  SUDO="sudo"
fi

packages=(
  cmake g++ make libgtest-dev libgmock-dev libsqlite3-dev libboost1.81-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix wine64 xvfb tcl locales python3
  fonts-wqy-zenhei fonts-wqy-microhei fonts-liberation2 fonts-wine imagemagick x11-apps xdotool xz-utils dpkg-dev
  clang libclang-rt-14-dev python3-icalendar
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing: ${missing[*]}"
  $SUDO apt-get update -qq || die "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null \
    || die "apt-get install failed for: ${missing[*]}"
else
  say "all packages present"
fi

# Code page 936 under Wine needs the host's Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  say "generating the zh_CN.UTF-8 locale"
  $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null || die "locale-gen failed"
fi

# SQLite for the cross build: Debian's source package, built into the
# amalgamation once and cached.
cache="${DVX_CACHE:-$HOME/.cache/domivex}"
sqlite_dir="$cache/sqlite"
if [ ! -s "$sqlite_dir/sqlite3.c" ]; then
  say "preparing the SQLite amalgamation from Debian's source package (one time)"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/apt/lists/partial"
  uri=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk '$1=="deb"{print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
  [ -n "$uri" ] || die "no Debian archive address in the apt sources"
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$suite" > "$work/apt/src.sources"
  aptopts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt"
           -o Dir::State::Lists="$work/apt/lists")
  apt-get "${aptopts[@]}" update -qq || die "could not read the source package index"
  (cd "$work" && apt-get "${aptopts[@]}" source --download-only sqlite3 >/dev/null) \
    || die "could not download the sqlite3 source package"
  orig=$(ls "$work"/sqlite3_*.orig.tar.* 2>/dev/null | head -n1)
  [ -n "$orig" ] || die "the sqlite3 source package has no orig tarball"
  mkdir -p "$work/src" && tar -xf "$orig" -C "$work/src" --strip-components=1
  (cd "$work/src" && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null) \
    || die "building sqlite3.c failed"
  mkdir -p "$sqlite_dir"
  cp "$work/src/sqlite3.c" "$work/src/sqlite3.h" "$sqlite_dir/"
  [ -f "$work/src/sqlite3ext.h" ] && cp "$work/src/sqlite3ext.h" "$sqlite_dir/"
  say "SQLite amalgamation cached in $sqlite_dir"
else
  say "SQLite amalgamation cached in $sqlite_dir"
fi
