#include "keywords/KeywordSearch.h"

#include <algorithm>

#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "services/TextUtil.h"
#include "userdata/SearchHistory.h"

namespace {

// A search reads the Tabular List and the code-keyword tables: wait for both behind the waiting window.
void WaitForKeywordData() {
    WaitForDataSet(TabularStatus);
    WaitForDataSet(CodeKeywordsStatus);
}

bool MayPrecedeWord(char c) {
    switch (c) {
        case '\t':
        case '\n':
        case ' ':
        case '"':
        case '\'':
        case '(':
        case ',':
        case '-':
        case '[':
        case '{':
            return true;
        default:
            return false;
    }
}

bool MayFollowWord(char c) {
    switch (c) {
        case '\t':
        case '\n':
        case '\r':
        case ' ':
        case '"':
        case '\'':
        case ')':
        case ',':
        case '-':
        case ']':
        case '}':
            return true;
        default:
            return false;
    }
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char HyphenAsBlank(char c) {
    return c == '-' ? ' ' : c;
}

// Whole-word search; with foldText the text is read as if upper-cased (ASCII letters), which spares
// building an upper-cased copy of every note line.
bool FindWholeWordIn(std::string_view word, std::string_view text, bool foldText) {
    if (word.empty() || word.size() > text.size()) return false;
    std::size_t from = 0;
    while (from + word.size() <= text.size()) {
        std::size_t found = std::string_view::npos;
        for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
            std::size_t k = 0;
            while (k < word.size() && (foldText ? UpperAscii(text[i + k]) : text[i + k]) == word[k]) ++k;
            if (k == word.size()) {
                found = i;
                break;
            }
        }
        if (found == std::string_view::npos) return false;
        const std::size_t after = found + word.size();
        const bool startOk = found == 0 || MayPrecedeWord(text[found - 1]);
        const bool endOk = after == text.size() || MayFollowWord(text[after]);
        if (startOk && endOk) return true;
        from = after;
    }
    return false;
}

bool FindWholeWordOrJoinedIn(std::string_view word, std::string_view text, bool foldText) {
    if (FindWholeWordIn(word, text, foldText)) return true;
    const std::size_t hyphen = word.find('-');
    if (hyphen == std::string_view::npos) return false;
    std::string joined(word);
    joined.erase(hyphen, 1);
    return FindWholeWordIn(joined, text, foldText);
}

// A keyword folded for matching: upper case, apostrophes dropped ("CROHNS DISEASE" is "Crohn's
// Disease"), a hyphen read as a blank or, for the joined spelling, dropped ("PREECLAMPSIA" is
// "Pre-eclampsia").
std::string FoldKeyword(std::string_view keyword, bool joined) {
    std::string folded;
    folded.reserve(keyword.size());
    for (char c : keyword) {
        if (c == '\'' || (joined && c == '-')) continue;
        folded.push_back(HyphenAsBlank(UpperAscii(c)));
    }
    return folded;
}

// FoldKeyword(entry, joined) == folded, without building the folded entry.
bool FoldedEquals(std::string_view folded, std::string_view entry, bool joined) {
    std::size_t k = 0;
    for (char c : entry) {
        if (c == '\'' || (joined && c == '-')) continue;
        if (k == folded.size() || folded[k] != HyphenAsBlank(UpperAscii(c))) return false;
        ++k;
    }
    return k == folded.size();
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The regular plural rule for a word without irregular forms.
std::string RegularPlural(const std::string& word) {
    const auto cut = [&](std::size_t n) { return word.substr(0, word.size() - n); };
    if (EndsWith(word, "US")) return cut(2) + "I";
    if (EndsWith(word, "IS")) return cut(2) + "ES";
    if (EndsWith(word, "UM")) return cut(2) + "A";
    if (EndsWith(word, "IX")) return cut(2) + "ICES";
    if (EndsWith(word, "CH") || EndsWith(word, "SH")) return word + "ES";
    if (EndsWith(word, "S") || EndsWith(word, "X") || EndsWith(word, "O")) return word + "ES";
    if (word.size() >= 2 && word.back() == 'Y') {
        const char before = word[word.size() - 2];
        const bool letter = before >= 'A' && before <= 'Z';
        if (letter && std::string_view("AEIOU").find(before) == std::string_view::npos) return cut(1) + "IES";
    }
    if (EndsWith(word, "A")) return word + "E";
    return {};
}

// Plural forms of an upper-case word: its irregular forms when the irregular plural set has them,
// otherwise the regular rule and the word + "S".
std::vector<std::string> PluralForms(const std::string& word, const TSpecialKeywordList& specials) {
    std::vector<std::string> forms;
    std::string form1;
    std::string form2;
    const int irregular = FindSpecialPlural(specials, AsciiLower(word), form1, form2);
    if (irregular >= 1) forms.push_back(AsciiUpper(form1));
    if (irregular == 2) forms.push_back(AsciiUpper(form2));
    if (irregular > 0) return forms;
    std::string plural = RegularPlural(word);
    if (!plural.empty()) forms.push_back(std::move(plural));
    if (!EndsWith(word, "S")) forms.push_back(word + "S");
    return forms;
}

// The singulars an upper-case word may be the plural of: irregular ones from the set, then the
// regular rules read backwards ("STONES", "ARTERIES", "CALCULI", "VERTEBRAE").
std::vector<std::string> SingularForms(const std::string& word, const TSpecialKeywordList& specials) {
    std::vector<std::string> forms;
    const std::string lower = AsciiLower(word);
    for (const auto& special : specials) {
        if (special->FSpecial1 == lower || (!special->FSpecial2.empty() && special->FSpecial2 == lower)) {
            forms.push_back(AsciiUpper(special->FKeyWord));
        }
    }
    const auto cut = [&](std::size_t n) { return word.substr(0, word.size() - n); };
    if (word.size() < 3) return forms;
    if (EndsWith(word, "IES")) forms.push_back(cut(3) + "Y");
    if (EndsWith(word, "ICES")) forms.push_back(cut(4) + "IX");
    if (EndsWith(word, "ES")) {
        forms.push_back(cut(2));
        forms.push_back(cut(2) + "IS");
    }
    if (EndsWith(word, "S") && !EndsWith(word, "SS") && !EndsWith(word, "US") && !EndsWith(word, "IS")) {
        forms.push_back(cut(1));
    }
    if (EndsWith(word, "I")) forms.push_back(cut(1) + "US");
    if (EndsWith(word, "AE")) forms.push_back(cut(1));
    return forms;
}

// A typed keyword in every spelling it may match a data-set keyword in: itself and, for a phrase,
// the phrase with its last word in the plural or the singular ("KIDNEY STONES", "KIDNEY STONE").
struct TKeywordForms {
    std::vector<std::string> Blank;   // hyphens read as blanks
    std::vector<std::string> Joined;  // hyphens dropped
    char First = 0;                   // the first letter every form begins with
};

// The first character of a keyword as the folded forms see it.
char FirstFolded(std::string_view keyword) {
    for (char c : keyword) {
        if (c != '\'' && c != '-') return UpperAscii(c);
    }
    return 0;
}

TKeywordForms KeywordForms(const std::string& keyword, const TSpecialKeywordList& specials) {
    std::vector<std::string> spellings{keyword};
    const std::size_t blank = keyword.find_last_of(' ');
    if (blank != std::string::npos && blank + 1 < keyword.size()) {
        const std::string head = keyword.substr(0, blank + 1);
        const std::string last = keyword.substr(blank + 1);
        for (const std::string& form : PluralForms(last, specials)) spellings.push_back(head + form);
        for (const std::string& form : SingularForms(last, specials)) spellings.push_back(head + form);
    }
    TKeywordForms forms;
    forms.First = FirstFolded(keyword);
    for (const std::string& spelling : spellings) {
        forms.Blank.push_back(FoldKeyword(spelling, false));
        forms.Joined.push_back(FoldKeyword(spelling, true));
    }
    return forms;
}

// A data-set keyword matches when it is the typed keyword, a hyphen equal to a blank, apostrophes
// optional, or its joined spelling (hyphens dropped), in any of the typed keyword's forms.
bool FormsMatch(const TKeywordForms& forms, std::string_view entry) {
    // Nearly every keyword of a category differs in its first letter: reject those at once.
    if (FirstFolded(entry) != forms.First) return false;
    for (const std::string& folded : forms.Blank) {
        if (FoldedEquals(folded, entry, false)) return true;
    }
    for (const std::string& folded : forms.Joined) {
        if (FoldedEquals(folded, entry, true)) return true;
    }
    return false;
}

bool NoteKindChosen(TNoteKind kind, TFullTextFlags flags) {
    switch (kind) {
        case TNoteKind::InclusionTerm:
            return (flags & FullTextFlag::Inclusion) != 0;
        case TNoteKind::Includes:
            return (flags & FullTextFlag::Include) != 0;
        case TNoteKind::CodeFirst:
            return (flags & FullTextFlag::CodeFirst) != 0;
        case TNoteKind::CodeAlso:
            return (flags & FullTextFlag::CodeAlso) != 0;
        case TNoteKind::Excludes1:
            return (flags & FullTextFlag::Exclude1) != 0;
        case TNoteKind::Excludes2:
            return (flags & FullTextFlag::Exclude2) != 0;
        default:
            return false;
    }
}

bool KeywordInOwnText(const TCodeInfo& code, std::string_view keyword, TFullTextFlags flags) {
    if ((flags & FullTextFlag::Desc) != 0 && FindWholeWordOrJoinedIn(keyword, code.FDesc, true)) return true;
    for (const auto& item : code.FItemList) {
        if (item->FItemKind != TItemKind::Note) continue;
        const auto* note = static_cast<const TNoteBase*>(item.get());
        if (!NoteKindChosen(note->FKind, flags)) continue;
        for (const std::string& line : note->FNoteList) {
            if (FindWholeWordOrJoinedIn(keyword, line, true)) return true;
        }
    }
    return false;
}

// The trimmed, non-empty keywords of a list, in order.
std::vector<std::string> UsableKeywords(const TStringList& keywords) {
    std::vector<std::string> usable;
    usable.reserve(keywords.size());
    for (const std::string& keyword : keywords) {
        std::string trimmed = TrimBlanks(keyword);
        if (!trimmed.empty()) usable.push_back(std::move(trimmed));
    }
    return usable;
}

bool CodeMatchesFullTextUsable(const TCodeInfo& code, const std::vector<std::string>& keywords, TFullTextFlags flags) {
    for (const std::string& keyword : keywords) {
        if (KeywordInOwnText(code, keyword, flags)) continue;
        bool inSubCode = false;
        for (const auto& subCode : code.FSubCodeList) {
            if (CodeMatchesFullTextUsable(*subCode, keywords, flags)) {
                inSubCode = true;
                break;
            }
        }
        if (!inSubCode) return false;
    }
    return true;
}

// The usable keywords of a list, each in all its forms.
std::vector<TKeywordForms> FormsOf(const TStringList& keywords) {
    std::vector<TKeywordForms> forms;
    for (const std::string& keyword : UsableKeywords(keywords)) {
        forms.push_back(KeywordForms(AsciiUpper(keyword), SpecialKeywordList));
    }
    return forms;
}

bool KeywordsMatchAllForms(const TCodeKeywords* codeKW, const std::vector<TKeywordForms>& keywords) {
    if (codeKW == nullptr) return false;
    const TStringList& entries = codeKW->FKeywords;
    for (const TKeywordForms& keyword : keywords) {
        // Only the keywords beginning with the same letter can match; the sorted list keeps them together.
        const auto [first, last] = KeywordsBeginningWith(entries, keyword.First);
        const bool found = std::any_of(entries.begin() + static_cast<std::ptrdiff_t>(first),
                                       entries.begin() + static_cast<std::ptrdiff_t>(last),
                                       [&](const std::string& entry) { return FormsMatch(keyword, entry); });
        if (!found) return false;
    }
    return true;
}

bool CodeMatchesKeywordForms(const TCodeInfo& code, const std::vector<TKeywordForms>& keywords,
                             const TCodeKeywordsList& list) {
    if (code.FCodeKW == nullptr) code.FCodeKW = FindCodeKeywords(list, code.FCode);
    return KeywordsMatchAllForms(code.FCodeKW, keywords);
}

template <typename Visit>
void ForEachCategory(const TChapterList& chapters, Visit visit) {
    for (const auto& chapter : chapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) visit(*category);
        }
    }
}

