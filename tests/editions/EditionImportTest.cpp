// Importing published releases: the unchanged 2021 files give the embedded data sets, the
// synthetic FY2022 release (tests/common/SyntheticEdition.h) shows exactly its planned changes,
// and bad input is refused with the file named and the installed editions untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "admin/Statistics.h"
#include "data/EmbeddedResources.h"
#include "editions/EditionDiff.h"
#include "editions/EditionImport.h"
#include "index/IndexLoader.h"
#include "model/CodeResolver.h"
#include "model/TabularLoader.h"
#include "tests/admin/RunProgram.h"
#include "tests/common/SyntheticEdition.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TTempFolder;

fs::path DataDir() {
    return testing_support::SourceDir() / "data";
}

// The synthetic FY2022 release imported once per test binary.
struct TImported2022 {
    TTempFolder root;
    TTempFolder source;
    TImportResult result;
    std::unique_ptr<TResourceProvider> resources;
};

TImported2022& Imported2022() {
    static const std::unique_ptr<TImported2022> imported = [] {
        auto made = std::make_unique<TImported2022>();
        WriteReleaseFiles(made->source.Path(), Synthetic2022Files(DataDir()));
        made->result = ImportRelease({made->source.Path().string()}, made->root.Path().string(), EmbeddedResources());
        if (made->result.Status == TImportStatus::Installed)
            made->resources = OpenEditionResources(made->result.Edition, EmbeddedResources());
        return made;
    }();
    return *imported;
}

std::string Inflated(const TResourceProvider& provider, const char* name) {
    const auto bytes = provider.Find(name);
    return bytes ? InflateAll(*bytes) : std::string("(missing)");
}

void LoadTabular(const std::string& text, TChapterList& chapters) {
    TIntroduction introduction;
    TLoadStatus status;
    std::istringstream source(text);
    ASSERT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Done);
}

std::string OrderListing(const TChapterList& chapters) {
    std::string text;
    for (const auto& chapter : chapters)
        for (const auto& section : chapter->FSubList)
            for (const auto& category : section->FCodeList) AppendOrderLines(*category, text, "\n");
    return text;
}

// Every file and folder under a root with its contents, to prove nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = "(folder)";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        files[fs::relative(entry.path(), root).string()] = bytes;
    }
    return files;
}

// An installed FY2022 edition as far as an import can tell: its folder and manifest.
void InstallStandIn(const fs::path& root) {
    TEditionInfo edition;
    edition.Id = "2022";
    edition.Year = 2022;
    edition.EffectiveFrom = {2021, 10, 1};
    fs::create_directories(root / "2022");
    std::ofstream(root / "2022" / EditionManifestName) << FormatManifest(edition);
    std::ofstream(root / "2022" / "Tabular.dzip") << "installed";
}

}  // namespace

TEST(EditionImport, Unchanged2021FilesGiveTheEmbeddedDataSets) {
    TTempFolder root;
    std::vector<int> steps;
    TImportOptions options;
    options.Progress = [&](const TImportProgress& progress) {
        steps.push_back(progress.Step);
        return true;
    };
    const TImportResult result =
        ImportRelease({DataDir().string()}, root.Path().string(), EmbeddedResources(), options);
    ASSERT_EQ(result.Status, TImportStatus::Installed) << result.Message;
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(result.Edition.Id, "2021");
    EXPECT_EQ(FormatDate(result.Edition.EffectiveFrom), "2020-10-01");
    ASSERT_EQ(result.Edition.Notes.size(), 1u);
    EXPECT_NE(result.Edition.Notes[0].find("FY2017"), std::string::npos) << result.Edition.Notes[0];

    const auto installed = OpenEditionResources(result.Edition, EmbeddedResources());
    for (const char* name :
         {"Tabular", "DIndex", "EIndex", "TableOfDrugs", "TableOfNeoplasms", "CodeKeywords", "ShortDesc", "Order"}) {
        const std::string mine = Inflated(*installed, name);
        const std::string embedded = Inflated(EmbeddedResources(), name);
        ASSERT_EQ(mine.size(), embedded.size()) << name;
        EXPECT_TRUE(mine == embedded) << name << " differs from the embedded data set";
    }
    TChapterList importedChapters;
    TChapterList embeddedChapters;
    LoadTabular(Inflated(*installed, "Tabular"), importedChapters);
    LoadTabular(Inflated(EmbeddedResources(), "Tabular"), embeddedChapters);
    std::istringstream imported(OrderListing(importedChapters));
    std::istringstream embedded(OrderListing(embeddedChapters));
    std::string importedLine;
    std::string embeddedLine;
    for (int line = 1; std::getline(embedded, embeddedLine); ++line) {
        ASSERT_TRUE(std::getline(imported, importedLine)) << "the imported listing ends at line " << line;
        ASSERT_EQ(importedLine, embeddedLine) << "line " << line;
    }
    EXPECT_FALSE(std::getline(imported, importedLine)) << "the imported listing is longer: " << importedLine;
}

