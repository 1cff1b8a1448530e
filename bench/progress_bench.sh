#!/usr/bin/env bash
# What the progress bar costs a Load: the main window's Load of a generated
# TXA file (100 MB by default), offscreen, without any progress reporting
# and with the progress bar shown from the start (the bar normally waits
# half a second, which a quick load never reaches: this is the most the bar
# can cost), rounds alternating between the two; the medians are compared.
#   bench/progress_bench.sh [MEGABYTES] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
rounds=${2:-15}
build=${BUILD:-build/release}
. bench/bench_setup.sh
bench_build varnok_txagen varnok_gui_bench

bench_work_dir
trap 'rm -rf "$work"' EXIT
bench_txa "$mb"
mkdir -p "$work/cwd" "$work/config"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
root=$PWD
cd "$work/cwd"

field() { sed -E "s/.*$1=([0-9.]+).*/\1/" <<<"$2"; }
with=() without=() paints=()
for ((i = 0; i < rounds; i++)); do
  line=$("$root/$build/varnok_gui_bench" --no-progress "$txa" 2>/dev/null)
  without+=("$(field load_ms "$line")")
  line=$("$root/$build/varnok_gui_bench" --bar-at-once "$txa" 2>/dev/null)
  with+=("$(field load_ms "$line")")
  paints+=("$(field bar_paints "$line")")
done
with_m=$(printf '%s\n' "${with[@]}" | median)
without_m=$(printf '%s\n' "${without[@]}" | median)
paints_min=$(printf '%s\n' "${paints[@]}" | sort -g | head -1)
echo "with the bar:      ${with[*]} ms"
echo "without progress: ${without[*]} ms"
awk -v w="$with_m" -v o="$without_m" -v p="$paints_min" 'BEGIN {
  printf "Load median: %.0f ms with the progress bar, %.0f ms without; the bar painted at least %d times a load\n", w, o, p
  printf "with / without        %6.3f   (target <= 1.03)\n", w / o
  if (p == 0) { print "the bar was never painted: the figure says nothing"; exit 1 }
}'
