// zendra-icd10-cli: scripted look-ups on the embedded data. Plain text on stdout, errors on stderr.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "index/IndexLoader.h"
#include "index/IndexModel.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"

namespace {

std::vector<TCliCommand> AllCommands() {
    std::vector<TCliCommand> all;
    for (auto table : {CoreCommands(), ValidateCommands(), IndexCommands(), RenderCommands(), KeywordCommands(),
                       FavoriteCommands(), EditionCommands()}) {
        all.insert(all.end(), table.begin(), table.end());
    }
    return all;
}

void PrintHelp(std::FILE* out, const std::vector<TCliCommand>& commands) {
    std::fprintf(out,
                 "usage: zendra-icd10-cli [--edition ID] COMMAND [ARGS]\n       zendra-icd10-cli --version\n\n"
                 "--edition ID (before or after the command) makes a command read edition ID (see \"editions\n"
                 "list\"); without it a command reads the edition chosen in the desktop program, else the\n"
                 "embedded one.\n\nCommands:\n");
    for (const auto& command : commands) std::fprintf(out, "%s\n", command.usage);
}

// The program and the editions of the data it reads; the disease index names its own edition.
int PrintVersion() {
    std::printf("zendra-icd10-cli %s\n", ZENDRA_VERSION);
    const TEditionInfo& edition = EditionInUse();
    if (edition.Embedded) {
        std::printf(
            "ICD-10-CM %s: Tabular List and order file FY%s (effective %s) with the addenda effective %s (%s)\n",
            EditionYear, EditionYear, EditionEffectiveDate, EditionAddendaDate, EditionAddendaCodes);
    } else {
        std::printf("ICD-10-CM %s: %s, imported from %s\n", edition.Id.c_str(), edition.Title().c_str(),
                    edition.Sources.c_str());
    }
    LoadEmbeddedIndex(TDataSet::DiseaseIndex);
    if (LoadedData().Index.DiseaseIndexEdition.empty()) {
        std::printf("Index to Diseases and Injuries: the file names no edition\n");
    } else {
        std::printf("Index to Diseases and Injuries: FY%s\n", LoadedData().Index.DiseaseIndexEdition.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Takes "--edition ID" out of the arguments and makes that edition the one read. 0 to go on, else
// the exit code.
int ChooseEdition(std::vector<std::string>& arguments) {
    const auto option = std::find(arguments.begin(), arguments.end(), "--edition");
    if (option == arguments.end()) return 0;
    if (option + 1 == arguments.end()) {
        std::fprintf(stderr, "zendra-icd10-cli: --edition needs an edition id (see \"editions list\")\n");
        return 2;
    }
    const std::string id = *(option + 1);
    arguments.erase(option, option + 2);
    if (!arguments.empty() && (arguments[0] == "editions" || arguments[0] == "diff")) {
        std::fprintf(stderr, "zendra-icd10-cli: %s takes no --edition\n", arguments[0].c_str());
        return 2;
    }
    const auto editions = InstalledEditions();
    const auto edition = FindEdition(editions, id);
    if (!edition) {
        std::string there;
        for (const auto& known : editions) there += (there.empty() ? "" : ", ") + known.Id;
        std::fprintf(stderr, "zendra-icd10-cli: no edition %s; there are: %s\n", id.c_str(), there.c_str());
        return 2;
    }
    try {
        SelectEdition(*edition);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zendra-icd10-cli: %s\n", error.what());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto commands = AllCommands();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const int failed = ChooseEdition(arguments)) return failed;
    if (!EditionChosen()) {
        if (const std::string notice = UseKeptEdition(); !notice.empty())
            std::fprintf(stderr, "zendra-icd10-cli: %s\n", notice.c_str());
    }
    if (arguments.empty()) {
        PrintHelp(stderr, commands);
        return 2;
    }
    const std::string name = arguments[0];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(stdout, commands);
        return 0;
    }
    if (name == "--version") return PrintVersion();
    for (const auto& command : commands) {
        if (name == command.name) return command.run(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    }
    std::fprintf(stderr, "zendra-icd10-cli: unknown command \"%s\" (see --help)\n", name.c_str());
    return 2;
}
