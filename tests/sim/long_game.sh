#!/usr/bin/env bash
# A cross build's long game against this machine's: no keys after the first few seconds, so the
# ball leaves the table and blows up (NaN) after about 35,000 ticks; a restart at idle 60,000
# brings a fresh ball for the last 10,000. Trace, standard output and standard error must be the
# same byte for byte.
#   long_game.sh NATIVE_SIM REFERENCE SIM [EMULATOR...]
set -euo pipefail
native=$1
ref=$2
sim=("${@:4}" "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game=(--model ball.iv --idles 70000 --key 400:f --key 420:j --key 1500:j --key 60000:n --trace long.csv --every 10)
mkdir "$work/native" "$work/target"
cp "$ref/ball.iv" "$work/native/"
cp "$ref/ball.iv" "$work/target/"
(cd "$work/native" && "$native" "${game[@]}" > stdout 2> stderr)
grep -q ',nan,' "$work/native/long.csv" || { echo "the long game never reached NaN: it checks nothing past it"; exit 1; }
(cd "$work/target" && "${sim[@]}" "${game[@]}" > stdout 2> stderr)
status=0
for f in long.csv stdout stderr; do
  if cmp -s "$work/native/$f" "$work/target/$f"; then
    echo "same: $f"
  else
    echo "DIFFERENT: $f"
    diff "$work/native/$f" "$work/target/$f" | head -n 6 || true
    status=1
  fi
done
exit $status
