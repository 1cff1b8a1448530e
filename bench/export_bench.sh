#!/usr/bin/env bash
# Times varnok export (CSV and XML) on a generated TXA file (100 MB by
# default, page-cached) against varnok remove of one common extension, in one
# hyperfine run, and prints the ratios and the peak memory of each.
#   bench/export_bench.sh [MEGABYTES]        (BUILD=build/... picks the build)
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
build=${BUILD:-build/release}
. bench/bench_setup.sh
tools/ensure-packages.sh hyperfine jq time >/dev/null
bench_build varnok varnok_txagen

bench_work_dir
trap 'rm -rf "$work"' EXIT
bench_txa "$mb"

varnok="$build/varnok"
remove=("$varnok" remove "$txa" --ext WindowResizer --force -o "$work/out.txa")
csv=("$varnok" export "$txa" --csv --force -o "$work/out.csv")
xml=("$varnok" export "$txa" --xml --force -o "$work/out.xml")
hyperfine --style basic --warmup 2 --runs 11 --export-json "$work/times.json" \
  -n "remove" "${remove[*]}" -n "export csv" "${csv[*]}" -n "export xml" "${xml[*]}"

field() { jq -r --arg n "$1" ".results[] | select(.command == \$n) | $2" "$work/times.json"; }
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
size_kb=$(( $(stat -c %s "$txa") / 1024 ))
awk -v rm="$(field remove .median)" -v cm="$(field 'export csv' .median)" -v xm="$(field 'export xml' .median)" \
    -v rc="$(field remove '.user + .system')" -v cc="$(field 'export csv' '.user + .system')" \
    -v xc="$(field 'export xml' '.user + .system')" \
    -v rk="$(peak "${remove[@]}")" -v ck="$(peak "${csv[@]}")" -v xk="$(peak "${xml[@]}")" -v s="$size_kb" 'BEGIN {
  printf "median times: remove %.3f s, export csv %.3f s, export xml %.3f s\n", rm, cm, xm
  printf "cpu times:    remove %.3f s, export csv %.3f s, export xml %.3f s\n", rc, cc, xc
  printf "                     median    cpu\n"
  printf "export csv / remove  %6.2f %6.2f   (target <= 2)\n", cm / rm, cc / rc
  printf "export xml / remove  %6.2f %6.2f\n", xm / rm, xc / rc
  printf "peak memory / file   remove %.2f, export csv %.2f, export xml %.2f   (target <= 2 for csv)\n", rk / s, ck / s, xk / s
}'
