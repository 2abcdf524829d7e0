#!/usr/bin/env bash
# End-to-end test of a film's sound: scripts/film films the first half of docs/demo.replay (4500
# ticks, the swings of both flippers) twice as .mp4, the first time building the game in BUILD_DIR,
# the second with the game built. Each film must have an AAC audio stream whose two strongest onsets
# fall on the ticks of the two flipper swings (1785 left, 4369 right) within one picture (15 ticks),
# and the two films' decoded audio must be the same to the byte (ffmpeg -f md5).
#
#   film_sound.sh REPO BUILD_DIR SOUND_CHECK
#
# Exit 0 when all is well, 1 naming what was not, 77 (skip) without Xvfb. Takes half a minute: each
# film plays 4500 ticks and writes 300 pictures.
set -u
# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"

repo=$1
build=$2
sound_check=$3
# shellcheck source=SCRIPTDIR/../../scripts/lib/xvfb.sh
source "$repo/scripts/lib/xvfb.sh"
xvfb_require ffmpeg ffprobe

work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-film-sound.XXXXXX")
trap '[ $failures -eq 0 ] && [ -z "${FLIPPER_E2E_KEEP:-}" ] && rm -rf "$work" || echo "files kept in $work"' EXIT

near() {  # near TICK EXPECTED...: TICK lies within 15 ticks of one of EXPECTED
  local tick=$1 e; shift
  for e in "$@"; do [ $((tick - e)) -le 15 ] && [ $((e - tick)) -le 15 ] && return 0; done
  return 1
}

# The demo to its check after idle call 4000 (its first two keys), ended at idle call 4500 with the
# game's summary there.
sed '/^check 5000 /,$d' "$repo/docs/demo.replay" > "$work/half.replay"
echo "end 4500 ticks 4499 score 66 hash fb68d4d4008a86a0" >> "$work/half.replay"
for film in first second; do
  if [ $film = first ]; then game=(FLIPPER_BUILD_DIR="$build"); else game=(FLIPPER_FILM_GAME="$build/flipper"); fi
  env "${game[@]}" bash "$repo/scripts/film" "$work/half.replay" "$work/$film.mp4" > "$work/$film.log" 2>&1
  check "$film film: scripts/film succeeded" test $? -eq 0
  check "$film film: an AAC audio stream" test "$(ffprobe -v error -select_streams a \
    -show_entries stream=codec_name -of csv=p=0 "$work/$film.mp4")" = aac
  ffmpeg -v error -i "$work/$film.mp4" -map 0:a -f md5 - > "$work/$film.md5"
done
check "the two films' audio is the same ($(cat "$work/first.md5"))" cmp -s "$work/first.md5" "$work/second.md5"

ffmpeg -v error -y -i "$work/first.mp4" -map 0:a -f s16le -ac 1 -ar 44100 "$work/first.raw"
"$sound_check" loudest "$work/first.raw" 2 > "$work/loudest.txt"
while read -r tick strength; do
  check "strong onset at tick $tick ($strength) is a flipper swing" near "$tick" 1785 4369
done < "$work/loudest.txt"
check "two strong onsets, one a swing of each flipper" test "$(awk '{ print ($1 < 3000) }' "$work/loudest.txt" | sort | tr -d '\n')" = 01

checked
