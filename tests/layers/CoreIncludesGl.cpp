// Built only by the layers test, which expects it to fail: a file with the core's include rules
// that includes a GL header must not compile.
#include <GL/gl.h>

int coreIncludesGl() { return 0; }
