#include "editions/EditionImport.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <future>
#include <sstream>
#include <stdexcept>

#include "admin/DataPipeline.h"
#include "model/CodeResolver.h"
#include "model/TabularLoader.h"
#include "services/FileUtil.h"
#include "services/TextUtil.h"

namespace {

namespace fs = std::filesystem;

constexpr int StepCount = 6;

struct TCancelled {};

class TSteps {
public:
    explicit TSteps(const TImportProgressHandler& AProgress) : FProgress(AProgress) {}
    void Next(const std::string& AWhat) {
        ++FStep;
        if (FProgress && !FProgress({FStep, StepCount, AWhat})) throw TCancelled{};
    }

private:
    const TImportProgressHandler& FProgress;
    int FStep = 0;
};

std::string ProgramList(const TResourceProvider& AProgram, const char* AName) {
    const auto bytes = AProgram.Find(AName);
    if (!bytes) throw std::runtime_error(std::string("the program carries no \"") + AName + "\" list");
    return InflateAll(*bytes);
}

// Folders an earlier import or removal left behind when its process ended half-way; the pid at
// the end of the name tells whether that process still runs.
void RemoveAbandonedFolders(const fs::path& ARoot) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(ARoot, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(".staging-")) continue;
        const std::size_t dash = name.rfind('-');
        const long pid = std::strtol(name.c_str() + dash + 1, nullptr, 10);
        if (pid > 0 && pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), error);
        }
    }
}

TEditionInfo EditionOf(const std::array<TReleaseMember, MemberKindCount>& ARelease) {
    const TMemberName& name = ARelease[static_cast<std::size_t>(TMemberKind::Tabular)].Name;
    TEditionInfo edition;
    edition.Year = name.Year;
    edition.Id = std::to_string(name.Year);
    edition.EffectiveFrom = {name.Year - 1, 10, 1};
    if (name.Month != 0) {
        char month[8];
        std::snprintf(month, sizeof month, "-%02d", name.Month);
        edition.Id += month;
        edition.EffectiveFrom = {name.Month >= 10 ? name.Year - 1 : name.Year, name.Month, 1};
    }
    const TReleaseMember& diseaseIndex = ARelease[static_cast<std::size_t>(TMemberKind::DiseaseIndex)];
    edition.DiseaseIndexEdition = std::to_string(diseaseIndex.Name.Year);
    for (const auto& member : ARelease) {
        if (!edition.Sources.empty()) edition.Sources += ", ";
        edition.Sources += member.Source;
    }
    if (diseaseIndex.Name.Year != name.Year) {
        edition.Notes.push_back("the Index to Diseases and Injuries is the FY" + edition.DiseaseIndexEdition +
                                " edition (" + diseaseIndex.Source + "), standing in for the FY" +
                                std::to_string(name.Year) + " one");
    }
    return edition;
}

void NoteReport(const TExceptionReport& AReport, TEditionInfo& AEdition) {
    for (const auto& leaf : AReport.LeafDefinitions) {
        AEdition.Notes.push_back(
            "no seventh-character rule describes which completions of " + leaf.LeafCode + " the order file lists, so " +
            leaf.LeafCode + " takes only those, as its own definition (" + std::to_string(leaf.CharIndexes.size()) +
            " of the characters of " + leaf.OwnerCode + ")");
    }
    if (!AReport.UnknownListedCodes.empty()) {
        std::string codes;
        for (std::size_t i = 0; i < AReport.UnknownListedCodes.size() && i < 10; ++i)
            codes += (i ? ", " : "") + AReport.UnknownListedCodes[i];
        if (AReport.UnknownListedCodes.size() > 10) codes += ", ...";
        AEdition.Notes.push_back("the order file lists " + std::to_string(AReport.UnknownListedCodes.size()) +
                                 " codes the Tabular List cannot generate; they are not offered: " + codes);
    }
}

