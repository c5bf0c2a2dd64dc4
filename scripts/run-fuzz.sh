#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while, from its seeds:
#   run-fuzz.sh FUZZ_BUILD_DIR SECONDS
# A crash, leak, time-out or failed check stops that target and fails the run
# (after the others ran); the input that did it is kept under findings/.
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$build/fuzz-work
rm -rf "$work/seeds"
bash "$source_dir/fuzz/make_seeds.sh" "$build" "$work/seeds" || exit 1

# Leaks of the Access reading library on damaged files are not ours to mend.
export LSAN_OPTIONS=suppressions=$source_dir/scripts/lsan-suppressions.txt

# The database targets save and sync a file per input: on a memory file
# system the sync costs nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

failed=()
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$work/corpus/$name
  findings=$work/findings/$name
  mkdir -p "$corpus" "$findings"
  seeds=()
  for dir in "$source_dir/fuzz/corpus/$name" "$work/seeds/$name"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  log=$work/$name.log
  # New inputs go to the working corpus, never into the source tree.
  if "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    echo "$name: $(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}') runs, no finding"
  else
    echo "$name: FINDING (log: $log)"
    grep -m1 -A12 -E 'ERROR:|fuzz finding|runtime error' "$log"
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
