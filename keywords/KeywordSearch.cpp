#include "keywords/KeywordSearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "keywords/KeywordSpelling.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/TextUtil.h"

namespace {

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

// A typed keyword's forms grouped by their first letter: a British spelling may begin with another
// letter than the American one (OESOPHAGEAL, ESOPHAGEAL). The keyword matches when any group does.
using TKeywordFormGroups = std::vector<TKeywordForms>;

// The first character of a keyword as the folded forms see it.
char FirstFolded(std::string_view keyword) {
    for (char c : keyword) {
        if (c != '\'' && c != '-') return UpperAscii(c);
    }
    return 0;
}

TKeywordFormGroups KeywordForms(const std::string& keyword, const TKeywordTables& tables) {
    const TSpecialKeywordList& specials = tables.Specials;
    std::vector<std::string> spellings{keyword};
    const std::size_t blank = keyword.find_last_of(' ');
    if (blank != std::string::npos && blank + 1 < keyword.size()) {
        const std::string head = keyword.substr(0, blank + 1);
        const std::string last = keyword.substr(blank + 1);
        for (const std::string& form : PluralForms(last, specials)) spellings.push_back(head + form);
        for (const std::string& form : SingularForms(last, specials)) spellings.push_back(head + form);
    }
    // British and American spellings are one keyword: HAEMATURIA is "Hematuria", COELIAC DISEASE
    // "Celiac Disease", each word in turn read the American way.
    const std::size_t typedSpellings = spellings.size();
    for (std::size_t s = 0; s < typedSpellings; ++s) {
        const std::vector<std::string> words = SplitAt(spellings[s], ' ');
        for (std::size_t w = 0; w < words.size(); ++w) {
            for (const std::string& american : AmericanSpellings(words[w], tables.Spellings)) {
                std::string spelling;
                for (std::size_t k = 0; k < words.size(); ++k)
                    spelling += (k == 0 ? "" : " ") + (k == w ? american : words[k]);
                spellings.push_back(std::move(spelling));
            }
        }
    }
    TKeywordFormGroups groups;
    for (const std::string& spelling : spellings) {
        const char first = FirstFolded(spelling);
        auto group =
            std::find_if(groups.begin(), groups.end(), [first](const TKeywordForms& g) { return g.First == first; });
        if (group == groups.end()) {
            groups.emplace_back();
            groups.back().First = first;
            group = groups.end() - 1;
        }
        group->Blank.push_back(FoldKeyword(spelling, false));
        group->Joined.push_back(FoldKeyword(spelling, true));
    }
    return groups;
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
std::vector<TKeywordFormGroups> FormsOf(const TStringList& keywords, const TKeywordTables& tables) {
    std::vector<TKeywordFormGroups> forms;
    for (const std::string& keyword : UsableKeywords(keywords)) {
        forms.push_back(KeywordForms(AsciiUpper(keyword), tables));
    }
    return forms;
}

bool KeywordsMatchAllForms(const TCodeKeywords* codeKW, const std::vector<TKeywordFormGroups>& keywords) {
    if (codeKW == nullptr) return false;
    const TStringList& entries = codeKW->FKeywords;
    for (const TKeywordFormGroups& keyword : keywords) {
        bool found = false;
        for (const TKeywordForms& group : keyword) {
            // Only the keywords beginning with the same letter can match; the sorted list keeps them together.
            const auto [first, last] = KeywordsBeginningWith(entries, group.First);
            found = std::any_of(entries.begin() + static_cast<std::ptrdiff_t>(first),
                                entries.begin() + static_cast<std::ptrdiff_t>(last),
                                [&](const std::string& entry) { return FormsMatch(group, entry); });
            if (found) break;
        }
        if (!found) return false;
    }
    return true;
}

bool CodeMatchesKeywordForms(const TCodeInfo& code, const std::vector<TKeywordFormGroups>& keywords,
                             const TCodeRecordIndex& records) {
    const auto found = records.find(code.FCode);
    return KeywordsMatchAllForms(found == records.end() ? nullptr : found->second, keywords);
}

template <typename Visit>
void ForEachCategory(const TChapterList& chapters, Visit visit) {
    for (const auto& chapter : chapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) visit(*category);
        }
    }
}

