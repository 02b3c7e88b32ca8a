// zendra-icd10-cli: scripted look-ups on the embedded data. Plain text on stdout, errors on stderr.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "index/IndexLoader.h"
#include "index/IndexModel.h"
#include "services/DataSets.h"

namespace {

std::vector<TCliCommand> AllCommands() {
    std::vector<TCliCommand> all;
    for (auto table : {CoreCommands(), ValidateCommands(), IndexCommands(), RenderCommands(), KeywordCommands(),
                       FavoriteCommands()}) {
        all.insert(all.end(), table.begin(), table.end());
    }
    return all;
}

void PrintHelp(std::FILE* out, const std::vector<TCliCommand>& commands) {
    std::fprintf(out, "usage: zendra-icd10-cli COMMAND [ARGS]\n       zendra-icd10-cli --version\n\nCommands:\n");
    for (const auto& command : commands) std::fprintf(out, "%s\n", command.usage);
}

// The program and the editions of the data it embeds; the disease index names its own edition.
int PrintVersion() {
    std::printf("zendra-icd10-cli %s\n", ZENDRA_VERSION);
    std::printf("ICD-10-CM %s: Tabular List and order file FY%s (effective %s) with the addenda effective %s (%s)\n",
                EditionYear, EditionYear, EditionEffectiveDate, EditionAddendaDate, EditionAddendaCodes);
    LoadEmbeddedIndex(TDataSet::DiseaseIndex);
    if (DIndexEdition.empty()) {
        std::printf("Index to Diseases and Injuries: the file names no edition\n");
    } else {
        std::printf("Index to Diseases and Injuries: FY%s\n", DIndexEdition.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
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
    if (name == "--version") return PrintVersion();
    for (const auto& command : commands) {
        if (name == command.name) return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "zendra-icd10-cli: unknown command \"%s\" (see --help)\n", name.c_str());
    return 2;
}
