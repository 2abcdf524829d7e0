#!/usr/bin/env bash
# The layers' checks:
#   layers.sh probe BUILD_DIR        building layer_probe must fail on our #error, not on anything else
#   layers.sh probe-audio BUILD_DIR  the same for layer_probe_audio and OpenAL
#   layers.sh ldd PROGRAM            the program must load no GL, GLU, GLUT, X or audio library
#   layers.sh includes ROOT          no file of the core's folders under ROOT includes a file of a
#                                    higher layer (the pictures, the sounds, the shared front end,
#                                    the desktop game, the page, flipper-sim or flipper-hall), nor a file of a core
#                                    folder listed after its own in coreFolders
#   layers.sh catches CORE... -- HIGHER...
#                                    the includes check must refuse a tree in which any one of the
#                                    CORE folders includes a file of any one of the HIGHER folders
#   layers.sh catches-order CORE...  the includes check must refuse a tree in which a CORE folder
#                                    includes one given after it, and pass one including one before
set -uo pipefail

# The core's folders in the order they build on one another: each includes only itself and those before it.
coreFolders=(io math softbody obstacles world game replay)
higherFolders='picture|sound|front|desktop|web|sim|hall'
includePattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](\.\./)*'

# A probe tree with one file, FROM/Probe.h, including TO/X.h in the given spelling (a printf format).
probeTree() {  # probeTree DIR FROM TO SPELLING
  rm -rf "${1:?}"/*
  mkdir -p "$1/$2"
  # shellcheck disable=SC2059  # the spelling is the format
  printf "$4\n" "$3" > "$1/$2/Probe.h"
}

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
    if grep -Ei 'lib(GL|GLU|GLX|OpenGL|EGL|glut|X11|Xext|Xi|xcb|openal|asound|pulse|pulse-simple|jack|sndio|portaudio|SDL2)[.-]' <<<"$libs"; then
      echo "FAIL: $2 links a GL, X, audio or SDL library (above)"
      exit 1
    fi
    echo "ok: $2 links no GL, GLU, GLUT, X, audio or SDL library"
    ;;
  includes)
    cd "$2" || { echo "FAIL: no folder $2"; exit 1; }
    folders=()
    for folder in "${coreFolders[@]}"; do [ -d "$folder" ] && folders+=("$folder"); done
    [ ${#folders[@]} -gt 0 ] || { echo "FAIL: none of the core's folders (${coreFolders[*]}) in $2"; exit 1; }
    # Any spelling: "front/X.h", <front/X.h>, "../front/X.h".
    if grep -rnE "$includePattern($higherFolders)/" "${folders[@]}"; then
      echo "FAIL: a core file includes a file of a higher layer (above)"
      exit 1
    fi
    # Inside the core, from the last folder back: each may include none of those after it.
    later=''
    for ((i = ${#coreFolders[@]} - 1; i >= 0; i--)); do
      folder=${coreFolders[i]}
      if [ -n "$later" ] && [ -d "$folder" ] && grep -rnE "$includePattern($later)/" "$folder"; then
        echo "FAIL: a core file includes a file of a core folder listed after its own (above)"
        exit 1
      fi
      later="$folder${later:+|$later}"
    done
    echo "ok: no file in ${folders[*]} includes a file of $higherFolders or of a core folder after its own"
    ;;
  catches)
    # Every core folder given reaching every higher folder given, one at a time, in each spelling an
    # include can take: the check must refuse each tree. The folders are the test's own list, so a
    # folder dropped from the check's lists is caught.
    shift
    core=() higher=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do core+=("$1"); shift; done
    shift
    higher=("$@")
    spellings=('#include "%s/X.h"' '#include <%s/X.h>' '#include "../../%s/X.h"' '  #  include  "%s/X.h"')
    probe=$(mktemp -d "${TMPDIR:-/tmp}/flipper-layers.XXXXXX")
    trap 'rm -rf "$probe"' EXIT
    n=0 missed=0
    for from in "${core[@]}"; do
      for to in "${higher[@]}"; do
        probeTree "$probe" "$from" "$to" "${spellings[n % ${#spellings[@]}]}"
        n=$((n + 1))
        # Refused for the include, not for anything else (such as a tree it does not know).
        out=$(bash "$0" includes "$probe" 2>&1)
        if ! grep -q "FAIL: a core file includes a file of a higher layer" <<<"$out"; then
          echo "FAIL: the include check lets through $from/Probe.h: $(cat "$probe/$from/Probe.h")"
          missed=$((missed + 1))
        fi
      done
    done
    [ $missed -eq 0 ] || exit 1
    echo "ok: the include check refuses each of ${#core[@]} core folders including each of ${#higher[@]} higher ones ($n trees)"
    ;;
  catches-order)
    # Every pair of the core folders given, in the test's own order: the earlier including the later
    # must be refused, the later including the earlier must pass.
    shift
    core=("$@")
    probe=$(mktemp -d "${TMPDIR:-/tmp}/flipper-layers.XXXXXX")
    trap 'rm -rf "$probe"' EXIT
    n=0 missed=0
    for ((i = 0; i < ${#core[@]}; i++)); do
      for ((j = i + 1; j < ${#core[@]}; j++)); do
        probeTree "$probe" "${core[i]}" "${core[j]}" '#include "%s/X.h"'
        n=$((n + 1))
        out=$(bash "$0" includes "$probe" 2>&1)
        if ! grep -q "FAIL: a core file includes a file of a core folder listed after" <<<"$out"; then
          echo "FAIL: the include check lets ${core[i]}/ include ${core[j]}/, listed after it"
          missed=$((missed + 1))
        fi
        probeTree "$probe" "${core[j]}" "${core[i]}" '#include <%s/X.h>'
        if ! bash "$0" includes "$probe" > /dev/null 2>&1; then
          echo "FAIL: the include check refuses ${core[j]}/ including ${core[i]}/, listed before it"
          missed=$((missed + 1))
        fi
      done
    done
    [ $missed -eq 0 ] || exit 1
    echo "ok: the include check holds the order of ${#core[@]} core folders ($n pairs, both ways)"
    ;;
  *)
    echo "usage: layers.sh probe BUILD_DIR | probe-audio BUILD_DIR | ldd PROGRAM | includes ROOT | catches CORE... -- HIGHER... | catches-order CORE..." >&2
    exit 2
    ;;
esac
