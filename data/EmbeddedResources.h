// The data sets built into the program (see data/CMakeLists.txt).
#pragma once

#include "Resources.h"

const TResourceProvider& EmbeddedResources();
