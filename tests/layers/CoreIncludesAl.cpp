// Built only by the layers test, which expects it to fail: a file with the core's include rules
// that includes an OpenAL header must not compile.
#include <AL/al.h>

int coreIncludesAl() { return 0; }
