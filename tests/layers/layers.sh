#!/usr/bin/env bash
# The layers' checks:
#   layers.sh probe BUILD_DIR        building layer_probe must fail on our #error, not on anything else
#   layers.sh probe-audio BUILD_DIR  the same for layer_probe_audio and OpenAL
#   layers.sh ldd PROGRAM            the program must load no GL, GLU, GLUT, X or audio library
#   layers.sh includes ROOT          no file of the core's folders under ROOT includes a file of a
#                                    higher layer: the sounds, the shared front end, the desktop
#                                    game, the page or flipper-sim
#   layers.sh catches PROBE          the includes check must refuse PROBE, a tree whose core file
#                                    reaches up
set -uo pipefail

coreFolders=(io math softbody obstacles world replay game)
higherFolders='sound|front|desktop|web|sim'

# Building TARGET must fail on our #error for HEADER (its message contains GUARD), not on anything else.
refused() {  # refused BUILD_DIR TARGET HEADER GUARD
  local out status
  out=$(cmake --build "$1" --target "$2" 2>&1)
  status=$?
  if [ $status -eq 0 ]; then
    echo "FAIL: a file with the core's include rules compiled although it includes <$3>"
    exit 1
  fi
  if ! grep -q "$4" <<<"$out"; then
    echo "FAIL: $2 failed, but not on the guard for <$3>:"
    echo "$out" | tail -n 20
    exit 1
  fi
  echo "ok: <$3> is refused under the core's include rules"
}

case "${1:-}" in
  probe) refused "$2" layer_probe GL/gl.h "the core and the windowless programs draw nothing" ;;
  probe-audio) refused "$2" layer_probe_audio AL/al.h "OpenAL belongs to the front ends" ;;
  ldd)
    libs=$(ldd "$2") || { echo "FAIL: ldd $2"; exit 1; }
    echo "$libs"
    if grep -Ei 'lib(GL|GLU|GLX|OpenGL|EGL|glut|X11|Xext|Xi|xcb|openal|asound|pulse|pulse-simple|jack|sndio|portaudio)[.-]' <<<"$libs"; then
      echo "FAIL: $2 links a GL, X or audio library (above)"
      exit 1
    fi
    echo "ok: $2 links no GL, GLU, GLUT, X or audio library"
    ;;
  includes)
    cd "$2" || { echo "FAIL: no folder $2"; exit 1; }
    folders=()
    for folder in "${coreFolders[@]}"; do [ -d "$folder" ] && folders+=("$folder"); done
    [ ${#folders[@]} -gt 0 ] || { echo "FAIL: none of the core's folders (${coreFolders[*]}) in $2"; exit 1; }
    # Any spelling: "front/X.h", <front/X.h>, "../front/X.h".
    if grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<](\.\./)*($higherFolders)/" "${folders[@]}"; then
      echo "FAIL: a core file includes a file of a higher layer (above)"
      exit 1
    fi
    echo "ok: no file in ${folders[*]} includes a file of $higherFolders"
    ;;
  catches)
    out=$(bash "$0" includes "$2" 2>&1)
    status=$?
    if [ $status -eq 0 ] || ! grep -q "FAIL: a core file includes a file of a higher layer" <<<"$out"; then
      echo "FAIL: the include check lets through a core file that includes a higher layer:"
      echo "$out"
      exit 1
    fi
    echo "ok: the include check refuses the core file of $2 that includes a higher layer"
    ;;
  *)
    echo "usage: layers.sh probe BUILD_DIR | probe-audio BUILD_DIR | ldd PROGRAM | includes ROOT | catches PROBE" >&2
    exit 2
    ;;
esac
