#!/usr/bin/env bash
# The layers' two checks:
#   layers.sh probe BUILD_DIR   building layer_probe must fail on our #error, not on anything else
#   layers.sh ldd PROGRAM       the program must load no GL, GLU, GLUT or X library
#   layers.sh includes ROOT     no file of the core's folders under ROOT includes a file of a higher
#                               layer: the shared front end, the desktop game, the page or flipper-sim
set -uo pipefail

coreFolders=(io math softbody obstacles world replay game)
higherFolders='front|desktop|web|sim'

case "${1:-}" in
  probe)
    out=$(cmake --build "$2" --target layer_probe 2>&1)
    status=$?
    if [ $status -eq 0 ]; then
      echo "FAIL: a file with the core's include rules compiled although it includes <GL/gl.h>"
      exit 1
    fi
    if ! grep -q "the core and the windowless programs draw nothing" <<<"$out"; then
      echo "FAIL: layer_probe failed, but not on the no-graphics guard:"
      echo "$out" | tail -n 20
      exit 1
    fi
    echo "ok: <GL/gl.h> is refused under the core's include rules"
    ;;
  ldd)
    libs=$(ldd "$2") || { echo "FAIL: ldd $2"; exit 1; }
    echo "$libs"
    if grep -Ei 'lib(GL|GLU|GLX|OpenGL|EGL|glut|X11|Xext|Xi|xcb)[.-]' <<<"$libs"; then
      echo "FAIL: $2 links a GL or X library (above)"
      exit 1
    fi
    echo "ok: $2 links no GL, GLU, GLUT or X library"
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
  *)
    echo "usage: layers.sh probe BUILD_DIR | ldd PROGRAM | includes ROOT" >&2
    exit 2
    ;;
esac