void ClearCacheBelow(const TCodeInfo& code) {
    code.FCodeKW = nullptr;
    for (const auto& subCode : code.FSubCodeList) ClearCacheBelow(*subCode);
}

std::string ReplaceAll(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

std::string RemoveAll(std::string text, char what) {
    text.erase(std::remove(text.begin(), text.end(), what), text.end());
    return text;
}

bool AddSpecialForms(const TSpecialKeywordList& specials, const std::string& keyword, TStringList& variants) {
    std::string form1;
    std::string form2;
    const int forms = FindSpecialPlural(specials, AsciiLower(keyword), form1, form2);
    if (forms >= 1) variants.push_back(AsciiUpper(form1));
    if (forms == 2) variants.push_back(AsciiUpper(form2));
    return forms > 0;
}

std::string JoinWithCommas(const TStringList& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : ", ") + item;
    return joined;
}

}  // namespace

struct TKeywordMatcher::TForms {
    std::vector<TKeywordForms> List;
};

TKeywordMatcher::TKeywordMatcher(const TStringList& AKeywords) {
    auto forms = std::make_shared<TForms>();
    forms->List = FormsOf(AKeywords);
    FForms = std::move(forms);
}

bool TKeywordMatcher::Matches(const TCodeKeywords* ACodeKW) const {
    return KeywordsMatchAllForms(ACodeKW, FForms->List);
}

