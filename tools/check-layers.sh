#!/usr/bin/env bash
# Checks the layering the build states: each folder includes only its own
# layer and those below it (app -> queueview -> framework -> textfile,
# runtime, window -> platform), the tests of a folder likewise, the Qt and
# Win32 window layers and their tests included; only window/qt/ and the desktop start include Qt, and only platform/ (and
# the tests' own system seam) includes POSIX headers or windows.h, which
# the Win32 window layer (window/win32/) includes too.
# Prints every offending include and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {  # the folders a layer may include
  case $1 in
    platform) echo "platform" ;;
    runtime) echo "runtime platform" ;;
    window) echo "window runtime platform" ;;
    textfile) echo "textfile runtime window platform" ;;
    framework) echo "framework textfile runtime window platform" ;;
    queueview) echo "queueview framework textfile runtime window platform" ;;
    app) echo "app queueview framework textfile runtime window platform" ;;
  esac
}

bad=0
report() { echo "$1"; bad=1; }

for layer in platform runtime window textfile framework queueview app; do
  for root in "$layer" "tests/$layer"; do
    [ -d "$root" ] || continue
    while IFS= read -r file; do
      # The viewer's tests in real widgets show the program's own lines and
      # export them through the program's writer.
      [[ $file == tests/queueview/qt/* ]] && continue
      ok=" $(allowed "$layer") tests "
      while IFS= read -r inc; do
        top=${inc%%/*}
        [[ $ok == *" $top "* ]] || report "$file: includes $inc ($layer may include: $(allowed "$layer"))"
      done < <(grep -oE '^#include "[a-z_]+/[^"]+"' "$file" | sed -E 's/#include "(.*)"/\1/')
    done < <(find "$root" -name '*.cpp' -o -name '*.h')
  done
done

# Qt only in window/qt/, the desktop start and tests in qt/ folders.
while IFS= read -r hit; do
  case ${hit%%:*} in
    window/qt/*|app/startup/desktop.cpp|tests/*/qt/*|tests/support/qt_*|tests/support/openbox_*) ;;
    *) report "$hit: Qt outside the Qt layer" ;;
  esac
done < <(grep -rnE '^#include <Q' --include=*.cpp --include=*.h app framework queueview textfile runtime window platform tests bench 2>/dev/null | grep -v '^bench/')

# System headers only in platform/ (and the tests' system seam and tests
# of the platform itself); windows.h also in the Win32 window layer.
while IFS= read -r hit; do
  case ${hit%%:*} in
    window/win32/*) [[ $hit == *windows.h* ]] && continue ;;
  esac
  report "$hit: system header outside platform/"
done < <(grep -rnE '^#include <(windows\.h|unistd\.h|fcntl\.h|sys/[a-z]+\.h|dirent\.h|pthread\.h|signal\.h)>' \
           --include=*.cpp --include=*.h app framework queueview textfile runtime window 2>/dev/null)

[ $bad -eq 0 ] && echo "layers: every include points down"
exit $bad