// The derived Tabular List must answer every line of the order file with that line's flag: a
// reportable code is a code the order file lists as reportable, and a header is a header.
void CheckAgainstOrderFile(const std::string& ATabularText, const std::string& AOrderText,
                           const TExceptionReport& AReport) {
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status;
    std::istringstream source(ATabularText);
    if (LoadTabularFromStream(source, chapters, introduction, status) != TLoadState::Done) {
        throw std::runtime_error("the derived Tabular List does not load");
    }
    const TCodeResolver resolver(chapters);
    std::size_t listed = 0;
    std::size_t start = 0;
    while (start < AOrderText.size()) {
        std::size_t end = AOrderText.find('\n', start);
        if (end == std::string::npos) end = AOrderText.size();
        const std::string_view line = std::string_view(AOrderText).substr(start, end - start);
        start = end + 1;
        if (line.size() < 16) continue;
        const std::string code = std::string(TrimBlanks(line.substr(6, 7)));
        const bool reportable = line[14] == '1';
        const TCodeVerdict verdict = resolver.Answer(code).FVerdict;
        if (reportable) ++listed;
        const bool unknown = std::find(AReport.UnknownListedCodes.begin(), AReport.UnknownListedCodes.end(),
                                       code.size() > 3 ? code.substr(0, 3) + "." + code.substr(3) : code) !=
                             AReport.UnknownListedCodes.end();
        if (unknown) continue;
        const bool agrees = reportable ? verdict == TCodeVerdict::Reportable : verdict == TCodeVerdict::NotReportable;
        if (!agrees) {
            throw std::runtime_error("the derived Tabular List answers \"" + std::string(VerdictWord(verdict)) +
                                     "\" for " + code + ", which the order file flags " + line[14]);
        }
    }
    if (resolver.ReportableCount() + AReport.UnknownListedCodes.size() != listed) {
        throw std::runtime_error("the derived Tabular List has " + std::to_string(resolver.ReportableCount()) +
                                 " reportable codes, the order file lists " + std::to_string(listed));
    }
}

// Moves the staging folder to the edition's place: atomically beside nothing, or swapped with the
// installed edition (which then goes with the staging folder).
void Install(const fs::path& AStaging, const fs::path& ATarget, bool AReplace) {
    const int flags = AReplace && fs::exists(ATarget) ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (renameat2(AT_FDCWD, AStaging.c_str(), AT_FDCWD, ATarget.c_str(), static_cast<unsigned>(flags)) == 0) return;
    if (errno == EEXIST) throw std::runtime_error(ATarget.string() + " appeared meanwhile; nothing was replaced");
    if (errno != EINVAL && errno != ENOSYS) {
        throw std::runtime_error("cannot move the edition into " + ATarget.string() + ": " + std::strerror(errno));
    }
    // A file system without the atomic forms: the old edition is renamed aside first.
    std::error_code error;
    if (flags == RENAME_EXCHANGE) {
        const fs::path aside = AStaging.string() + "-old";
        fs::rename(ATarget, aside, error);
        if (!error) fs::rename(AStaging, ATarget, error);
        if (error) {
            fs::rename(aside, ATarget, error);
            throw std::runtime_error("cannot move the edition into " + ATarget.string());
        }
        fs::rename(aside, AStaging, error);
        return;
    }
    fs::rename(AStaging, ATarget, error);
    if (error) throw std::runtime_error("cannot move the edition into " + ATarget.string() + ": " + error.message());
}

}  // namespace

