#!/usr/bin/env bash
# The Windows program's whole road under Wine, as a user takes it: on a
# desktop with a window manager (openbox draws the frames), `varnok.exe
# sample.txa` opens "Remove Extensions" with the list loaded; the user ticks
# row 1 (Home, Enter), tabs to "Remove and Save", confirms (Alt+Y), closes
# the "Saved" box (Enter), opens the queue viewer (View, then Esc) and the
# file dialog ("...", then Esc, which empties the name), types the name back,
# drags the window elsewhere and closes it with Alt+F4. The saved file is
# byte for byte what `varnok-cli.exe remove sample.txa --row 1` writes;
# remtxa.ini in the folder names sample.txa; %APPDATA%\varnok\varnok.INI
# holds the window's place; two more starts show the frame where it was
# left, with no drift from start to start (the second loads the remembered
# name with Load). Screenshots (PNG) of every step go to SHOT_DIR.
#
#   road.sh VARNOK_EXE VARNOK_CLI_EXE SAMPLE_TXA WINE_RUN SHOT_DIR
#
# It needs an X display of at least 1024x768 in true colour; on any other
# (or none) it runs itself again on a virtual one of its own (xvfb-run).
# Every wait polls with a deadline; nothing is decided by a fixed sleep.
set -euo pipefail