// Whether ARecords were made for these very categories: the same nodes holding the same codes.
bool RecordsFitCategories(const TCategoryRecords& records, const TChapterList& chapters) {
    std::size_t i = 0;
    bool fit = true;
    ForEachCategory(chapters, [&](const TCodeInfo& category) {
        fit = fit && i < records.size() && records[i].Category == &category && records[i].Code == category.FCode;
        ++i;
    });
    return fit && i == records.size();
}

// The record of every category of the list in visiting order, so a search over all categories reads
// them in turn instead of looking each code up. Kept with the tables; made again from the record
// index when their generation moved or another list is searched.
std::shared_ptr<const TCategoryRecords> CategoryRecordsOf(const TChapterList& chapters, const TKeywordTables& tables) {
    const uint32_t generation = tables.Generation.load();
    {
        std::lock_guard lock(tables.RecordIndexMutex);
        std::shared_ptr<const TCategoryRecords> kept = tables.CategoryRecords;
        if (kept != nullptr && tables.CategoryRecordsGeneration == generation && RecordsFitCategories(*kept, chapters))
            return kept;
    }
    const std::shared_ptr<const TCodeRecordIndex> index = CodeRecordsOf(tables);
    auto made = std::make_shared<TCategoryRecords>();
    ForEachCategory(chapters, [&](const TCodeInfo& category) {
        const auto found = index->find(category.FCode);
        made->push_back({&category, category.FCode, found == index->end() ? nullptr : found->second});
    });
    std::lock_guard lock(tables.RecordIndexMutex);
    tables.CategoryRecords = made;
    tables.CategoryRecordsGeneration = generation;
    return made;
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

// Words a chart phrase joins its terms with; a keyword search leaves them out.
bool IsConnectingWord(const std::string& word) {
    static const std::set<std::string, std::less<>> words = {
        "WITH", "WITHOUT", "OF", "DUE", "TO", "AND", "OR", "THE", "IN", "ON", "FOR", "UNSPECIFIED", "NOS", "NEC"};
    return words.count(word) != 0;
}

bool IsNumber(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The words of a chart phrase, upper case: letters and digits; apostrophes dropped ("CROHNS"), every
// other character a separator. "Type II" and "stage III" read as "TYPE 2" and "STAGE 3".
std::vector<std::string> PhraseWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        const char upper = UpperAscii(c);
        if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9')) {
            word.push_back(upper);
        } else if (c != '\'' && !word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    static const std::array<std::pair<std::string_view, std::string_view>, 5> roman = {
        {{"I", "1"}, {"II", "2"}, {"III", "3"}, {"IV", "4"}, {"V", "5"}}};
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i - 1] != "TYPE" && words[i - 1] != "STAGE" && words[i - 1] != "GRADE") continue;
        for (const auto& [numeral, digits] : roman) {
            if (words[i] == numeral) words[i] = digits;
        }
    }
    return words;
}

// The other spellings a phrase of known words may take as a keyword: its last word singular or plural.
std::vector<std::string> PhraseSpellings(const std::string& phrase) {
    std::vector<std::string> spellings{phrase};
    const std::size_t blank = phrase.find_last_of(' ');
    const std::string head = blank == std::string::npos ? std::string() : phrase.substr(0, blank + 1);
    const std::string last = blank == std::string::npos ? phrase : phrase.substr(blank + 1);
    if (last.size() > 3 && last.back() == 'S') spellings.push_back(head + last.substr(0, last.size() - 1));
    if (last.size() > 4 && last.ends_with("IES")) spellings.push_back(head + last.substr(0, last.size() - 3) + "Y");
    if (!IsNumber(last)) spellings.push_back(phrase + "S");
    return spellings;
}

