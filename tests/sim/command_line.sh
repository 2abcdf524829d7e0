#!/usr/bin/env bash
# flipper-sim's command-line contract: traces, summaries, repeatability, errors and --help.
set -uo pipefail
# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"
sim=$1
model=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$model" sphere.iv

# A short trace: the first row is worked out by hand. The ball starts at rest at its start point
# (-2, 3, 2); in the first tick the centre mass does not move, and its velocity becomes G / 10 * dt.
"$sim" --idles 4 --trace t.csv > out.txt 2> err.txt
check "header" test "$(head -n 1 t.csv)" = "idle,tick,score,x,y,z,vx,vy,vz,radius,left,right,hash"
check "three steps after one rebuild" test "$(wc -l < t.csv)" -eq 4
check "first row position" test "$(sed -n 2p t.csv | cut -d, -f1-6)" = "1,1,0,-2,3,2"
vy=$(sed -n 2p t.csv | cut -d, -f8)
check "first row falls by G/10*dt" awk -v v="$vy" 'BEGIN { exit !(v < -0.00808 && v > -0.00810) }'
check "summary line" grep -Eq '^ticks 3 score 0 hash [0-9a-f]{16}$' out.txt
check "summary hash is the last row's" test "$(tail -n 1 t.csv | cut -d, -f13)" = "$(tail -n 1 out.txt | cut -d' ' -f6)"
check "reader lines" test "$(cat err.txt)" = "$(printf '42 masses read.\n120 springs read.\n80 faces read.')"
check "Read in on stdout" test "$(head -n 1 out.txt)" = "Read in "

# The same run twice gives the same output; --every keeps only the multiples.
"$sim" --idles 500 --key 100:f --key 200:j --trace a.csv > a.out
"$sim" --idles 500 --key 100:f --key 200:j --trace b.csv > b.out
check "repeatable trace" cmp -s a.csv b.csv
check "repeatable summary" cmp -s a.out b.out
"$sim" --idles 500 --key 100:f --key 200:j --trace e.csv --every 50 > /dev/null
check "every 50" test "$(tail -n +2 e.csv | cut -d, -f2 | tr '\n' ' ')" = "50 100 150 200 250 300 350 400 450 "
check "every row is in the full trace" bash -c "tail -n +2 e.csv | while read -r l; do grep -qxF \"\$l\" a.csv || exit 1; done"
check "flipper swings after f" bash -c "grep -q '^100,100,.*,0.400000006,0,' a.csv"

# --game-over adds one line after the summary. Left alone, the ball leaves the table at about tick
# 3,190 and falls; the second game of the reference game B (a fresh ball from idle 5000 with no
# keys) is below the table's bottom by its diameter between ticks 8400 and 8500 of its reference
# trace (centre y -4.48 and -7.48, radius 1.71): its end is tick 8454 with all its 149 points.
"$sim" --idles 500 --game-over > short.out
"$sim" --idles 500 > short-plain.out
check "a game still on" test "$(tail -n 2 short.out | tr '\n' '|')" = "$(tail -n 1 short-plain.out)|game not over|"
"$sim" --idles 20000 --key 300:f --key 900:j --key 5000:n --key 5000:n --key 7000:x --game-over > over.out 2> /dev/null
check "a lost ball" test "$(tail -n 2 over.out | tr '\n' '|')" = "ticks 19998 score 149 hash 64148192be7fba7e|game over at tick 8454 score 149|"

# No idle calls at all: no World, the offset basis.
"$sim" --idles 0 > zero.out
check "no idles" test "$(cat zero.out)" = "ticks 0 score 0 hash cbf29ce484222325"

# A missing or broken model: one line naming the file, status 1.
"$sim" --model missing.iv > /dev/null 2> missing.err; s=$?
check "missing model status" test $s -eq 1
check "missing model message" grep -q '^missing.iv: cannot read model: no such file or directory$' missing.err
printf 'Masses 2\n0 0 0\n1 0 0\nSprings 1\n0 5\nFaces 0\n' > bad.iv
"$sim" --model bad.iv > /dev/null 2> bad.err; s=$?
check "bad model status" test $s -eq 1
check "bad model message" grep -q '^bad.iv: cannot read model: Springs: record 1 of 1 names mass 5, but there are 2 masses$' bad.err

# The default ball is looked for: the working directory first, then ../share/games/flipper beside
# the program, then the program's own folder; found nowhere, one line names every place looked.
tree=$(pwd -P)/tree
mkdir -p "$tree/usr/games" "$tree/usr/share/games/flipper" elsewhere
cp "$sim" "$tree/usr/games/flipper-sim"
cp "$model" "$tree/usr/share/games/flipper/sphere.iv"
(cd elsewhere && "$tree/usr/games/flipper-sim" --idles 100 > ../placed.out 2> /dev/null); s=$?
"$sim" --idles 100 > here.out 2> /dev/null
check "the installed ball, from another folder" bash -c "test $s -eq 0 && cmp -s placed.out here.out"
cp bad.iv elsewhere/sphere.iv
(cd elsewhere && "$tree/usr/games/flipper-sim" --idles 100 > /dev/null 2> ../placed.err)
check "the working directory's ball first" grep -q '^sphere.iv: cannot read model: Springs:' placed.err
rm elsewhere/sphere.iv "$tree/usr/share/games/flipper/sphere.iv"
(cd elsewhere && "$tree/usr/games/flipper-sim" --idles 100 > /dev/null 2> ../placed.err); s=$?
check "no ball anywhere: status 1 and the places looked" bash -c "test $s -eq 1 && test \"\$(cat placed.err)\" = \
  'sphere.iv: cannot read model: not found in the working directory, $tree/usr/share/games/flipper or $tree/usr/games'"

# Usage: a mistake's status and line are in tests/sim/reliability.sh, each option's in tests/sim/OptionsTest.cpp.
"$sim" --help > help.out; s=$?
check "--help" bash -c "test $s -eq 0 && grep -q '^usage: flipper-sim' help.out"

checked
