#!/usr/bin/env bash
# Writes docs/screenshot-universe.png, -query.png, -result.png and -editor.png:
# the main window in each working mode, drawn by an X server in memory (Xvfb).
# Builds nothing: give it a build folder where test_app has been built.
#   scripts/screenshots.sh [BUILD_DIR] [FR|AN]
# The pictures come from the Screenshots test of test_app, which builds the
# main window, fills it with a few sample rows, switches to each mode and
# grabs the window.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-${KORVO_BUILD_DIR:-$root/build}}"
language="${2:-FR}"
driver="$build/tests/test_app"
if [ ! -x "$driver" ]; then
  echo "No $driver: build the target test_app first." >&2
  exit 1
fi
mkdir -p "$root/docs"
export KORVO_SCREENSHOT_DIR="$root/docs"
export KORVO_SCREENSHOT_LANG="$language"
export KORVO_SOURCE_DIR="$root"
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$driver" --gtest_filter='Screenshots.*:RunRoad.BuildRunSortAndCopy:LongRun.*' --gtest_brief=1
ls -1 "$root"/docs/screenshot-*.png
