#!/usr/bin/env bash
# make-ball writes only balls that play: settings outside the measured range are refused (or, asked
# for, written with a warning), and the corners of the range do play 20,000 ticks on the table.
set -uo pipefail
# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"
ball=$1
sim=$2
playability=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
range="the balls that play have 0 to 2 subdivisions and a radius of 1 to 2"

# Refused: status 2, one line saying why and what plays, and no file.
refused() {  # refused LINE ARGS...
  local line=$1; shift
  rm -f b.iv
  "$ball" "$@" --output b.iv > out.txt 2> err.txt; local s=$?
  check "'$*' refused: status 2 (got $s)" test $s -eq 2
  check "'$*' refused: $line" test "$(cat err.txt)" = "make-ball: $line; $range (--allow-unplayable writes it anyway)"
  check "'$*' refused: no file" test ! -e b.iv
}
for s in 3 4 5 6; do
  refused "a ball of $s subdivisions collapses or turns to NaN on the table" --subdivisions "$s"
done
refused "a ball of radius 0.01 flattens or turns to NaN on the table" --radius 0.01
refused "a ball of radius 0.9 flattens or turns to NaN on the table" --radius 0.9
refused "a ball of radius 2.25 sticks between the walls or turns to NaN on the table" --radius 2.25
refused "a ball of radius 10 sticks between the walls or turns to NaN on the table" --radius 10
refused "a ball of 3 subdivisions collapses or turns to NaN on the table" --subdivisions 3 --radius 2

# Asked for, an unplayable ball is written, with a warning.
"$ball" --subdivisions 3 --allow-unplayable --output b.iv 2> err.txt; s=$?
check "--allow-unplayable writes: status 0" test $s -eq 0
check "--allow-unplayable writes: the file" test "$(head -n 1 b.iv)" = "Masses 642"
check "--allow-unplayable warns" test "$(cat err.txt)" = \
  "make-ball: WARNING: a ball of 3 subdivisions collapses or turns to NaN on the table within 20000 ticks; $range"
"$ball" --subdivisions 7 --allow-unplayable > /dev/null 2> err.txt; s=$?
check "beyond the generator's own limit: status 2" test $s -eq 2

# The range's corners and middle are written without a word, and play.
for setting in 0:1 0:2 1:1 1:1.5 2:1 2:2; do
  "$ball" --subdivisions "${setting%%:*}" --radius "${setting#*:}" --output "b$setting.iv" 2> err.txt; s=$?
  check "$setting written: status 0" test $s -eq 0
  check "$setting written: no warning" test ! -s err.txt
done
mkdir tools
ln -s "$ball" tools/make-ball
ln -s "$sim" flipper-sim
bash "$playability" . 0:1 0:2 1:1 1:1.5 2:1 2:2 > table.md
cat table.md
check "six rows" test "$(grep -c '^| [0-9]' table.md)" -eq 6
check "every one plays" test "$(grep -c '| yes |$' table.md)" -eq 6

# A full disk is reported, with the file's name.
"$ball" --output /dev/full 2> err.txt; s=$?
check "full disk: status 1" test $s -eq 1
check "full disk: says why" test "$(cat err.txt)" = "/dev/full: cannot write model: no space left on device"

checked