if [ $# -ne 5 ]; then
  echo "usage: $0 VARNOK_EXE VARNOK_CLI_EXE SAMPLE_TXA WINE_RUN SHOT_DIR" >&2
  exit 2
fi
exe=$(realpath "$1") cli=$(realpath "$2") sample=$(realpath "$3") wine_run=$(realpath "$4")
mkdir -p "$5"
shots=$(realpath "$5")

for tool in openbox xdotool xwininfo import compare convert xvfb-run; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is missing (packages openbox xdotool x11-utils imagemagick xvfb)"; exit 77; }
done

# A display of our own when the one given is missing, small or not in true
# colour (plain `xvfb-run -a` gives 640x480 in 8 bits).
display_fits() {
  [ -n "${DISPLAY:-}" ] || return 1
  local size depth
  size=$(xdotool getdisplaygeometry 2>/dev/null) || return 1
  depth=$(xwininfo -root 2>/dev/null | awk '/Depth:/ {print $2}')
  [ "${size% *}" -ge 1024 ] && [ "${size#* }" -ge 768 ] && [ "${depth:-0}" -ge 24 ]
}
if ! display_fits; then
  [ -z "${VARNOK_ROAD_OWN_DISPLAY:-}" ] || { echo "FAILED: no usable X display"; exit 1; }
  export VARNOK_ROAD_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi

# No Linux menu entries for what the program does in the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine() { "$wine_run" "$@"; }

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
# Ends the road: a step the rest depends on did not happen.
die() {
  echo "FAILED: $*"
  echo "the road stopped here; $failures earlier failure(s)"
  [ ! -s "${scratch:-}/program.log" ] || { echo "the program's output:"; tail -n 20 "$scratch/program.log"; }
  exit 1
}

# ---- the scratch folder, the program's state, the window manager

scratch=$(mktemp -d "${TMPDIR:-/tmp}/varnok-road.XXXXXX")
app_pid="" wm_pid=""
cleanup() {
  [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
  [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir "$scratch/work" "$scratch/expected"
cp "$sample" "$scratch/work/sample.txa"
cd "$scratch/work"

app_data=$(wine cmd /c "echo %APPDATA%" 2>/dev/null | tr -d '\r\n')
program_ini="$(wine winepath -u "$app_data\\varnok\\varnok.INI" 2>/dev/null | tr -d '\r\n')"
[ -n "$program_ini" ] || die "the prefix's %APPDATA% could not be found"
rm -f "$program_ini"
rm -f "$shots"/road-*.png

# wait_until SECONDS WHAT COMMAND...: polls COMMAND every 0.1 s until it
# succeeds; false (with a message) when SECONDS pass first.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    if [ $SECONDS -ge $deadline ]; then
      echo "  gave up after ${seconds} s waiting for $what" >&2
      return 1
    fi
    sleep 0.1
  done
}

openbox --sm-disable --startup "touch $scratch/wm-ready" >"$scratch/openbox.log" 2>&1 &
wm_pid=$!
wm_up() { [ -f "$scratch/wm-ready" ] || { kill -0 "$wm_pid" 2>/dev/null || return 2; return 1; }; }
wait_until 30 "openbox to manage the screen" wm_up || die "openbox did not start: $(head -c 300 "$scratch/openbox.log")"

# ---- windows, keys and pictures

# The id of the viewable top-level window with exactly this title (the
# newest when several), or status 1.
window_named() {
  local id
  id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1) || return 1
  [ -n "$id" ] && echo "$id"
}
# wait_for_window TITLE: its id once it is shown.
wait_for_window() {
  local found=""
  shown() { found=$(window_named "$1"); }
  wait_until 30 "the window \"$1\"" shown "$1" || return 1
  echo "$found"
}
is_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
wait_gone() { wait_until 30 "window $1 ($2) to go" is_gone "$1"; }

# The window that has the keyboard, as the window manager says.
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# focus WINDOW: makes it the active window, as a click on its title would.
focus() {
  is_active "$1" && return 0
  xdotool windowactivate "$1" 2>/dev/null || true
  wait_until 10 "window $1 to take the keyboard" is_active "$1"
}
# key WINDOW KEYS...: types KEYS into WINDOW, which must hold the keyboard.
# The keys go through the X server's test extension, as from a keyboard: a
# key released after its window closed (Alt of Alt+Y) reaches the window
# that has the keyboard then, so no modifier stays down in Wine's key state
# (synthetic events sent to one window, `key --window`, leave it stuck).
key() {
  local window=$1
  shift
  focus "$window" || return 1
  xdotool key --delay 60 "$@"
}
type_text() { focus "$1" || return 1; xdotool type --delay 60 "$2"; }

# The window's picture (PNG), for the readiness checks.
capture() { import -window "$1" "$2" 2>/dev/null; }
# Two captures 0.2 s apart are the same: the window has finished painting.
steady() {
  capture "$1" "$scratch/steady-a.png" || return 1
  sleep 0.2
  capture "$1" "$scratch/steady-b.png" || return 1
  [ "$(compare -metric AE "$scratch/steady-a.png" "$scratch/steady-b.png" null: 2>&1)" = "0" ]
}
wait_steady() { wait_until 30 "window $1 to finish painting" steady "$1"; }

# The selection colour of the prefix's desktop ("R G B"), for telling that
# the list has its first row highlighted.
highlight=$(wine reg query 'HKCU\Control Panel\Colors' /v Hilight 2>/dev/null | tr -d '\r' |
  awk '$1 == "Hilight" {print $3 "," $4 "," $5}')
[ -n "$highlight" ] || highlight="48,150,250"
# Pixels of the window in the selection colour.
highlighted_pixels() {
  capture "$1" "$scratch/hl.png" || { echo 0; return; }
  convert "$scratch/hl.png" -fill black +opaque "rgb($highlight)" -fill white -opaque "rgb($highlight)" \
    -format '%[fx:round(mean*w*h)]' info:
}
# The list is loaded: the desktop start loads the file after the window
# opened, then highlights the first row; a highlighted row the width of the
# list (more than 2,000 pixels) shows up only then.
list_loaded() { [ "$(highlighted_pixels "$1")" -gt 2000 ]; }

# wait_ready WINDOW [loaded]: the window is shown, has the keyboard, (its
# list loaded,) and has stopped painting.
wait_ready() {
  focus "$1" || return 1
  if [ "${2:-}" = loaded ]; then wait_until 60 "the list to be loaded" list_loaded "$1" || return 1; fi
  wait_steady "$1"
}

shot_number=0
# shot NAME: the whole screen as road-NN-NAME.png.
shot() {
  shot_number=$((shot_number + 1))
  local file
  file=$(printf '%s/road-%02d-%s.png' "$shots" "$shot_number" "$1")
  import -window root "$file" && echo "  screenshot $file"
}

# The window manager's frame around a window: its ancestor just below the
# root window.
frame_of() {
  local id=$1 root parent
  root=$(xwininfo -root | awk '/Window id:/ {print $4}')
  while :; do
    parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')
    [ -n "$parent" ] || return 1
    [ "$((parent))" = "$((root))" ] && break
    id=$parent
  done
  echo "$id"
}
# "X Y W H" of the frame around WINDOW on the screen.
frame_place() {
  local frame
  frame=$(frame_of "$1") || return 1
  xwininfo -id "$frame" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
    /^  Width:/ {w=$2} /^  Height:/ {h=$2} END {print x, y, w, h}'
}
# within A B TOLERANCE: |A - B| <= TOLERANCE.
within() { local d=$(($1 - $2)); [ ${d#-} -le "$3" ]; }

# ---- the program

# The program in the background; wine-run.sh execs Wine's loader, which
# becomes the program's process, so app_pid is the program itself.
start_program() {
  "$wine_run" "$exe" "$@" >>"$scratch/program.log" 2>&1 &
  app_pid=$!
}
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
# wait_program_end: the program ended by itself, with status 0.
wait_program_end() {
  wait_until 30 "the program to end" program_ended || return 1
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  [ "$status" -eq 0 ] || { echo "  the program ended with status $status"; return 1; }
}
# close_with_close_box WINDOW: Alt+F4, which openbox turns into the close
# box's request to the window.
close_with_close_box() { key "$1" alt+F4 && wait_gone "$1" "Remove Extensions" && wait_program_end; }

ini_value() {  # ini_value FILE SECTION KEY
  tr -d '\r' <"$1" | awk -v s="[$2]" -v k="$3" '
    /^\[/ {in_s = ($0 == s); next}
    in_s && index($0, k "=") == 1 {print substr($0, length(k) + 2); exit}'
}

# ---- 1. the start with the sample

echo "starting varnok.exe sample.txa"
start_program sample.txa
main=$(wait_for_window "Remove Extensions") || die "no window \"Remove Extensions\""
wait_ready "$main" loaded || die "the list was not loaded with its first row highlighted"
ok "the main window opened with the list loaded"
shot main-loaded

# ---- 2. tick row 1, Remove and Save, Yes, OK

capture "$main" "$scratch/before-tick.png" || die "no picture of the main window"
key "$main" Home Return || die "keys to the main window"
changed_since_tick() {
  capture "$main" "$scratch/tick.png" && [ "$(compare -metric AE "$scratch/tick.png" "$scratch/before-tick.png" null: 2>&1)" != 0 ]
}
wait_until 10 "the tick to be drawn" changed_since_tick || fail "Enter on row 1 changed nothing in the window"
wait_steady "$main" || true
shot row1-ticked

# From the list the tab order is "Select for removal", then "Remove and
# Save": two Tabs.
key "$main" Tab Tab space || die "keys to the main window"
confirm=$(wait_for_window Confirm) || die "no \"Confirm\" box after Space on \"Remove and Save\""
wait_steady "$confirm" || true
shot confirm
key "$confirm" alt+y || die "Alt+Y to the confirm box"
wait_gone "$confirm" Confirm || fail "the confirm box stayed after Alt+Y"
saved=$(wait_for_window Saved) || die "no \"Saved\" box after Yes"
wait_steady "$saved" || true
shot saved
key "$saved" Return || die "Enter to the Saved box"
wait_gone "$saved" Saved || fail "the Saved box stayed after Enter"
ok "ticked row 1, removed and saved through the confirm and Saved boxes"

if [ -f sample_.txa ]; then
  (cd "$scratch/expected" && cp "$scratch/work/sample.txa" . &&
    wine "$cli" remove sample.txa --row 1 -o expected.txa >/dev/null 2>&1) || fail "varnok-cli.exe remove failed"
  if cmp -s sample_.txa "$scratch/expected/expected.txa"; then
    ok "sample_.txa is byte for byte what varnok-cli.exe remove sample.txa --row 1 writes"
  else
    fail "sample_.txa differs from varnok-cli.exe's output"
    cmp sample_.txa "$scratch/expected/expected.txa" || true
  fi
else
  fail "no sample_.txa was saved"
fi

# ---- 3. the queue viewer and the file dialog

# The focus is back on "Remove and Save"; the tab order goes on to the
# entry, "...", "Load" and "View": four Tabs.
key "$main" Tab Tab Tab Tab space || die "keys to the main window"
viewer=$(wait_for_window sample.txa) || die "no queue viewer titled \"sample.txa\" after View"
wait_ready "$viewer" || fail "the queue viewer did not take the keyboard"
shot queue-viewer
key "$viewer" Escape || fail "Esc to the queue viewer"
wait_gone "$viewer" "the queue viewer" && ok "the queue viewer opened and closed" || fail "the queue viewer stayed after Esc"

# The focus is back on "View": two Tabs backwards to "...".
key "$main" shift+Tab shift+Tab space || die "keys to the main window"
dialog=$(wait_for_window "TXA File") || die "no file dialog \"TXA File\" after \"...\""
wait_ready "$dialog" || fail "the file dialog did not take the keyboard"
shot file-dialog
key "$dialog" Escape || fail "Esc to the file dialog"
wait_gone "$dialog" "the file dialog" && ok "the file dialog opened and closed" || fail "the file dialog stayed after Esc"

# Cancelling the dialog empties the name; the user types it back (the
# focus is on "...", the entry before it).
key "$main" shift+Tab || die "keys to the main window"
type_text "$main" sample.txa || die "typing into the entry"
key "$main" Tab || die "keys to the main window"
wait_steady "$main" || true
shot name-typed-again

# ---- 4. the window's place: moved, closed, started twice more

# The user moves the window to a place of its own: a move request to the
# window manager (as a drag of the title bar ends in), to odd numbers so
# that rounding to dialog units would show. Where the frame ends up is the
# window manager's choice; it is measured, not assumed.
frame_of "$main" >/dev/null || die "no frame around the main window"
first_place=$(frame_place "$main")
xdotool windowmove "$main" 201 157
moved() { local p; p=$(frame_place "$main") && [ "$p" != "$first_place" ]; }
wait_until 10 "the window to move" moved || fail "the frame did not move from $first_place"
wait_steady "$main" || true
left_at=$(frame_place "$main")
shot moved
close_with_close_box "$main" || fail "Alt+F4 did not close the program cleanly"

remembered=$(ini_value remtxa.ini TXA FileName 2>/dev/null || true)
[ "$remembered" = sample.txa ] && ok "remtxa.ini names sample.txa" ||
  fail "remtxa.ini names '$remembered', not sample.txa"
# The stored place, "XPos YPos Width Height".
stored_place() {
  local k v out=""
  for k in XPos YPos Width Height; do
    v=$(ini_value "$program_ini" Main "$k" 2>/dev/null) || v=""
    out+="${out:+ }$v"
  done
  echo "$out"
}
if [ -f "$program_ini" ]; then
  xpos=$(ini_value "$program_ini" Main XPos) ypos=$(ini_value "$program_ini" Main YPos)
  width=$(ini_value "$program_ini" Main Width) height=$(ini_value "$program_ini" Main Height)
  if [[ "$xpos" =~ ^-?[0-9]+$ && "$ypos" =~ ^-?[0-9]+$ && "$width" =~ ^[0-9]+$ && "$height" =~ ^[0-9]+$ ]] &&
     [ "$xpos" -gt 0 ] && [ "$ypos" -gt 0 ]; then
    ok "varnok.INI [Main] holds the place: XPos=$xpos YPos=$ypos Width=$width Height=$height"
  else
    fail "varnok.INI [Main] has no usable place: XPos='$xpos' YPos='$ypos' Width='$width' Height='$height'"
  fi
else
  fail "no $program_ini was written"
fi

# Two more starts: the frame comes back where it was left and stays there
# from start to start, within 1 pixel (the place is kept in dialog units of
# 1.75 by 2 pixels here; rounding to the nearest unit and back moves it by
# less than one pixel, and a second round trip by nothing).
places=("$left_at")
stored=("$(stored_place)")
for start in 2 3; do
  echo "start $start: varnok.exe"
  start_program
  w=$(wait_for_window "Remove Extensions") || die "no window at start $start"
  wait_ready "$w" || fail "the window at start $start did not settle"
  place=$(frame_place "$w") || die "no frame at start $start"
  places+=("$place")
  if [ "$start" = 2 ]; then
    # The entry holds the remembered name and has the focus; "Load" is two
    # Tabs on, past "...". The list fills from it.
    key "$w" Tab Tab space || fail "keys to the window at start $start"
    if wait_ready "$w" loaded; then ok "the remembered name loads with Load"; else fail "Load of the remembered name filled no list"; fi
  fi
  shot "start-$start"
  close_with_close_box "$w" || fail "Alt+F4 did not close the program at start $start"
  stored+=("$(stored_place)")
done
echo "  varnok.INI [Main] XPos YPos Width Height after each start: ${stored[0]}; ${stored[1]}; ${stored[2]}"
[ "${stored[1]}" = "${stored[0]}" ] && [ "${stored[2]}" = "${stored[0]}" ] &&
  ok "the stored place is the same after every start" || fail "the stored place changes from start to start"
echo "  frame X Y W H: left at ${places[0]}; start 2: ${places[1]}; start 3: ${places[2]}"
read -r x0 y0 w0 h0 <<<"${places[0]}"
read -r x1 y1 w1 h1 <<<"${places[1]}"
read -r x2 y2 w2 h2 <<<"${places[2]}"
if within "$x1" "$x0" 1 && within "$y1" "$y0" 1 && within "$w1" "$w0" 1 && within "$h1" "$h0" 1; then
  ok "the second start shows the frame where it was left"
else
  fail "the second start moved the frame: ${places[0]} -> ${places[1]}"
fi
if within "$x2" "$x1" 1 && within "$y2" "$y1" 1 && within "$w2" "$w1" 1 && within "$h2" "$h1" 1; then
  ok "no drift from start to start"
else
  fail "the frame drifts from start to start: ${places[1]} -> ${places[2]}"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "the whole road passed"