// The keyword of the set that a run of phrase words is, in any of its spellings, or that it names
// with its first word cut to an initial ("E COLI"); empty if none. The words are joined into one
// ("X RAY" as XRAY) only when none of them is a connecting word: "due to E. coli" must not read as TOE.
std::string KeywordOfRun(const TKeywordSpelling& spelling, const std::vector<std::string>& words, std::size_t from,
                         std::size_t count) {
    std::string phrase;
    bool joinable = true;
    for (std::size_t k = from; k < from + count; ++k) {
        phrase += (k == from ? "" : " ") + words[k];
        joinable = joinable && !(count > 1 && IsConnectingWord(words[k]));
    }
    for (const std::string& candidate : PhraseSpellings(phrase)) {
        std::string keyword = spelling.KeywordFor(candidate);
        if (keyword.empty() && joinable) keyword = spelling.KeywordFor(FoldedKeyword(candidate, true));
        if (!keyword.empty()) return keyword;
    }
    if (count > 1 && joinable && words[from].size() == 1) return spelling.KeywordForInitial(phrase);
    return {};
}

// A word no keyword knows replaced by its best correction (American spelling, possessive, nearest
// word); a known word, a number or a connecting word stays.
std::string RepairedWord(const TKeywordSpelling& spelling, const std::string& word) {
    if (IsNumber(word) || IsConnectingWord(word) || spelling.IsWord(word)) return word;
    const std::vector<std::string> corrections = spelling.Corrections(word, 1);
    return corrections.empty() ? word : corrections.front();
}

// A word that is known but begins no keyword (ALZHEIMERS from "Alzheimer's Disease", or a British
// spelling another keyword uses): the keyword its possessive or American form is.
std::string KeywordOfAlternative(const TKeywordSpelling& spelling, const std::string& word) {
    std::vector<std::string> alternatives = spelling.AmericanSpellings(word);
    if (word.size() > 3 && word.back() == 'S')
        alternatives.insert(alternatives.begin(), word.substr(0, word.size() - 1));
    for (const std::string& alternative : alternatives) {
        std::string keyword = spelling.KeywordFor(alternative);
        if (!keyword.empty()) return keyword;
    }
    return {};
}

// The keywords a phrase's words hold, chosen to cover as many words as possible with as few (thus
// as long) keywords as possible: "CHRONIC HEPATITIS C" is CHRONIC, HEPATITIS C rather than CHRONIC
// HEPATITIS and a lone C. A word that begins no keyword is left out, or stands for the keyword its
// possessive or American spelling is.
TStringList CoverWithKeywords(const TKeywordSpelling& spelling, const std::vector<std::string>& words) {
    constexpr std::size_t LongestKeyword = 6;
    const std::size_t n = words.size();
    struct TStep {
        std::size_t Covered = 0;
        std::size_t Keywords = 0;
        std::size_t Length = 1;  // words this step takes
        std::string Keyword;     // empty when the word is left out
    };
    std::vector<TStep> best(n + 1);
    for (std::size_t i = n; i-- > 0;) {
        best[i] = {best[i + 1].Covered, best[i + 1].Keywords, 1, {}};
        const auto consider = [&](std::size_t length, std::string keyword) {
            const TStep& rest = best[i + length];
            const std::size_t covered = rest.Covered + length;
            const std::size_t count = rest.Keywords + 1;
            if (covered > best[i].Covered || (covered == best[i].Covered && count < best[i].Keywords)) {
                best[i] = {covered, count, length, std::move(keyword)};
            }
        };
        bool found = false;
        for (std::size_t length = std::min(LongestKeyword, n - i); length >= 1; --length) {
            if (length == 1 && (IsConnectingWord(words[i]) || IsNumber(words[i]))) break;
            std::string keyword = KeywordOfRun(spelling, words, i, length);
            if (keyword.empty()) continue;
            found = found || length == 1;
            consider(length, std::move(keyword));
        }
        if (!found && !IsConnectingWord(words[i]) && !IsNumber(words[i])) {
            std::string keyword = KeywordOfAlternative(spelling, words[i]);
            if (!keyword.empty()) consider(1, std::move(keyword));
        }
    }
    TStringList keywords;
    for (std::size_t i = 0; i < n; i += best[i].Length) {
        if (!best[i].Keyword.empty() &&
            std::find(keywords.begin(), keywords.end(), best[i].Keyword) == keywords.end()) {
            keywords.push_back(best[i].Keyword);
        }
    }
    return keywords;
}

