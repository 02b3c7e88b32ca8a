// Brings the data up: folders, containers, resource streams, the six loader threads.
#pragma once

#include "Resources.h"
