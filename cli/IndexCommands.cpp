// The "index" command: main terms of one alphabetic index or table whose title starts with a
// prefix. Loads only the data set asked for, straight from its embedded resource.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "index/IndexLoader.h"
#include "index/IndexSearch.h"
#include "services/DataSets.h"
#include "services/Resources.h"

namespace {

constexpr const char* IndexUsage =
    "  index [--external|--drugs|--neoplasms] TERMPREFIX\n"
    "      Main terms of the disease index (or of the external cause index, the drug table or the\n"
    "      neoplasm table) whose title starts with TERMPREFIX, in any case; several words are joined\n"
    "      by one blank. One line per term: its full title, a TAB, then its code (indexes) or its six\n"
    "      cells separated by TABs (tables). Exit 0 found, 1 nothing found, 2 usage error.";

int RunIndex(const std::vector<std::string>& args) {
    TDataSet type = TDataSet::DiseaseIndex;
    std::string prefix;
    bool havePrefix = false;
    bool optionsDone = false;
    for (const std::string& arg : args) {
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            std::printf("%s\n", IndexUsage);
            return 0;
        }
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && !havePrefix && (arg == "--external" || arg == "--drugs" || arg == "--neoplasms")) {
            const TDataSet chosen = arg == "--external" ? TDataSet::ExternalIndex
                                    : arg == "--drugs"  ? TDataSet::DrugTable
                                                        : TDataSet::NeoplasmTable;
            if (type != TDataSet::DiseaseIndex && type != chosen) {
                std::fprintf(stderr, "index: choose one of --external, --drugs, --neoplasms\n%s\n", IndexUsage);
                return 2;
            }
            type = chosen;
        } else if (!optionsDone && !havePrefix && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            std::fprintf(stderr, "index: unknown option \"%s\"\n%s\n", arg.c_str(), IndexUsage);
            return 2;
        } else {
            if (havePrefix) prefix += ' ';
            prefix += arg;
            havePrefix = true;
        }
    }
    if (!havePrefix) {
        std::fprintf(stderr, "index: TERMPREFIX missing\n%s\n", IndexUsage);
        return 2;
    }

    const char* resourceName = IndexResourceName(type);
    const auto bytes = EditionData().Find(resourceName);
    if (!bytes) {
        std::fprintf(stderr, "index: the data set \"%s\" is not built into this program\n", resourceName);
        return 1;
    }
    TAlphaLetterList letters;
    TLoadStatus status{TLoadState::NotStarted};
    std::string version;
    {
        TResourceStream stream(*bytes);
        LoadIndexFromStream(stream, type, letters, status, &version);
    }

    if (type == TDataSet::DiseaseIndex) {
        const std::string note = DiseaseIndexNote(version);
        if (!note.empty()) std::printf("%s\n", note.c_str());
    }

    const bool table = IsTableDataSet(type);
    const std::vector<const TTerm*> found = FindMainTermsByPrefix(letters, prefix);
    for (const TTerm* term : found) std::printf("%s\n", TermLine(*term, table).c_str());
    if (status.load() != TLoadState::Done) {
        std::fprintf(stderr, "index: the data set \"%s\" did not load completely\n", resourceName);
    }
    return found.empty() ? 1 : 0;
}

}  // namespace

std::vector<TCliCommand> IndexCommands() {
    return {{"index", IndexUsage, RunIndex}};
}
