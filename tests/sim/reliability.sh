#!/usr/bin/env bash
# flipper-sim's files: a trace that cannot be written is never reported as success, a trace never
# clobbers the model, the model is read only from a regular file of bounded size, and mistakes on
# the command line are usage errors. Every failure is one line naming the file, with one wording.
set -uo pipefail
# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"
sim=$1
model=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$model" sphere.iv
# A build with AddressSanitizer reserves terabytes of address space: no memory bound for it.
memory=2000000  # KB of address space
# (ldd's list is read whole first: a grep -q that stops at the match would cut ldd off, and under
# pipefail its broken pipe would leave the bound in place at random.)
libraries=$(ldd "$sim" 2> /dev/null) || libraries=""
grep -q libasan <<< "$libraries" && memory=unlimited
# expect NAME STATUS LINE COMMAND...: runs COMMAND (time and memory bounded); its status must be
# STATUS, the last line of its standard error LINE, and with a failure nothing may reach stdout.
expect() {
  local name=$1 status=$2 line=$3; shift 3
  (ulimit -v "$memory"; timeout 20 "$@") > out.txt 2> err.txt
  local s=$?
  check "$name: status $status (got $s)" test $s -eq "$status"
  check "$name: '$line'" test "$(tail -n 1 err.txt)" = "$line"
  [ "$status" -ne 0 ] && check "$name: no summary" bash -c "! grep -q '^ticks' out.txt"
}

# 1. A trace that cannot be written.
expect "full device" 1 "/dev/full: cannot write trace: no space left on device" \
  "$sim" --idles 3000 --trace /dev/full
"$sim" --idles 3000 --trace /proc/version > out.txt 2> err.txt; s=$?
check "a trace into /proc fails" test $s -eq 1
check "a trace into /proc says why" grep -Eq '^/proc/version: cannot write trace: [a-z].+$' err.txt
# A disk that fills up at any point of the run: the file-size limit (in KB) stands in for it. The
# limit holds for every file the program writes, so its console goes through a pipe.
limited() {  # limited KB: flipper-sim's 3000 idle calls traced to t.csv under the limit
  rm -f t.csv
  ( ulimit -f "$1"; exec "$sim" --idles 3000 --trace t.csv ) 2>&1 > out.txt | cat > err.txt
  return "${PIPESTATUS[0]}"
}
for kb in 0 1 4 60 200; do
  limited "$kb"; s=$?
  check "file limit $kb KB: status 1 (got $s)" test $s -eq 1
  check "file limit $kb KB: says why" test "$(tail -n 1 err.txt)" = "t.csv: cannot write trace: file too large"
  check "file limit $kb KB: no summary" bash -c "! grep -q '^ticks' out.txt"
done
limited 2000; s=$?
check "file limit above the trace: status 0 (got $s)" test $s -eq 0
check "file limit above the trace: the whole trace" test "$(wc -l < t.csv)" -eq 3000
# A real small filesystem, where the test may mount one (a private mount namespace).
if unshare -rm true 2> /dev/null; then
  for used in 0 30000 60000 65000; do
    mkdir -p "mnt$used"
    unshare -rm bash -c 'mount -t tmpfs -o size=64k tmpfs "$1" && head -c "$2" /dev/zero > "$1/fill" 2>/dev/null
                         "$3" --idles 3000 --trace "$1/t.csv"' _ "mnt$used" "$used" "$sim" > out.txt 2> err.txt
    s=$?
    check "64 KB tmpfs with $used bytes used: status 1 (got $s)" test $s -eq 1
    check "64 KB tmpfs with $used bytes used: says why" \
      test "$(tail -n 1 err.txt)" = "mnt$used/t.csv: cannot write trace: no space left on device"
    check "64 KB tmpfs with $used bytes used: no summary" bash -c "! grep -q '^ticks' out.txt"
  done
else
  echo "skipped: the tmpfs cases (no private mount namespace here)"
fi
expect "summary to a full device" 1 \
  "flipper-sim: cannot write the summary to standard output: no space left on device" \
  bash -c 'exec "$1" --idles 10 > /dev/full' _ "$sim"

# 2. A trace never clobbers the model, through any link; nothing is opened before the model is read.
cp sphere.iv mine.iv
ln mine.iv hard.csv
ln -s mine.iv soft.csv
expect "trace over the model" 1 "mine.iv: will not write there: it is mine.iv, which the game reads" \
  "$sim" --model mine.iv --trace mine.iv
