#include "Boot.h"
