#include "editions/Editions.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "services/DataSets.h"
#include "services/FileUtil.h"
#include "services/Folders.h"

namespace {

constexpr std::size_t MaxEditionFileBytes = 64 * 1024 * 1024;

bool ReadNumber(std::string_view AText, int& AValue) {
    if (AText.empty()) return false;
    const auto [end, error] = std::from_chars(AText.data(), AText.data() + AText.size(), AValue);
    return error == std::errc() && end == AText.data() + AText.size();
}

bool LeapYear(int AYear) {
    return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0;
}

bool ValidDate(const TDate& ADate) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (ADate.Year < 1900 || ADate.Year > 9999 || ADate.Month < 1 || ADate.Month > 12 || ADate.Day < 1) return false;
    const int last = days[ADate.Month - 1] + (ADate.Month == 2 && LeapYear(ADate.Year) ? 1 : 0);
    return ADate.Day <= last;
}

std::string JoinNotes(const std::vector<std::string>& ANotes) {
    std::string text;
    for (const auto& note : ANotes) {
        if (!text.empty()) text += " | ";
        text += note;
    }
    return text;
}

std::vector<std::string> SplitNotes(std::string_view AText) {
    std::vector<std::string> notes;
    std::size_t start = 0;
    while (start < AText.size()) {
        std::size_t end = AText.find(" | ", start);
        if (end == std::string_view::npos) end = AText.size();
        notes.emplace_back(AText.substr(start, end - start));
        start = end + 3;
    }
    return notes;
}

}  // namespace

std::optional<TDate> ParseDate(std::string_view AText) {
    TDate date;
    bool read = false;
    if (AText.size() == 10 && AText[4] == '-' && AText[7] == '-') {
        read = ReadNumber(AText.substr(0, 4), date.Year) && ReadNumber(AText.substr(5, 2), date.Month) &&
               ReadNumber(AText.substr(8, 2), date.Day);
    } else if (AText.size() == 10 && AText[2] == '/' && AText[5] == '/') {
        read = ReadNumber(AText.substr(0, 2), date.Month) && ReadNumber(AText.substr(3, 2), date.Day) &&
               ReadNumber(AText.substr(6, 4), date.Year);
    }
    if (!read || !ValidDate(date)) return std::nullopt;
    return date;
}

std::string FormatDate(const TDate& ADate) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", ADate.Year, ADate.Month, ADate.Day);
    return text;
}

std::string TEditionInfo::Title() const {
    std::string title = "FY" + std::to_string(Year);
    if (Id.size() > 4) title += " update";
    title += " (effective " + FormatDate(EffectiveFrom);
    if (!Addenda.empty()) title += ", addenda " + Addenda;
    return title + ")";
}

TEditionInfo EmbeddedEdition() {
    TEditionInfo edition;
    edition.Id = EditionYear;
    edition.Year = std::stoi(EditionYear);
    edition.EffectiveFrom = {edition.Year - 1, 10, 1};
    edition.Addenda = std::string("effective ") + EditionAddendaDate + ": " + EditionAddendaCodes;
    edition.Embedded = true;
    return edition;
}

std::string EditionsFolder() {
    return UserDataFolder() + "Editions/";
}

std::string FormatManifest(const TEditionInfo& AEdition) {
    std::string text = "Id=" + AEdition.Id + "\n";
    text += "Year=" + std::to_string(AEdition.Year) + "\n";
    text += "EffectiveFrom=" + FormatDate(AEdition.EffectiveFrom) + "\n";
    text += "Addenda=" + AEdition.Addenda + "\n";
    text += "DiseaseIndexEdition=" + AEdition.DiseaseIndexEdition + "\n";
    text += "Sources=" + AEdition.Sources + "\n";
    text += "Notes=" + JoinNotes(AEdition.Notes) + "\n";
    return text;
}

std::optional<TEditionInfo> ParseManifest(std::string_view AText) {
    std::map<std::string, std::string, std::less<>> values;
    std::size_t start = 0;
    while (start < AText.size()) {
        std::size_t end = AText.find('\n', start);
        if (end == std::string_view::npos) end = AText.size();
        const std::string_view line = AText.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) values[std::string(line.substr(0, equals))] = line.substr(equals + 1);
        start = end + 1;
    }
    TEditionInfo edition;
    edition.Id = values["Id"];
    const auto effective = ParseDate(values["EffectiveFrom"]);
    if (edition.Id.empty() || !ReadNumber(values["Year"], edition.Year) || !effective) return std::nullopt;
    edition.EffectiveFrom = *effective;
    edition.Addenda = values["Addenda"];
    edition.DiseaseIndexEdition = values["DiseaseIndexEdition"];
    edition.Sources = values["Sources"];
    edition.Notes = SplitNotes(values["Notes"]);
    return edition;
}

