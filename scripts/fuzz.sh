#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs each one
# long, then replays the page targets' corpora through the regex check.
#
#   scripts/fuzz.sh 600                 each target for 600 seconds
#   scripts/fuzz.sh --runs 10000000     each target for that many executions
#   scripts/fuzz.sh 60 whois_page ...   only the named targets
#
# DVX_FUZZ_JOBS targets run side by side (default 1). Corpora grow in
# build/fuzz/corpus/<target>; crashes land in build/fuzz/crashes; the figures
# (executions, crashes, slowest unit) go to build/fuzz/fuzz-summary.tsv.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

usage() { echo "usage: $0 SECONDS | --runs N  [TARGET...]" >&2; exit 2; }
[ $# -ge 1 ] || usage
if [ "$1" = "--runs" ]; then
  [ $# -ge 2 ] && [[ $2 =~ ^[0-9]+$ ]] || usage
  limit=(-runs="$2"); shift 2
else
  [[ $1 =~ ^[0-9]+$ ]] || usage
  limit=(-max_total_time="$1"); shift
fi
jobs=${DVX_FUZZ_JOBS:-1}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DDVX_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "${launcher[@]}" >/dev/null || exit 1
cmake --build "$build" -j"${DVX_JOBS:-2}" >/dev/null || exit 1

summary="$build/fuzz-summary.tsv"
mkdir -p "$build/logs" "$build/crashes"

run_one() {
  local name=$1 seeds=$2 dict=$3
  local log="$build/logs/$name.log" work="$build/corpus/$name"
  mkdir -p "$work"
  local extra=()
  [ -n "$dict" ] && extra+=(-dict="$dict")
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    nice "$build/dvx_fuzz_$name" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$name-" "${extra[@]}" "$work" "$seeds" >"$log" 2>&1
  local rc=$?
  local execs slowest crashes
  execs=$(awk '/stat::number_of_executed_units/{print $2}' "$log" | tail -n1)
  slowest=$(awk '/stat::slowest_unit_time_sec/{print $2}' "$log" | tail -n1)
  crashes=$(find "$build/crashes" -name "$name-*" | wc -l)
  printf '%s\t%s\t%s\t%s s\texit %s\n' "$name" "${execs:-?}" "$crashes" "${slowest:-?}" "$rc" | tee -a "$summary"
}

# Named targets run in the order given, the others in the build's order.
order=("$@")
[ ${#order[@]} -gt 0 ] || mapfile -t order < <(cut -f1 "$build/fuzz-targets.tsv")
printf 'target\texecutions\tcrashes\tslowest unit\tresult\n' > "$summary"
running=0
for want in "${order[@]}"; do
  line=$(awk -F'\t' -v n="$want" '$1 == n' "$build/fuzz-targets.tsv")
  [ -n "$line" ] || { echo "no fuzz target named $want" >&2; exit 2; }
  IFS=$'\t' read -r name seeds dict <<<"$line"
  run_one "$name" "$seeds" "$dict" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
wait

# Every input the page targets kept, through the linear-versus-regex check.
replay=()
for name in whois_page page_decode index_count capture_regex; do
  [ -d "$build/corpus/$name" ] && replay+=("$build/corpus/$name")
done
if [ ${#replay[@]} -gt 0 ]; then
  count=$(find "${replay[@]}" -type f | wc -l)
  if nice "$build/dvx_fuzz_capture_regex" -runs=0 -artifact_prefix="$build/crashes/replay-" "${replay[@]}" \
       >"$build/logs/replay.log" 2>&1; then
    echo "regex replay: $count corpus inputs, linear and regex captures agree" | tee -a "$summary"
  else
    echo "regex replay: DISAGREEMENT, see $build/logs/replay.log" | tee -a "$summary"
  fi
fi
! grep -q $'\texit [^0]' "$summary" && ! grep -q DISAGREEMENT "$summary"
