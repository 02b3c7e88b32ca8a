#include "Commands.h"

std::vector<TCliCommand> KeywordCommands() { return {}; }
