// Never built: the layers test checks that its include check refuses this core file, which reaches
// up into the shared front end.
#pragma once

#include "front/GlutCallbacks.h"
