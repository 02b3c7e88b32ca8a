#include "keywords/KeywordPrompt.h"

#include <algorithm>

#include "keywords/KeywordSearch.h"
#include "keywords/KeywordSpelling.h"
#include "model/CodeLookup.h"
#include "services/DataSets.h"
#include "services/TextUtil.h"

namespace {

std::string JoinLines(const TStringList& items) {
    std::string joined;
    for (const std::string& item : items) {
        joined += item;
        joined += '\n';
    }
    return joined;
}

}  // namespace

void SplitKeywordInput(std::string_view AText, std::string& ABefore, std::string& AWord) {
    ABefore.clear();
    AWord.clear();
    if (AText.empty()) return;
    const std::size_t comma = AText.rfind(',');
    if (comma == std::string_view::npos) {
        AWord = TrimBlanks(AText);
        return;
    }
    ABefore = std::string(AText.substr(0, comma));
    AWord = TrimBlanks(AText.substr(comma + 1));
}

std::string InsertPromptKeyword(std::string_view AText, std::string_view AKeyword) {
    std::string before;
    std::string word;
    SplitKeywordInput(AText, before, word);
    if (before.empty()) return std::string(AKeyword) + ",";
    return before + "," + std::string(AKeyword) + ",";
}

namespace {

char FoldForPrefix(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    return c == '-' ? ' ' : c;
}

// The American spelling of the beginning of a British word: "ae" and "oe" read as "e" ("haem",
// "oesoph"); the word itself otherwise.
std::string AmericanPrefix(const std::string& AWord) {
    std::string american;
    for (std::size_t i = 0; i < AWord.size(); ++i) {
        const char c = AWord[i];
        const char next = i + 1 < AWord.size() ? AWord[i + 1] : '\0';
        const bool pairFirst = (c == 'a' || c == 'A' || c == 'o' || c == 'O') && (next == 'e' || next == 'E');
        if (!pairFirst) american.push_back(c);
    }
    return american;
}

// AWord begins AKeyword when both are read joined: letter case ignored, blanks, hyphens and
// apostrophes skipped ("xr" begins "X-Ray", "crohns" begins "Crohn's Disease").
bool JoinedPrefixMatches(std::string_view AWord, std::string_view AKeyword) {
    const auto skipped = [](char c) { return c == ' ' || c == '-' || c == '\''; };
    std::size_t k = 0;
    for (char c : AWord) {
        if (skipped(c)) continue;
        while (k < AKeyword.size() && skipped(AKeyword[k])) ++k;
        if (k == AKeyword.size() || FoldForPrefix(AKeyword[k]) != FoldForPrefix(c)) return false;
        ++k;
    }
    return true;
}

}  // namespace

bool PromptPrefixMatches(std::string_view AWord, std::string_view AKeyword) {
    // Most keywords differ in the first character: reject them without the general comparison.
    if (!AWord.empty() && !AKeyword.empty() && FoldForPrefix(AWord[0]) != FoldForPrefix(AKeyword[0])) return false;
    if (AKeyword.size() >= AWord.size() &&
        CompareTextPrefix(AWord, AKeyword, static_cast<int>(AWord.size()), true, true) == 0) {
        return true;
    }
    return JoinedPrefixMatches(AWord, AKeyword);
}

bool TSortedKeywordList::Add(const std::string& AText) {
    const auto position = std::lower_bound(
        FItems.begin(), FItems.end(), AText,
        [](const std::string& entry, const std::string& key) { return CompareKeywordText(entry, key) < 0; });
    if (position != FItems.end() && CompareKeywordText(*position, AText) == 0) return false;
    FItems.insert(position, AText);
    return true;
}

void TSortedKeywordList::Assign(const std::vector<const std::string*>& AItems) {
    // Thousands of suggestions are sorted on every new letter: most comparisons are settled by the
    // numeric prefix of the order, the rest by the full comparison.
    std::vector<std::pair<uint64_t, const std::string*>> keyed;
    keyed.reserve(AItems.size());
    for (const std::string* item : AItems) keyed.emplace_back(KeywordSortPrefix(*item), item);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : CompareKeywordText(*a.second, *b.second) < 0;
    });
    keyed.erase(std::unique(keyed.begin(), keyed.end(),
                            [](const auto& a, const auto& b) {
                                return a.first == b.first && CompareKeywordText(*a.second, *b.second) == 0;
                            }),
                keyed.end());
    FItems.clear();
    FItems.reserve(keyed.size());
    for (const auto& item : keyed) FItems.push_back(*item.second);
}

TKeywordPrompt::TKeywordPrompt(TKeywordTables& ATables, const TLoadStatus* ACodesStatus)
    : FCaption(PromptHint), FTables(&ATables), FCodesStatus(ACodesStatus) {}

void TKeywordPrompt::DropStaleFilter() {
    const uint32_t now = FTables->Generation.load();
    if (now == FGeneration) return;
    // The tables were refilled: every pointer into the old records is gone, recompute from scratch.
    FGeneration = now;
    FFiltedCodeKWs.clear();
    FInputedKWs.Clear();
    FGotPromptList.Clear();
    FLastPromptKeyword.clear();
    FLastFilterText.clear();
    FCells.fill(std::string());
}

bool TKeywordPrompt::DataSettled() const {
    return FCodesStatus == nullptr || FCodesStatus->load() != TLoadState::Loading;
}

