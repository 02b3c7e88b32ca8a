// Core sub-commands: statistics of the data sets, code look-up with its valid completions, and
// the order-file listing of the whole Tabular List.
#include <cstdio>
#include <string>
#include <vector>

#include "admin/Statistics.h"
#include "cli/CliData.h"
#include "cli/Commands.h"
#include "entry/CodeEntry.h"
#include "index/IndexModel.h"
#include "model/CodeResolver.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"

namespace {

constexpr const char* StatsUsage =
    "  stats [--order-file FILE]  the two statistics lines of the data sets (index terms; chapters,\n"
    "                             sections, code tree nodes and valid codes by length); with\n"
    "                             --order-file also writes the generated order file (CR LF)";
constexpr const char* CodeUsage =
    "  code TEXT                  look a code up (\"S52.521\", \"s52521a\", \"A00\"): its description,\n"
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
    const auto lines =
        Statistics(LoadedData().Tabular.Chapters, LoadedData().Index.DiseaseIndex, LoadedData().Index.ExternalIndex,
                   LoadedData().Index.DrugTable, LoadedData().Index.NeoplasmTable, !orderFile.empty(), orderFile);
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

void PrintCompletions(const TCodeResolver& resolver, const TCodeResolution& code) {
    TStringList codes;
    TStringList descriptions;
    resolver.Completions(code, codes, descriptions);
    std::printf("valid codes: %zu\n", codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) PrintCodeLine(codes[i], descriptions[i]);
}

int RunCode(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(CodeUsage, false);
    if (args.size() != 1) return PrintUsage(CodeUsage, true);
    const std::string& text = args[0];
    if (!NormalizeCodeText(text)) {
        std::fprintf(stderr,
                     "code: \"%s\" is not a code text (3 to 8 letters or digits, dot in fourth place or none)\n",
                     text.c_str());
        return 2;
    }
    if (!LoadEmbeddedTabular()) std::fprintf(stderr, "code: the Tabular List did not load completely\n");
    const TCodeResolver& resolver = LoadedData().CodeResolver();
    const TCodeResolution code = resolver.Resolve(text);
    switch (code.FVerdict) {
        case TCodeVerdict::Reportable:
            PrintCodeLine(code.FCode, code.FDesc);
            std::printf("final code\n");
            return 0;
        case TCodeVerdict::NotReportable:
            PrintCodeLine(code.FCode, code.FDesc);
            std::printf("not a final code\n");
            PrintCompletions(resolver, code);
            return 0;
        case TCodeVerdict::SeventhCharNotAllowed: {
            std::fprintf(stderr, "%s\n", SeventhCharRefusal(resolver, code).FReason.c_str());
            const TCodeResolution header = resolver.Resolve(code.FNode->FCode);
            PrintCodeLine(header.FCode, header.FDesc);
            PrintCompletions(resolver, header);
            return 1;
        }
        case TCodeVerdict::NotInEdition:
            if (code.FCategory == nullptr) {
                std::fprintf(stderr, "Code is not exist!\n");
            } else {
                std::fprintf(stderr, "%s: Code found but Sub-Category is not correct\n", code.FCode.c_str());
            }
            return 1;
        case TCodeVerdict::NotACodeText:
            break;
    }
    return 2;
}

int RunOrderFile(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(OrderFileUsage, false);
    if (!args.empty()) return PrintUsage(OrderFileUsage, true);
    if (!LoadEmbeddedTabular()) {
        std::fprintf(stderr, "order-file: the Tabular List did not load completely\n");
        return 1;
    }
    std::string text;
    for (const auto& chapter : LoadedData().Tabular.Chapters) {
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
