# shellcheck shell=bash
# Shared by scripts/run, scripts/screenshot and the end-to-end test: a private X server and the game
# window on it. Source it; it defines functions only.
#
#   xvfb_require TOOL...    for a test: exits 77 (skip) without Xvfb, 1 when a TOOL is missing
#   xvfb_start [WxHxD]      starts Xvfb on a free display, exports DISPLAY; returns 1 if it cannot
#   xvfb_stop               stops it again (safe to call twice, or when it never started)
#   flipper_window [SECS]   prints the id of the window titled "Flipper", waiting up to SECS (10)
#   flipper_drag WINDOW [DX DY]
#                           a middle-button drag from the window's centre, DX pixels to the right
#                           and DY down (48 and 24: a turn of about 15 degrees), in six steps

XVFB_PID=""
XVFB_LOG=""

xvfb_require() {
  if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIP: Xvfb is not installed (bash scripts/setup installs it)"
    exit 77
  fi
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (bash scripts/setup installs it)"; exit 1; }
  done
}

xvfb_start() {
  local screen=${1:-1024x800x24}
  command -v Xvfb >/dev/null 2>&1 || return 1
  XVFB_LOG=$(mktemp "${TMPDIR:-/tmp}/flipper-xvfb.XXXXXX")
  # Displays from :91 up, skipping any that another server holds (its lock file or socket exists);
  # if two runs race for one, the loser's Xvfb exits and the next number is tried.
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >"$XVFB_LOG" 2>&1 &
    XVFB_PID=$!
    local _
    for _ in $(seq 1 50); do
      if ! kill -0 "$XVFB_PID" 2>/dev/null; then
        XVFB_PID=""
        break
      fi
      # The server answering must be ours: its lock file holds its process id.
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 &&
        [ "$(tr -d ' \n' < "/tmp/.X$n-lock" 2>/dev/null)" = "$XVFB_PID" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    [ -n "$XVFB_PID" ] && { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""; }
  done
  echo "xvfb: no X server would start; its last words:" >&2
  cat "$XVFB_LOG" >&2
  return 1
}

xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
  [ -n "$XVFB_LOG" ] && rm -f "$XVFB_LOG"
  XVFB_LOG=""
  return 0
}

flipper_window() {
  local seconds=${1:-10}
  timeout "$seconds" xdotool search --sync --name '^Flipper$' 2>/dev/null | head -n 1
}

flipper_drag() {
  local window=$1 dx=${2:-48} dy=${3:-24} step
  xdotool mousemove --window "$window" 384 384
  xdotool mousedown 2
  for step in 1 2 3 4 5 6; do
    xdotool mousemove --window "$window" $((384 + dx * step / 6)) $((384 + dy * step / 6))
    sleep 0.05
  done
  xdotool mouseup 2
}

# flipper_frozen_frame FLIPPER ASSETS TICK OUT.png: plays the game with ASSETS' ball and pictures
# under a private Xvfb up to TICK (--freeze-at), waits until two pictures a moment apart are the
# same, and saves the window's picture as OUT.png. Runs in a subshell of its own, so its work
# folder, server and game are gone when it returns, whatever happens; returns 1 with a line on
# standard error when the server or the window does not come.
flipper_frozen_frame() (
  local flipper=$1 assets=$2 tick=$3 out=$4 work game="" window previous="" now _
  work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-frame.XXXXXX")
  trap 'if [ -n "$game" ]; then kill "$game" 2>/dev/null || true; wait "$game" 2>/dev/null || true; fi
        xvfb_stop; rm -rf "$work"' EXIT
  cp "$assets/sphere.iv" "$assets/woman.bmp" "$assets/head.bmp" "$work/"
  cd "$work" || return 1
  xvfb_start 1024x800x24 || { echo "Xvfb would not start" >&2; return 1; }
  "$flipper" --freeze-at "$tick" -geometry +0+0 > game.stdout 2> game.stderr &
  game=$!
  window=$(flipper_window 10)
  [ -n "$window" ] || { echo "the game window did not appear" >&2; cat game.stderr >&2; return 1; }
  for _ in $(seq 1 40); do
    sleep 0.25
    import -window "$window" frame.png
    now=$(convert frame.png rgb:- | md5sum)
    [ "$now" = "$previous" ] && break
    previous=$now
  done
  cp frame.png "$out"
)
