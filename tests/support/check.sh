# shellcheck shell=bash
# The shell tests' named checks. Source it; it sets failures=0 and defines
#   check NAME CONDITION...   runs CONDITION: prints "ok: NAME", or "FAILED: NAME" and counts a failure
#   checked                   prints how many failed, and succeeds only when none did (the last line)
failures=0

check() {
  local name=$1
  shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

checked() {
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}
