#!/usr/bin/env bash
# The Windows program's figures under Wine, each against its baseline
# measured in the same run:
#   - start-up on a virtual X display with a window manager (Xvfb, openbox),
#     from launching varnok.exe to its window "Remove Extensions" on screen,
#     against a bare Win32 window of the same client size
#     (bench/bare_window_win32.cpp, "Bare Window");
#   - Load of a generated TXA file (100 MB by default) in the window, from
#     the press of "Load" to the list holding every instance
#     (bench/gui_load_win32.cpp), against `varnok-cli.exe list FILE >/dev/null`
#     on the same file;
#   - the sizes of varnok.exe as built and stripped, and of the installer
#     when NSIS is there to build it.
# Rounds alternate between the sides; medians are compared.
#   bench/windows_bench.sh [MEGABYTES] [ROUNDS]
# WINDOWS_BUILD (default build/windows-release) is the Windows build, made
# with the Release type and the benchmarks on; BUILD (default build/release)
# the Linux build that generates the file. The Wine prefix is build/wine-bench
# (WINEPREFIX to choose another), with its own persistent wineserver, stopped
# at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
rounds=${2:-5}
build=${BUILD:-build/release}
wbuild=${WINDOWS_BUILD:-build/windows-release}
tools/ensure-packages.sh g++-mingw-w64-x86-64-posix wine64 xvfb xdotool x11-utils openbox >/dev/null
. bench/bench_setup.sh
bench_build varnok_txagen
cmake -S . -B "$wbuild" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DVARNOK_BENCH=ON >/dev/null
cmake --build "$wbuild" --target varnok varnok-cli varnok_gui_bench_win32 varnok_bare_window_win32 -j2 >&2
installer=
if command -v makensis >/dev/null && cmake --build "$wbuild" --target package -j2 >&2; then
  installer=$(ls "$wbuild"/packages/varnok-*-windows-setup.exe 2>/dev/null | head -n 1)
fi

root=$PWD
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-bench}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Called directly, not through a function, so that $! of a program started
# in the background is the Wine process itself.
wine=$root/tools/wine-run.sh
exe() { echo "$root/$wbuild/$1"; }

