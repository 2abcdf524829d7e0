#!/usr/bin/env bash
# make_icons.sh: renders the game's menu icons from the game itself. Plays the game under its own
# Xvfb up to a tick where the ball has fallen onto the table (--freeze-at), takes the window's
# picture, cuts the table out as a square, makes the empty black around it transparent and scales
# it to every size the desktop asks for: OUTDIR/flipper-SIZE.png.
#
#   tools/make_icons.sh FLIPPER ASSETS OUTDIR      (the committed icons: build/flipper assets assets/icons)
#
# Needs Xvfb, xdotool and ImageMagick (bash scripts/setup installs them).
set -euo pipefail

flipper=$(realpath "$1")
assets=$(realpath "$2")
output=$(realpath -m "$3")
repo=$(cd "$(dirname "$0")/.." && pwd)
sizes=(16 22 24 32 48 64 128 256)
freeze_tick=450  # the ball on the playfield among the bumpers, the flippers at rest

# shellcheck source=SCRIPTDIR/../scripts/lib/xvfb.sh
source "$repo/scripts/lib/xvfb.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-icons.XXXXXX")
trap 'rm -rf "$work"' EXIT
flipper_frozen_frame "$flipper" "$assets" "$freeze_tick" "$work/full.png" ||
  { echo "make_icons: no picture of the game" >&2; exit 1; }
cd "$work"

# The table fills x 135 to 750 and y 230 to 640 of the 768-pixel window: a 620-pixel square around it.
mkdir -p "$output"
convert full.png -crop 620x620+133+125 +repage -transparent black table.png
for size in "${sizes[@]}"; do
  convert table.png -filter Lanczos -resize "${size}x${size}" -strip "$output/flipper-$size.png"
done
echo "make_icons: wrote ${sizes[*]} pixel icons to $output"
