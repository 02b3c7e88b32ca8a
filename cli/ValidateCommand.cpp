// validate: checks many code texts at once, for claims files and spreadsheets. Reads one code per
// line (or one column of a CSV file with a header row) and writes one tab-separated line per input:
// the input as given, the dotted code, the verdict word, the description.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "data/EmbeddedResources.h"
#include "model/CodeResolver.h"
#include "model/TabularLoader.h"
#include "model/ValidateCodes.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"

namespace {

constexpr const char* ValidateUsage =
    "  validate [--column NAME [--date-column NAME]] [--date YYYY-MM-DD] [--edition ID] [FILE...]\n"
    "                             check code texts (any letter case, with or without the dot), one per\n"
    "                             line of the files or of standard input (\"-\" or no file); with\n"
    "                             --column the input is CSV with a header row (RFC 4180 quotes) and\n"
    "                             NAME is the column.\n"
    "                             Writes: input TAB code TAB verdict TAB description, one line per\n"
    "                             input; verdicts: reportable, not-reportable, seventh-not-allowed,\n"
    "                             not-in-edition, not-a-code, too-long (a line or record of more than\n"
    "                             64 KiB). Exit 0 when every input is reportable, 1 when some is not,\n"
    "                             2 on a usage or read error, a quoted field never closed, a NUL byte\n"
    "                             (not a text file) or a column missing or named twice.\n"
    "                             Codes are checked against the embedded edition, or the edition ID, or\n"
    "                             the edition in effect on the date of service --date (October 1 to\n"
    "                             September 30; a mid-year update from its own date), or, with\n"
    "                             --date-column, on each row's own date (YYYY-MM-DD or MM/DD/YYYY); a row\n"
    "                             whose date no edition covers gets the verdict no-edition. Exit 2 when\n"
    "                             no installed edition covers a date";

// The Tabular List of an edition other than the one in use, for rows that carry their own date.
struct TEditionModel {
    std::unique_ptr<TResourceProvider> data;
    TChapterList chapters;
    std::unique_ptr<TCodeResolver> resolver;
};

// Resolvers by date of service, each edition loaded once, on first use.
class TEditionsByDate {
public:
    TEditionsByDate() : FEditions(InstalledEditions()) {}

    const TCodeResolver* ForDate(std::string_view dateText, std::string& reason) {
        const auto date = ParseDate(dateText);
        if (!date) {
            reason.assign(1, '"').append(dateText).append("\" is not a date of service (YYYY-MM-DD or MM/DD/YYYY)");
            return nullptr;
        }
        const auto edition = EditionInEffect(FEditions, *date);
        if (!edition) {
            reason = NoEditionMessage(FEditions, *date);
            return nullptr;
        }
        std::unique_ptr<TEditionModel>& model = FModels[edition->Id];
        if (!model) {
            model = std::make_unique<TEditionModel>();
            try {
                model->data = OpenEditionResources(*edition, EmbeddedResources());
                const auto bytes = model->data->Find("Tabular");
                if (!bytes) throw std::runtime_error("it has no Tabular List");
                TResourceStream stream(*bytes);
                TIntroduction introduction;
                TLoadStatus status;
                if (LoadTabularFromStream(stream, model->chapters, introduction, status) != TLoadState::Done)
                    throw std::runtime_error("its Tabular List does not load");
                model->resolver = std::make_unique<TCodeResolver>(model->chapters);
            } catch (const std::exception& error) {
                std::fprintf(stderr, "validate: edition %s: %s\n", edition->Id.c_str(), error.what());
            }
        }
        if (!model->resolver) reason = "edition " + edition->Id + " could not be read";
        return model->resolver.get();
    }

private:
    std::vector<TEditionInfo> FEditions;
    std::map<std::string, std::unique_ptr<TEditionModel>> FModels;
};

int UsageError() {
    std::fprintf(stderr, "usage:\n%s\n", ValidateUsage);
    return 2;
}

// --date: the edition in effect on that date becomes the one read. 0 to go on, else the exit code.
int UseEditionOfDate(const std::string& dateText) {
    const auto date = ParseDate(dateText);
    if (!date) {
        std::fprintf(stderr, "validate: \"%s\" is not a date (YYYY-MM-DD or MM/DD/YYYY)\n", dateText.c_str());
        return 2;
    }
    const auto editions = InstalledEditions();
    const auto edition = EditionInEffect(editions, *date);
    if (!edition) {
        std::fprintf(stderr, "validate: %s\n", NoEditionMessage(editions, *date).c_str());
        return 2;
    }
    try {
        SelectEdition(*edition);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "validate: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "validate: edition %s is in effect on %s\n", edition->Id.c_str(), FormatDate(*date).c_str());
    return 0;
}

int RunValidate(const std::vector<std::string>& args) {
    std::string column;
    std::string dateColumn;
    std::string dateText;
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
        } else if (arg == "--date-column" || arg == "--date") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return UsageError();
            (arg == "--date" ? dateText : dateColumn) = args[++i];
        } else if (arg.starts_with("--")) {
            std::fprintf(stderr, "usage:\n%s\n", ValidateUsage);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) files.emplace_back("-");
    // One way of choosing the edition at a time; a date column needs CSV.
    if ((!dateColumn.empty() && column.empty()) ||
        int(!dateText.empty()) + int(!dateColumn.empty()) + int(EditionChosen()) > 1) {
        return UsageError();
    }
    if (!dateText.empty()) {
        if (const int failed = UseEditionOfDate(dateText)) return failed;
    }
    TEditionsByDate editionsByDate;

    if (!LoadEmbeddedTabular()) std::fprintf(stderr, "validate: the Tabular List did not load completely\n");
    const TCodeResolver& resolver = LoadedData().CodeResolver();
    std::size_t inputs = 0;
    std::size_t reportable = 0;
    std::size_t withoutEdition = 0;
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
        if (!dateColumn.empty()) {
            validator.SetDateColumn(dateColumn, [&](std::string_view date, std::string& reason) {
                return editionsByDate.ForDate(date, reason);
            });
        }
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
        withoutEdition += validator.WithoutEdition();
    }
    writeFailed = writeFailed || std::fwrite(output.data(), 1, output.size(), stdout) != output.size();
    writeFailed = std::fflush(stdout) != 0 || writeFailed;
    if (writeFailed) {
        std::fprintf(stderr, "validate: cannot write the output\n");
        return 2;
    }
    std::fprintf(stderr, "validate: %zu inputs, %zu reportable, %zu not reportable\n", inputs, reportable,
                 inputs - reportable);
    if (withoutEdition > 0) {
        std::fprintf(stderr, "validate: %zu rows have a date of service no installed edition covers\n", withoutEdition);
    }
    if (failed || withoutEdition > 0) return 2;
    return reportable == inputs ? 0 : 1;
}

}  // namespace

std::vector<TCliCommand> ValidateCommands() {
    return {{"validate", ValidateUsage, RunValidate}};
}
