#!/usr/bin/env bash
# The layers' checks:
#   layers.sh probe BUILD_DIR        building layer_probe must fail on our #error, not on anything else
#   layers.sh probe-audio BUILD_DIR  the same for layer_probe_audio and OpenAL
#   layers.sh ldd PROGRAM            the program must load no GL, GLU, GLUT, X or audio library
set -uo pipefail

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
  probe-audio)
    out=$(cmake --build "$2" --target layer_probe_audio 2>&1)
    status=$?
    if [ $status -eq 0 ]; then
      echo "FAIL: a file with the core's include rules compiled although it includes <AL/al.h>"
      exit 1
    fi
    if ! grep -q "OpenAL belongs to the front ends" <<<"$out"; then
      echo "FAIL: layer_probe_audio failed, but not on the no-audio guard:"
      echo "$out" | tail -n 20
      exit 1
    fi
    echo "ok: <AL/al.h> is refused under the core's include rules"
    ;;
  ldd)
    libs=$(ldd "$2") || { echo "FAIL: ldd $2"; exit 1; }
    echo "$libs"
    if grep -Ei 'lib(GL|GLU|GLX|OpenGL|EGL|glut|X11|Xext|Xi|xcb|openal|asound|pulse|pulse-simple|jack|sndio|portaudio)[.-]' <<<"$libs"; then
      echo "FAIL: $2 links a GL, X or audio library (above)"
      exit 1
    fi
    echo "ok: $2 links no GL, GLU, GLUT, X or audio library"
    ;;
  *)
    echo "usage: layers.sh probe BUILD_DIR | probe-audio BUILD_DIR | ldd PROGRAM" >&2
    exit 2
    ;;
esac