// The categories that carry most of the keywords, weighted by how specific each keyword is (how
// few categories carry it, how many words it has), best first; those within reach of the best, at
// most ARankedLimit.
std::vector<TCodeInfo*> RankedResults(const TChapterList& chapters, const TStringList& keywords,
                                      const TKeywordTables& tables) {
    std::vector<TCodeInfo*> categories;
    ForEachCategory(chapters,
                    [&](const TCodeInfo& category) { categories.push_back(const_cast<TCodeInfo*>(&category)); });
    std::vector<double> scores(categories.size(), 0.0);
    const std::shared_ptr<const TCategoryRecords> records = CategoryRecordsOf(chapters, tables);
    for (const std::string& keyword : keywords) {
        const std::vector<TKeywordFormGroups> forms = FormsOf(TStringList{keyword}, tables);
        std::vector<std::size_t> carriers;
        for (std::size_t i = 0; i < categories.size(); ++i) {
            if (KeywordsMatchAllForms((*records)[i].Record, forms)) carriers.push_back(i);
        }
        if (carriers.empty()) continue;
        const double words = 1.0 + static_cast<double>(std::count(keyword.begin(), keyword.end(), ' '));
        const double weight =
            words * std::log(1.0 + static_cast<double>(categories.size()) / static_cast<double>(carriers.size()));
        for (std::size_t i : carriers) scores[i] += weight;
    }
    const double best = scores.empty() ? 0.0 : *std::max_element(scores.begin(), scores.end());
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        if (best > 0 && scores[i] >= RankedScoreShare * best) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return scores[a] > scores[b]; });
    if (order.size() > RankedResultLimit) order.resize(RankedResultLimit);
    std::vector<TCodeInfo*> results;
    results.reserve(order.size());
    for (std::size_t i : order) results.push_back(categories[i]);
    return results;
}

}  // namespace

struct TKeywordMatcher::TForms {
    std::vector<TKeywordFormGroups> List;
};

TKeywordMatcher::TKeywordMatcher(const TStringList& AKeywords, const TKeywordTables& ATables) {
    auto forms = std::make_shared<TForms>();
    forms->List = FormsOf(AKeywords, ATables);
    FForms = std::move(forms);
}

bool TKeywordMatcher::Matches(const TCodeKeywords* ACodeKW) const {
    return KeywordsMatchAllForms(ACodeKW, FForms->List);
}

bool KeywordsMatchAll(const TCodeKeywords* ACodeKW, const TStringList& AKeywords, const TKeywordTables& ATables) {
    return TKeywordMatcher(AKeywords, ATables).Matches(ACodeKW);
}

