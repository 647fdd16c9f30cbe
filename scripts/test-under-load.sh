#!/usr/bin/env bash
# Shows that the suite holds on a busy machine: runs the whole of .ci/run
# (the Windows stage included) three times in a row, or $1 times, with two
# CPU-bound busy loops running beside it all the while, and prints each
# run's time and result. The busy loops end with this script, however it
# ends. Each run's output is kept in $TMPDIR (or /tmp) as
# vantaloop-under-load-N.log.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
busy=()
stop_busy() {
  local pid
  for pid in "${busy[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
}
trap stop_busy EXIT
trap 'exit 130' INT TERM
for _ in 1 2; do
  sh -c 'while :; do :; done' &
  busy+=($!)
done

failed=0
for n in $(seq 1 "$runs"); do
  log=${TMPDIR:-/tmp}/vantaloop-under-load-$n.log
  start=$(date +%s)
  if bash .ci/run >"$log" 2>&1; then
    result=passed
  else
    result="FAILED (see $log)"
    failed=1
  fi
  took=$(($(date +%s) - start))
  printf 'run %d of %d beside two busy loops: %s in %dm%02ds\n' "$n" "$runs" "$result" $((took / 60)) $((took % 60))
done
exit "$failed"
