#include "keywords/KeywordData.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iterator>

#include "keywords/KeywordSpelling.h"
#include "services/CsvReader.h"
#include "services/Messages.h"
#include "services/Resources.h"
#include "services/TextUtil.h"

namespace {

constexpr const char* CodeKeywordsFailMessage = "Load Code Keywords File Fail!";

unsigned char FoldLower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 32) : u;
}

unsigned char FoldUpper(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 32) : u;
}

// Code-unit comparison of the upper-cased forms, without building them.
int CompareUpper(std::string_view A, std::string_view B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = FoldUpper(A[i]);
        const unsigned char b = FoldUpper(B[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}

std::string FormatLineMessage(const char* format, int lineNumber, const std::string& line) {
    const int size = std::snprintf(nullptr, 0, format, lineNumber, line.c_str());
    std::string text(static_cast<std::size_t>(std::max(size, 0)) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, lineNumber, line.c_str());
    text.resize(static_cast<std::size_t>(std::max(size, 0)));
    return text;
}

std::string ReadAll(std::istream& source) {
    return std::string(std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>());
}

// Counts keyword items into a descending reference list (see AddKeywordRef) in one pass: new
// keywords are collected by their upper-cased form and merged into the list by Publish.
class TKeywordRefCounter {
public:
    TKeywordRefCounter(TKeywordRefList& list, std::size_t expected) : FList(list) {
        FByKey.reserve(expected + FList.size());
        for (const auto& entry : FList) FByKey.emplace(AsciiUpper(entry->FKeyWord), entry.get());
    }

    void Add(const std::string& keyword) {
        const auto [position, added] = FByKey.emplace(AsciiUpper(keyword), nullptr);
        if (!added) {
            ++position->second->FRefCount;
            return;
        }
        auto entry = std::make_unique<TKeywordsRef>();
        entry->FKeyWord = keyword;
        entry->FRefCount = 1;
        position->second = entry.get();
        FFresh.emplace_back(&position->first, std::move(entry));
    }

    // Puts the new keywords into the list in their places.
    void Publish() {
        if (FFresh.empty()) return;
        // The upper-cased keys are compared as they are: byte order is the order of CompareUpper.
        std::sort(FFresh.begin(), FFresh.end(), [](const auto& a, const auto& b) { return *a.first > *b.first; });
        const auto middle = static_cast<std::ptrdiff_t>(FList.size());
        for (auto& fresh : FFresh) FList.push_back(std::move(fresh.second));
        FFresh.clear();
        if (middle > 0) {
            std::inplace_merge(FList.begin(), FList.begin() + middle, FList.end(),
                               [](const std::unique_ptr<TKeywordsRef>& a, const std::unique_ptr<TKeywordsRef>& b) {
                                   return CompareUpper(a->FKeyWord, b->FKeyWord) > 0;
                               });
        }
    }

private:
    TKeywordRefList& FList;
    std::unordered_map<std::string, TKeywordsRef*> FByKey;
    std::vector<std::pair<const std::string*, std::unique_ptr<TKeywordsRef>>> FFresh;
};

// The body of LoadCodeKeywords on the whole text. ASourceDamaged: the text ended early because the
// source could not be read to its end; the lines read are kept, the status becomes -1.
TLoadState LoadCodeKeywordsText(std::string_view text, bool sourceDamaged, bool categoryOnly, bool multiWordOnly,
                                bool capitalize, TCodeKeywordsList& codeList, TKeywordRefList& refList,
                                TLoadStatus& status) {
    status.store(TLoadState::Loading);
    // The reference counts are gathered in a hash table and sorted into the list once at the end:
    // the same list as inserting item by item, without shifting a list of tens of thousands of
    // entries for every new keyword.
    TKeywordRefCounter counter(refList, text.size() / 16);
    // The records by code, so a code line finds its record without scanning the list.
    std::unordered_map<std::string, TCodeKeywords*> records;
    for (const auto& record : codeList) records.emplace(record->FCode, record.get());
    TCodeKeywords* current = nullptr;
    int lineNumber = 0;
    for (const std::string& line : SplitLines(text)) {
        if (status.load() != TLoadState::Loading) {
            counter.Publish();
            return status.load();
        }
        ++lineNumber;
        if (line.empty()) continue;

        std::string_view keywordText;
        bool codeLine = false;
        if (line[0] == '\t' || line[0] == ' ') {
            if (current == nullptr) {
                ShowMessage(FormatLineMessage("Invalid line %d (no code definition): %s", lineNumber, line));
                continue;
            }
            keywordText = line;
        } else {
            const std::size_t blank = line.find(' ');
            if (blank == std::string::npos || blank + 1 <= 3) continue;
            if (blank + 1 > 4 && line[3] != '.') {
                ShowMessage(FormatLineMessage("Invalid line %d (error code definition): %s", lineNumber, line));
                continue;
            }
            const std::string key = categoryOnly ? line.substr(0, 3) : line.substr(0, blank);
            if (current == nullptr || current->FCode != key) {
                const auto [position, added] = records.emplace(key, nullptr);
                if (added) {
                    codeList.push_back(std::make_unique<TCodeKeywords>(key));
                    position->second = codeList.back().get();
                }
                current = position->second;
            }
            keywordText = std::string_view(line).substr(blank + 1);
            codeLine = true;
        }

        for (std::string& item : SplitKeywordList(keywordText)) {
            if (multiWordOnly) {
                const bool hasBlank = item.find(' ') != std::string::npos;
                const bool hasHyphen = item.find('-') != std::string::npos;
                if (!hasBlank && !(codeLine && hasHyphen)) continue;
            }
            if (capitalize) CapitalizeWords(item);
            current->AddKeyword(item);
            counter.Add(item);
        }
    }
    counter.Publish();
    if (sourceDamaged) {
        ShowMessage(CodeKeywordsFailMessage);
        TLoadState expected = TLoadState::Loading;
        status.compare_exchange_strong(expected, TLoadState::Failed);
        return status.load();
    }
    TLoadState expected = TLoadState::Loading;
    status.compare_exchange_strong(expected, TLoadState::Done);
    return status.load();
}

}  // namespace

bool TCodeKeywords::AddKeyword(const std::string& AKeyword) {
    const auto position = std::lower_bound(
        FKeywords.begin(), FKeywords.end(), AKeyword,
        [](const std::string& entry, const std::string& key) { return CompareKeywordText(entry, key) < 0; });
    if (position != FKeywords.end() && CompareKeywordText(*position, AKeyword) == 0) return false;
    FKeywords.insert(position, AKeyword);
    return true;
}

std::shared_ptr<const TShortDescMap> TShortDescDict::Snapshot() const {
    std::lock_guard lock(FMutex);
    return FMap;
}

bool TShortDescDict::Find(std::string_view ACode, std::string& ADesc) const {
    const auto map = Snapshot();
    if (!map) return false;
    const auto found = map->find(std::string(ACode));
    if (found == map->end()) return false;
    ADesc = found->second;
    return true;
}

void TShortDescDict::Publish(std::shared_ptr<const TShortDescMap> AMap) {
    std::lock_guard lock(FMutex);
    FMap = std::move(AMap);
}

namespace {

bool SkippedInOrder(char c) {
    return c == '-' || c == '\'';
}

}  // namespace

int CompareKeywordText(std::string_view A, std::string_view B) {
    // As a reader files words: hyphens and apostrophes do not count ("Ty-Neg" after "Tylosis"),
    // while a blank ends a word, so a phrase stays beside the word it begins with ("Heart",
    // "Heart Failure", "Heartburn").
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < A.size() && SkippedInOrder(A[i])) ++i;
        while (j < B.size() && SkippedInOrder(B[j])) ++j;
        if (i == A.size() || j == B.size()) break;
        const unsigned char a = FoldLower(A[i]);
        const unsigned char b = FoldLower(B[j]);
        if (a != b) return a < b ? -1 : 1;
        ++i;
        ++j;
    }
    if (i != A.size() || j != B.size()) return i == A.size() ? -1 : 1;
    // Equal so far ("Pre-eclampsia", "Preeclampsia"): every character decides, letter case aside.
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = FoldLower(A[i]);
        const unsigned char b = FoldLower(B[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}

namespace {

// The first character CompareKeywordText orders a keyword by, lower-cased; -1 when it has none.
int SortFirst(std::string_view keyword) {
    for (char c : keyword) {
        if (!SkippedInOrder(c)) return FoldLower(c);
    }
    return -1;
}

}  // namespace

uint64_t KeywordSortPrefix(std::string_view AKeyword) {
    uint64_t prefix = 0;
    int taken = 0;
    for (char c : AKeyword) {
        if (SkippedInOrder(c)) continue;
        prefix = (prefix << 8) | FoldLower(c);
        if (++taken == 8) return prefix;
    }
    return prefix << (8 * (8 - taken));
}

std::pair<std::size_t, std::size_t> KeywordsBeginningWith(const TStringList& ASorted, char AFirst) {
    const int wanted = FoldLower(AFirst);
    const auto first = std::partition_point(ASorted.begin(), ASorted.end(),
                                            [&](const std::string& keyword) { return SortFirst(keyword) < wanted; });
    const auto last = std::partition_point(first, ASorted.end(),
                                           [&](const std::string& keyword) { return SortFirst(keyword) == wanted; });
    return {static_cast<std::size_t>(first - ASorted.begin()), static_cast<std::size_t>(last - ASorted.begin())};
}

void CapitalizeWords(std::string& AText) {
    for (std::size_t i = 0; i < AText.size(); ++i) {
        const char previous = i == 0 ? ' ' : AText[i - 1];
        if ((previous == ' ' || previous == '\t' || previous == '-') && AText[i] >= 'a' && AText[i] <= 'z') {
            AText[i] = static_cast<char>(AText[i] - 32);
        }
    }
}

void AddKeywordRef(TKeywordRefList& AList, const std::string& AKeyword) {
    // Descending order: the insertion point is the first entry whose key is smaller than AKeyword's.
    std::size_t low = 0;
    std::size_t high = AList.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = CompareUpper(AKeyword, AList[middle]->FKeyWord);
        if (order == 0) {
            ++AList[middle]->FRefCount;
            return;
        }
        if (order > 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    auto entry = std::make_unique<TKeywordsRef>();
    entry->FKeyWord = AKeyword;
    entry->FRefCount = 1;
    AList.insert(AList.begin() + static_cast<std::ptrdiff_t>(low), std::move(entry));
}

int32_t GetKeywordRefCount(const TKeywordRefList& AList, std::string_view AKeyword) {
    // The list is sorted descending by the upper-cased keyword and holds each upper-cased keyword
    // once, so halving finds the same entry a linear scan would.
    std::size_t low = 0;
    std::size_t high = AList.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const std::string& entry = AList[middle]->FKeyWord;
        // Callers pass upper case; an argument with small letters equals no upper-cased entry.
        const int order = CompareUpper(AKeyword, entry);
        if (order == 0) return AsciiUpper(entry) == AKeyword ? AList[middle]->FRefCount : 0;
        if (order > 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return 0;
}

TCodeKeywords* FindCodeKeywords(const TCodeKeywordsList& AList, std::string_view ACode) {
    for (const auto& record : AList) {
        if (record->FCode == ACode) return record.get();
    }
    return nullptr;
}

int FindSpecialPlural(const TSpecialKeywordList& AList, std::string_view AKeyword, std::string& AForm1,
                      std::string& AForm2) {
    for (const auto& entry : AList) {
        if (entry->FKeyWord != AKeyword) continue;
        AForm1 = entry->FSpecial1;
        if (entry->FSpecial2.empty()) return 1;
        AForm2 = entry->FSpecial2;
        return 2;
    }
    return 0;
}

TStringList SplitStrict(std::string_view AText) {
    if (AText.empty()) return {};
    return SplitFields(AText);
}

namespace {

std::string_view TrimmedView(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return text.substr(begin, end - begin);
}

}  // namespace

TStringList SplitKeywordList(std::string_view AText) {
    TStringList items;
    if (AText.find('"') == std::string_view::npos) {
        // No quoted item: every comma ends an item (the common case, read without copies).
        std::size_t start = 0;
        while (start <= AText.size()) {
            std::size_t comma = AText.find(',', start);
            if (comma == std::string_view::npos) comma = AText.size();
            const std::string_view item = TrimmedView(AText.substr(start, comma - start));
            if (!item.empty()) items.emplace_back(item);
            start = comma + 1;
        }
        return items;
    }
    for (const std::string& raw : SplitStrict(TrimControls(AText))) {
        std::string item = TrimControls(raw);
        if (!item.empty()) items.push_back(std::move(item));
    }
    return items;
}

TLoadState LoadCodeKeywords(std::istream& ASource, bool ACategoryOnly, bool AMultiWordOnly, bool ACapitalize,
                            TCodeKeywordsList& ACodeList, TKeywordRefList& ARefList, TLoadStatus& AStatus) {
    try {
        const std::string text = ReadAll(ASource);
        // An embedded data set inflated on the fly reports damage through its buffer, not the stream.
        const auto* inflater = dynamic_cast<const TInflateStreamBuf*>(ASource.rdbuf());
        const bool damaged = ASource.bad() || (inflater != nullptr && inflater->Failed());
        return LoadCodeKeywordsText(text, damaged, ACategoryOnly, AMultiWordOnly, ACapitalize, ACodeList, ARefList,
                                    AStatus);
    } catch (const std::exception&) {
        ShowMessage(CodeKeywordsFailMessage);
        AStatus.store(TLoadState::Failed);
        return TLoadState::Failed;
    }
}

TLoadState LoadCodeKeywords(std::istream& ASource, bool ACategoryOnly, bool AMultiWordOnly, bool ACapitalize,
                            TKeywordTables& ATables, TLoadStatus& AStatus) {
    ++ATables.Generation;
    return LoadCodeKeywords(ASource, ACategoryOnly, AMultiWordOnly, ACapitalize, ATables.Codes, ATables.Refs, AStatus);
}

std::shared_ptr<const TCodeRecordIndex> CodeRecordsOf(const TKeywordTables& ATables) {
    std::lock_guard lock(ATables.RecordIndexMutex);
    const uint32_t generation = ATables.Generation.load();
    if (ATables.RecordIndex == nullptr || ATables.RecordIndexGeneration != generation) {
        auto index = std::make_shared<TCodeRecordIndex>();
        index->reserve(ATables.Codes.size());
        for (const auto& record : ATables.Codes) index->emplace(record->FCode, record.get());
        ATables.RecordIndex = std::move(index);
        ATables.RecordIndexGeneration = generation;
    }
    return ATables.RecordIndex;
}

void TKeywordTables::ClearCodes() {
    ++Generation;
    Codes.clear();
    Refs.clear();
}

void TKeywordTables::Clear() {
    ClearCodes();
    Specials.clear();
    Spellings = TSpellingList{};
    ShortDescs.Clear();
}

void LoadSpecialKeywords(std::istream& ASource, TSpecialKeywordList& AList) {
    for (const std::string& line : SplitLines(ReadAll(ASource))) {
        // Fields are split like a keyword list but kept untrimmed: "tomato,tomatoes " keeps its blank.
        const TStringList fields = SplitStrict(line);
        if (fields.size() < 2) continue;
        auto entry = std::make_unique<TKeywordSpecialFormat>();
        entry->FKeyWord = AsciiLower(fields[0]);
        entry->FSpecial1 = AsciiLower(fields[1]);
        if (fields.size() > 2) entry->FSpecial2 = AsciiLower(fields[2]);
        AList.push_back(std::move(entry));
    }
}

void LoadShortDescriptions(std::istream& ASource, TShortDescMap& AMap) {
    for (const std::string& line : SplitLines(ReadAll(ASource))) {
        if (line.size() < 10) continue;
        // A repeated code keeps its first description.
        AMap.emplace(TrimBlanks(std::string_view(line).substr(0, 8)), line.substr(10));
    }
}

void LoadShortDescriptions(std::istream& ASource, TShortDescDict& ADict) {
    auto map = std::make_shared<TShortDescMap>();
    LoadShortDescriptions(ASource, *map);
    ADict.Publish(std::move(map));
}

void LoadKeywordDataSets(TKeywordTables& ATables, TLoadStatus& AStatus) {
    try {
        if (auto plurals = TakeResourceStream("SpecialKWs")) LoadSpecialKeywords(*plurals, ATables.Specials);
    } catch (const std::exception&) {
        // The plural forms only refine highlighting; a search works without them.
    }
    try {
        if (auto spellings = TakeResourceStream("Spellings")) LoadSpellingList(*spellings, ATables.Spellings);
    } catch (const std::exception&) {
        // Without the list the spelling rules alone read British spellings.
    }

    try {
        auto keywords = TakeResourceStream("CodeKeywords");
        if (!keywords) {
            ShowMessage(CodeKeywordsFailMessage);
            AStatus.store(TLoadState::Failed);
        } else {
            LoadCodeKeywords(*keywords, true, false, true, ATables, AStatus);
        }
    } catch (const std::exception&) {
        ShowMessage(CodeKeywordsFailMessage);
        AStatus.store(TLoadState::Failed);
    }

    try {
        if (auto shortDescs = TakeResourceStream("ShortDesc")) LoadShortDescriptions(*shortDescs, ATables.ShortDescs);
    } catch (const std::exception&) {
        // Readers treat every code as one without a short description.
    }
}
