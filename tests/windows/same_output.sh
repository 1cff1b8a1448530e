#!/usr/bin/env bash
# The Windows program and the Linux program give the same results: for each
# command below, run on the bundled sample and on generated TXA files, the
# exit status, standard output, standard error and every file written are
# compared byte for byte (standard output and error modulo CR LF line ends,
# the console's own; files exactly).
#
#   same_output.sh LINUX_VARNOK WINDOWS_VARNOK TXAGEN SAMPLE WINE_RUN
# (WINDOWS_VARNOK: varnok-cli.exe, the console program scripts use)
set -euo pipefail
linux=$1 windows=$2 txagen=$3 sample=$4 wine_run=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/varnok-same-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/inputs"
cp "$sample" "$work/inputs/sample.txa"
cp "$sample" "$work/inputs/prüfung.txa"
"$txagen" --mb 3 --seed 7 -o "$work/inputs/gen.txa"
"$txagen" --mb 1 --seed 11 -o "$work/inputs/gen2.txa"
# The same file with LF line ends only.
tr -d '\r' <"$work/inputs/gen2.txa" >"$work/inputs/genlf.txa"

commands=(
  "list sample.txa"
  "list sample.txa --json"
  "list gen.txa"
  "list gen.txa --json"
  "list genlf.txa"
  "list missing.txa"
  "list prüfung.txa --json"
  "list $work/inputs/sample.txa"
  "remove prüfung.txa --row 2"
  "remove sample.txa --row 1"
  "remove sample.txa --ext WindowResizer -o out.txa"
  "remove gen.txa --ext WindowResizer"
  "remove gen.txa --row 2 --row 5 --dry-run"
  "remove genlf.txa --ext WindowResizer"
  "remove gen2.txa --proc Main"
  "remove sample.txa --ext NoSuchExtension"
  "export sample.txa --csv"
  "export sample.txa --xml"
  "export gen.txa --csv --extensions"
  "export gen2.txa --xml -o lines.xml"
  "format -1234.5 @n-15.2"
  "format 80000 @d06"
  "format 360001 @t04"
  "deformat 1,234.50"
  "deformat 2019-01-05 @d10"
  "list"
  "nonsense"
)

# Runs one command line on one side (linux or windows) in a fresh copy of
# the inputs.
run_side() {
  local side=$1 line=$2
  local dir="$work/$side"
  rm -rf "$dir"
  cp -r "$work/inputs" "$dir"
  local status=0
  # shellcheck disable=SC2086
  if [ "$side" = linux ]; then
    (cd "$dir" && "$linux" $line >"$work/$side.out" 2>"$work/$side.err") || status=$?
  else
    (cd "$dir" && "$wine_run" "$windows" $line >"$work/$side.out" 2>"$work/$side.err") || status=$?
  fi
  echo "$status" >"$work/$side.status"
  tr -d '\r' <"$work/$side.out" >"$work/$side.out.n"
  tr -d '\r' <"$work/$side.err" | sed -E 's/varnok(-cli)?\.exe/varnok/g' >"$work/$side.err.n"
}

failures=0
for line in "${commands[@]}"; do
  run_side linux "$line"
  run_side windows "$line"
  what=""
  cmp -s "$work/linux.status" "$work/windows.status" ||
    what+=" status $(cat "$work/linux.status")/$(cat "$work/windows.status")"
  cmp -s "$work/linux.out.n" "$work/windows.out.n" || what+=" stdout"
  cmp -s "$work/linux.err.n" "$work/windows.err.n" || what+=" stderr"
  diff -r "$work/linux" "$work/windows" >/dev/null || what+=" files"
  if [ -n "$what" ]; then
    echo "DIFFERS: varnok $line:$what"
    diff "$work/linux.out.n" "$work/windows.out.n" | head -5 || true
    diff "$work/linux.err.n" "$work/windows.err.n" | head -5 || true
    diff -rq "$work/linux" "$work/windows" | head -5 || true
    failures=$((failures + 1))
  else
    echo "same: varnok $line (status $(cat "$work/linux.status"))"
  fi
done
echo "$failures of ${#commands[@]} commands differ"
[ "$failures" -eq 0 ]
