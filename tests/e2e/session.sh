# shellcheck shell=bash
# The opening shared by the end-to-end scripts that play the game in a private X server: a work
# folder holding the game's data, Xvfb, a named check that counts failures, and a cleanup that
# stops the game and the server and keeps the folder when something failed (or FLIPPER_E2E_KEEP is
# set). Source it after scripts/lib/xvfb.sh; the caller sets `game` to the pid of a running game.
#
#   e2e_session NAME ASSETS   makes the folder, copies the data into it, cds there, starts Xvfb

game=""
work=""

e2e_cleanup() {
  if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
    kill -KILL "$game" 2>/dev/null
    wait "$game" 2>/dev/null
  fi
  xvfb_stop
  if [ $failures -eq 0 ] && [ -z "${FLIPPER_E2E_KEEP:-}" ]; then
    rm -rf "$work"
  else
    echo "files kept in $work"
  fi
}

# shellcheck source=SCRIPTDIR/../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"

e2e_session() {  # e2e_session NAME ASSETS
  work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-$1.XXXXXX")
  trap e2e_cleanup EXIT
  cp "$2/sphere.iv" "$2/woman.bmp" "$2/head.bmp" "$work/"
  cd "$work" || exit 1
  xvfb_start 1024x800x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
  echo "Xvfb on $DISPLAY"
}