TEST(EditionImport, SyntheticEditionShowsExactlyThePlannedChanges) {
    const auto& imported = Imported2022();
    ASSERT_EQ(imported.result.Status, TImportStatus::Installed) << imported.result.Message;
    EXPECT_EQ(imported.result.Edition.Id, "2022");
    EXPECT_TRUE(imported.result.Edition.Notes.empty());
    std::string changes;
    for (const auto& change :
         DiffOrderFiles(Inflated(EmbeddedResources(), "Order"), EditionOrderText(*imported.resources)))
        changes += FormatChange(change) + "\n";
    ASSERT_EQ(changes, Synthetic2022Diff);

    // Every line of its order file resolves with its flag.
    TChapterList chapters;
    LoadTabular(Inflated(*imported.resources, "Tabular"), chapters);
    const TCodeResolver resolver(chapters);
    std::size_t reportable = 0;
    std::istringstream order(EditionOrderText(*imported.resources));
    for (std::string line; std::getline(order, line);) {
        const std::string code = line.substr(6, 7);
        const TCodeVerdict expected = line[14] == '1' ? TCodeVerdict::Reportable : TCodeVerdict::NotReportable;
        ASSERT_EQ(resolver.Resolve(code).FVerdict, expected) << line;
        reportable += line[14] == '1';
    }
    EXPECT_EQ(resolver.ReportableCount(), reportable);
    // The "S" the order file leaves out for the left side is refused, not merely unlisted.
    EXPECT_EQ(resolver.Resolve("U10.12XS").FVerdict, TCodeVerdict::SeventhCharNotAllowed);
    EXPECT_EQ(resolver.Resolve("A00.1").FVerdict, TCodeVerdict::NotInEdition);

    // The new title word is a keyword of the new category; the index term and drug row are there.
    const std::string keywords = Inflated(*imported.resources, "CodeKeywords");
    const std::size_t u10 = keywords.find("\r\nU10 ");
    ASSERT_NE(u10, std::string::npos);
    EXPECT_NE(keywords.substr(u10, keywords.find("\r\nU", u10 + 2) - u10).find("Quorvalitis"), std::string::npos);

    const auto mainTerms = [&](const char* name, TDataSet type) {
        std::istringstream source(Inflated(*imported.resources, name));
        TAlphaLetterList letters;
        TLoadStatus status;
        EXPECT_EQ(LoadIndexFromStream(source, type, letters, status), TLoadState::Done);
        std::set<std::string> titles;
        for (const auto& letter : letters)
            for (const auto& term : letter->FMainTermList) titles.insert(term->FTitle);
        return titles;
    };
    EXPECT_EQ(mainTerms("DIndex", TDataSet::DiseaseIndex).count("Quorvalitis"), 1u);
    EXPECT_EQ(mainTerms("TableOfDrugs", TDataSet::DrugTable).count("Quovirasol"), 1u);
}

