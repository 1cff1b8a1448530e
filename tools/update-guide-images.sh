#!/usr/bin/env bash
# Copies the pictures the user's guide (docs/guide.md) shows from the ones
# the tests save under build/screenshots/ into docs/images/, as small PNGs
# (256 colours, no time stamps, so an unchanged picture gives the same
# bytes). Run ./test first (or the test programs named below); a picture
# that is missing stops the script before anything is copied.
#   tools/update-guide-images.sh
set -euo pipefail
cd "$(dirname "$0")/.."
shots=build/screenshots
images=docs/images
tools/ensure-packages.sh imagemagick >/dev/null

# guide picture         | the test's picture (build/screenshots/) | the test that makes it
pictures=(
  "linux-loaded.png     | main-window-sample.png                | app_qt_tests MainWindowQt.TheSampleWithTwoTicks"
  "linux-select-all.png | message-1-Select All.png              | app_qt_tests MainWindowQt.TheRoadOfOneUse"
  "linux-confirm.png    | message-3-Confirm.png                 | app_qt_tests MainWindowQt.TheRoadOfOneUse"
  "linux-saved.png      | message-4-Saved.png                   | app_qt_tests MainWindowQt.TheRoadOfOneUse"
  "linux-viewer.png     | viewer_sample_lines.png               | queueview_qt_tests QueueViewerTest.LinesOfTheSampleFile"
  "linux-progress.png   | main-window-load-progress.png         | app_qt_tests MainWindowQt.ALongLoadShowsAProgressBarThatIsPainted"
  "windows-loaded.png   | windows/road-01-main-loaded.png       | windows_road (tests/windows/road.sh)"
  "windows-ticked.png   | windows/road-02-row1-ticked.png       | windows_road (tests/windows/road.sh)"
  "windows-confirm.png  | windows/road-03-confirm.png           | windows_road (tests/windows/road.sh)"
  "windows-saved.png    | windows/road-04-saved.png             | windows_road (tests/windows/road.sh)"
  "windows-viewer.png   | windows/road-05-queue-viewer.png      | windows_road (tests/windows/road.sh)"
  "windows-progress.png | windows/main-window-load-progress.bmp | app_win32_tests MainWindowWin32.ALongLoadShowsAProgressBarThatIsPainted"
)
missing=0
for p in "${pictures[@]}"; do
  IFS='|' read -r _ source made_by <<<"$p"
  source=$(echo $source)
  [ -f "$shots/$source" ] || { echo "missing: $shots/$source (made by $made_by)" >&2; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1

mkdir -p "$images"
for p in "${pictures[@]}"; do
  IFS='|' read -r picture source _ <<<"$p"
  picture=$(echo $picture) source=$(echo $source)
  # The road's pictures are the whole screen: trimmed to what is on it.
  trim=()
  [[ $source == windows/road-* ]] && trim=(-trim +repage)
  convert "$shots/$source" "${trim[@]}" -resize '960x720>' -strip -colors 256 \
    -define png:exclude-chunks=date,time "PNG8:$images/$picture"
  printf '  %-22s %6s bytes  from %s\n' "$picture" "$(stat -c %s "$images/$picture")" "$source"
done
