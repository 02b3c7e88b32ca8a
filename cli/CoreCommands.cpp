// Core sub-commands: statistics of the data sets, code look-up with its valid completions, and
// the order-file listing of the whole Tabular List.
#include <cstdio>
#include <string>
#include <vector>

#include "CliData.h"
#include "CodeLookup.h"
#include "Commands.h"
#include "DataSets.h"
#include "IndexModel.h"
#include "Statistics.h"

namespace {

constexpr const char* StatsUsage =
    "  stats [--order-file FILE]  the two statistics lines of the data sets (index terms; chapters,\n"
    "                             sections, code tree nodes and valid codes by length); with\n"
    "                             --order-file also writes the generated order file (CR LF)";
constexpr const char* CodeUsage =
    "  code TEXT                  look a code up (\"S52.521\", \"S52.521A\", \"A00\"): its description,\n"
    "                             whether it is a final code, and its valid completions;\n"
    "                             exit 0 found, 1 not found, 2 not a code text";
constexpr const char* OrderFileUsage =
    "  order-file                 every node and valid code of the Tabular List in tabular order:\n"
    "                             code padded to 9 characters, flag (1 valid code, 0 node), blank, description";

bool WantsHelp(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "--help" || args[0] == "-h");
}

int PrintUsage(const char* usage, bool asError) {
    std::fprintf(asError ? stderr : stdout, "usage:\n%s\n", usage);
    return asError ? 2 : 0;
}

int RunStats(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(StatsUsage, false);
    std::string orderFile;
    if (args.size() == 2 && args[0] == "--order-file") {
        orderFile = args[1];
    } else if (!args.empty()) {
        return PrintUsage(StatsUsage, true);
    }
    if (!LoadEmbeddedTabularAndIndexes()) {
        std::fprintf(stderr, "stats: a data set did not load completely; the counts cover what was read\n");
    }
    const auto lines = Statistics(ChapterList, DIndexLetters, EIndexLetters, TableOfDrugsLetters,
                                  TableOfNeoplasmsLetters, !orderFile.empty(), orderFile);
    if (!lines) {
        std::fprintf(stderr, "stats: cannot write %s\n", orderFile.c_str());
        return 1;
    }
    std::printf("%s\n%s\n", lines->IndexLine.c_str(), lines->TabularLine.c_str());
    return 0;
}

void PrintCodeLine(const std::string& code, const std::string& description) {
    std::printf("%s  %s\n", code.c_str(), description.c_str());
}

void PrintCompletions(const TCodeInfo& node) {
    TStringList codes;
    TStringList descriptions;
    node.GetAllValideCodes(codes, descriptions);
    std::printf("valid codes: %zu\n", codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) PrintCodeLine(codes[i], descriptions[i]);
}

int RunCode(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(CodeUsage, false);
    if (args.size() != 1) return PrintUsage(CodeUsage, true);
    const std::string& text = args[0];
    std::string category;
    std::string subCode;
    if (!ParseCodeText(text, category, subCode)) {
        std::fprintf(stderr, "code: \"%s\" is not a code text (3 to 8 capitals or digits, dot in fourth place)\n",
                     text.c_str());
        return 2;
    }
    if (!LoadEmbeddedTabular()) std::fprintf(stderr, "code: the Tabular List did not load completely\n");
    TCodeInfo* categoryNode = FindCategory(ChapterList, category);
    if (!categoryNode) {
        std::fprintf(stderr, "Code is not exist!\n");
        return 1;
    }

    if (subCode.size() == 4) {
        // A full seventh-character code: a leaf with a definition, padded with "X", plus the character.
        std::string fullDescription;
        TCodeInfo* leaf = categoryNode->FindHeaderBy4SubCodes(subCode, fullDescription);
        const std::string fullCode = category + "." + subCode;
        if (!leaf) {
            std::fprintf(stderr, "%s: Code found but Sub-Category is not correct\n", fullCode.c_str());
            return 1;
        }
        TStringList codes;
        TStringList descriptions;
        leaf->GetAllValideCodes(codes, descriptions);
        for (const auto& code : codes) {
            if (code == fullCode) {
                PrintCodeLine(fullCode, fullDescription);
                std::printf("final code\n");
                return 0;
            }
        }
        std::fprintf(stderr, "%s: the seventh character does not apply to %s\n", fullCode.c_str(),
                     leaf->FCode.c_str());
        PrintCodeLine(leaf->FCode, leaf->FDesc);
        PrintCompletions(*leaf);
        return 1;
    }

    TCodeInfo* node = categoryNode->FindSubCodeByName(subCode);
    if (!node) {
        std::fprintf(stderr, "%s: Code found but Sub-Category is not correct\n", text.c_str());
        return 1;
    }
    PrintCodeLine(node->FCode, node->FDesc);
    if (node->IsFinalCode()) {
        std::printf("final code\n");
    } else {
        std::printf("not a final code\n");
        PrintCompletions(*node);
    }
    return 0;
}

int RunOrderFile(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(OrderFileUsage, false);
    if (!args.empty()) return PrintUsage(OrderFileUsage, true);
    if (!LoadEmbeddedTabular()) {
        std::fprintf(stderr, "order-file: the Tabular List did not load completely\n");
        return 1;
    }
    std::string text;
    for (const auto& chapter : ChapterList) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) AppendOrderLines(*category, text, "\n");
        }
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

std::vector<TCliCommand> CoreCommands() {
    return {
        {"stats", StatsUsage, RunStats},
        {"code", CodeUsage, RunCode},
        {"order-file", OrderFileUsage, RunOrderFile},
    };
}
