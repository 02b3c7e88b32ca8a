// The data sets built into the program (see data/CMakeLists.txt).
#pragma once

#include "services/Resources.h"

const TResourceProvider& EmbeddedResources();