bench_work_dir
xvfb_pid='' openbox_pid='' keeper_pid=''
cleanup() {
  exec 9>&- 2>/dev/null || true
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  # Ends every process of the bench's Wine prefix (the keeper's console,
  # the desktop process, the system services) with its server.
  "$root/tools/wine-server.sh" stop
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
bench_txa "$mb"
size_kb=$(( $(stat -c %s "$txa") / 1024 ))
mkdir -p "$work/start"

# ---- The display, its window manager and a Wine session kept alive
display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
# Without a window manager Wine waits two seconds for every window it hides
# to be withdrawn; users have one.
openbox >/dev/null 2>&1 &
openbox_pid=$!
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
tools/wine-server.sh start
# Wine ends its system processes some seconds after the last program of the
# prefix ends and starts them again with the next, which costs seconds: a
# console that waits on a pipe keeps the session alive between the rounds.
mkfifo "$work/keeper"
"$wine" cmd.exe <"$work/keeper" >/dev/null 2>&1 &
keeper_pid=$!
exec 9>"$work/keeper"

# Milliseconds from launching a program to a window of that name being
# mapped on screen (a minute at most).
time_to_window() {
  local name=$1; shift
  local t0 t1 pid
  t0=$(now_ms)
  "$wine" "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$name\$" >/dev/null 2>&1; do
    if (( $(now_ms) - t0 > 60000 )); then
      echo "no window \"$name\" within a minute" >&2
      kill "$pid" 2>/dev/null || true
      return 1
    fi
    sleep 0.002
  done
  t1=$(now_ms)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  # Gone from the screen before the next start looks for its window.
  while xdotool search --onlyvisible --name "^$name\$" >/dev/null 2>&1; do sleep 0.01; done
  echo $((t1 - t0))
}
# The window's Load; its line of figures in $work/line. The output goes to a
# file: a Wine process the program starts may hold a pipe open long after.
gui_load() {
  (cd "$work" && "$wine" "$(exe varnok_gui_bench_win32.exe)" app.txa >"$work/line" 2>"$work/messages")
  cat "$work/line"
}
cli_list() { (cd "$work" && "$wine" "$(exe varnok-cli.exe)" list app.txa >/dev/null); }

# One unmeasured round: the session's processes and the programs' files in
# memory.
(cd "$work/start" && time_to_window "Bare Window" "$(exe varnok_bare_window_win32.exe)" >/dev/null)
(cd "$work/start" && time_to_window "Remove Extensions" "$(exe varnok.exe)" >/dev/null)
# Both sides read the same instances: the list's last row number is the
# window's row count.
(cd "$work" && "$wine" "$(exe varnok-cli.exe)" list app.txa >"$work/list.txt")
listed=$(awk 'END { print $1 }' "$work/list.txt")
line=$(gui_load)
if [[ $line != *" instances=$listed "* ]]; then
  echo "the window's Load and varnok-cli.exe list disagree: list's last row $listed; window: $line" >&2
  exit 1
fi

bare_times=() start_times=() list_times=() load_times=()
for ((i = 0; i < rounds; i++)); do
  bare_times+=("$(cd "$work/start" && time_to_window "Bare Window" "$(exe varnok_bare_window_win32.exe)")")
  start_times+=("$(cd "$work/start" && time_to_window "Remove Extensions" "$(exe varnok.exe)")")
  t0=$(now_ms); cli_list; t1=$(now_ms)
  list_times+=($((t1 - t0)))
  line=$(gui_load)
  case $line in *load_ms=*) ;; *) echo "the window's Load gave no figures: $line $(cat "$work/messages")" >&2; exit 1 ;; esac
  load_times+=("$(sed -E 's/.*load_ms=([0-9.]+).*/\1/' <<<"$line")")
done
echo "last window run: $line"
[[ $line == *" messages=0"* ]] || echo "the window showed messages: $(cat "$work/messages")"
field() { sed -E "s/.*$1=([0-9]+).*/\1/" <<<"$line"; }
list_m=$(printf '%s\n' "${list_times[@]}" | median)
load_m=$(printf '%s\n' "${load_times[@]}" | median)
start_m=$(printf '%s\n' "${start_times[@]}" | median)
bare_m=$(printf '%s\n' "${bare_times[@]}" | median)
echo "rounds: $rounds; list ${list_times[*]} ms; Load ${load_times[*]} ms; start-up ${start_times[*]} ms; bare ${bare_times[*]} ms"
awk -v l="$list_m" -v g="$load_m" -v s="$start_m" -v b="$bare_m" -v n="$(field instances)" \
    -v p="$(field peak_kb)" -v f="$size_kb" 'BEGIN {
  printf "varnok-cli.exe list: median %.0f ms; Load in the window: median %.0f ms (%d instances)\n", l, g, n
  printf "Load / list           %6.2f   (target <= 1.2)\n", g / l
  printf "peak working set / file %4.2f\n", p / f
  printf "start-up: varnok.exe median %.0f ms, bare Win32 window median %.0f ms\n", s, b
  printf "start-up / bare       %6.2f\n", s / b
}'

# ---- Sizes
stripped="$work/varnok-stripped.exe"
x86_64-w64-mingw32-strip -o "$stripped" "$(exe varnok.exe)"
kib() { echo "$(( ($(stat -c %s "$1") + 1023) / 1024 )) KiB"; }
echo "varnok.exe: $(kib "$(exe varnok.exe)") as built, $(kib "$stripped") stripped"
if [ -n "$installer" ]; then
  echo "installer $(basename "$installer"): $(kib "$installer")"
else
  echo "installer: not built (NSIS's makensis missing or the package target failed)"
fi
