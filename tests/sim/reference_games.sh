#!/usr/bin/env bash
# Replays the two reference games and compares every output file byte for byte.
#   reference_games.sh SIM REFERENCE [EMULATOR...]   (the emulator's words run SIM: a cross build's)
set -euo pipefail
sim=("${@:3}" "$1")
ref=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$ref/ball.iv" .

"${sim[@]}" --model ball.iv --idles 3000 --key 1790:f --key 1950:f --key 2400:j --trace game-a.csv \
  > game-a.stdout 2> game-a.stderr
"${sim[@]}" --model ball.iv --idles 20000 --key 300:f --key 900:j --key 5000:n --key 5000:n --key 7000:x \
  --trace game-b-every100.csv --every 100 > game-b.stdout 2> game-b.stderr

status=0
for f in game-a.csv game-a.stdout game-a.stderr game-b-every100.csv game-b.stdout game-b.stderr; do
  if cmp -s "$f" "$ref/$f"; then
    echo "same: $f"
  else
    echo "DIFFERENT: $f"
    diff <(head -c 2000000 "$ref/$f") "$f" | head -n 6 || true
    status=1
  fi
done
exit $status
