#include "IndexModel.h"