std::vector<TEditionInfo> ListEditions(const std::string& AEditionsRoot) {
    std::vector<TEditionInfo> editions{EmbeddedEdition()};
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(AEditionsRoot, error)) {
        const std::string name = entry.path().filename().string();
        // Staging folders of imports under way (or interrupted) start with a dot.
        if (name.starts_with('.') || !entry.is_directory(error)) continue;
        const std::string folder = entry.path().string() + "/";
        std::string text;
        if (ReadRegularFile(folder + EditionManifestName, text, 64 * 1024) != TFileRead::Read) continue;
        auto edition = ParseManifest(text);
        if (!edition || edition->Id != name) continue;
        edition->Folder = folder;
        editions.push_back(std::move(*edition));
    }
    std::stable_sort(editions.begin(), editions.end(), [](const TEditionInfo& a, const TEditionInfo& b) {
        return a.EffectiveFrom != b.EffectiveFrom ? a.EffectiveFrom < b.EffectiveFrom : a.Embedded && !b.Embedded;
    });
    return editions;
}

std::optional<TEditionInfo> FindEdition(const std::vector<TEditionInfo>& AEditions, std::string_view AId) {
    std::optional<TEditionInfo> found;
    for (const auto& edition : AEditions) {
        if (edition.Id == AId && (!found || !edition.Embedded)) found = edition;
    }
    return found;
}

std::optional<TEditionInfo> EditionInEffect(const std::vector<TEditionInfo>& AEditions, const TDate& ADate) {
    std::optional<TEditionInfo> best;
    for (const auto& edition : AEditions) {
        if (edition.EffectiveFrom > ADate || ADate > edition.EffectiveTo()) continue;
        if (!best || best->EffectiveFrom < edition.EffectiveFrom ||
            (best->EffectiveFrom == edition.EffectiveFrom && best->Embedded)) {
            best = edition;
        }
    }
    return best;
}

std::string NoEditionMessage(const std::vector<TEditionInfo>& AEditions, const TDate& ADate) {
    std::string text = "no installed edition covers " + FormatDate(ADate) + "; installed:";
    for (const auto& edition : AEditions) {
        text += " " + edition.Id + (edition.Embedded ? " embedded" : "") + " (" + FormatDate(edition.EffectiveFrom) +
                " to " + FormatDate(edition.EffectiveTo()) + ")";
        if (&edition != &AEditions.back()) text += ",";
    }
    return text;
}

const std::vector<std::string>& EditionResourceNames() {
    static const std::vector<std::string> names = {"Tabular",          "DIndex",       "EIndex",    "TableOfDrugs",
                                                   "TableOfNeoplasms", "CodeKeywords", "ShortDesc", "Order"};
    return names;
}

TEditionResources::TEditionResources(const TEditionInfo& AEdition, const TResourceProvider& AProgram)
    : FProgram(AProgram) {
    for (const auto& name : EditionResourceNames()) {
        const std::string file = AEdition.Folder + name + ".dzip";
        std::string bytes;
        const TFileRead read = ReadRegularFile(file, bytes, MaxEditionFileBytes);
        if (read != TFileRead::Read) {
            throw std::runtime_error(
                "edition " + AEdition.Id + ": cannot read " + file +
                (read == TFileRead::Missing ? ": it is missing" : ": " + FileReadProblem(read, MaxEditionFileBytes)));
        }
        FFiles.emplace(name, std::move(bytes));
    }
}

std::optional<TResourceBytes> TEditionResources::Find(std::string_view AName) const {
    const auto found = FFiles.find(AName);
    if (found == FFiles.end()) return FProgram.Find(AName);
    return TResourceBytes{reinterpret_cast<const unsigned char*>(found->second.data()), found->second.size()};
}

namespace {

// The embedded edition: the program's own resources, unowned.
class TProgramResources : public TResourceProvider {
public:
    explicit TProgramResources(const TResourceProvider& AProgram) : FProgram(AProgram) {}
    std::optional<TResourceBytes> Find(std::string_view AName) const override { return FProgram.Find(AName); }

private:
    const TResourceProvider& FProgram;
};

}  // namespace

std::unique_ptr<TResourceProvider> OpenEditionResources(const TEditionInfo& AEdition,
                                                        const TResourceProvider& AProgram) {
    if (AEdition.Embedded) return std::make_unique<TProgramResources>(AProgram);
    return std::make_unique<TEditionResources>(AEdition, AProgram);
}

std::string EditionOrderText(const TResourceProvider& AResources) {
    const auto bytes = AResources.Find("Order");
    if (!bytes) throw std::runtime_error("the edition holds no order file");
    return InflateAll(*bytes);
}

std::string RemoveEdition(const std::string& AEditionsRoot, std::string_view AId) {
    const auto editions = ListEditions(AEditionsRoot);
    const auto edition = FindEdition(editions, AId);
    if (!edition) return "no edition " + std::string(AId) + " is installed";
    if (edition->Embedded) return "the embedded edition " + edition->Id + " cannot be removed";
    // Renamed out of sight first, so an interrupted removal never leaves half an edition listed.
    const std::filesystem::path folder = std::filesystem::path(edition->Folder).parent_path();
    const std::filesystem::path doomed = folder.parent_path() / (".removing-" + edition->Id);
    std::error_code error;
    std::filesystem::remove_all(doomed, error);
    std::filesystem::rename(folder, doomed, error);
    if (error) return "cannot remove " + folder.string() + ": " + error.message();
    std::filesystem::remove_all(doomed, error);
    return {};
}
