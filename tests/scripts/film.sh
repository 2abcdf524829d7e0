#!/usr/bin/env bash
# scripts/film's own checks, on a replay of 150 ticks (10 pictures), with the game already built:
#  - a film name it cannot make, a missing replay or folder, an input as the output (named with a
#    leading -, too) and a folder as the output are refused in one line each, and the input is left
#    as it was;
#  - a good film is saved with every picture, readable by others, and nothing is left beside it;
#  - ffmpeg that exits 0 over a film short of pictures, a replay that does not play through, and a
#    full disk each leave nothing at the output and nothing beside it.
#
#   film.sh REPO FLIPPER
#
# Exit 0 when all is well, 1 naming what was not, 77 (skip) without Xvfb or ffmpeg.
set -u
# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"

repo=$1
flipper=$2
command -v Xvfb > /dev/null && command -v ffprobe > /dev/null || { echo "SKIP: no Xvfb or ffmpeg"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-film-checks.XXXXXX")
cleanup() { if [ $failures -eq 0 ]; then rm -rf "$work"; else echo "files kept in $work"; fi; }
trap cleanup EXIT
cd "$work" || exit 1

# The first 150 ticks of the first reference game: pictures on ticks 1, 16, ..., 136.
ref=$repo/tests/data/reference
cp "$ref/ball.iv" ball.iv
printf 'flipper-replay 1\nmodel 17d1a8709f6f1c71\nend 151 ticks 150 score 0 hash 0076ee06e9159416\n' > short.replay
film() { FLIPPER_FILM_GAME=$flipper bash "$repo/scripts/film" "$@"; }
left_beside() { find "$1" -maxdepth 1 -name '.film-*' | wc -l; }

# Refusals, before anything is played.
film short.replay out.avi ball.iv > /dev/null 2> avi.err
check "a name that is no film: status 2, one line" \
  test $? -eq 2 -a "$(cat avi.err)" = "film: out.avi: the film must end in .mp4, .webm or .gif"
film missing.replay x.mp4 > /dev/null 2> missing.err
check "a missing replay is said in its own words" test $? -eq 1 -a "$(cat missing.err)" = \
  "film: missing.replay: no such replay file"
film short.replay nowhere/x.mp4 ball.iv > /dev/null 2> folder.err
check "a missing folder is said" test "$(cat folder.err)" = "film: nowhere/x.mp4: its folder does not exist"
cp ball.iv ball.gif
film short.replay ball.gif ball.gif > /dev/null 2> input.err
check "the ball as the output: refused" test $? -eq 1 -a "$(cat input.err)" = \
  "film: ball.gif: will not write there: it is an input"
check "the ball as the output: left as it was" cmp -s ball.gif ball.iv
cp ball.iv ./-ball.gif && cp short.replay ./-short.replay && mkdir folder.gif && ln -s folder.gif link.gif
for args in "-short.replay -ball.gif:-ball.gif: will not write there: it is an input" \
  "short.replay folder.gif:folder.gif: is a folder; name the film's file" "short.replay link.gif:link.gif: is a folder; name the film's file"; do
  # shellcheck disable=SC2086  # two words: the replay and the film
  film ${args%%:*} -ball.gif > /dev/null 2> refused.err
  check "film ${args%%:*}: refused" test $? -eq 1 -a "$(cat refused.err)" = "film: ${args#*:}"
done
check "a folder as the output: nothing left in it" test "$(left_beside folder.gif)" = 0

# A good film: all 10 pictures, the mode a new file gets (umask 022), nothing left beside it.
(umask 022 && film short.replay good.mp4 ball.iv > good.out 2> good.err)
check "a good film: saved, its size said" grep -qx "film: saved $work/good.mp4 (10 pictures, $(stat -c %s good.mp4) bytes)" good.out
check "a good film: every picture in it" test "$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=nb_read_frames -of csv=p=0 good.mp4)" = 10
check "a good film: readable by others" test "$(stat -c %a good.mp4)" = 644
check "a good film: nothing left beside it" test "$(left_beside .)" = 0

# ffmpeg that exits 0 over a film that holds only 3 of the pictures (as it may at a full disk).
mkdir -p fake
printf '#!/bin/sh\nout=$(eval echo \\${$#})\n"%s" "$@" && "%s" -v error -y -i "$out" -frames:v 3 -c copy "$out.cut.mp4" && mv "$out.cut.mp4" "$out"\n' \
  "$(command -v ffmpeg)" "$(command -v ffmpeg)" > fake/ffmpeg
chmod +x fake/ffmpeg
PATH=$work/fake:$PATH film short.replay short.mp4 ball.iv > /dev/null 2> short.err
check "a film short of pictures: status 1" test $? -eq 1
check "a film short of pictures: says so" grep -qx "film: short.mp4: the film written is broken (3 pictures of 10 read back); nothing saved" short.err
check "a film short of pictures: nothing saved, nothing left" test ! -e short.mp4 -a "$(left_beside .)" = 0

# A replay of another ball (the same with one more line) is refused before it plays.
{ cat ball.iv; echo '# another ball'; } > other.iv
film short.replay other.mp4 other.iv > /dev/null 2> other.err
check "a replay that does not play through: status 1, said" test $? -eq 1 -a \
  "$(head -n 1 other.err)" = "film: the replay did not play through (status 1):"
check "a replay that does not play through: nothing saved, nothing left" test ! -e other.mp4 -a "$(left_beside .)" = 0

# Onto a 20 KB file system (a private tmpfs) ffmpeg runs out of room (and exits 0 for an MP4).
if unshare -rm true 2> /dev/null; then
  for out in small.mp4 small.gif; do
    mkdir -p full
    # shellcheck disable=SC2016  # expanded by the inner shell
    unshare -rm bash -c 'mount -t tmpfs -o size=20k tmpfs full && FLIPPER_FILM_GAME=$2 bash "$3" short.replay "full/$1" ball.iv
                         s=$?; ls -A full > full.list; exit $s' _ "$out" "$flipper" "$repo/scripts/film" > "$out.out" 2> "$out.err"
    check "film onto a full disk ($out): status 1" test $? -eq 1
    check "film onto a full disk ($out): says so" grep -q "^film: full/$out: " "$out.err"
    check "film onto a full disk ($out): nothing left there" test ! -s full.list
  done
else
  echo "skipped: the film onto a full disk (no private mount namespace here)"
fi

checked
