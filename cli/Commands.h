// Sub-commands of the command-line front. Each subsystem contributes its own table.
#pragma once

#include <string>
#include <vector>

struct TCliCommand {
    const char* name;
    const char* usage;                                 // one or more lines for --help
    int (*run)(const std::vector<std::string>& args);  // exit code
};

std::vector<TCliCommand> CoreCommands();      // stats, code, order-file
std::vector<TCliCommand> IndexCommands();     // index
std::vector<TCliCommand> RenderCommands();    // show
std::vector<TCliCommand> KeywordCommands();   // search, suggest, keywords generator
std::vector<TCliCommand> FavoriteCommands();  // favorites
std::vector<TCliCommand> ValidateCommands();  // validate
std::vector<TCliCommand> EditionCommands();   // editions, diff
