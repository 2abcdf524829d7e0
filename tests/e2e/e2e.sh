#!/usr/bin/env bash
# End-to-end test of the real game in a real X server. Starts its own Xvfb, runs flipper at a human
# pace in a scratch folder holding the ball and the pictures, then plays 'f', 'j', 'n' and a
# middle-button drag, with screenshots between. Checks the console and the screenshots: the table in
# its colours with both pictures upright and unmirrored, the ball and its shadow, the score texts,
# each key's flipper up and the other one not, the ball back at its start point after the restart
# and the game going on, the walls and pictures where the drag's turn puts them.
#
#   e2e.sh FLIPPER ASSETS SHOT_CHECK
#
# Exit 0 when everything was seen, 1 naming what was missing, 77 (skip) without Xvfb. The screenshots
# are kept when the test fails, or always with FLIPPER_E2E_KEEP=1.
set -u

flipper=$1
assets=$2
check=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/lib/xvfb.sh
source "$here/../../scripts/lib/xvfb.sh"

xvfb_require xdpyinfo xdotool import

started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-e2e.XXXXXX")
game=""
failures=()

cleanup() {
  if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
    kill "$game" 2>/dev/null
    wait "$game" 2>/dev/null
  fi
  xvfb_stop
  if [ ${#failures[@]} -eq 0 ] && [ -z "${FLIPPER_E2E_KEEP:-}" ]; then
    rm -rf "$work"
  else
    echo "screenshots and console output kept in $work"
  fi
}
trap cleanup EXIT

fail_now() {
  failures+=("$1")
  echo "FAIL: $1"
  [ -s "$work/stderr.txt" ] && { echo "--- the game's stderr:"; head -n 20 "$work/stderr.txt"; }
  exit 1
}

shot() {
  timeout 10 import -window "$window" "$work/$1" || fail_now "could not take screenshot $1"
}

# Keys go to the focused game window through the XTEST extension, as a real keyboard's would.
keys() {
  local key
  for key in "$@"; do timeout 5 xdotool key "$key"; done
}

cp "$assets/sphere.iv" "$assets/woman.bmp" "$assets/head.bmp" "$work/"
cd "$work" || exit 1

xvfb_start 1024x800x24 || fail_now "Xvfb did not start"
echo "Xvfb on $DISPLAY"

# Placed at the corner: with no window manager the toolkit would put it one pixel off the screen.
"$flipper" --tick-rate 900 -geometry +0+0 > stdout.txt 2> stderr.txt &
game=$!
window=$(flipper_window 10)
[ -n "$window" ] || fail_now "no window titled Flipper appeared within 10 s"
# The keyboard's focus on the game window, once it is mapped (there is no window manager to give it).
for _ in $(seq 1 50); do
  xdotool windowfocus "$window" 2>/dev/null && break
  sleep 0.1
done

# The flippers first, while the ball is still far up the table. Each key is pressed again and again
# for about a second, and two screenshots are taken meanwhile: a flipper is up most of that time (one
# swing lasts 100 ticks, a ninth of a second, and the next press starts another).
sleep 0.5
shot rest.png
press_for_a_while() {
  timeout 5 xdotool key --repeat 24 --delay 20 "$1" &
  local presser=$!
  sleep 0.2
  shot "$2"
  sleep 0.1
  shot "$3"
  wait "$presser"
}
press_for_a_while f left1.png left2.png
press_for_a_while j right1.png right2.png

shot shot1.png
sleep 0.25
shot shot1b.png

# The restart, once the ball has left its start point: the ball is read again and stands there anew.
sleep 1
shot before-n.png
keys n
for _ in $(seq 1 30); do
  [ "$(grep -c 'Read in ' stdout.txt)" -ge 2 ] && break
  sleep 0.05
done
shot after-n.png
reads=$(grep -c 'Read in ' stdout.txt)
[ "$reads" -eq 2 ] || failures+=("'Read in ' appears $reads times on stdout, not twice (start and restart)")
sleep 0.3
shot shot4.png
sleep 0.4
shot shot5.png
kill -0 "$game" 2>/dev/null || fail_now "the game is no longer running after 'n'"

# Last, as it turns the view for good: a middle-button drag, 48 pixels right and 24 down.
flipper_drag "$window" 48 24
sleep 0.3
shot turned.png

if grep -q 'cannot' stderr.txt; then
  failures+=("the game reported a problem: $(grep -m 1 'cannot' stderr.txt)")
fi

run_check() {
  local what=$1
  shift
  "$check" "$@" || failures+=("$what")
}
run_check "the table in the opening view" table shot1.png "$assets"
run_check "the score texts" texts shot1.png
run_check "the ball and its shadow" ball shot1.png shot1b.png
run_check "f and j swinging the left and the right flipper" flippers rest.png left1.png left2.png right1.png right2.png
run_check "the ball back at its start after 'n'" restarted before-n.png after-n.png
run_check "the game going on after 'n'" moving shot4.png shot5.png
run_check "the view turned by the drag's amount" turned turned.png "$assets" 48 24

echo "e2e took $(( $(date +%s) - started )) s"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAIL: missing %s\n' "${failures[@]}"
  exit 1
fi
echo "PASS"