bool CodeMatchesKeywords(const TCodeInfo& ACode, const TStringList& AKeywords, const TKeywordTables& ATables) {
    return CodeMatchesKeywordForms(ACode, FormsOf(AKeywords, ATables), *CodeRecordsOf(ATables));
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

std::vector<TCodeInfo*> FillResultList(const TChapterList& AChapters, TSearchMode AMode, TFullTextFlags AFlags,
                                       const TStringList& AKeywords, const TKeywordTables& ATables) {
    std::vector<TCodeInfo*> results;
    const std::vector<std::string> keywords = UsableKeywords(AKeywords);
    std::vector<TKeywordFormGroups> forms;
    std::shared_ptr<const TCategoryRecords> records;
    if (AMode == TSearchMode::Keywords) {
        forms = FormsOf(AKeywords, ATables);
        records = CategoryRecordsOf(AChapters, ATables);
    }
    std::size_t i = 0;
    ForEachCategory(AChapters, [&](const TCodeInfo& category) {
        bool taken = true;
        if (AMode == TSearchMode::FullText) taken = CodeMatchesFullTextUsable(category, keywords, AFlags);
        if (AMode == TSearchMode::Keywords) taken = KeywordsMatchAllForms((*records)[i].Record, forms);
        if (taken) results.push_back(const_cast<TCodeInfo*>(&category));
        ++i;
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

int CountKeywordMatches(const TChapterList& AChapters, const TStringList& AKeywords, const TKeywordTables& ATables) {
    int count = 0;
    const std::vector<TKeywordFormGroups> forms = FormsOf(AKeywords, ATables);
    const std::shared_ptr<const TCategoryRecords> records = CategoryRecordsOf(AChapters, ATables);
    for (const TCategoryRecord& category : *records) {
        if (KeywordsMatchAllForms(category.Record, forms)) ++count;
    }
    return count;
}

int32_t KeywordCount(std::string_view AKeyword, const TKeywordTables& ATables) {
    const TKeywordRefList& ARefs = ATables.Refs;
    const std::string keyword = AsciiUpper(TrimBlanks(AKeyword));
    const int32_t exact = GetKeywordRefCount(ARefs, keyword);
    if (exact != 0 || keyword.empty()) return exact;
    // XRAY is "X-Ray", CROHNS DISEASE "Crohn's Disease", HAEMATURIA "Hematuria": every keyword of
    // the set that the typed spelling stands for.
    std::vector<std::string> wanted{FoldedKeyword(keyword, true)};
    for (const std::string& american : AmericanSpellings(keyword, ATables.Spellings))
        wanted.push_back(FoldedKeyword(american, true));
    int32_t count = 0;
    for (const auto& ref : ARefs) {
        if (std::find(wanted.begin(), wanted.end(), FoldedKeyword(ref->FKeyWord, true)) != wanted.end()) {
            count += ref->FRefCount;
        }
    }
    return count;
}

std::string BuildCountsLine(std::string_view AText, const TKeywordTables& ATables) {
    TStringList items = SplitStrict(AText);
    if (!items.empty() && items.back().empty()) items.pop_back();
    std::string line;
    for (const std::string& item : items) {
        std::string piece = std::to_string(KeywordCount(item, ATables));
        const std::size_t width = Utf8Length(item) + 1;
        if (piece.size() < width) piece.append(width - piece.size(), ' ');
        line += piece;
    }
    return line;
}

TSearchReading ReadForgivingly(const TChapterList& AChapters, std::string_view AText, const TKeywordSpelling& ASpelling,
                               const TKeywordTables& ATables) {
    TSearchReading reading;
    const std::string text = TrimBlanks(AText);
    if (text.find(',') == std::string::npos) {
        // A blank typed where a comma was meant: the words as they stand, when every one is a keyword.
        reading.Keywords = BlankSeparatedKeywords(text);
        if (!reading.Keywords.empty()) {
            reading.Results = FillResultList(AChapters, TSearchMode::Keywords, 0, reading.Keywords, ATables);
        }
        if (!reading.Results.empty()) return reading;
        // A chart phrase: connecting words out, misspelt words corrected, covered by the longest keywords.
        std::vector<std::string> words = PhraseWords(text);
        for (std::string& word : words) word = RepairedWord(ASpelling, word);
        reading.Keywords = CoverWithKeywords(ASpelling, words);
        if (reading.Keywords.empty()) return reading;
        reading.Results = FillResultList(AChapters, TSearchMode::Keywords, 0, reading.Keywords, ATables);
        if (reading.Results.empty()) {
            reading.Results = RankedResults(AChapters, reading.Keywords, ATables);
            reading.Ranked = !reading.Results.empty();
        }
    } else {
        // Keywords separated by commas stay the keywords: only their misspelt words are corrected.
        bool changed = false;
        for (const std::string& item : SplitStrict(AsciiUpper(text))) {
            const std::string trimmed = TrimBlanks(item);
            if (trimmed.empty()) continue;
            std::string keyword = ASpelling.KeywordFor(FoldedKeyword(trimmed));
            if (keyword.empty()) {
                std::string repaired;
                for (const std::string& word : PhraseWords(trimmed)) {
                    repaired += (repaired.empty() ? "" : " ") + RepairedWord(ASpelling, word);
                }
                keyword = ASpelling.KeywordFor(repaired);
                if (keyword.empty()) keyword = KeywordOfAlternative(ASpelling, repaired);
                if (keyword.empty()) keyword = repaired;
                changed = changed || keyword != FoldedKeyword(trimmed);
            }
            reading.Keywords.push_back(std::move(keyword));
        }
        if (changed) reading.Results = FillResultList(AChapters, TSearchMode::Keywords, 0, reading.Keywords, ATables);
    }
    if (reading.Results.empty()) reading.Keywords.clear();
    return reading;
}

bool KeywordDataSettled(const TLoadStatuses& AStatuses) {
    return AStatuses[TDataSet::Tabular].load() != TLoadState::Loading &&
           AStatuses[TDataSet::CodeKeywords].load() != TLoadState::Loading;
}

TSearchOutcome TKeywordSearchState::RunKeywordSearch(std::string_view AText, bool AFullText, TFullTextFlags AFlags,
                                                     bool AListAllConfirmed) {
    // The variants read the irregular plural set, which the keyword loader fills before the code
    // keywords: nothing is read while either data set is still loading.
    if (!KeywordDataSettled(*FStatuses)) return TSearchOutcome::NotLoadedYet;
    const std::string text = TrimControls(AText);
    FHistoryText.clear();
    if (text.empty() && !AListAllConfirmed) return TSearchOutcome::EmptyTextNeedsConfirmation;
    TFullTextFlags flags = 0;
    if (AFullText) {
        flags = AFlags & FullTextFlag::All;
        if (flags == 0) return TSearchOutcome::NoConditionSelected;
    }
    FHistoryText = text;

    FSearchKeyWordsList = SplitStrict(AsciiUpper(text));
    const TSearchMode mode = AFullText                      ? TSearchMode::FullText
                             : !FSearchKeyWordsList.empty() ? TSearchMode::Keywords
                                                            : TSearchMode::ListAll;
    FResultList = FillResultList(*FChapters, mode, flags, FSearchKeyWordsList, *FTables);
    FSearchNote.clear();
    bool readOtherwise = false;
    if (FResultList.empty() && mode == TSearchMode::Keywords) {
        // Nothing as typed: misspellings, British spellings, possessives and chart phrases are read
        // for what they mean, and the note says what was searched instead.
        TSearchReading reading = ReadForgivingly(*FChapters, text, KeywordSpellingOf(*FTables), *FTables);
        if (!reading.Results.empty()) {
            FSearchNote = "no keyword " + AsciiUpper(TrimBlanks(text)) + "; showing " +
                          JoinWithCommas(reading.Keywords) + (reading.Ranked ? " (closest matches)" : "");
            FSearchKeyWordsList = std::move(reading.Keywords);
            FResultList = std::move(reading.Results);
            readOtherwise = true;
        }
    } else if (FResultList.empty() && mode == TSearchMode::FullText) {
        // A blank typed where a comma was meant: show what the words find, and say so.
        const TStringList words = BlankSeparatedKeywords(text);
        std::vector<TCodeInfo*> found;
        if (!words.empty()) found = FillResultList(*FChapters, mode, flags, words, *FTables);
        if (!found.empty()) {
            FSearchNote = "no keyword " + AsciiUpper(TrimBlanks(text)) + "; showing " + JoinWithCommas(words);
            FSearchKeyWordsList = words;
            FResultList = std::move(found);
        }
    }
    FSearchKeyWordVariantList = BuildKeywordVariants(FSearchKeyWordsList, FTables->Specials);
    // After a reading the counts stand for the keywords actually searched.
    UpdateKeywordCounts(readOtherwise ? JoinWithCommas(FSearchKeyWordsList) : std::string(AText), true, AFullText);
    return TSearchOutcome::Done;
}

bool TKeywordSearchState::UpdateKeywordCounts(std::string_view AText, bool AAfterSearch, bool AFullText) {
    if (!KeywordDataSettled(*FStatuses)) return false;
    FCountsLine = BuildCountsLine(AText, *FTables);
    if (AFullText) {
        FCombined = UnknownCombined;
    } else if (AAfterSearch) {
        FCombined = std::to_string(FResultList.size());
    } else {
        TStringList items = SplitStrict(AsciiUpper(AText));
        if (!items.empty() && items.back().empty()) items.pop_back();
        FCombined = std::to_string(CountKeywordMatches(*FChapters, items, *FTables));
    }
    return true;
}

void TKeywordSearchState::ClearCounts() {
    FCountsLine.clear();
    FCombined = ClearedCombined;
}