bool KeywordsMatchAll(const TCodeKeywords* ACodeKW, const TStringList& AKeywords) {
    return TKeywordMatcher(AKeywords).Matches(ACodeKW);
}

bool CodeMatchesKeywords(const TCodeInfo& ACode, const TStringList& AKeywords, const TCodeKeywordsList& AList) {
    return CodeMatchesKeywordForms(ACode, FormsOf(AKeywords), AList);
}

bool CodeMatchesFullText(const TCodeInfo& ACode, const TStringList& AKeywords, TFullTextFlags AFlags) {
    return CodeMatchesFullTextUsable(ACode, UsableKeywords(AKeywords), AFlags);
}

bool FindWholeWord(std::string_view AWord, std::string_view AText) {
    return FindWholeWordIn(AWord, AText, false);
}

bool FindWholeWordOrJoined(std::string_view AWord, std::string_view AText) {
    return FindWholeWordOrJoinedIn(AWord, AText, false);
}

TStringList BuildKeywordVariants(const TStringList& ASearchKeyWordsList, const TSpecialKeywordList& ASpecials) {
    TStringList variants;
    for (const std::string& keyword : UsableKeywords(ASearchKeyWordsList)) {
        variants.push_back(keyword);
        if (AddSpecialForms(ASpecials, keyword, variants)) continue;
        std::string base = keyword;
        const bool hasHyphen = keyword.find('-') != std::string::npos;
        const bool hasBlank = keyword.find(' ') != std::string::npos;
        if (hasHyphen || hasBlank) {
            const char separator = hasHyphen ? '-' : ' ';
            variants.push_back(ReplaceAll(keyword, separator, hasHyphen ? ' ' : '-'));
            base = RemoveAll(keyword, separator);
            variants.push_back(base);
            if (AddSpecialForms(ASpecials, base, variants)) continue;
        }
        std::string plural = RegularPlural(base);
        if (!plural.empty()) variants.push_back(std::move(plural));
        if (!EndsWith(base, "S")) variants.push_back(base + "S");
        // A phrase is made plural by its last word: "KIDNEY STONE", "KIDNEY STONES".
        const std::size_t blank = keyword.find_last_of(' ');
        if (blank != std::string::npos && blank + 1 < keyword.size()) {
            for (const std::string& form : PluralForms(keyword.substr(blank + 1), ASpecials)) {
                variants.push_back(keyword.substr(0, blank + 1) + form);
            }
        }
    }
    return variants;
}

