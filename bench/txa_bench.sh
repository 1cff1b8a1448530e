#!/usr/bin/env bash
# Times varnok on a generated TXA file (100 MB by default, page-cached) in one
# hyperfine run, next to `wc -l` and an awk scanner that lists the same
# instances, and prints the ratios and the peak memory of varnok.
#   bench/txa_bench.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
build=build/release
. bench/bench_setup.sh
tools/ensure-packages.sh hyperfine jq time >/dev/null
bench_build varnok varnok_txagen

bench_work_dir
trap 'rm -rf "$work"' EXIT
bench_txa "$mb"

varnok="$build/varnok"
hyperfine --style basic --warmup 2 --runs 11 --export-json "$work/times.json" \
  -n "wc -l" "wc -l $txa" \
  -n "awk scanner" "awk -f bench/txa_scan.awk $txa" \
  -n "varnok list --json" "$varnok list --json $txa" \
  -n "varnok remove" "$varnok remove $txa --ext WindowResizer --force -o $work/out.txa"

mean() { jq -r --arg n "$1" '.results[] | select(.command == $n) | .mean' "$work/times.json"; }
median_time() { jq -r --arg n "$1" '.results[] | select(.command == $n) | .median' "$work/times.json"; }
cpu() { jq -r --arg n "$1" '.results[] | select(.command == $n) | .user + .system' "$work/times.json"; }
wc_t=$(mean "wc -l"); awk_t=$(mean "awk scanner"); list_t=$(mean "varnok list --json"); remove_t=$(mean "varnok remove")
wc_m=$(median_time "wc -l"); awk_m=$(median_time "awk scanner"); list_m=$(median_time "varnok list --json"); remove_m=$(median_time "varnok remove")
wc_c=$(cpu "wc -l"); awk_c=$(cpu "awk scanner"); list_c=$(cpu "varnok list --json"); remove_c=$(cpu "varnok remove")
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
list_kb=$(peak "$varnok" list --json "$txa")
remove_kb=$(peak "$varnok" remove "$txa" --ext WindowResizer --force -o "$work/out.txa")
size_kb=$(( $(stat -c %s "$txa") / 1024 ))
echo "removed: $(( $(wc -l <"$txa") - $(wc -l <"$work/out.txa") )) lines"

# Wall-clock ratios from the means and from the medians (a run slowed by
# the system, for instance while it compacts memory for large pages, moves
# the mean but not the median), and from processor time (user + system).
awk -v w="$wc_t" -v a="$awk_t" -v l="$list_t" -v r="$remove_t" -v wm="$wc_m" -v am="$awk_m" -v lm="$list_m" \
    -v rm="$remove_m" -v wc="$wc_c" -v ac="$awk_c" -v lc="$list_c" \
    -v rc="$remove_c" -v lk="$list_kb" -v rk="$remove_kb" -v s="$size_kb" 'BEGIN {
  printf "mean times:   wc -l %.3f s, awk %.3f s, list %.3f s, remove %.3f s\n", w, a, l, r
  printf "median times: wc -l %.3f s, awk %.3f s, list %.3f s, remove %.3f s\n", wm, am, lm, rm
  printf "cpu times:    wc -l %.3f s, awk %.3f s, list %.3f s, remove %.3f s\n", wc, ac, lc, rc
  printf "                    mean  median    cpu\n"
  printf "list / wc -l        %6.2f %6.2f %6.2f   (target <= 10)\n", l / w, lm / wm, lc / wc
  printf "awk / list          %6.2f %6.2f %6.2f   (target >= 2)\n", a / l, am / lm, ac / lc
  printf "remove / list       %6.2f %6.2f %6.2f   (target <= 2)\n", r / l, rm / lm, rc / lc
  printf "peak memory / file  list %.2f, remove %.2f   (target <= 2)\n", lk / s, rk / s
}'
