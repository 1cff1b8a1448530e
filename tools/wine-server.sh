#!/usr/bin/env bash
# Starts (start) or stops (stop) one persistent Wine server for the build's
# Wine prefix (build/wine), so each program started under Wine starts in a
# few hundredths of a second instead of seconds. The prefix is made at the
# first start and kept.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
server=/usr/lib/wine/wineserver64
case "${1:-}" in
  start)
    mkdir -p "$WINEPREFIX"
    # Refused when a server for the prefix runs already, which serves too.
    "$server" -p >/dev/null 2>&1 </dev/null || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "making the Wine prefix $WINEPREFIX" >&2
      /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
    fi
    # No debugger for a program that crashes: it ends with the exception's
    # code, so a crashing test fails instead of passing with status 0.
    /usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /d "" /f >/dev/null 2>&1 </dev/null
    /usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Auto /d 0 /f >/dev/null 2>&1 </dev/null
    # The window test programs run on a display without a window manager,
    # where Wine waits two seconds for a window manager to withdraw each
    # managed window that closes. Their windows are left unmanaged; the
    # program itself stays managed (the road test runs it under openbox).
    # What the tests check and photograph is the windows' client areas.
    for tests in window_win32_tests.exe app_win32_tests.exe; do
      /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\AppDefaults\\$tests\\X11 Driver" \
        /v Managed /d N /f >/dev/null 2>&1 </dev/null
    done
    ;;
  stop) "$server" -k 2>/dev/null || true ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
