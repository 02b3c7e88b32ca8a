// editions and diff: the installed editions of the classification, importing a published release
// (progress on standard error), removing one, and what changed between two editions.
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliData.h"
#include "cli/Commands.h"
#include "data/EmbeddedResources.h"
#include "editions/EditionDiff.h"
#include "editions/EditionImport.h"
#include "editions/Editions.h"

namespace {

constexpr const char* EditionsUsage =
    "  editions list              the editions there are: id, title, where it is installed\n"
    "  editions import [--replace] PATH...\n"
    "                             import a published release: its zip files as downloaded, or a\n"
    "                             folder of the unpacked files; progress on standard error; an\n"
    "                             edition already installed is replaced only with --replace\n"
    "  editions remove ID         remove an imported edition (the embedded one stays)";
constexpr const char* DiffUsage =
    "  diff FROM TO               what changed from edition FROM to edition TO: one line per change,\n"
    "                             kind TAB code TAB old title TAB new title; kinds category-added,\n"
    "                             category-deleted, added, deleted (no longer reportable), revised";

volatile std::sig_atomic_t interrupted = 0;

void Interrupt(int) {
    interrupted = 1;
}

std::string EditionList(const std::vector<TEditionInfo>& editions) {
    std::string text;
    for (const auto& edition : editions) text += (text.empty() ? "" : ", ") + edition.Id;
    return text;
}

int ListCommand() {
    for (const auto& edition : InstalledEditions()) {
        std::printf("%s\t%s\t%s\n", edition.Id.c_str(), edition.Title().c_str(),
                    edition.Embedded ? "embedded" : edition.Folder.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int ImportCommand(const std::vector<std::string>& args) {
    TImportOptions options;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--replace") {
            options.ReplaceInstalled = true;
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.empty()) {
        std::fprintf(stderr, "usage:\n%s\n", EditionsUsage);
        return 2;
    }
    // Ctrl+C ends the import at its next step, with nothing installed.
    std::signal(SIGINT, Interrupt);
    options.Progress = [](const TImportProgress& progress) {
        std::fprintf(stderr, "[%d/%d] %s\n", progress.Step, progress.StepCount, progress.What.c_str());
        return interrupted == 0;
    };
    const TImportResult result = ImportRelease(paths, EditionsFolder(), EmbeddedResources(), options);
    std::signal(SIGINT, SIG_DFL);
    switch (result.Status) {
        case TImportStatus::Installed:
            std::printf("installed edition %s: %s in %s\n", result.Edition.Id.c_str(), result.Edition.Title().c_str(),
                        result.Edition.Folder.c_str());
            for (const auto& note : result.Edition.Notes) std::printf("note: %s\n", note.c_str());
            return std::fflush(stdout) == 0 ? 0 : 1;
        case TImportStatus::AlreadyInstalled:
            std::fprintf(stderr, "editions import: edition %s is already installed; add --replace to replace it\n",
                         result.Edition.Id.c_str());
            return 1;
        case TImportStatus::Cancelled:
        case TImportStatus::Failed:
            break;
    }
    std::fprintf(stderr, "editions import: %s\n", result.Message.c_str());
    return 1;
}

int RunEditions(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fprintf(args.empty() ? stderr : stdout, "usage:\n%s\n", EditionsUsage);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "list" && args.size() == 1) return ListCommand();
    if (args[0] == "import") return ImportCommand(args);
    if (args[0] == "remove" && args.size() == 2) {
        const std::string problem = RemoveEdition(EditionsFolder(), args[1]);
        if (problem.empty()) return 0;
        std::fprintf(stderr, "editions remove: %s\n", problem.c_str());
        return 1;
    }
    std::fprintf(stderr, "usage:\n%s\n", EditionsUsage);
    return 2;
}

int RunDiff(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("usage:\n%s\n", DiffUsage);
        return 0;
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage:\n%s\n", DiffUsage);
        return 2;
    }
    const auto editions = InstalledEditions();
    std::optional<TEditionInfo> chosen[2];
    for (std::size_t i = 0; i < 2; ++i) {
        chosen[i] = FindEdition(editions, args[i]);
        if (!chosen[i]) {
            std::fprintf(stderr, "diff: no edition %s; there are: %s\n", args[i].c_str(),
                         EditionList(editions).c_str());
            return 2;
        }
    }
    std::string output;
    try {
        for (const auto& change : DiffEditions(*chosen[0], *chosen[1], EmbeddedResources()))
            output += FormatChange(change) + "\n";
    } catch (const std::exception& error) {
        std::fprintf(stderr, "diff: %s\n", error.what());
        return 1;
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

std::vector<TCliCommand> EditionCommands() {
    return {{"editions", EditionsUsage, RunEditions}, {"diff", DiffUsage, RunDiff}};
}
