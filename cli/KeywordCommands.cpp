// Keyword sub-commands: keyword and full-text search, the suggestion list for a typed text, and
// the generator of the code-keyword set.
#include <cstdio>
#include <string>
#include <vector>

#include "admin/DataPipeline.h"
#include "admin/KeywordGenerator.h"
#include "cli/CliData.h"
#include "cli/Commands.h"
#include "index/IndexLoader.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "keywords/KeywordPrompt.h"
#include "keywords/KeywordSearch.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/FileUtil.h"
#include "services/Messages.h"
#include "services/TextUtil.h"
#include "startup/LoadedData.h"

namespace {

constexpr const char* SearchUsage =
    "  search [--full-text KINDS] TEXT\n"
    "      Categories found by the comma-separated keywords of TEXT, in tabular order, one per line:\n"
    "      code, two blanks, title; then the keywords with their counts in the keyword set and the\n"
    "      combined result. KINDS (full-text search): \"all\" or a comma list of desc, inclusion,\n"
    "      includes, codefirst, codealso, exclude1, exclude2. An empty TEXT lists every category.\n"
    "      A TEXT without commas that finds nothing while its words separated by commas do, shows\n"
    "      their result; standard error then says so (\"no keyword A B; showing A, B\").\n"
    "      Exit 0 found, 1 nothing found, 2 usage error.";
constexpr const char* SuggestUsage =
    "  suggest [--full-text] TEXT\n"
    "      The keyword suggestions for TEXT as typed into the keyword box (keywords beginning with\n"
    "      the word after the last comma, among the categories carrying the keywords before it),\n"
    "      page by page: the page caption, then the grid rows with the cells separated by TABs.\n"
    "      Exit 0 with suggestions, 1 without, 2 usage error.";
constexpr const char* GenerateUsage =
    "  generate-keywords [--no-index] [--abbreviations FILE] STOPWORDS OUTPUT\n"
    "      Writes the code-keyword set generated from the embedded Tabular List (and the disease and\n"
    "      external-cause indexes, unless --no-index) with the stop-word list STOPWORDS\n"
    "      (data/KeywordStopWords.txt) and the abbreviation list FILE (data/KeywordAbbreviations.txt)\n"
    "      to OUTPUT. zendra-datatool regenerate data writes the committed set.";

// Questions get "Yes" (an empty search lists everything); messages go to stderr.
class TCliAnswers : public TMessageHandler {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool AskYesNo(const std::string&, const std::string&, bool) override { return true; }
};

bool LoadEmbeddedKeywords() {
    if (LoadedData().Status[TDataSet::CodeKeywords].load() == TLoadState::Done) return true;  // loaded once per process
    TKeywordTables& tables = LoadedData().Keywords;
    if (auto plurals = OpenEmbeddedDataSet("SpecialKWs")) LoadSpecialKeywords(*plurals, tables.Specials);
    if (auto spellings = OpenEmbeddedDataSet("Spellings")) LoadSpellingList(*spellings, tables.Spellings);
    auto keywords = OpenEmbeddedDataSet("CodeKeywords");
    if (!keywords) {
        std::fprintf(stderr, "the program carries no \"CodeKeywords\" data set\n");
        return false;
    }
    LoadedData().Status[TDataSet::CodeKeywords] = TLoadState::NotStarted;
    return LoadCodeKeywords(*keywords, true, false, true, tables, LoadedData().Status[TDataSet::CodeKeywords]) ==
           TLoadState::Done;
}

bool ParseKinds(const std::string& text, TFullTextFlags& flags) {
    flags = 0;
    for (const std::string& raw : SplitAt(AsciiLower(text), ',')) {
        const std::string kind = TrimBlanks(raw);
        if (kind == "all")
            flags |= FullTextFlag::All;
        else if (kind == "desc")
            flags |= FullTextFlag::Desc;
        else if (kind == "inclusion")
            flags |= FullTextFlag::Inclusion;
        else if (kind == "includes")
            flags |= FullTextFlag::Include;
        else if (kind == "codefirst")
            flags |= FullTextFlag::CodeFirst;
        else if (kind == "codealso")
            flags |= FullTextFlag::CodeAlso;
        else if (kind == "exclude1")
            flags |= FullTextFlag::Exclude1;
        else if (kind == "exclude2")
            flags |= FullTextFlag::Exclude2;
        else
            return false;
    }
    return true;
}

int RunSearch(const std::vector<std::string>& args) {
    bool fullText = false;
    TFullTextFlags flags = 0;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::printf("%s\n", SearchUsage);
            return 0;
        }
        if (args[i] == "--full-text" && i + 1 < args.size()) {
            fullText = true;
            if (!ParseKinds(args[++i], flags)) {
                std::fprintf(stderr, "search: unknown text kind in \"%s\"\n%s\n", args[i].c_str(), SearchUsage);
                return 2;
            }
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() != 1) {
        std::fprintf(stderr, "usage:\n%s\n", SearchUsage);
        return 2;
    }
    TCliAnswers answers;
    TMessageHandler* previous = SetMessageHandler(&answers);
    const bool loaded = LoadEmbeddedTabular() && LoadEmbeddedKeywords();
    if (!loaded) std::fprintf(stderr, "search: a data set did not load completely\n");

    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    TSearchOutcome outcome = state.RunKeywordSearch(rest[0], fullText, flags);
    // An empty text lists every category: asking is the window's business, the command was explicit.
    if (outcome == TSearchOutcome::EmptyTextNeedsConfirmation)
        outcome = state.RunKeywordSearch(rest[0], fullText, flags, true);
    SetMessageHandler(previous);
    if (outcome == TSearchOutcome::NoConditionSelected) std::fprintf(stderr, "search: %s\n", NoConditionMessage);
    if (outcome == TSearchOutcome::NotLoadedYet) std::fprintf(stderr, "search: the keyword data is not loaded\n");
    if (outcome != TSearchOutcome::Done) return 2;
    if (!state.FSearchNote.empty()) std::fprintf(stderr, "%s\n", state.FSearchNote.c_str());

