#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, in the build's own
# Wine prefix (build/wine), with Wine's own messages off. ctest calls it as
# the cross-compiling emulator; tools/windows-test.sh keeps one wineserver
# running for the prefix so that each start is quick.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec /usr/lib/wine/wine64 "$@"