void ClearCodeKeywordCache(const TChapterList& AChapters) {
    ForEachCategory(AChapters, [](const TCodeInfo& category) { ClearCacheBelow(category); });
}

void RefreshCodeKeywordCache(const TChapterList& AChapters) {
    // Only the UI thread searches, so one remembered generation is enough.
    static uint32_t cachedGeneration = 0;
    const uint32_t now = KeywordTablesGeneration.load();
    if (now == cachedGeneration) return;
    ClearCodeKeywordCache(AChapters);
    cachedGeneration = now;
}

std::vector<TCodeInfo*> FillResultList(const TChapterList& AChapters, TSearchMode AMode, TFullTextFlags AFlags,
                                       const TStringList& AKeywords, const TCodeKeywordsList& AList) {
    std::vector<TCodeInfo*> results;
    const std::vector<std::string> keywords = UsableKeywords(AKeywords);
    std::vector<TKeywordForms> forms;
    if (AMode == TSearchMode::Keywords) forms = FormsOf(AKeywords);
    ForEachCategory(AChapters, [&](const TCodeInfo& category) {
        bool taken = true;
        if (AMode == TSearchMode::FullText) taken = CodeMatchesFullTextUsable(category, keywords, AFlags);
        if (AMode == TSearchMode::Keywords) taken = CodeMatchesKeywordForms(category, forms, AList);
        if (taken) results.push_back(const_cast<TCodeInfo*>(&category));
    });
    return results;
}

