#!/usr/bin/env bash
# flipper-sim --replay against the first reference game: a replay file written by hand from the
# reference's keys, its trace and its summary must verify, give the reference trace byte for byte,
# and diverge, at the right idle call, when one key comes one idle call late.
set -uo pipefail
# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"
sim=$1
ref=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$ref/ball.iv" .

# FNV-1a 64 of ball.iv's bytes, worked out once with a separate script.
model=17d1a8709f6f1c71
# The reference game: keys f before idle calls 1790 and 1950, j before 2400, 3000 idle calls. Its
# state hashes after idle calls 1000 and 2000 are the trace's, the end is its summary line.
hash_at() { awk -F, -v i="$1" '$1 == i { print $13 }' "$ref/game-a.csv"; }
summary=$(grep '^ticks ' "$ref/game-a.stdout")
write_replay() {  # write_replay FIRST_F_IDLE [no-end]
  {
    echo "flipper-replay 1"
    echo "model $model"
    echo "check 1000 $(hash_at 1000)"
    echo "key $1 f"
    echo "key 1950 f"
    echo "check 2000 $(hash_at 2000)"
    echo "key 2400 j"
    [ "${2:-}" = no-end ] || echo "end 3000 $summary"
  }
}
write_replay 1790 > game-a.replay

"$sim" --model ball.iv --replay game-a.replay --trace a.csv > out.txt 2> err.txt; s=$?
check "verified: status 0" test $s -eq 0
check "verified: the verdict" test "$(tail -n 1 out.txt)" = "replay verified: $summary"
check "the trace is the reference's" cmp -s a.csv "$ref/game-a.csv"
"$sim" --model ball.iv --replay game-a.replay --trace e.csv --every 100 > /dev/null
check "--every with --replay" test "$(wc -l < e.csv)" -eq 30

# The first f one idle call late: the flipper meets the ball a tick later, so the state after idle
# 2000 differs from the recorded one.
write_replay 1791 > late.replay
"$sim" --model ball.iv --replay late.replay > late.txt; s=$?
check "diverged: status 1" test $s -eq 1
check "diverged: names idle 2000 and the recorded hash" \
  grep -Eq "^replay diverged at idle 2000: expected hash $(hash_at 2000), got [0-9a-f]{16}$" late.txt

# Cut short (a game killed outright): played to its last checkpoint, and said so.
write_replay 1790 no-end > cut.replay
"$sim" --model ball.iv --replay cut.replay > cut.txt; s=$?
check "no end: status 0" test $s -eq 0
check "no end: says so" test "$(tail -n 1 cut.txt)" = \
  "replay verified to its last checkpoint, after idle 2000 (the recording has no end line): ticks 2000 score 26 hash $(hash_at 2000)"

# A recording cut inside a line (a disk that filled up): played to its last whole checkpoint, and not
# taken for a verified game.
head -c -20 game-a.replay > cut-line.replay
"$sim" --model ball.iv --replay cut-line.replay > cut-line.out 2> cut-line.err; s=$?
check "cut inside a line: status 1" test $s -eq 1
check "cut inside a line: the verdict" test "$(tail -n 1 cut-line.out)" = "replay cut short at idle 2400: verified up to idle 2000"
check "cut inside a line: where it ends" test "$(head -n 1 cut-line.err)" = \
  "cut-line.replay: line 8: truncated: the last line has no end of line"

# The verdict that cannot be written is not a success.
"$sim" --model ball.iv --replay game-a.replay > /dev/full 2> full.err; s=$?
check "verdict to a full device: status 1" test $s -eq 1
check "verdict to a full device: says so" test "$(tail -n 1 full.err)" = \
  "flipper-sim: cannot write the verdict to standard output: no space left on device"

# Another ball: one line, and no game.
sed 's/^0 0 0$/0 0 0.001/; 2s/$/ /' ball.iv > other.iv
"$sim" --model other.iv --replay game-a.replay > other.out 2> other.err; s=$?
check "another ball: status 1" test $s -eq 1
check "another ball: one line" grep -Eq "^game-a.replay: recorded with another ball \(model hash $model\), not other.iv \(hash [0-9a-f]{16}\)$" other.err
check "another ball: one line only" test "$(wc -l < other.err)" -eq 1
check "another ball: no game played" test ! -s other.out

# Bad files: one line naming the file and the line; status 1.
printf 'flipper-replay 1\nmodel %s\nkey 10 f\nkey 9 j\n' "$model" > order.replay
"$sim" --model ball.iv --replay order.replay > /dev/null 2> order.err; s=$?
check "bad file: status 1" test $s -eq 1
check "bad file: its line" grep -q '^order.replay: line 4: a key before idle call 9 comes after a key before idle call 10' order.err
"$sim" --model ball.iv --replay missing.replay > /dev/null 2> missing.err; s=$?
check "missing file: status 1" test $s -eq 1
check "missing file: message" grep -q '^missing.replay: cannot read replay: no such file or directory$' missing.err

# The trace never overwrites the files it was asked to read.
cp game-a.replay keep.replay
"$sim" --model ball.iv --replay keep.replay --trace keep.replay > /dev/null 2> clobber.err; s=$?
check "trace over the replay: status 1" test $s -eq 1
check "trace over the replay: says so" grep -q '^keep.replay: will not write there: it is keep.replay, which the game reads$' clobber.err
check "trace over the replay: the replay is untouched" cmp -s keep.replay game-a.replay

# --replay brings its own keys and length.
for args in "--key 5:f" "--idles 10"; do
  # shellcheck disable=SC2086
  "$sim" --model ball.iv --replay game-a.replay $args > /dev/null 2> usage.err; s=$?
  check "--replay with $args gives 2" test $s -eq 2
  check "--replay with $args says why" grep -q 'do not go with it' usage.err
done

checked
