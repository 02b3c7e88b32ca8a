#include "Commands.h"

std::vector<TCliCommand> CoreCommands() { return {}; }