TStringList BlankSeparatedKeywords(std::string_view AText) {
    TStringList words;
    if (AText.find(',') != std::string_view::npos) return words;
    for (const std::string& piece : SplitAt(AsciiUpper(AText), ' ')) {
        std::string word = TrimControls(piece);
        if (!word.empty()) words.push_back(std::move(word));
    }
    if (words.size() < 2) words.clear();
    return words;
}

int CountKeywordMatches(const TChapterList& AChapters, const TStringList& AKeywords, const TCodeKeywordsList& AList) {
    int count = 0;
    const std::vector<TKeywordForms> forms = FormsOf(AKeywords);
    ForEachCategory(AChapters, [&](const TCodeInfo& category) {
        if (CodeMatchesKeywordForms(category, forms, AList)) ++count;
    });
    return count;
}

std::string BuildCountsLine(std::string_view AText, const TKeywordRefList& ARefs) {
    TStringList items = SplitStrict(AText);
    if (!items.empty() && items.back().empty()) items.pop_back();
    std::string line;
    for (const std::string& item : items) {
        std::string piece = std::to_string(GetKeywordRefCount(ARefs, AsciiUpper(TrimBlanks(item))));
        const std::size_t width = Utf8Length(item) + 1;
        if (piece.size() < width) piece.append(width - piece.size(), ' ');
        line += piece;
    }
    return line;
}

TSearchOutcome TKeywordSearchState::RunKeywordSearch(std::string_view AText, bool AFullText, TFullTextFlags AFlags) {
    const std::string text = TrimControls(AText);
    if (text.empty() && !Messages().AskYesNo(EmptyKeywordsQuestion, EmptyKeywordsCaption, false)) {
        return TSearchOutcome::EmptyTextDeclined;
    }
    TFullTextFlags flags = 0;
    if (AFullText) {
        flags = AFlags & FullTextFlag::All;
        if (flags == 0) {
            ShowMessage(NoConditionMessage);
            return TSearchOutcome::NoConditionSelected;
        }
    }
    if (!text.empty()) SearchHistory.Add(text);

    // The variants read the irregular plural set, which the keyword loader fills before the code
    // keywords: wait for the keyword data first.
    WaitForKeywordData();
    FSearchKeyWordsList = SplitStrict(AsciiUpper(text));
    const TSearchMode mode = AFullText                      ? TSearchMode::FullText
                             : !FSearchKeyWordsList.empty() ? TSearchMode::Keywords
                                                            : TSearchMode::ListAll;
    RefreshCodeKeywordCache(ChapterList);
    FResultList = FillResultList(ChapterList, mode, flags, FSearchKeyWordsList);
    FBlankFallbackNote.clear();
    if (FResultList.empty()) {
        // A blank typed where a comma was meant: show what the words find, and say so.
        const TStringList words = BlankSeparatedKeywords(text);
        std::vector<TCodeInfo*> found;
        if (!words.empty()) found = FillResultList(ChapterList, mode, flags, words);
        if (!found.empty()) {
            FBlankFallbackNote = "no keyword " + AsciiUpper(TrimBlanks(text)) + "; showing " + JoinWithCommas(words);
            FSearchKeyWordsList = words;
            FResultList = std::move(found);
        }
    }
    FSearchKeyWordVariantList = BuildKeywordVariants(FSearchKeyWordsList);
    UpdateKeywordCounts(AText, true, AFullText);
    return TSearchOutcome::Done;
}

void TKeywordSearchState::UpdateKeywordCounts(std::string_view AText, bool AAfterSearch, bool AFullText) {
    WaitForKeywordData();
    FCountsLine = BuildCountsLine(AText);
    if (AFullText) {
        FCombined = UnknownCombined;
    } else if (AAfterSearch) {
        FCombined = std::to_string(FResultList.size());
    } else {
        TStringList items = SplitStrict(AsciiUpper(AText));
        if (!items.empty() && items.back().empty()) items.pop_back();
        RefreshCodeKeywordCache(ChapterList);
        FCombined = std::to_string(CountKeywordMatches(ChapterList, items));
    }
}

void TKeywordSearchState::ClearCounts() {
    FCountsLine.clear();
    FCombined = ClearedCombined;
}
