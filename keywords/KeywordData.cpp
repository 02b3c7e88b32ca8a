#include "KeywordData.h"
