#!/usr/bin/env bash
# Runs every fuzz target for a fixed number of inputs each, starting from
# the seed files in fuzz/corpus/. New inputs go to a scratch folder in the
# build folder, never into the seeds.
#
#   fuzz/run.sh BUILD_DIR RUNS [extra libFuzzer flags...]
set -euo pipefail
build=$(cd "$1" && pwd) runs=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
for target in recordings icon; do
  scratch="$build/fuzz-corpus/$target"
  mkdir -p "$scratch"
  echo "-- fuzz_$target: $runs runs"
  "$build/fuzz_$target" -runs="$runs" -seed=1 -print_final_stats=1 -artifact_prefix="$build/" "$@" \
    "$scratch" "$here/corpus/$target" 2>"$build/fuzz_$target.log" || {
    tail -n 60 "$build/fuzz_$target.log" >&2
    echo "fuzz_$target found a failure (its input is saved as $build/crash-*)" >&2
    exit 1
  }
  grep -E "^stat::number_of_executed_units" "$build/fuzz_$target.log" || true
done
