#include "KeywordGenerator.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "KeywordData.h"
#include "TextUtil.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '\''; }

// Accented Latin letters become their base letter ("Ménière" -> "Meniere"); every other non-ASCII
// character becomes a blank, so the set stays pure ASCII.
char32_t BaseLetter(char32_t cp) {
    static const std::u32string_view from = U"ÀÁÂÃÄÅàáâãäåÇçÈÉÊËèéêëÌÍÎÏìíîïÑñÒÓÔÕÖØòóôõöøÙÚÛÜùúûüÝýÿ";
    static const std::string_view to = "AAAAAAaaaaaaCcEEEEeeeeIIIIiiiiNnOOOOOOooooooUUUUuuuuYyy";
    const std::size_t at = from.find(cp);
    return at == std::u32string_view::npos ? U' ' : static_cast<char32_t>(to[at]);
}

std::string ToAscii(std::string_view text) {
    bool plain = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (plain) return std::string(text);
    std::string out;
    for (char32_t cp : Utf8ToU32(text)) out.push_back(cp < 0x80 ? static_cast<char>(cp) : static_cast<char>(BaseLetter(cp)));
    return out;
}

// "A00-A09", "T36-T50": a range of codes, not a word.
bool LooksLikeCodeRange(std::string_view word) {
    const std::size_t hyphen = word.find('-');
    if (hyphen == std::string_view::npos) return false;
    const auto codeLike = [](std::string_view part) {
        return part.size() >= 3 && IsAsciiLetter(part[0]) && IsAsciiDigit(part[1]);
    };
    return codeLike(word.substr(0, hyphen)) && codeLike(word.substr(hyphen + 1));
}

