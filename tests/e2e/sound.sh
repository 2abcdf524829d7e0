#!/usr/bin/env bash
# End-to-end test of the game's sound, under its own Xvfb, with OpenAL Soft writing what it would
# play into a WAV file (its "wave" backend, chosen by an alsoft.conf named in ALSOFT_CONF):
#  1. docs/demo.replay at 900 ticks a second: the sound log (FLIPPER_SOUND_LOG) has the three
#     flipper clacks on their ticks and bells, and in the WAV every bell and clack starts within one
#     frame (17 ms) of the device clock at which its tick played it;
#  2. with --mute nothing is played: no WAV, or a silent one, and no "no sound:" line;
#  3. with no audio device the game says "no sound: ..." once and plays the replay through.
#
#   sound.sh FLIPPER ASSETS DEMO_REPLAY SOUND_CHECK
#
# Exit 0 when all is well, 1 naming what was not, 77 (skip) without Xvfb. The files are kept when the
# test fails, or always with FLIPPER_E2E_KEEP=1.
set -u

flipper=$1
assets=$2
demo=$3
sound_check=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/lib/xvfb.sh
source "$here/../../scripts/lib/xvfb.sh"

xvfb_require xdpyinfo sox

# shellcheck source=SCRIPTDIR/session.sh
source "$here/session.sh"
e2e_session sound-e2e "$assets"

# Plays the demo with the given alsoft.conf and options until its verdict, then stops it (a replay
# holds its last picture until the window is closed).
# play NAME CONF OPTION...
play() {
  local name=$1 conf=$2 _
  shift 2
  ALSOFT_CONF=$conf FLIPPER_SOUND_LOG=$name.log "$flipper" --replay "$demo" -geometry +0+0 "$@" \
    > "$name.out" 2> "$name.err" &
  game=$!
  for _ in $(seq 1 600); do
    grep -q '^replay ' "$name.out" 2>/dev/null && break
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  sleep 1  # the last sounds ring out
  kill "$game" 2>/dev/null
  wait "$game" 2>/dev/null
  game=""
  check "$name: the replay verified" grep -q '^replay verified: ticks 9041 score 67' "$name.out"
}

# 1. The demo heard through the wave backend.
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$work/demo.wav" > wave.conf
play demo wave.conf
check "demo: no 'no sound:' line" test "$(grep -c '^no sound:' demo.err)" -eq 0
clacks=$(awk '$4 == 3 { printf "%s ", $2 }' demo.log)
check "demo: a clack on each flipper key's tick ($clacks)" test "$clacks" = "1785 4369 7617 "
check "demo: the bells of the bumpers" grep -Eq '^tick [0-9]+ sound [012] ' demo.log
check "demo: a thud for the ball landing" grep -Eq '^tick 2[0-9][0-9] sound 4 ' demo.log
# A game stopped by a signal leaves the WAV's length unwritten: sox reads to the end of the file.
sox --ignore-length -V1 demo.wav -t raw -e signed-integer -b 16 -c 1 -r 44100 demo.raw
"$sound_check" onsets demo.raw demo.log > onsets.out
status=$?
cat onsets.out
check "demo: every bell and clack starts within a frame of its tick" test $status -eq 0

# 2. Muted: nothing reaches the device.
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$work/muted.wav" > muted.conf
play muted muted.conf --mute --tick-rate 9000
check "muted: no 'no sound:' line" test "$(grep -c '^no sound:' muted.err)" -eq 0
if [ -f muted.wav ]; then
  sox --ignore-length -V1 muted.wav -t raw -e signed-integer -b 16 -c 1 -r 44100 muted.raw
  check "muted: the device stays silent" "$sound_check" silent muted.raw
else
  check "muted: the device was never opened" true
fi

# 3. No audio device: the wave backend without a file to write cannot open.
printf '[general]\ndrivers = wave\n' > none.conf
play none none.conf --tick-rate 9000
check "no device: one 'no sound:' line ($(head -n 1 none.err))" test "$(grep -c '^no sound: ' none.err)" -eq 1

checked
