#!/usr/bin/env bash
# The excess-precision guard: an x87 compile of the core's arithmetic header must stop with the
# guard's message, and the same compile with SSE2 arithmetic must go through.
#   float_eval_guard.sh COMPILER SOURCE_ROOT
set -uo pipefail
compiler=$1
root=$2
compile() { "$compiler" -std=c++17 -fsyntax-only "$@" -I "$root" -include math/Vector.h -x c++ /dev/null 2>&1; }

if output=$(compile -mfpmath=387); then
  echo "an x87 compile of math/Vector.h went through"
  exit 1
fi
if ! grep -q "float arithmetic carries excess precision" <<<"$output"; then
  echo "an x87 compile of math/Vector.h failed, but not at the guard:"
  echo "$output"
  exit 1
fi
if ! output=$(compile -msse2 -mfpmath=sse); then
  echo "an SSE2 compile of math/Vector.h failed:"
  echo "$output"
  exit 1
fi
echo "guard: x87 refused, SSE2 accepted"
