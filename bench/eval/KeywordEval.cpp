// zendra-keyword-eval: how well keyword search finds what coders type, on the embedded data.
//
//   zendra-keyword-eval [--keywords FILE] [--list] EVAL_SET
//       Runs every query of EVAL_SET (lines "query<TAB>accepted categories<TAB>source", "#" starts a
//       comment) through the keyword search as the Tabular Search window does (a text without
//       commas that finds nothing falls back to its words) and prints the recall (a query counts
//       when an accepted category is among the results) and the median number of results, for the
//       whole set and for each class (the first word of the source: chart, abbrev, misspelling, ...).
//       --list prints every query with its result count and whether it was found.
//   zendra-keyword-eval [--keywords FILE] --index-measure
//       The two-word measure of the indexes: every index entry with a code becomes the query
//       "main-term head word, first word of its first-level sub-term"; prints how often the code's
//       category is found and the median number of results, for each index.
//
// --as-typed searches every text as typed, without the fallback to the words of a text without
// commas. --keywords FILE searches a code-keyword set read from FILE instead of the embedded one, so an
// older set (git show REV:data/CodeKeywords2021.txt) can be measured the same way.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/EmbeddedResources.h"
#include "index/IndexLoader.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "keywords/KeywordSearch.h"
#include "model/TabularData.h"
#include "model/TabularLoader.h"
#include "services/Messages.h"
#include "services/Resources.h"
#include "services/TextUtil.h"

namespace {

class TQuietAnswers : public TMessageHandler {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool AskYesNo(const std::string&, const std::string&, bool) override { return false; }
};

// The keyword tables the evaluation searches.
TKeywordTables& Tables() {
    static TKeywordTables tables;
    return tables;
}

TTabularData& Tabular() {
    static TTabularData tabular;
    return tabular;
}

// Their load statuses: both settle before any search.
TLoadStatuses& Statuses() {
    static TLoadStatuses statuses;
    return statuses;
}

TResourceStream OpenSet(const char* name) {
    const auto bytes = EmbeddedResources().Find(name);
    return TResourceStream(bytes ? *bytes : TResourceBytes{});
}

bool LoadData(const std::string& keywordFile) {
    TResourceStream tabular = OpenSet("Tabular");
    if (LoadTabularFromStream(tabular, Tabular(), Statuses()[TDataSet::Tabular]) != TLoadState::Done) return false;
    TResourceStream plurals = OpenSet("SpecialKWs");
    LoadSpecialKeywords(plurals, Tables().Specials);
    TResourceStream spellings = OpenSet("Spellings");
    LoadSpellingList(spellings, Tables().Spellings);
    if (keywordFile.empty()) {
        TResourceStream keywords = OpenSet("CodeKeywords");
        return LoadCodeKeywords(keywords, true, false, true, Tables(), Statuses()[TDataSet::CodeKeywords]) ==
               TLoadState::Done;
    }
    std::ifstream keywords(keywordFile, std::ios::binary);
    if (!keywords) return false;
    return LoadCodeKeywords(keywords, true, false, true, Tables(), Statuses()[TDataSet::CodeKeywords]) ==
           TLoadState::Done;
}

bool LoadIndex(const char* name, TDataSet type, TAlphaLetterList& letters) {
    TResourceStream source = OpenSet(name);
    TLoadStatus status{TLoadState::NotStarted};
    return LoadIndexFromStream(source, type, letters, status) == TLoadState::Done;
}

struct TOutcome {
    bool Found = false;
    std::size_t Results = 0;
};

// Whether the search fell back to the words of a text without commas; off with --as-typed.
bool AllowFallback = true;

TOutcome Search(const std::string& query, const std::set<std::string>& accepted) {
    std::vector<TCodeInfo*> results;
    if (AllowFallback) {
        TKeywordSearchState state(Tabular().Chapters, Tables(), Statuses());
        state.RunKeywordSearch(query, false, 0);
        results = state.FResultList;
    } else {
        results =
            FillResultList(Tabular().Chapters, TSearchMode::Keywords, 0, SplitStrict(AsciiUpper(query)), Tables());
    }
    TOutcome outcome;
    outcome.Results = results.size();
    for (const TCodeInfo* category : results) {
        if (accepted.count(category->FCode) != 0) outcome.Found = true;
    }
    return outcome;
}

double Median(std::vector<std::size_t> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? static_cast<double>(values[middle])
                                  : (static_cast<double>(values[middle - 1]) + static_cast<double>(values[middle])) / 2;
}

void Report(const char* what, std::size_t found, const std::vector<std::size_t>& counts) {
    std::printf("%s: %zu queries, recall %.1f %% (%zu found), median results %.1f\n", what, counts.size(),
                counts.empty() ? 0.0 : 100.0 * static_cast<double>(found) / static_cast<double>(counts.size()), found,
                Median(counts));
}

int RunEvalSet(const std::string& fileName, bool list) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", fileName.c_str());
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::size_t> counts;
    std::size_t found = 0;
    std::map<std::string, std::pair<std::size_t, std::vector<std::size_t>>> byClass;  // found, counts
    int lineNumber = 0;
    for (const std::string& line : SplitLines(text)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = SplitAt(line, '\t');
        if (fields.size() < 3 || TrimBlanks(fields[0]).empty() || TrimBlanks(fields[2]).empty()) {
            std::fprintf(stderr, "%s:%d: expected query, categories and source separated by TABs\n", fileName.c_str(),
                         lineNumber);
            return 2;
        }
        std::set<std::string> accepted;
        std::istringstream codes(fields[1]);
        for (std::string code; codes >> code;) accepted.insert(code);
        const TOutcome outcome = Search(fields[0], accepted);
        counts.push_back(outcome.Results);
        if (outcome.Found) ++found;
        const std::string source = TrimBlanks(fields[2]);
        auto& classCounts = byClass[source.substr(0, source.find_first_of(": "))];
        classCounts.second.push_back(outcome.Results);
        if (outcome.Found) ++classCounts.first;
        if (list) {
            std::printf("%s\t%zu\t%s\t%s\n", outcome.Found ? "found" : "MISSED", outcome.Results, fields[0].c_str(),
                        fields[1].c_str());
        }
    }
    Report("evaluation set", found, counts);
    for (const auto& [name, classCounts] : byClass)
        Report(("  " + name).c_str(), classCounts.first, classCounts.second);
    return 0;
}

