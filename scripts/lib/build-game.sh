# shellcheck shell=bash
# build_game NAME: builds the desktop game (target flipper) for scripts/run, film and screenshot in
# $FLIPPER_BUILD_DIR (default build/), and sets $build to that folder. A folder already configured
# keeps its configuration: scripts/test's (preset release, with the tests) is built on as it is, so
# the two never reconfigure each other. A new one is configured with preset play, which leaves out
# the tests and benchmarks and so needs none of the test libraries. The logs go to $build/NAME-*.log.
build_game() {
  local name=$1
  build=$(mkdir -p "${FLIPPER_BUILD_DIR:-build}" && cd "${FLIPPER_BUILD_DIR:-build}" && pwd)
  echo "$name: building the game in $build"
  if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" > "$build/$name-configure.log" 2>&1
  else
    cmake --preset play -B "$build" > "$build/$name-configure.log" 2>&1
  fi || { cat "$build/$name-configure.log"; exit 1; }
  cmake --build "$build" --target flipper -j "$(nproc 2>/dev/null || echo 2)" > "$build/$name-build.log" 2>&1 ||
    { tail -n 60 "$build/$name-build.log"; exit 1; }
}
