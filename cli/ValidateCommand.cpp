// validate: checks many code texts at once, for claims files and spreadsheets. Reads one code per
// line (or one column of a CSV file with a header row) and writes one tab-separated line per input:
// the input as given, the dotted code, the verdict word, the description.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "model/CodeResolver.h"
#include "model/ValidateCodes.h"
#include "services/DataSets.h"

namespace {

constexpr const char* ValidateUsage =
    "  validate [--column NAME] [FILE...]\n"
    "                             check code texts (any letter case, with or without the dot), one per\n"
    "                             line of the files or of standard input (\"-\" or no file); with\n"
    "                             --column the input is CSV with a header row (RFC 4180 quotes) and\n"
    "                             NAME is the column.\n"
    "                             Writes: input TAB code TAB verdict TAB description, one line per\n"
    "                             input; verdicts: reportable, not-reportable, seventh-not-allowed,\n"
    "                             not-in-edition, not-a-code, too-long (a line or record of more than\n"
    "                             64 KiB). Exit 0 when every input is reportable, 1 when some is not,\n"
    "                             2 on a usage or read error, a quoted field never closed, a NUL byte\n"
    "                             (not a text file) or a column missing or named twice";

int RunValidate(const std::vector<std::string>& args) {
    std::string column;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("usage:\n%s\n", ValidateUsage);
            return 0;
        }
        if (arg == "--column") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                std::fprintf(stderr, "usage:\n%s\n", ValidateUsage);
                return 2;
            }
            column = args[++i];
        } else if (arg.starts_with("--")) {
            std::fprintf(stderr, "usage:\n%s\n", ValidateUsage);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) files.emplace_back("-");

    if (!LoadEmbeddedTabular()) std::fprintf(stderr, "validate: the Tabular List did not load completely\n");
    const TCodeResolver& resolver = CodeResolver();
    std::size_t inputs = 0;
    std::size_t reportable = 0;
    bool failed = false;
    bool writeFailed = false;
    std::string output;
    std::vector<char> buffer(1 << 20);
    for (const std::string& name : files) {
        const bool standardInput = name == "-";
        std::FILE* in = standardInput ? stdin : std::fopen(name.c_str(), "rb");
        if (in == nullptr) {
            std::fprintf(stderr, "validate: cannot open %s: %s\n", name.c_str(), std::strerror(errno));
            failed = true;
            continue;
        }
        TCodeValidator validator(resolver, column, output);
        std::size_t got = 0;
        // Nothing past a problem is read: /dev/zero must end too.
        while (validator.Problem().empty() && (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
            validator.Feed(std::string_view(buffer.data(), got));
            if (output.size() >= buffer.size()) {
                writeFailed = writeFailed || std::fwrite(output.data(), 1, output.size(), stdout) != output.size();
                output.clear();
            }
        }
        const bool readFailed = std::ferror(in) != 0;
        validator.Finish();
        if (!standardInput) std::fclose(in);
        const std::string shownName = standardInput ? std::string("standard input") : name;
        if (readFailed) {
            std::fprintf(stderr, "validate: cannot read %s\n", shownName.c_str());
            failed = true;
        }
        if (!validator.Problem().empty()) {
            std::fprintf(stderr, "validate: %s: %s\n", shownName.c_str(), validator.Problem().c_str());
            failed = true;
        }
        inputs += validator.Inputs();
        reportable += validator.Reportable();
    }
    writeFailed = writeFailed || std::fwrite(output.data(), 1, output.size(), stdout) != output.size();
    writeFailed = std::fflush(stdout) != 0 || writeFailed;
    if (writeFailed) {
        std::fprintf(stderr, "validate: cannot write the output\n");
        return 2;
    }
    std::fprintf(stderr, "validate: %zu inputs, %zu reportable, %zu not reportable\n", inputs, reportable,
                 inputs - reportable);
    if (failed) return 2;
    return reportable == inputs ? 0 : 1;
}

}  // namespace

std::vector<TCliCommand> ValidateCommands() {
    return {{"validate", ValidateUsage, RunValidate}};
}
