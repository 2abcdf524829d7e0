#!/usr/bin/env bash
# Tests Flipper's Debian package as a player gets it:
#   1. its file list is the one expected, lintian finds no error or warning, the menu entry passes
#      desktop-file-validate and the AppStream file appstreamcli validate;
#   2. unpacked anywhere (dpkg-deb -x) and started from another, empty folder under Xvfb, the game
#      finds its ball and pictures beside it, says "Read in " and draws the table in its colours;
#   3. installed with apt-get, the menu entry's command started from an empty folder does the same,
#      flipper-sim plays the installed ball as the build's own plays the repository's, and
#      flipper-hall lists the demo game with the installed ball;
#   4. removed again, every file dpkg -L listed is gone.
# Steps 3 and 4 need root or sudo and are skipped (said so) without them.
#
#   tests/package/package.sh DEB SHOT_CHECK SIM     (SIM: the build's own flipper-sim)
#
# Exit 0 when all was seen, 1 naming what was not. The screenshots are kept when it fails.
set -u

deb=$(realpath "$1")
check=$(realpath "$2")
built_sim=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/lib/xvfb.sh
source "$repo/scripts/lib/xvfb.sh"
xvfb_require xdpyinfo xdotool import lintian desktop-file-validate appstreamcli

started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/flipper-package.XXXXXX")
game=""
failures=()
app_id=example.flipper.Flipper
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

