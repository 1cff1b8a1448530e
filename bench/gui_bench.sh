#!/usr/bin/env bash
# The window's figures, each against its baseline measured in the same run:
#   - Load of a generated TXA file (100 MB by default) in the window,
#     offscreen, from the press of "Load" to the list holding every
#     instance, against `varnok list --json >/dev/null` on the same file;
#   - the rows the list reads while it is scrolled top to bottom a page at
#     a time, against the rows it shows;
#   - peak memory with the file loaded in the window, against the file's size;
#   - start-up under Xvfb, from launching `varnok` to its window on screen,
#     against a bare Qt Widgets window (bench/bare_window.cpp).
# Rounds alternate between the two sides; medians are compared.
#   bench/gui_bench.sh [MEGABYTES] [ROUNDS]      (BUILD=build/h-main-rel to pick the build)
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
rounds=${2:-5}
build=${BUILD:-build/release}
tools/ensure-packages.sh xvfb xdotool x11-utils >/dev/null
. bench/bench_setup.sh
bench_build varnok varnok_txagen varnok_gui_bench varnok_bare_window

bench_work_dir
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
bench_txa "$mb"
size_kb=$(( $(stat -c %s "$txa") / 1024 ))
mkdir -p "$work/cwd" "$work/config"
export XDG_CONFIG_HOME="$work/config"
cd "$work/cwd"
root=$OLDPWD


# ---- Load, scrolling and memory, offscreen
list_times=() load_times=()
for ((i = 0; i < rounds; i++)); do
  t0=$(now_ms); "$root/$build/varnok" list --json "$txa" >/dev/null; t1=$(now_ms)
  list_times+=($((t1 - t0)))
  line=$(QT_QPA_PLATFORM=offscreen "$root/$build/varnok_gui_bench" "$txa" 2>/dev/null)
  load_times+=("$(sed -E 's/.*load_ms=([0-9.]+).*/\1/' <<<"$line")")
done
echo "last window run: $line"
list_m=$(printf '%s\n' "${list_times[@]}" | median)
load_m=$(printf '%s\n' "${load_times[@]}" | median)
field() { sed -E "s/.*$1=([0-9]+).*/\1/" <<<"$line"; }
awk -v l="$list_m" -v g="$load_m" -v r="$(field rows_read)" -v s="$(field rows_shown)" -v lr="$(field load_reads)" \
    -v n="$(field instances)" -v p="$(field peak_kb)" -v f="$size_kb" 'BEGIN {
  printf "list --json: median %.0f ms; Load in the window: median %.0f ms\n", l, g
  printf "Load / list           %6.2f   (target <= 1.2)\n", g / l
  printf "rows read at load     %6d   of %d instances\n", lr, n
  printf "scrolled: rows read %d, rows shown %d   (target: read <= shown)\n", r, s
  printf "peak memory / file    %6.2f   (target <= 2)\n", p / f
}'

# ---- Start-up under Xvfb
display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

# Milliseconds from launching the program to a window of that name being
# mapped on screen.
time_to_window() {
  local name=$1; shift
  local t0 t1 pid
  t0=$(now_ms)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$name\$" >/dev/null 2>&1; do sleep 0.002; done
  t1=$(now_ms)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo $((t1 - t0))
}
start_times=() bare_times=()
for ((i = 0; i < rounds; i++)); do
  bare_times+=("$(time_to_window "Bare Window" "$root/$build/varnok_bare_window")")
  start_times+=("$(time_to_window "Remove Extensions" "$root/$build/varnok")")
done
start_m=$(printf '%s\n' "${start_times[@]}" | median)
bare_m=$(printf '%s\n' "${bare_times[@]}" | median)
awk -v s="$start_m" -v b="$bare_m" 'BEGIN {
  printf "start-up: varnok median %.0f ms, bare Qt window median %.0f ms\n", s, b
  printf "start-up / bare       %6.2f   (target <= 1.5)\n", s / b
}'
