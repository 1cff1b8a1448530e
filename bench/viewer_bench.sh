#!/usr/bin/env bash
# Opening the queue viewer on the lines of a generated TXA file (100 MB by
# default), offscreen, from the call of ViewQueue to the window's first
# paint, against `varnok list --json >/dev/null` on the same file, both
# measured in this run. Target: opening <= 3 x list.
#   bench/viewer_bench.sh [MEGABYTES] [ROUNDS]    (BUILD=build/h-view-rel to pick the build)
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
rounds=${2:-5}
build=${BUILD:-build/release}
. bench/bench_setup.sh
bench_build varnok varnok_txagen varnok_viewer_bench

bench_work_dir
trap 'rm -rf "$work"' EXIT
bench_txa "$mb"

# Rounds alternate between the two sides.
list_times=()
open_times=()
typing_times=()
for ((i = 0; i < rounds; i++)); do
  start=$(now_ms)
  "$build/varnok" list --json "$txa" >/dev/null
  list_times+=($(( $(now_ms) - start )))
  line=$(QT_QPA_PLATFORM=offscreen "$build/varnok_viewer_bench" "$txa" 3 2>/dev/null)
  echo "viewer: $line"
  open_times+=("$(sed -n 's/.* open_ms=\([0-9.]*\).*/\1/p' <<<"$line")")
  typing_times+=("$(sed -n 's/.* typing_ms=\([0-9.]*\).*/\1/p' <<<"$line")")
done
list_m=$(printf '%s\n' "${list_times[@]}" | median)
open_m=$(printf '%s\n' "${open_times[@]}" | median)
typing_m=$(printf '%s\n' "${typing_times[@]}" | median)
awk -v l="$list_m" -v o="$open_m" -v t="$typing_m" 'BEGIN {
  printf "median: list --json %.0f ms, viewer open + first paint %.0f ms (typing pass %.0f ms)\n", l, o, t
  printf "open / list  %.2f   (target <= 3)\n", o / l
}'