stop_game() {
  if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
    kill "$game" 2>/dev/null
    wait "$game" 2>/dev/null
  fi
  game=""
}
cleanup() {
  stop_game
  xvfb_stop
  if [ ${#failures[@]} -eq 0 ]; then rm -rf "$work"; else echo "screenshots and logs kept in $work"; fi
}
trap cleanup EXIT
fail() {
  failures+=("$1")
  echo "FAIL: $1"
}

# --- 1. the package itself ------------------------------------------------------------------------
expected="./lib/systemd/system/flipper-hall.service
./usr/games/flipper
./usr/games/flipper-hall
./usr/games/flipper-sim
./usr/share/applications/$app_id.desktop
./usr/share/doc/flipper/changelog.gz
./usr/share/doc/flipper/copyright
./usr/share/games/flipper/head.bmp
./usr/share/games/flipper/sphere.iv
./usr/share/games/flipper/woman.bmp"
for size in 128 16 22 24 256 32 48 64; do
  expected+=$'\n'"./usr/share/icons/hicolor/${size}x$size/apps/flipper.png"
done
expected+="
./usr/share/man/man6/flipper-hall.6.gz
./usr/share/man/man6/flipper-sim.6.gz
./usr/share/man/man6/flipper.6.gz
./usr/share/metainfo/$app_id.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$(sort <<< "$expected")" ] ||
  fail "the package's files differ from those expected: $(diff <(sort <<< "$expected") <(echo "$files") | grep '^[<>]' | tr '\n' ' ')"
dpkg-deb -f "$deb" Depends | grep -q 'libglut' || fail "the package does not depend on GLUT (shlibdeps)"
dpkg-deb -f "$deb" Depends | grep -q 'libsqlite3' || fail "the package does not depend on SQLite (shlibdeps)"
# The hall's service: a user of its own, its database under /var/lib/flipper-hall.
unit=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./lib/systemd/system/flipper-hall.service)
grep -q '^DynamicUser=yes' <<< "$unit" && grep -q '^StateDirectory=flipper-hall' <<< "$unit" &&
  grep -q -- '--db /var/lib/flipper-hall/' <<< "$unit" || fail "the hall's unit does not run as its own user on /var/lib/flipper-hall"

echo "--- lintian"
lintian --fail-on error,warning --info --pedantic "$deb" 2>/dev/null || fail "lintian reports an error or a warning"

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" > "$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt"; fail "appstreamcli validate"; }
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app_id.desktop")

# --- the game, started from an empty folder: play COMMAND... --------------------------------------
# Waits for the window, takes its picture as NAME.png once it has drawn, and checks the console and
# the table's colours against the pictures the game was given (ASSETS).
play() {
  local name=$1 assets=$2
  shift 2
  local folder=$work/$name
  mkdir -p "$folder/empty"
  (cd "$folder/empty" && exec "$@" -geometry +0+0 > "$folder/stdout.txt" 2> "$folder/stderr.txt") &
  game=$!
  local window
  window=$(flipper_window 10)
  if [ -z "$window" ]; then
    fail "$name: no window titled Flipper appeared ($(head -n 3 "$folder/stderr.txt" | tr '\n' ' '))"
    stop_game
    return
  fi
  sleep 2
  timeout 10 import -window "$window" "$folder/$name.png" || fail "$name: no screenshot"
  stop_game
  grep -q '^Read in ' "$folder/stdout.txt" || fail "$name: 'Read in ' is not on standard output"
  ! grep -q 'cannot' "$folder/stderr.txt" || fail "$name: $(grep -m 1 'cannot' "$folder/stderr.txt")"
  "$check" table "$folder/$name.png" "$assets" || fail "$name: the table is not drawn in its colours"
  [ -z "$(ls -A "$folder/empty")" ] || fail "$name: the game left files in its working directory"
}

xvfb_start 1024x800x24 || { fail "Xvfb did not start"; exit 1; }

# --- 2. unpacked into a folder of its own ---------------------------------------------------------
play unpacked "$root/usr/share/games/flipper" "$root/usr/games/flipper" --freeze-at 300

# --- 3. installed ---------------------------------------------------------------------------------
if [ -n "$sudo" ] && ! sudo -n true 2>/dev/null; then
  echo "SKIP: installing the package needs root or sudo"
else
  dpkg-query -W flipper > /dev/null 2>&1 && $sudo apt-get -o DPkg::Lock::Timeout=900 purge -y -qq flipper > /dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq "$deb" \
    > "$work/install.txt" 2>&1 || { cat "$work/install.txt"; fail "apt-get install"; }
  listed=$(dpkg -L flipper 2>/dev/null)
  [ -n "$listed" ] || fail "dpkg -L flipper lists nothing after the install"
  # The menu's command as a desktop session runs it: /usr/games is on a player's PATH.
  # shellcheck disable=SC2086
  PATH=/usr/games:$PATH play installed /usr/share/games/flipper $exec_line
  mkdir -p "$work/sim" && cd "$work/sim" || exit 1
  PATH=/usr/games:$PATH flipper-sim --idles 2000 > installed.txt 2> /dev/null || fail "the installed flipper-sim failed"
  "$built_sim" --model "$repo/assets/sphere.iv" --idles 2000 > built.txt 2> /dev/null
  grep -q '^ticks 1999 score [0-9]* hash ' installed.txt && cmp -s installed.txt built.txt ||
    fail "the installed flipper-sim's game ($(tail -n 1 installed.txt)) is not the build's ($(tail -n 1 built.txt))"
  # The installed hall plays a game with the installed ball, as the build's flipper-sim does.
  PATH=/usr/games:$PATH flipper-hall --site /usr/share/games/flipper --db "$work/sim/hall.db" --port 0 \
    > hall.txt 2> hall-log.txt &
  hall=$!
  for _ in $(seq 50); do grep -q 'serving on' hall.txt && break; sleep 0.1; done
  url=$(sed -n 's/.*serving on //p' hall.txt)
  answer=$(curl -s --data-binary @"$repo/docs/demo.replay" -H 'Authorization: Bearer package-test-token' \
    "${url}api/games?name=installed")
  kill "$hall"
  wait "$hall"
  [ "$answer" = '{"id":1,"name":"installed","rank":1,"score":67,"ticks":9003}' ] ||
    fail "the installed flipper-hall did not list the demo with its 67 points: '$answer' $(head -n 2 hall-log.txt)"
  cd "$work" || exit 1

  # --- 4. removed ---------------------------------------------------------------------------------
  $sudo apt-get -o DPkg::Lock::Timeout=900 purge -y -qq flipper > "$work/remove.txt" 2>&1 ||
    { cat "$work/remove.txt"; fail "apt-get purge"; }
  left=()
  while IFS= read -r path; do
    # Folders another package owns too (/usr/games, /usr/share/icons/hicolor/16x16/apps) stay.
    if [ -d "$path" ]; then
      dpkg-query -S "$path" > /dev/null 2>&1 || left+=("$path")
    elif [ -e "$path" ]; then
      left+=("$path")
    fi
  done <<< "$listed"
  for ours in /usr/share/games/flipper /usr/share/doc/flipper; do [ -e "$ours" ] && left+=("$ours"); done
  [ ${#left[@]} -eq 0 ] || fail "left behind after removing the package: ${left[*]}"
fi

echo "package test took $(( $(date +%s) - started )) s"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAIL: %s\n' "${failures[@]}"
  exit 1
fi
echo "PASS"
