#include "Commands.h"

std::vector<TCliCommand> IndexCommands() { return {}; }
