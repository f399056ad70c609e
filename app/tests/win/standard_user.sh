#!/usr/bin/env bash
# domivex.exe run by a standard user: an account made for the test, with a
# prefix of its own whose Program Files, system directory and the program's
# folder belong to root and cannot be written by it, as on Windows. Root
# ignores file permissions, so the program never runs as root here.
# Arguments: the Windows test program and domivex.exe.
set -u
tests=$1 program=$2
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?run inside scripts/wine-bed.sh}"
[ "$(id -u)" = 0 ] || { echo "making a test account needs root; skipped"; exit 77; }

user="dvxstd$$"
home=$(mktemp -d /tmp/domivex-std.XXXXXX)
cleanup() {
  [ -n "${persist_pid:-}" ] && kill "$persist_pid" 2>/dev/null
  as_user wineserver -k >/dev/null 2>&1
  userdel -f "$user" >/dev/null 2>&1
  rm -rf "$home"
}
trap cleanup EXIT
chmod 755 "$home"
useradd -M -d "$home" -s /bin/sh "$user" || exit 1
chown "$user" "$home"

prefix="$home/prefix"
as_user() {
  runuser -u "$user" -- env HOME="$home" USER="$user" WINEPREFIX="$prefix" DISPLAY="$DISPLAY" \
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 LANG="$LANG" LC_ALL="$LC_ALL" \
    DVX_PROGRAM_DIR='C:\Program Files\Domivex' "$@"
}
as_user bash -c ". '$here/../../../scripts/lib-wine.sh' && init_prefix desktop" || exit 1
rm -f "$prefix/dosdevices/d:"
drive_c="$prefix/drive_c"
progdir="$drive_c/Program Files/Domivex"
mkdir -p "$progdir"
cp "$program" "$progdir/domivex.exe"
chown -R root:root "$drive_c/Program Files" "$drive_c/windows/system32" "$progdir"
chmod 755 "$drive_c/Program Files" "$drive_c/windows/system32" "$progdir"

# One wineserver for every case.
as_user wineserver -p >/dev/null 2>&1 &
persist_pid=$!

run() { as_user wine "$tests" --gtest_also_run_disabled_tests "--gtest_filter=DISABLED_StandardUser.$1"; }
# A database file beside the program, owned by root: the table and names given.
database() {
  python3 - "$progdir/$1" "$2" "${@:3}" <<'PY'
import sqlite3, sys
path, columns, names = sys.argv[1], sys.argv[2], sys.argv[3:]
db = sqlite3.connect(path)
db.execute("CREATE TABLE Domains(id INTEGER PRIMARY KEY AUTOINCREMENT, %s)" % columns)
db.executemany("INSERT INTO Domains(Domain) VALUES(?)", [(n,) for n in names])
db.commit()
db.close()
PY
  chmod 644 "$progdir/$1"
}
current="Domain VARCHAR(200), RegDate VARCHAR(50), ExpireDate VARCHAR(50), BaiduS VARCHAR(50),
 GoogleS VARCHAR(50), LastUpdate VARCHAR(50), Registeracom VARCHAR(200), Registrant VARCHAR(50),
 DomainAdmin VARCHAR(50), AAA1 VARCHAR(50), AAA2 VARCHAR(50), AAA3 VARCHAR(50), AAA4 TEXT, AAA5 TEXT"
older="Domain TEXT, RegDate TEXT, ExpireDate TEXT, BaiduS TEXT, GoogleS TEXT, LastUpdate TEXT"

run DataAndSettingsLiveInTheUserFolderAndPersist || exit 1
database domains.mdb "$current" one.com two.com
run TheDatabaseBesideTheProgramIsCopiedOnceAndKept || exit 1
rm -f "$progdir/domains.mdb"
database domain.mdb "$older" old1.com old2.com
run AnOlderDatabaseThatCannotBeMovedAwayIsCarriedOnce || exit 1
# Nothing was ever written beside the program.
extra=$(ls -A "$progdir" | grep -vx -e domivex.exe -e domain.mdb)
[ -z "$extra" ] || { echo "written beside the program: $extra"; exit 1; }

# The same user started as administrator: the program's folder and the
# system directory can be written now, and a stale database lies beside the
# program; the user's own folder stays their place.
rm -f "$progdir/domain.mdb"
database domains.mdb "$current" stale.com
chown "$user" "$progdir" "$drive_c/windows/system32"
as_user wine "$tests" --gtest_also_run_disabled_tests \
  "--gtest_filter=DISABLED_ElevatedUser.TheUserFolderStaysTheDatabaseAndSettings" || exit 1
