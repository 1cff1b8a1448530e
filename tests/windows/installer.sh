#!/usr/bin/env bash
# The Windows packages under Wine: the installer, run silently as a user
# would (/S), puts the two programs, the Start menu shortcut, the .txa file
# type and the installed programs entry in place, and the installed
# varnok-cli.exe runs; its uninstaller, run as the installed programs list
# runs it, takes exactly these away again and leaves the user's files (a
# remtxa.ini in the program's folder, %APPDATA%\varnok). A second round
# with .txa already owned by another program leaves that program's type
# alone. The portable zip holds exactly the two programs, the same files
# the installer installs.
#
#   installer.sh INSTALLER PORTABLE_ZIP VERSION WINE_RUN
set -euo pipefail
installer=$(realpath "$1") portable=$(realpath "$2") version=$3 wine_run=$(realpath "$4")

# No Linux menu entries or file types for what is installed in the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine() { "$wine_run" "$@"; }

failures=0
check() {  # check WHAT COMMAND...: one line per check, "ok" or "FAILED"
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
same() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; return 1; }; }

# The prefix's folders, as Windows names them and as Linux reaches them.
windows_folder() { wine cmd /c "echo %$1%" | tr -d '\r\n'; }
unix_path() { wine winepath -u "$1" | tr -d '\r\n'; }
local_app_data=$(windows_folder LOCALAPPDATA)
app_data=$(windows_folder APPDATA)
instdir_win="$local_app_data\\Programs\\varnok"
instdir=$(unix_path "$instdir_win")
shortcut="$(unix_path "$app_data")/Microsoft/Windows/Start Menu/Programs/varnok.lnk"
user_folder="$(unix_path "$app_data")/varnok"
keep_file="$user_folder/installer-test-keep.txt"

classes='HKCU\Software\Classes'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\varnok'

# A registry value's data ("" for the default value), or status 1 when the
# key or value is missing.
reg_value() {
  local key=$1 name=$2 out
  if [ -z "$name" ]; then
    out=$(wine reg query "$key" /ve 2>/dev/null) || return 1
    name='(Default)'
  else
    out=$(wine reg query "$key" /v "$name" 2>/dev/null) || return 1
  fi
  out=$(printf '%s\n' "$out" | tr -d '\r' | grep -F "    $name    REG_") || return 1
  printf '%s' "${out#*    REG_*    }"
}
has_key() { wine reg query "$1" >/dev/null 2>&1; }
no_key() { ! has_key "$1"; }
value_is() { local got; got=$(reg_value "$1" "$2") || { echo "  $1 [$2] is missing"; return 1; }; same "$got" "$3"; }
no_value() { ! reg_value "$1" "$2" >/dev/null; }

# Leftovers of an earlier run that stopped half way (only what this test
# and the installer make).
cleanup() {
  rm -f "$instdir/varnok.exe" "$instdir/varnok-cli.exe" "$instdir/uninstall.exe" "$instdir/remtxa.ini" "$shortcut" \
    "$keep_file"
  rmdir "$instdir" "$user_folder" 2>/dev/null || true
  for key in "$classes\\varnok.txa" "$classes\\.txa" "$uninstall_key"; do
    wine reg delete "$key" /f >/dev/null 2>&1 || true
  done
}
cleanup

files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' '); }
# The shortcut names its target and its working folder: among the link's
# ANSI and UTF-16 strings (a UTF-16 string follows its length, which may
# read as one character more).
shortcut_names() {
  local line
  while IFS= read -r line; do
    [ "$line" = "$1" ] || [ "${line:1}" = "$1" ] && return 0
  done < <( (strings -a "$shortcut"; strings -a -el "$shortcut") | tr -d '\r')
  echo "  the shortcut does not name $1"
  return 1
}

# The portable zip, unpacked, to compare with what the installer installs.
work=$(mktemp -d "${TMPDIR:-/tmp}/varnok-zip-XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$portable")

install() { wine "$installer" /S; }

# The uninstaller copies itself to the temporary folder, starts the copy and
# returns at once; the copy removes its installed programs entry last, so
# the run is over once the entry is gone (waited for up to a minute).
uninstall() {
  wine "$instdir_win\\uninstall.exe" /S
  local deadline=$((SECONDS + 60))
  while has_key "$uninstall_key"; do
    [ $SECONDS -lt $deadline ] || { echo "  the uninstaller did not finish within a minute"; return 1; }
    sleep 0.2
  done
}

echo "== install (.txa not registered before)"
check "the installer runs silently and succeeds" install
check "it installs the two programs and the uninstaller, nothing else" \
  same "$(files_in "$instdir")" "uninstall.exe varnok-cli.exe varnok.exe "
