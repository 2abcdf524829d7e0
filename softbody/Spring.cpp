#include "softbody/Spring.h"

void Spring::computeRestLength() { restLength = float((massB->position - massA->position).norm()); }
