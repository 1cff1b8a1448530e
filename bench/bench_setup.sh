# Sourced by the bench scripts, from the project's root: the release build
# and a generated TXA file to measure on.
#   bench_build TARGET...  configures $build (Release, benchmarks on) and builds
#                          the targets; the build's output goes to standard error
#   bench_work_dir         sets $work to a fresh folder, in memory (tmpfs) when
#                          there is one: the figures are about the program, not
#                          about how fast the disk allocates blocks
#   bench_txa MEGABYTES    sets $txa to a generated file in $work, read once into
#                          the page cache, and prints its size
#   median                 the median of the numbers on standard input
#   now_ms                 the time in milliseconds

bench_build() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOK_BENCH=ON >/dev/null
  cmake --build "$build" --target "$@" -j2 >&2
}

bench_work_dir() {
  work=$(mktemp -d -p "$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
}

bench_txa() {
  txa="$work/app.txa"
  "$build/varnok_txagen" --mb "$1" -o "$txa"
  cat "$txa" >/dev/null
  echo "file: $(stat -c %s "$txa") bytes, $(wc -l <"$txa") lines"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