expect "trace over the default model" 1 "sphere.iv: will not write there: it is sphere.iv, which the game reads" \
  "$sim" --trace sphere.iv
expect "trace over a hard link" 1 "hard.csv: will not write there: it is mine.iv, which the game reads" \
  "$sim" --model mine.iv --trace hard.csv
expect "trace over a symbolic link" 1 "soft.csv: will not write there: it is mine.iv, which the game reads" \
  "$sim" --model mine.iv --trace soft.csv
expect "trace over the model named another way" 1 "./mine.iv: will not write there: it is mine.iv, which the game reads" \
  "$sim" --model mine.iv --trace ./mine.iv
check "the model is intact" cmp -s mine.iv sphere.iv
check "the default model is intact" cmp -s sphere.iv "$model"
expect "missing model with a trace" 1 "missing.iv: cannot read model: no such file or directory" \
  "$sim" --model missing.iv --trace new.csv
check "no trace before the model is read" test ! -e new.csv

# 4, 5, 8. The model only from a regular file of bounded size.
ln -s /dev/zero zero.iv
ln -s /dev/urandom random.iv
mkfifo fifo.iv
mkdir folder.iv
: > huge.iv
truncate -s $((64 * 1024 * 1024 + 1)) huge.iv
expect "model from /dev/zero" 1 "zero.iv: cannot read model: is a device, not a regular file" "$sim" --model zero.iv
expect "model from /dev/urandom" 1 "random.iv: cannot read model: is a device, not a regular file" \
  "$sim" --model random.iv
expect "model from a FIFO" 1 "fifo.iv: cannot read model: is a FIFO, not a regular file" "$sim" --model fifo.iv
expect "model from a directory" 1 "folder.iv: cannot read model: is a directory" "$sim" --model folder.iv
expect "model over the size limit" 1 \
  "huge.iv: cannot read model: the file is 67108865 bytes, more than the 67108864 allowed" "$sim" --model huge.iv
# A byte-order mark in front of "Masses" is skipped: the same ball, the same game.
{ printf '\357\273\277'; cat sphere.iv; } > bom.iv
"$sim" --idles 500 --key 100:f > plain.out 2> /dev/null
expect "model with a byte-order mark" 0 "80 faces read." "$sim" --model bom.iv --idles 500 --key 100:f
check "the same game with the mark" cmp -s out.txt plain.out

# 9. The command line.
usage() {  # usage ARGS... LINE: a usage error, status 2, the line first then the usage
  local line=${*: -1}
  "$sim" "${@:1:$#-1}" > out.txt 2> err.txt; local s=$?
  check "usage '${*:1:$#-1}': status 2 (got $s)" test $s -eq 2
  check "usage '${*:1:$#-1}': '$line'" test "$(head -n 1 err.txt)" = "$line"
  check "usage '${*:1:$#-1}': the usage" grep -q '^usage: flipper-sim' err.txt
  check "usage '${*:1:$#-1}': nothing run" test ! -s out.txt
}
# (Every option's mistakes are in tests/sim/OptionsTest.cpp; here, that the program says them so.)
usage --idles +10 "flipper-sim: bad idle count '+10': it must be a whole number from 0 to 9223372036854775807"
usage --idles " 10" "flipper-sim: bad idle count ' 10': it must be a whole number from 0 to 9223372036854775807"
usage --idles 10 --bogus 1 "flipper-sim: unknown option '--bogus'"
usage --key 5000:f --idles 100 \
  "flipper-sim: key 'f' at idle call 5000 is past the last idle call (--idles 100 numbers them 0 to 99)"
usage --trace "" --every 5 "flipper-sim: empty file name for --trace"

# 10. One wording for system errors, whatever the file.
expect "model missing" 1 "gone.iv: cannot read model: no such file or directory" "$sim" --model gone.iv
expect "trace in a missing folder" 1 "gone/t.csv: cannot write trace: no such file or directory" \
  "$sim" --idles 5 --trace gone/t.csv
expect "trace is a folder" 1 "folder.iv: cannot write trace: is a directory" "$sim" --idles 5 --trace folder.iv
mkfifo t.fifo
expect "trace into a FIFO with no reader (once: held in open for good)" 1 \
  "t.fifo: cannot write trace: is a FIFO with no reader" "$sim" --idles 5 --trace t.fifo

checked