TImportResult ImportRelease(const std::vector<std::string>& APaths, const std::string& AEditionsRoot,
                            const TResourceProvider& AProgram, const TImportOptions& AOptions) {
    TImportResult result;
    fs::path staging;
    try {
        TSteps steps(AOptions.Progress);
        steps.Next("Reading the release files");
        auto release = CollectRelease(APaths, {}, AOptions.Limits);

        steps.Next("Checking the release files");
        for (const auto& member : release) CheckMemberContent(member);
        result.Edition = EditionOf(release);
        const fs::path root(AEditionsRoot);
        const fs::path target = root / result.Edition.Id;
        if (fs::exists(target) && !AOptions.ReplaceInstalled) {
            result.Status = TImportStatus::AlreadyInstalled;
            result.Message = "edition " + result.Edition.Id + " is already installed (" + target.string() +
                             "); import it again with replacing allowed to replace it";
            return result;
        }

        steps.Next("Deriving the seventh-character rules, the short code list and the keyword set");
        const auto text = [&](TMemberKind kind) -> std::string& {
            return release[static_cast<std::size_t>(kind)].Text;
        };
        // The published texts are stored as they are: compressed on a thread of their own while
        // the derivation runs (the future waits for it on every way out of this block).
        const std::vector<std::pair<std::string, const std::string*>> published = {
            {"Order", &text(TMemberKind::Order)},
            {"DIndex", &text(TMemberKind::DiseaseIndex)},
            {"TableOfDrugs", &text(TMemberKind::Drugs)},
            {"EIndex", &text(TMemberKind::ExternalIndex)},
            {"TableOfNeoplasms", &text(TMemberKind::Neoplasms)}};
        std::vector<std::string> publishedPacked(published.size());
        auto publishedDone = std::async(std::launch::async, [&] {
            for (std::size_t i = 0; i < published.size(); ++i) publishedPacked[i] = CompressBytes(*published[i].second);
        });
        TPipelineInputs inputs;
        inputs.TabularText = std::move(text(TMemberKind::Tabular));
        inputs.OrderText = text(TMemberKind::Order);
        inputs.DiseaseIndexText = text(TMemberKind::DiseaseIndex);
        inputs.ExternalIndexText = text(TMemberKind::ExternalIndex);
        inputs.StopWordsText = ProgramList(AProgram, "KeywordStopWords");
        inputs.AbbreviationsText = ProgramList(AProgram, "KeywordAbbreviations");
        TExceptionReport report;
        TDerivedDataSets derived;
        try {
            derived = DeriveDataSets(inputs, &report);
        } catch (const std::runtime_error& error) {
            throw std::runtime_error("the release cannot be derived (" + release[0].Source + ", " +
                                     release[static_cast<std::size_t>(TMemberKind::Order)].Source +
                                     "): " + error.what());
        }
        NoteReport(report, result.Edition);

        steps.Next("Checking every line of the order file against the derived Tabular List");
        CheckAgainstOrderFile(derived.TabularText, inputs.OrderText, report);

        steps.Next("Compressing the data sets");
        std::vector<std::pair<std::string, std::string>> packed;
        packed.emplace_back("Tabular", CompressBytes(derived.TabularText));
        packed.emplace_back("ShortDesc", CompressBytes(derived.ShortCodes));
        packed.emplace_back("CodeKeywords", CompressBytes(derived.CodeKeywords));
        publishedDone.get();
        for (std::size_t i = 0; i < published.size(); ++i)
            packed.emplace_back(published[i].first, std::move(publishedPacked[i]));

        steps.Next("Installing the edition");
        fs::create_directories(root);
        RemoveAbandonedFolders(root);
        staging = root / (".staging-" + result.Edition.Id + "-" + std::to_string(getpid()));
        fs::remove_all(staging);
        fs::create_directory(staging);
        for (const auto& [name, bytes] : packed) WriteDataFile((staging / (name + ".dzip")).string(), bytes);
        WriteDataFile((staging / EditionManifestName).string(), FormatManifest(result.Edition));
        Install(staging, target, AOptions.ReplaceInstalled);
        result.Edition.Folder = target.string() + "/";
        result.Status = TImportStatus::Installed;
    } catch (const TCancelled&) {
        result.Status = TImportStatus::Cancelled;
        result.Message = "the import was cancelled; nothing was installed";
    } catch (const std::exception& error) {
        result.Status = TImportStatus::Failed;
        result.Message = error.what();
    }
    if (!staging.empty()) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
    }
    return result;
}