    for (const TCodeInfo* category : state.FResultList) {
        std::printf("%s  %s\n", category->FCode.c_str(), category->FDesc.c_str());
    }
    std::printf("Results: %zu\n", state.FResultList.size());
    for (const std::string& item : state.FSearchKeyWordsList) {
        const std::string keyword = TrimBlanks(item);
        if (!keyword.empty())
            std::printf("Keyword %s: %d\n", keyword.c_str(), KeywordCount(keyword, LoadedData().Keywords));
    }
    std::printf("Counts line: %s\n", state.FCountsLine.c_str());
    std::printf("Combined Result: %s\n", state.FCombined.c_str());
    return state.FResultList.empty() ? 1 : 0;
}

int RunSuggest(const std::vector<std::string>& args) {
    bool fullText = false;
    std::vector<std::string> rest;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::printf("%s\n", SuggestUsage);
            return 0;
        }
        if (arg == "--full-text") {
            fullText = true;
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.size() != 1) {
        std::fprintf(stderr, "usage:\n%s\n", SuggestUsage);
        return 2;
    }
    if (!LoadEmbeddedKeywords()) std::fprintf(stderr, "suggest: the keyword set did not load completely\n");

    TKeywordPrompt prompt(LoadedData().Keywords, &LoadedData().Status[TDataSet::CodeKeywords]);
    prompt.RefreshPrompt(rest[0], fullText);
    if (prompt.FGotPromptList.Empty()) {
        std::printf("No suggestion\n");
        return 1;
    }
    const int pages = prompt.PageCount();
    for (int page = 1; page <= pages; ++page) {
        prompt.ShowPromptPage(page, false, fullText);
        std::printf("%s\n", prompt.FCaption.c_str());
        for (int row = 0; row < PromptRows; ++row) {
            std::string line;
            for (int column = 0; column < PromptColumns; ++column) {
                const std::string& cell = prompt.Cell(column, row);
                if (cell.empty()) break;
                if (column > 0) line += '\t';
                line += cell;
            }
            if (!line.empty()) std::printf("%s\n", line.c_str());
        }
    }
    return 0;
}

int RunGenerate(const std::vector<std::string>& args) {
    bool useIndex = true;
    std::string abbreviationFile;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("%s\n", GenerateUsage);
            return 0;
        }
        if (arg == "--no-index") {
            useIndex = false;
        } else if (arg == "--abbreviations" && i + 1 < args.size()) {
            abbreviationFile = args[++i];
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.size() != 2) {
        std::fprintf(stderr, "usage:\n%s\n", GenerateUsage);
        return 2;
    }
    std::string stopText;
    try {
        stopText = ReadDataFile(rest[0]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "generate-keywords: %s\n", error.what());
        return 1;
    }
    if (!LoadEmbeddedTabular()) {
        std::fprintf(stderr, "generate-keywords: the Tabular List did not load\n");
        return 1;
    }
    if (useIndex && !(LoadEmbeddedIndex(TDataSet::DiseaseIndex) && LoadEmbeddedIndex(TDataSet::ExternalIndex))) {
        std::fprintf(stderr, "generate-keywords: an index did not load\n");
        return 1;
    }
    TKeywordSources sources;
    sources.DiseaseIndex = useIndex ? &LoadedData().Index.DiseaseIndex : nullptr;
    sources.ExternalIndex = useIndex ? &LoadedData().Index.ExternalIndex : nullptr;
    sources.StopWords = ParseStopWords(stopText);
    std::string text;
    try {
        if (!abbreviationFile.empty()) sources.Abbreviations = ParseAbbreviations(ReadDataFile(abbreviationFile));
        text = GenerateCodeKeywordsText(LoadedData().Tabular.Chapters, sources);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "generate-keywords: %s\n", error.what());
        return 1;
    }
    if (!ReplaceFileContents(rest[1], text)) {
        std::fprintf(stderr, "generate-keywords: cannot write %s\n", rest[1].c_str());
        return 1;
    }
    return 0;
}

}  // namespace

std::vector<TCliCommand> KeywordCommands() {
    return {{"search", SearchUsage, RunSearch},
            {"suggest", SuggestUsage, RunSuggest},
            {"generate-keywords", GenerateUsage, RunGenerate}};
}
