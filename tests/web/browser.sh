#!/usr/bin/env bash
# The browser tests: the desktop game's frame at the freeze tick under our own Xvfb, then the page
# in headless Chromium against it (tests/web/browser.mjs).
#   bash tests/web/browser.sh REPO [--timing]
# Needs build/flipper and build/flipper-sim (the native build; FLIPPER_BUILD_DIR names another
# folder), build-web/site and tests/web/node_modules.
set -euo pipefail
repo=$1
shift
freeze_tick=1200  # the ball rolls in the middle of the table, the score shows
build=${FLIPPER_BUILD_DIR:-$repo/build}
for program in flipper flipper-sim; do
  [ -x "$build/$program" ] || { echo "browser tests: $build/$program is missing; build the game first" >&2; exit 1; }
done

# shellcheck source=SCRIPTDIR/../../scripts/lib/xvfb.sh
source "$repo/scripts/lib/xvfb.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-browser.XXXXXX")
trap 'rm -rf "$work"' EXIT
flipper_frozen_frame "$build/flipper" "$repo/assets" "$freeze_tick" "$work/desktop.png" ||
  { echo "browser tests: no desktop frame" >&2; exit 1; }
cd "$work"
convert desktop.png -depth 8 rgb:desktop.rgb

# A model the native game rejects, and the line it rejects it with.
mkdir broken
printf 'Masses\n2\n0 0 0\n' > broken/sphere.iv
broken_line=$(cd broken && { "$build/flipper-sim" --idles 1 2>&1 >/dev/null || true; } | head -n 1)

cd "$repo/tests/web"
FLIPPER_SIM="$build/flipper-sim" FLIPPER_ASSETS="$repo/assets" FLIPPER_DEMO="$repo/docs/demo.replay" \
  node browser.mjs "$repo/build-web/site" "$work/desktop.rgb" "$freeze_tick" "$work/broken/sphere.iv" "$broken_line" "$@"
# The page's hall of fame, served by flipper-hall, where the native build has it.
if [ -x "$build/flipper-hall" ]; then
  node hall.mjs "$build/flipper-hall" "$repo/build-web/site" "$build/flipper-sim"
fi
