#pragma once

// The game is the same game on every machine only if every float and double operation rounds to
// its own type. Arithmetic that keeps excess precision (x87, FLT_EVAL_METHOD 1 or 2) rounds
// differently and plays a different game, silently. On 32-bit x86 the build selects SSE2
// arithmetic (-msse2 -mfpmath=sse) itself; anything else that gets here with excess precision
// must not compile.
#include <cfloat>

#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "float arithmetic carries excess precision (FLT_EVAL_METHOD != 0): build with -msse2 -mfpmath=sse"
#endif
