// Vector is header-only: its operations are small and sit on the game's hottest path.
#include "math/Vector.h"
