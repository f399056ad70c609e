#!/usr/bin/env bash
# kill-loop.sh [KILLS] [NAMES]: starts the real domivex.exe under Wine again
# and again, has it add NAMES new names (default 10000) and look them up
# against the fixture web, and kills its Wine process with kill -9 at a
# random moment, KILLS times (default 50). After each kill:
#   - PRAGMA integrity_check of the file (with its journal) is ok,
#   - the add's batch is whole: all of its names or none, and none lost once
#     the program had shown them,
#   - every saved lookup is whole (all its columns or none), and every
#     domain whose lookup the program had finished before the kill is saved,
#   - the next start of the program shows every stored row.
# Prints one line per kill and the figures at the end; exits non-zero when
# any check failed.
#
# DVX_KILL_SECONDS stops starting new rounds after that many seconds (the CI
# run); DVX_KILL_MAX_DELAY_MS is the latest kill after the add is confirmed
# (default 6000). Builds nothing: needs build/win (domivex and dvx_win_tests).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
kills=${1:-50}
names=${2:-10000}
budget=${DVX_KILL_SECONDS:-0}
max_delay=${DVX_KILL_MAX_DELAY_MS:-6000}
tests_exe=${DVX_KILL_TESTS_EXE:-$root/build/win/app/dvx_win_tests.exe}
[ -f "$tests_exe" ] || { echo "build the Windows targets first ($tests_exe missing)" >&2; exit 1; }

# A throwaway Wine prefix and the fixture web around the whole loop.
if [ -z "${WINEPREFIX:-}" ]; then
  exec "$root/scripts/wine-bed.sh" "$0" "$@"
fi
if [ -z "${DVX_FIXTURE_PORT:-}" ]; then
  DVX_FIXTURE_MAX_SECONDS=7200 exec "$root/scripts/with-fixture-web.sh" "$0" "$@"
fi
export WINEDEBUG=-all

dir="$WINEPREFIX/drive_c/killloop"
win_dir='C:\killloop'
work=$(mktemp -d /tmp/domivex-kill.XXXXXX)
driver=""
cleanup() {
  [ -n "$driver" ] && kill "$driver" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The Unix process of the running domivex.exe of this loop, by its command
# line (Wine shows the Windows path of the program there).
program_pid() {
  local match
  match=$(grep -lai 'killloop\\domivex\.exe' /proc/[0-9]*/cmdline 2>/dev/null | head -n1)
  [ -n "$match" ] || return 1
  match=${match#/proc/}
  echo "${match%/cmdline}"
}

driver_test() {
  DVX_KILL_DIR=$win_dir "$root/scripts/wine-exec.sh" "$tests_exe" --gtest_also_run_disabled_tests \
    --gtest_filter="DISABLED_KillLoop.$1"
}

# check.py FILE NAMES ROUND SEEN PORT: the database checks; prints the rows
# stored, then "ok" or what failed.
cat >"$work/check.py" <<'PY'
import json, os, re, shutil, sqlite3, sys, tempfile, urllib.request
path, names, rnd, seen, port = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4]), sys.argv[5]
copy = tempfile.mkdtemp()
# A copy with its journal (not its index), read the way the next start
# reads it; the program's own file stays as the kill left it.
for suffix in ("", "-wal"):
    if os.path.exists(path + suffix):
        shutil.copyfile(path + suffix, os.path.join(copy, "d.mdb" + suffix))
con = sqlite3.connect(os.path.join(copy, "d.mdb"))
fails = []
integrity = con.execute("PRAGMA integrity_check").fetchone()[0]
if integrity != "ok":
    fails.append("integrity_check: " + integrity)
rows = con.execute("SELECT count(*) FROM Domains").fetchone()[0]
if rows not in (0, names):
    fails.append("batch cut: %d of %d names" % (rows, names))
if rows < seen:
    fails.append("lost rows: the list showed %d, the file holds %d" % (seen, rows))
cols = ["RegDate", "ExpireDate", "BaiduS", "LastUpdate"]
filled = " + ".join("(coalesce(%s, '') <> '')" % c for c in cols)
half = con.execute("SELECT count(*) FROM Domains WHERE (%s) NOT IN (0, %d)" % (filled, len(cols))).fetchone()[0]
if half:
    fails.append("%d half-saved lookups" % half)
looked = {int(m.group(1)) for (d,) in con.execute("SELECT Domain FROM Domains WHERE LastUpdate <> ''")
          for m in [re.match(r"r%s-(\d+)\.test$" % re.escape(rnd), d)] if m}
# The WHOIS page of domain k is fetched only after domain k-1 was saved.
log = json.load(urllib.request.urlopen("http://127.0.0.1:%s/__requests" % port))
asked = [int(m.group(1)) for e in log
         for m in [re.search(r"/whois/r%s-(\d+)\.test/" % re.escape(rnd), e["target"])] if m]
finished = max(asked) if asked else 0
missing = [k for k in range(finished) if k not in looked]
if missing:
    fails.append("lookups lost: %s" % missing[:10])
print(rows, len(looked))
print("ok" if not fails else "; ".join(fails))
PY

start=$(date +%s)
tried=0 survived=0 uncommitted=0 committed=0 broken=0
for round in $(seq 1 "$kills"); do
  if [ "$budget" -gt 0 ] && [ $(( $(date +%s) - start )) -ge "$budget" ]; then break; fi
  rm -rf "$dir"
  out="$work/driver-$round.txt"
  DVX_KILL_NAMES=$names DVX_KILL_ROUND=$round driver_test AddThenQuery >"$out" 2>&1 &
  driver=$!
  for _ in $(seq 1 900); do grep -q '^clicked' "$out" && break; sleep 0.1; done
  if ! grep -q '^clicked' "$out"; then
    echo "round $round: the add was not started"; cat "$out"; broken=1; break
  fi
  # Every other kill falls in the first 120 ms, while the add is
  # still writing; the others anywhere up to the latest moment.
  delay=$(( RANDOM * 32768 + RANDOM ))
  if [ $((round % 2)) -eq 1 ]; then delay=$(( delay % 121 )); else delay=$(( delay % (max_delay + 1) )); fi
  pid=$(program_pid) || { echo "round $round: program not found"; broken=1; break; }
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  kill -9 "$pid"
  tried=$((tried + 1))
  wait "$driver" 2>/dev/null
  driver=""
  seen=$(grep -a '^seen' "$out" | tail -n1 | cut -d' ' -f2)
  result=$(python3 "$work/check.py" "$dir/domains.mdb" "$names" "$round" "${seen:-0}" "$DVX_FIXTURE_PORT" 2>&1)
  read -r rows looked <<<"$(echo "$result" | head -n1)"
  verdict=$(echo "$result" | tail -n1)
  if [ "$rows" = 0 ]; then uncommitted=$((uncommitted + 1)); else committed=$((committed + 1)); fi
  if [ "$verdict" = ok ]; then
    if DVX_KILL_EXPECT=$rows driver_test ShowsEveryStoredRow >"$out.next" 2>&1; then
      survived=$((survived + 1))
    else
      verdict="next start: $(grep -a -A3 Failure "$out.next" | head -n4 | tr '\n' ' ')"
    fi
  fi
  echo "kill $round after ${delay} ms: $rows rows, $looked looked up, the list had shown ${seen:-0}: $verdict"
done
elapsed=$(( $(date +%s) - start ))
echo "kills survived: $survived of $tried ($uncommitted before the add's batch was committed," \
     "$committed after it, during the query job; $names names per add; ${elapsed} s)"
[ "$broken" -eq 0 ] && [ "$tried" -gt 0 ] && [ "$survived" -eq "$tried" ]