check "the Start menu shortcut exists" test -f "$shortcut"
check "the shortcut starts varnok.exe" shortcut_names "$instdir_win\\varnok.exe"
check "the shortcut starts it in its folder" shortcut_names "$instdir_win"
check "the ProgID names the file type" value_is "$classes\\varnok.txa" "" "TXA file"
check "the ProgID has the program's icon" value_is "$classes\\varnok.txa\\DefaultIcon" "" "$instdir_win\\varnok.exe,0"
check "its verb reads \"Open with varnok\"" value_is "$classes\\varnok.txa\\shell\\open" "" "Open with varnok"
check "its verb runs varnok.exe on the file" \
  value_is "$classes\\varnok.txa\\shell\\open\\command" "" "\"$instdir_win\\varnok.exe\" \"%1\""
check ".txa opens with the ProgID" value_is "$classes\\.txa" "" "varnok.txa"
check ".txa offers the ProgID under Open with" value_is "$classes\\.txa\\OpenWithProgids" "varnok.txa" ""
check "the installed programs entry names varnok" value_is "$uninstall_key" DisplayName "varnok"
check "the entry has the version" value_is "$uninstall_key" DisplayVersion "$version"
check "the entry has the publisher" value_is "$uninstall_key" Publisher "The varnok developers"
check "the entry runs the uninstaller" value_is "$uninstall_key" UninstallString "\"$instdir_win\\uninstall.exe\""
check "the entry knows the folder" value_is "$uninstall_key" InstallLocation "$instdir_win"

zip_list() { cmake -E tar tf "$portable" | LC_ALL=C sort | tr '\n' ' '; }
check "the portable zip holds the folder with the two programs, nothing else" \
  same "$(zip_list)" "varnok-$version/ varnok-$version/varnok-cli.exe varnok-$version/varnok.exe "
for exe in varnok.exe varnok-cli.exe; do
  check "the zip's $exe is the one installed" cmp -s "$work/varnok-$version/$exe" "$instdir/$exe"
done

run_version() { wine "$instdir_win\\$1" --version | tr -d '\r'; }
check "the installed varnok-cli.exe runs" same "$(run_version varnok-cli.exe)" "varnok $version"
check "the installed varnok.exe prints a command's output when it has somewhere to go" \
  same "$(run_version varnok.exe)" "varnok $version"

check "the unpacked varnok-cli.exe runs" same "$(wine "$work/varnok-$version/varnok-cli.exe" --version | tr -d '\r')" \
  "varnok $version"

# The user's files: the last file name the window remembers (it works in
# the program's folder when started from the menu) and the settings folder.
echo "[TXA]" >"$instdir/remtxa.ini"
mkdir -p "$user_folder"
echo "the user's" >"$keep_file"

echo "== uninstall"
check "the uninstaller runs silently and finishes" uninstall
check "the programs and the uninstaller are gone, remtxa.ini stays" same "$(files_in "$instdir")" "remtxa.ini "
check "the user's settings folder stays as it was" same "$(cat "$keep_file" 2>/dev/null)" "the user's"
check "the shortcut is gone" test ! -e "$shortcut"
check "the ProgID is gone" no_key "$classes\\varnok.txa"
check "the .txa key it made is gone" no_key "$classes\\.txa"
check "the installed programs entry is gone" no_key "$uninstall_key"
rm -f "$instdir/remtxa.ini"
rmdir "$instdir"

echo "== install and uninstall with .txa owned by another program"
wine reg add "$classes\\.txa" /ve /d other.txa /f >/dev/null
wine reg add "$classes\\.txa\\OpenWithProgids" /v other.txa /d "" /f >/dev/null
check "the installer runs silently and succeeds" install
check ".txa still opens with the other program" value_is "$classes\\.txa" "" "other.txa"
check ".txa offers varnok beside it under Open with" value_is "$classes\\.txa\\OpenWithProgids" "varnok.txa" ""
check "the uninstaller runs silently and finishes" uninstall
check "the install folder is gone (nothing of the user's in it)" test ! -e "$instdir"
check ".txa still opens with the other program afterwards" value_is "$classes\\.txa" "" "other.txa"
check "the other program's Open with entry stays" value_is "$classes\\.txa\\OpenWithProgids" "other.txa" ""
check "varnok's Open with entry is gone" no_value "$classes\\.txa\\OpenWithProgids" "varnok.txa"
check "the ProgID is gone" no_key "$classes\\varnok.txa"
cleanup

echo "$failures checks failed"
[ "$failures" -eq 0 ]
