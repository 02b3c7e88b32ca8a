// zendra-icd10-cli: scripted look-ups on the embedded data. Plain text on stdout, errors on stderr.
#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

std::vector<TCliCommand> AllCommands() {
    std::vector<TCliCommand> all;
    for (auto table : {CoreCommands(), IndexCommands(), RenderCommands(), KeywordCommands(), FavoriteCommands()}) {
        all.insert(all.end(), table.begin(), table.end());
    }
    return all;
}

void PrintHelp(std::FILE* out, const std::vector<TCliCommand>& commands) {
    std::fprintf(out, "usage: zendra-icd10-cli COMMAND [ARGS]\n\nCommands:\n");
    for (const auto& command : commands) std::fprintf(out, "%s\n", command.usage);
}

}  // namespace

int main(int argc, char** argv) {
    const auto commands = AllCommands();
    if (argc < 2) {
        PrintHelp(stderr, commands);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(stdout, commands);
        return 0;
    }
    for (const auto& command : commands) {
        if (name == command.name) return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "zendra-icd10-cli: unknown command \"%s\" (see --help)\n", name.c_str());
    return 2;
}