TEST(EditionImport, BadInputIsRefusedNamingTheFileAndNothingInstalledChanges) {
    const TTempFolder root;
    InstallStandIn(root.Path());
    const std::vector<TReleaseFile> good = Synthetic2022Files(DataDir());
    const auto without = [&](const std::string& prefix) {
        std::vector<TReleaseFile> files;
        for (const auto& file : good)
            if (!file.Name.starts_with(prefix)) files.push_back(file);
        return files;
    };
    const auto with = [&](const std::string& prefix, const std::string& name, std::string text) {
        auto files = without(prefix);
        files.push_back({name, std::move(text)});
        return files;
    };
    const std::string drugText = good[3].Text;
    std::string cutTabular = good[0].Text.substr(0, good[0].Text.size() / 2);

    struct TCase {
        const char* what;
        std::vector<TReleaseFile> files;
        bool zip;
        std::string expected;  // in the message
        TImportStatus status = TImportStatus::Failed;
    };
    std::vector<TCase> cases = {
        {"missing member", without("icd10cm_order"), false, "icd10cm_order_YYYY.txt"},
        {"wrong kind", with("icd10cm_neoplasm", "icd10cm_neoplasm_2022.xml", drugText), false,
         "icd10cm_neoplasm_2022.xml is not a Table of Neoplasms"},
        {"truncated file", with("icd10cm_tabular", "icd10cm_tabular_2022.xml", cutTabular), false,
         "icd10cm_tabular_2022.xml is damaged or cut short"},
        {"two releases", with("none", "icd10cm_tabular_2021.xml", good[0].Text), false, "more than one release"},
        {"zip bomb",
         {{"icd10cm_tabular_2022.xml", std::string(3 * 1024 * 1024, ' ')}},
         true,
         "icd10cm_tabular_2022.xml unpacks to more than 2 MB"},
        {"parent step", {{"../icd10cm_tabular_2022.xml", "x"}}, true, "\"../icd10cm_tabular_2022.xml\""},
        {"installed year", good, true, "edition 2022 is already installed", TImportStatus::AlreadyInstalled},
        {"damaged zip", {}, true, "release.zip is not a readable zip file"},
    };
    const auto before = Snapshot(root.Path());
    for (auto& test : cases) {
        TTempFolder source;
        std::string path = source.Path().string();
        if (test.zip) {
            path = source.File("release.zip");
            WriteReleaseZip(path, test.files.empty() ? good : test.files);
            if (test.files.empty()) fs::resize_file(path, fs::file_size(path) / 2);
        } else {
            WriteReleaseFiles(source.Path(), test.files);
        }
        TImportOptions options;
        if (std::string(test.what) == "zip bomb") options.Limits.MaxMemberBytes = 2 * 1024 * 1024;
        const TImportResult result = ImportRelease({path}, root.Path().string(), EmbeddedResources(), options);
        EXPECT_EQ(result.Status, test.status) << test.what << ": " << result.Message;
        EXPECT_NE(result.Message.find(test.expected), std::string::npos) << test.what << ": " << result.Message;
        EXPECT_TRUE(Snapshot(root.Path()) == before) << test.what << " changed the installed editions";
    }
}

TEST(EditionImport, CancelLeavesTheInstalledEditionAsItWas) {
    const TTempFolder root;
    const TTempFolder source;
    InstallStandIn(root.Path());
    WriteReleaseFiles(source.Path(), Synthetic2022Files(DataDir()));
    const auto before = Snapshot(root.Path());
    for (int cancelAt = 1; cancelAt <= 6; cancelAt += 5) {
        TImportOptions options;
        options.ReplaceInstalled = true;
        options.Progress = [&](const TImportProgress& progress) { return progress.Step < cancelAt; };
        const auto result = ImportRelease({source.Path().string()}, root.Path().string(), EmbeddedResources(), options);
        EXPECT_EQ(result.Status, TImportStatus::Cancelled) << "step " << cancelAt << ": " << result.Message;
        EXPECT_TRUE(Snapshot(root.Path()) == before) << "a cancel at step " << cancelAt << " changed files";
    }
}
