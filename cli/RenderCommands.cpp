#include "Commands.h"

std::vector<TCliCommand> RenderCommands() { return {}; }
