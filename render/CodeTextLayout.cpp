#include "CodeTextLayout.h"