// Runs of letters, digits, hyphens and apostrophes; edge hyphens and apostrophes and a possessive
// "'s" are cut away.
std::vector<std::string> SplitWords(std::string_view asciiText) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < asciiText.size()) {
        if (!IsWordChar(asciiText[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < asciiText.size() && IsWordChar(asciiText[end])) ++end;
        std::string word(asciiText.substr(i, end - i));
        i = end;
        if (word.size() >= 2 && (word.ends_with("'s") || word.ends_with("'S"))) word.resize(word.size() - 2);
        while (!word.empty() && (word.back() == '-' || word.back() == '\'')) word.pop_back();
        std::size_t lead = 0;
        while (lead < word.size() && (word[lead] == '-' || word[lead] == '\'')) ++lead;
        word.erase(0, lead);
        if (!word.empty()) words.push_back(std::move(word));
    }
    return words;
}

// Text outside parentheses and brackets: an index main term's nonessential modifiers are left out.
std::string OutsideParentheses(std::string_view text) {
    std::string out;
    int depth = 0;
    for (char c : text) {
        if (c == '(' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
            out.push_back(' ');
        } else if (depth == 0) {
            out.push_back(c);
        }
    }
    return out;
}

bool IsVowel(char c) { return std::string_view("aeiou").find(c) != std::string_view::npos; }

class TGenerator {
public:
    TGenerator(const TChapterList& chapters, const TAlphaLetterList* diseaseIndex,
               const std::vector<std::string>& stopWords)
        : FChapters(chapters), FDiseaseIndex(diseaseIndex) {
        for (const std::string& word : stopWords) FStopWords.insert(AsciiLower(word));
    }

    std::string Run() {
        CollectCategories();
        CollectVocabulary();
        for (std::size_t i = 0; i < FCategories.size(); ++i) {
            std::vector<std::string> texts;
            CollectCodeTexts(*FCategories[i], texts);
            for (const std::string& text : texts) AddWords(i, text, true);
        }
        if (FDiseaseIndex != nullptr) CollectIndexTerms();
        return Arrange();
    }

private:
    const TChapterList& FChapters;
    const TAlphaLetterList* FDiseaseIndex;
    std::unordered_set<std::string> FStopWords;
    std::vector<const TCodeInfo*> FCategories;
    std::unordered_map<std::string, std::size_t> FCategoryIndex;
    std::unordered_set<std::string> FVocabulary;                       // lower-cased words of all texts
    std::map<std::string, std::map<std::string, int>> FSpellings;      // lower case -> spelling -> uses
    std::vector<std::set<std::string>> FKeys;                          // per category: lower-cased keywords
    std::vector<std::vector<std::string>> FTitleFallback;              // per category: title words

    void CollectCategories() {
        for (const auto& chapter : FChapters) {
            for (const auto& section : chapter->FSubList) {
                for (const auto& category : section->FCodeList) {
                    FCategoryIndex.emplace(category->FCode, FCategories.size());
                    FCategories.push_back(category.get());
                }
            }
        }
        FKeys.resize(FCategories.size());
        FTitleFallback.resize(FCategories.size());
    }

    // Every text the Tabular List holds, notes of all kinds included: a derived singular is only
    // trusted when the classification itself uses that word.
    void CollectVocabulary() {
        std::vector<std::string> texts;
        for (const TCodeInfo* category : FCategories) CollectAllTexts(*category, texts);
        if (FDiseaseIndex != nullptr) {
            for (const auto& letter : *FDiseaseIndex) {
                for (const auto& term : letter->FMainTermList) CollectTermTitles(*term, texts);
            }
        }
        for (const std::string& text : texts) {
            for (const std::string& word : SplitWords(ToAscii(text))) FVocabulary.insert(AsciiLower(word));
        }
    }

    static void CollectTermTitles(const TTerm& term, std::vector<std::string>& texts) {
        texts.push_back(term.FTitle);
        for (const auto& subTerm : term.FSubTermList) CollectTermTitles(*subTerm, texts);
    }

    static void CollectAllTexts(const TCodeInfo& code, std::vector<std::string>& texts) {
        texts.push_back(code.FDesc);
        for (const auto& item : code.FItemList) {
            if (item->FItemKind == TItemKind::Note) {
                const auto* note = static_cast<const TNoteBase*>(item.get());
                texts.insert(texts.end(), note->FNoteList.begin(), note->FNoteList.end());
            } else if (item->FItemKind == TItemKind::SevenCharDef) {
                for (const auto& def : static_cast<const TSevenCharDef*>(item.get())->FDefList) texts.push_back(def->FDesc);
            }
        }
        for (const auto& subCode : code.FSubCodeList) CollectAllTexts(*subCode, texts);
    }

    // The keyword sources of a code and everything below it: titles, inclusion terms, includes
    // notes, seventh-character notes and definitions.
    static void CollectCodeTexts(const TCodeInfo& code, std::vector<std::string>& texts) {
        texts.push_back(code.FDesc);
        for (const auto& item : code.FItemList) {
            if (item->FItemKind == TItemKind::Note) {
                const auto* note = static_cast<const TNoteBase*>(item.get());
                if (note->FKind == TNoteKind::InclusionTerm || note->FKind == TNoteKind::Includes ||
                    note->FKind == TNoteKind::SevenCharNote) {
                    texts.insert(texts.end(), note->FNoteList.begin(), note->FNoteList.end());
                }
            } else if (item->FItemKind == TItemKind::SevenCharDef) {
                for (const auto& def : static_cast<const TSevenCharDef*>(item.get())->FDefList) texts.push_back(def->FDesc);
            }
        }
        for (const auto& subCode : code.FSubCodeList) CollectCodeTexts(*subCode, texts);
    }

    bool Acceptable(const std::string& word) const {
        if (word.size() < 2 || !IsAsciiLetter(word[0])) return false;
        // A category code quoted in a note ("(E11.-)") is no search word; "B12" or "G6PD" are.
        if (LooksLikeCodeRange(word) || FCategoryIndex.count(AsciiUpper(word)) != 0) return false;
        return FStopWords.count(AsciiLower(word)) == 0;
    }

    void Use(std::size_t category, std::string spelling) {
        CapitalizeWords(spelling);
        const std::string key = AsciiLower(spelling);
        ++FSpellings[key][spelling];
        FKeys[category].insert(key);
    }

    // The singular of a regular plural, when the classification knows that word (or the plural is
    // a vowel + "ys" one such as "X-rays"); empty otherwise.
    std::string Singular(const std::string& word) const {
        const std::string lower = AsciiLower(word);
        const std::size_t n = lower.size();
        if (n < 4 || lower.back() != 's') return {};
        std::string singular;
        bool trustedByForm = false;
        if (lower.ends_with("ies") && n > 4) {
            singular = word.substr(0, n - 3) + (word[n - 3] == 'I' ? "Y" : "y");
        } else if (lower.ends_with("sses") || lower.ends_with("ches") || lower.ends_with("shes") ||
                   lower.ends_with("xes") || lower.ends_with("zes")) {
            singular = word.substr(0, n - 2);
        } else if (!lower.ends_with("ss") && !lower.ends_with("us") && !lower.ends_with("is")) {
            singular = word.substr(0, n - 1);
            trustedByForm = singular.size() >= 3 && AsciiLower(singular).back() == 'y' &&
                            IsVowel(AsciiLower(singular)[singular.size() - 2]);
        } else {
            return {};
        }
        if (trustedByForm || FVocabulary.count(AsciiLower(singular)) != 0) return singular;
        return {};
    }

    void AddWords(std::size_t category, const std::string& text, bool fromTabular) {
        const std::vector<std::string> words = SplitWords(ToAscii(text));
        if (fromTabular && FTitleFallback[category].empty()) {
            for (const std::string& word : words) {
                if (word.size() >= 2 && IsAsciiLetter(word[0])) FTitleFallback[category].push_back(word);
            }
        }
        for (const std::string& word : words) {
            if (!Acceptable(word)) continue;
            Use(category, word);
            const std::string singular = Singular(word);
            if (!singular.empty() && Acceptable(singular)) Use(category, singular);
        }
    }

    // Main-term titles of the disease index entries whose codes fall in a category.
    void CollectIndexTerms() {
        for (const auto& letter : *FDiseaseIndex) {
            for (const auto& mainTerm : letter->FMainTermList) {
                std::set<std::size_t> categories;
                CollectTermCategories(*mainTerm, categories);
                if (categories.empty()) continue;
                // "Disease, diseased" or "Infection, infected, infective": the head word before the
                // first comma names the entry; the other forms would spread to every category it reaches.
                std::string title = OutsideParentheses(mainTerm->FTitle);
                title = title.substr(0, title.find(','));
                for (std::size_t category : categories) AddWords(category, title, false);
            }
        }
    }

    void CollectTermCategories(const TTerm& term, std::set<std::size_t>& categories) const {
        if (term.FCode.size() >= 3) {
            const auto found = FCategoryIndex.find(term.FCode.substr(0, 3));
            if (found != FCategoryIndex.end()) categories.insert(found->second);
        }
        for (const auto& subTerm : term.FSubTermList) CollectTermCategories(*subTerm, categories);
    }

    // The most used spelling of a word; ties go to the smaller text, so the result is stable.
    std::string Spelling(const std::string& key) const {
        const auto& uses = FSpellings.at(key);
        const auto best = std::max_element(uses.begin(), uses.end(), [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second < b.second : a.first > b.first;
        });
        return best->first;
    }

    std::string Arrange() {
        std::string out;
        for (std::size_t i = 0; i < FCategories.size(); ++i) {
            std::vector<std::string> keywords;
            for (const std::string& key : FKeys[i]) keywords.push_back(Spelling(key));
            if (keywords.empty()) {
                // Every word was a stop word: the title words still find the category.
                for (std::string word : FTitleFallback[i]) {
                    CapitalizeWords(word);
                    keywords.push_back(word);
                }
            }
            std::sort(keywords.begin(), keywords.end(),
                      [](const std::string& a, const std::string& b) { return CompareKeywordText(a, b) < 0; });
            keywords.erase(std::unique(keywords.begin(), keywords.end(),
                                       [](const std::string& a, const std::string& b) {
                                           return CompareKeywordText(a, b) == 0;
                                       }),
                           keywords.end());
            std::string line;
            for (std::size_t k = 0; k < keywords.size(); ++k) {
                if (k % 4 == 0) {
                    std::string code = k == 0 ? FCategories[i]->FCode : std::string();
                    code.resize(8, ' ');
                    line = code;
                }
                line += " " + keywords[k] + ",";
                if (k % 4 == 3 || k + 1 == keywords.size()) out += line + "\r\n";
            }
        }
        return out;
    }
};

}  // namespace

std::vector<std::string> ParseStopWords(const std::string& AText) {
    std::vector<std::string> words;
    for (const std::string& line : SplitLines(AText)) {
        const std::string word = TrimControls(line);
        if (word.empty() || word[0] == '#') continue;
        words.push_back(AsciiLower(word));
    }
    return words;
}

std::string GenerateCodeKeywordsText(const TChapterList& AChapters, const TAlphaLetterList* ADiseaseIndex,
                                     const std::vector<std::string>& AStopWords) {
    return TGenerator(AChapters, ADiseaseIndex, AStopWords).Run();
}