std::string FirstWord(std::string_view title) {
    std::string text;
    int depth = 0;
    for (char c : title) {
        if (c == '(' || c == '[')
            ++depth;
        else if ((c == ')' || c == ']') && depth > 0)
            --depth;
        else if (depth == 0)
            text.push_back(c);
    }
    text = TrimBlanks(text.substr(0, text.find(',')));
    return text.substr(0, text.find(' '));
}

void MeasureTerm(const TTerm& term, const std::string& query, std::size_t& found, std::vector<std::size_t>& counts) {
    if (term.FCode.size() >= 3) {
        const TOutcome outcome = Search(query, {term.FCode.substr(0, 3)});
        counts.push_back(outcome.Results);
        if (outcome.Found) ++found;
    }
    for (const auto& subTerm : term.FSubTermList) MeasureTerm(*subTerm, query, found, counts);
}

void MeasureIndex(const char* what, const TAlphaLetterList& letters) {
    std::size_t found = 0;
    std::vector<std::size_t> counts;
    for (const auto& letter : letters) {
        for (const auto& mainTerm : letter->FMainTermList) {
            const std::string head = FirstWord(mainTerm->FTitle);
            if (head.empty()) continue;
            for (const auto& subTerm : mainTerm->FSubTermList) {
                const std::string word = FirstWord(subTerm->FTitle);
                if (word.empty()) continue;
                MeasureTerm(*subTerm, head + "," + word, found, counts);
            }
        }
    }
    Report(what, found, counts);
}

}  // namespace

int main(int argc, char** argv) {
    std::string keywordFile;
    std::string evalSet;
    bool list = false;
    bool indexMeasure = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keywords" && i + 1 < argc)
            keywordFile = argv[++i];
        else if (arg == "--list")
            list = true;
        else if (arg == "--index-measure")
            indexMeasure = true;
        else if (arg == "--as-typed")
            AllowFallback = false;
        else
            evalSet = arg;
    }
    if (evalSet.empty() == !indexMeasure) {
        std::fprintf(stderr,
                     "usage: zendra-keyword-eval [--keywords FILE] [--as-typed] [--list] EVAL_SET | --index-measure\n");
        return 2;
    }
    TQuietAnswers answers;
    SetMessageHandler(&answers);
    if (!LoadData(keywordFile)) {
        std::fprintf(stderr, "the Tabular List or the keyword set did not load\n");
        return 1;
    }
    if (!indexMeasure) return RunEvalSet(evalSet, list);
    TAlphaLetterList disease;
    TAlphaLetterList external;
    if (!LoadIndex("DIndex", TDataSet::DiseaseIndex, disease) ||
        !LoadIndex("EIndex", TDataSet::ExternalIndex, external)) {
        std::fprintf(stderr, "an index did not load\n");
        return 1;
    }
    // The queries hold a comma, so the search as typed is the whole search.
    AllowFallback = false;
    MeasureIndex("disease index", disease);
    MeasureIndex("external-cause index", external);
    return 0;
}