bool TKeywordPrompt::RefreshPrompt(std::string_view AText, bool AFullText) {
    if (!DataSettled()) return false;
    DropStaleFilter();

    std::string before;
    std::string word;
    SplitKeywordInput(AText, before, word);
    FTmpInputedKWs.Clear();
    for (const std::string& item : SplitStrict(AsciiUpper(before))) FTmpInputedKWs.Add(item);

    // The suggestions depend on the typed word, the mode and, in keyword search, on the keywords
    // before the last comma; a change of any of them recomputes.
    const std::string filterText =
        (AFullText ? "F\n" : "K\n") + (AFullText ? std::string() : JoinLines(FTmpInputedKWs.Items()));
    if (word == FLastPromptKeyword && filterText == FLastFilterText) return false;
    FLastPromptKeyword = word;
    FLastFilterText = filterText;
    ShowPromptPage(1, true, AFullText);
    return true;
}

void TKeywordPrompt::ShowPromptPage(int APage, bool ARecompute, bool AFullText) {
    FCells.fill(std::string());
    if (FLastPromptKeyword.empty()) {
        FGotPromptList.Clear();
        FLastPromptPage = 1;
        return;
    }
    if (ARecompute) {
        FGotPromptList.Clear();
        FLastPromptPage = 1;
        std::vector<const std::string*> found;
        if (!AFullText) FilterCodesByInputedKWs();
        const auto collect = [&](const std::string& typed) {
            if (AFullText || FInputedKWs.Empty()) {
                // Every distinct keyword, as in full text: with no keyword before the comma every
                // category is taken, and their keywords are the distinct ones of the set. The reference
                // list is sorted by upper-cased keyword, so those with the typed first letter lie together.
                const unsigned char first = static_cast<unsigned char>(FoldForPrefix(typed[0]));
                const auto firstOf = [](const std::unique_ptr<TKeywordsRef>& ref) {
                    return static_cast<unsigned char>(FoldForPrefix(ref->FKeyWord.empty() ? '\0' : ref->FKeyWord[0]));
                };
                const bool byFirst = first != ' ';
                auto from = FTables->Refs.begin();
                auto to = FTables->Refs.end();
                if (byFirst) {
                    from = std::partition_point(FTables->Refs.begin(), FTables->Refs.end(),
                                                [&](const auto& ref) { return firstOf(ref) > first; });
                    to = std::partition_point(from, FTables->Refs.end(),
                                              [&](const auto& ref) { return firstOf(ref) == first; });
                }
                for (auto ref = from; ref != to; ++ref) {
                    if (PromptPrefixMatches(typed, (*ref)->FKeyWord)) found.push_back(&(*ref)->FKeyWord);
                }
            } else {
                // A keyword can begin with the typed word only in the part of its record's sorted list
                // that begins with the same letter or digit.
                const char first = typed[0];
                const bool byFirst =
                    (first >= '0' && first <= '9') || (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
                for (const TCodeKeywords* record : FFiltedCodeKWs) {
                    const TStringList& keywords = record->FKeywords;
                    const auto [from, to] = byFirst ? KeywordsBeginningWith(keywords, first)
                                                    : std::pair<std::size_t, std::size_t>{0, keywords.size()};
                    for (std::size_t i = from; i < to; ++i) {
                        if (PromptPrefixMatches(typed, keywords[i])) found.push_back(&keywords[i]);
                    }
                }
            }
        };
        collect(FLastPromptKeyword);
        // A British spelling of four letters or more also offers the keywords of its American one ("haem"
        // offers "Hematuria").
        const std::string american = AmericanPrefix(FLastPromptKeyword);
        if (FLastPromptKeyword.size() >= 4 && american != FLastPromptKeyword) collect(american);
        // A whole word that begins no keyword: the keywords beginning with its corrections ("pnemonia"
        // offers "Pneumonia" and the phrases it begins).
        if (found.empty() && FLastPromptKeyword.size() >= 4) {
            const TKeywordSpelling& spelling = KeywordSpellingOf(*FTables);
            for (const std::string& correction : spelling.Corrections(AsciiUpper(FLastPromptKeyword)))
                collect(correction);
        }
        FGotPromptList.Assign(found);
    }
    if (FGotPromptList.Empty()) return;

    const int pages = PageCount();
    const int page = std::clamp(APage, 1, pages);
    FLastPromptPage = page;
    FCaption = std::to_string(page) + "/" + std::to_string(pages) + "  " + PromptHint;
    const TStringList& items = FGotPromptList.Items();
    const std::size_t first = static_cast<std::size_t>(page - 1) * PromptPageSize;
    for (std::size_t i = 0; i < PromptPageSize && first + i < items.size(); ++i) FCells[i] = items[first + i];
}

void TKeywordPrompt::FilterCodesByInputedKWs() {
    if (!FTmpInputedKWs.Empty()) {
        if (AsciiUpper(JoinLines(FTmpInputedKWs.Items())) != AsciiUpper(JoinLines(FInputedKWs.Items()))) {
            FInputedKWs = FTmpInputedKWs;
            FFiltedCodeKWs.clear();
            const TKeywordMatcher matcher(FInputedKWs.Items(), *FTables);
            for (const auto& record : FTables->Codes) {
                if (matcher.Matches(record.get())) FFiltedCodeKWs.push_back(record.get());
            }
        }
    } else {
        FInputedKWs.Clear();
        if (FFiltedCodeKWs.size() != FTables->Codes.size()) {
            FFiltedCodeKWs.clear();
            for (const auto& record : FTables->Codes) FFiltedCodeKWs.push_back(record.get());
        }
    }
    FTmpInputedKWs.Clear();
}

int TKeywordPrompt::PageCount() const {
    const int count = static_cast<int>(FGotPromptList.Count());
    return count / PromptPageSize + (count % PromptPageSize != 0 ? 1 : 0);
}
