#include "admin/KeywordGenerator.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "keywords/KeywordData.h"
#include "services/TextUtil.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordChar(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '\'';
}

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
    for (char32_t cp : Utf8ToU32(text))
        out.push_back(cp < 0x80 ? static_cast<char>(cp) : static_cast<char>(BaseLetter(cp)));
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

// Cuts hyphens and apostrophes off both ends of a word.
void TrimWordEdges(std::string& word) {
    while (!word.empty() && (word.back() == '-' || word.back() == '\'')) word.pop_back();
    std::size_t lead = 0;
    while (lead < word.size() && (word[lead] == '-' || word[lead] == '\'')) ++lead;
    word.erase(0, lead);
}

// Walks the runs of word characters (letters, digits, hyphens, apostrophes) of a text: AWord gets
// each run, APunctuation is called at each other character that is not a blank.
template <typename TOnWord, typename TOnPunctuation>
void ScanWordRuns(std::string_view asciiText, TOnWord&& AWord, TOnPunctuation&& APunctuation) {
    std::size_t i = 0;
    while (i < asciiText.size()) {
        if (!IsWordChar(asciiText[i])) {
            if (asciiText[i] != ' ' && asciiText[i] != '\t') APunctuation();
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < asciiText.size() && IsWordChar(asciiText[end])) ++end;
        AWord(std::string(asciiText.substr(i, end - i)));
        i = end;
    }
}

// Runs of letters, digits, hyphens and apostrophes; edge hyphens and apostrophes and a possessive
// "'s" are cut away.
std::vector<std::string> SplitWords(std::string_view asciiText) {
    std::vector<std::string> words;
    ScanWordRuns(
        asciiText,
        [&](std::string word) {
            if (word.size() >= 2 && (word.ends_with("'s") || word.ends_with("'S"))) word.resize(word.size() - 2);
            TrimWordEdges(word);
            if (!word.empty()) words.push_back(std::move(word));
        },
        [] {});
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

bool IsVowel(char c) {
    return std::string_view("aeiou").find(c) != std::string_view::npos;
}

// Words that end a phrase without being stop words: laterality and the encounter words of the
// seventh characters would otherwise make "Right Femur" or "Initial Encounter" of every title.
bool BreaksPhrase(const std::string& lowerWord) {
    static const std::unordered_set<std::string> breakers = {
        "right",     "left",        "bilateral",    "unilateral", "initial",   "subsequent", "sequela",
        "sequelae",  "originating", "complicating", "associated", "arising",   "resulting",  "affecting",
        "occurring", "requiring",   "causing",      "including",  "excluding",
    };
    return breakers.count(lowerWord) != 0;
}

// The words of a text for phrase building, a blank string marking a break: punctuation other than
// blanks ends a phrase. A word keeps its inner apostrophes and hyphens ("Crohn's", "Pre-eclampsia").
std::vector<std::string> PhraseTokens(std::string_view asciiText) {
    std::vector<std::string> tokens;
    const auto breakPhrase = [&] {
        if (tokens.empty() || !tokens.back().empty()) tokens.emplace_back();
    };
    ScanWordRuns(
        asciiText,
        [&](std::string word) {
            TrimWordEdges(word);
            if (word.empty())
                breakPhrase();
            else
                tokens.push_back(std::move(word));
        },
        breakPhrase);
    return tokens;
}

// "Infarct, myocardium" and "Infarct,  Myocardium (acute)" alike: lower case, parentheses left out,
// runs of blanks made one, trimmed.
std::string NormalTermText(std::string_view text) {
    std::string out;
    for (char c : OutsideParentheses(text)) {
        if (c == ' ' || c == '\t') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A keyword as compared with an abbreviation's meaning: lower case, a hyphen as a blank, no apostrophes.
std::string MeaningKey(std::string_view keyword) {
    std::string key;
    for (char c : keyword) {
        if (c == '\'') continue;
        if (c == '-') c = ' ';
        if (c == ' ' && (key.empty() || key.back() == ' ')) continue;
        key.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    }
    while (!key.empty() && key.back() == ' ') key.pop_back();
    return key;
}

// Index terms that lead elsewhere spread over at most this many categories; a wider target
// ("see Neoplasm, malignant") would make the term a keyword of far too many.
constexpr std::size_t MaxReferenceCategories = 12;

class TGenerator {
public:
    TGenerator(const TChapterList& chapters, const TKeywordSources& sources)
        : FChapters(chapters),
          FDiseaseIndex(sources.DiseaseIndex),
          FExternalIndex(sources.ExternalIndex),
          FAbbreviations(sources.Abbreviations) {
        for (const std::string& word : sources.StopWords) FStopWords.insert(AsciiLower(word));
    }

    std::string Run() {
        CollectCategories();
        CollectVocabulary();
        for (std::size_t i = 0; i < FCategories.size(); ++i) {
            std::vector<std::string> texts;
            CollectCodeTexts(*FCategories[i], texts);
            for (const std::string& text : texts) {
                AddWords(i, text, true);
                AddPhrases(i, text);
            }
        }
        for (const TAlphaLetterList* index : {FDiseaseIndex, FExternalIndex}) {
            if (index == nullptr) continue;
            CollectIndexTerms(*index);
            CollectReferences(*index);
        }
        ApplyAbbreviations();
        return Arrange();
    }

private:
    const TChapterList& FChapters;
    const TAlphaLetterList* FDiseaseIndex;
    const TAlphaLetterList* FExternalIndex;
    const std::vector<TAbbreviation>& FAbbreviations;
    std::unordered_set<std::string> FStopWords;
    std::vector<const TCodeInfo*> FCategories;
    std::unordered_map<std::string, std::size_t> FCategoryIndex;
    std::unordered_set<std::string> FVocabulary;                   // lower-cased words of all texts
    std::unordered_set<std::string> FNames;                        // lower-cased stop words that are also names
    std::set<std::string>* FCapture = nullptr;                     // while set, Use only collects keys here
    std::map<std::string, std::map<std::string, int>> FSpellings;  // lower case -> spelling -> uses
    std::vector<std::set<std::string>> FKeys;                      // per category: lower-cased keywords
    std::vector<std::vector<std::string>> FTitleFallback;          // per category: title words

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
        for (const TAlphaLetterList* index : {FDiseaseIndex, FExternalIndex}) {
            if (index == nullptr) continue;
            for (const auto& letter : *index) {
                for (const auto& term : letter->FMainTermList) CollectTermTitles(*term, texts);
            }
        }
        for (const std::string& text : texts) {
            for (const std::string& word : SplitWords(ToAscii(text))) FVocabulary.insert(AsciiLower(word));
        }
        for (const TAlphaLetterList* index : {FDiseaseIndex, FExternalIndex}) {
            if (index == nullptr) continue;
            for (const auto& letter : *index) {
                for (const auto& term : letter->FMainTermList) CollectNames(*term);
            }
        }
    }

    // Index titles are written in lower case apart from their first letter and names: a stop word
    // capitalised further on is a name ("Langdon Down syndrome", "bundle of His"), and may stand in a
    // keyword when a text writes it capitalised ("Down syndrome").
    void CollectNames(const TTerm& term) {
        const std::string title = ToAscii(OutsideParentheses(term.FTitle));
        if (title.find(':') == std::string::npos) {
            const std::vector<std::string> words = SplitWords(title);
            for (std::size_t k = 1; k < words.size(); ++k) {
                const std::string& word = words[k];
                const bool capitalised =
                    word.size() >= 2 && word[0] >= 'A' && word[0] <= 'Z' &&
                    std::none_of(word.begin() + 1, word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
                if (capitalised && FStopWords.count(AsciiLower(word)) != 0) FNames.insert(AsciiLower(word));
            }
        }
        for (const auto& subTerm : term.FSubTermList) CollectNames(*subTerm);
    }

    // A stop word written capitalised that the indexes know as a name.
    bool IsName(const std::string& word) const {
        return !word.empty() && word[0] >= 'A' && word[0] <= 'Z' && FNames.count(AsciiLower(word)) != 0;
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
                for (const auto& def : static_cast<const TSevenCharDef*>(item.get())->FDefList)
                    texts.push_back(def->FDesc);
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
                for (const auto& def : static_cast<const TSevenCharDef*>(item.get())->FDefList)
                    texts.push_back(def->FDesc);
            }
        }
        for (const auto& subCode : code.FSubCodeList) CollectCodeTexts(*subCode, texts);
    }

    bool Acceptable(const std::string& word) const {
        if (word.size() < 2 || !IsAsciiLetter(word[0])) return false;
        // A category code quoted in a note ("(E11.-)") is no search word; "B12" or "G6PD" are.
        if (LooksLikeCodeRange(word) || FCategoryIndex.count(AsciiUpper(word)) != 0) return false;
        return FStopWords.count(AsciiLower(word)) == 0 || IsName(word);
    }

    void Use(std::size_t category, std::string spelling) {
        CapitalizeWords(spelling);
        const std::string key = AsciiLower(spelling);
        if (FCapture != nullptr) {
            FCapture->insert(MeaningKey(key));
            return;
        }
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

    // A word that may stand inside a phrase: no stop word ("type" aside, for "Type 2 Diabetes
    // Mellitus"), no laterality or encounter word, no code.
    bool PhraseWord(const std::string& word) const {
        const std::string lower = AsciiLower(word);
        if (lower == "type" || IsName(word)) return true;
        if (FStopWords.count(lower) != 0 || BreaksPhrase(lower)) return false;
        return !LooksLikeCodeRange(word) && FCategoryIndex.count(AsciiUpper(word)) == 0;
    }

    // A phrase begins with a word of two or more characters that starts with a letter, and ends with
    // a word that starts with a letter and is not "type" ("Hepatitis C" and "Vitamin D" end with one).
    static bool PhraseStart(const std::string& word) { return IsAsciiLetter(word[0]) && word.size() >= 2; }
    static bool PhraseEnd(const std::string& word) { return IsAsciiLetter(word[0]) && AsciiLower(word) != "type"; }

    void UsePhrase(std::size_t category, const std::vector<std::string>& words, std::size_t from, std::size_t to) {
        if (to - from < 2 || !PhraseStart(words[from]) || !PhraseEnd(words[to - 1])) return;
        std::string phrase = words[from];
        for (std::size_t k = from + 1; k < to; ++k) phrase += " " + words[k];
        Use(category, phrase);
    }

    // A run of phrase words of a title gives itself (up to five words) and every shorter ending of
    // two to four words: "Hypertensive heart disease" also gives "Heart Disease", "Unspecified
    // atrial fibrillation" gives "Atrial Fibrillation".
    void AddRunPhrases(std::size_t category, const std::vector<std::string>& run) {
        const std::size_t n = run.size();
        if (n < 2) return;
        if (n <= 5) UsePhrase(category, run, 0, n);
        for (std::size_t length = 2; length <= 4 && length < n; ++length) UsePhrase(category, run, n - length, n);
    }

    void AddPhrasesOf(std::size_t category, std::string_view asciiText) {
        std::vector<std::string> run;
        for (const std::string& token : PhraseTokens(asciiText)) {
            if (!token.empty() && PhraseWord(token)) {
                run.push_back(token);
                continue;
            }
            // "Acute combined systolic and diastolic heart failure": words before "and" or "or"
            // share the noun that follows and make no phrase of their own.
            const std::string lower = AsciiLower(token);
            if (lower != "and" && lower != "or") AddRunPhrases(category, run);
            run.clear();
        }
        AddRunPhrases(category, run);
    }

    // Phrases of a text with its parenthesised words left out ("Nonrheumatic mitral (valve)
    // insufficiency" gives "Mitral Insufficiency") and with them as breaks ("Acute nasopharyngitis
    // [common cold]" gives "Common Cold").
    void AddPhrases(std::size_t category, const std::string& text) {
        const std::string ascii = ToAscii(text);
        AddPhrasesOf(category, OutsideParentheses(ascii));
        if (ascii.find_first_of("([") != std::string::npos) AddPhrasesOf(category, ascii);
    }

    // The words of a term's title for a spoken phrase (parentheses left out, up to AMax words, all of
    // them phrase words), or nothing.
    std::vector<std::string> SpokenWords(std::string_view title, std::size_t max) const {
        std::vector<std::string> words;
        for (const std::string& token : PhraseTokens(ToAscii(OutsideParentheses(title)))) {
            if (token.empty() || !PhraseWord(token)) return {};
            words.push_back(token);
        }
        if (words.size() > max) return {};
        return words;
    }

    // The head of a main term: its title before the first comma ("Disease, diseased" gives Disease).
    std::vector<std::string> HeadWords(const TTerm& mainTerm) const {
        const std::string title = OutsideParentheses(mainTerm.FTitle);
        return SpokenWords(title.substr(0, title.find(',')), 3);
    }

    // A sub-term said before its main term: "Tuberculosis, pulmonary" is "Pulmonary Tuberculosis".
    std::vector<std::string> SpokenPhrase(const TTerm& subTerm, const std::vector<std::string>& head) const {
        if (head.empty()) return {};
        std::vector<std::string> words = SpokenWords(subTerm.FTitle, 3);
        if (words.empty()) return {};
        words.insert(words.end(), head.begin(), head.end());
        return words;
    }

    // Main-term titles of the index entries whose codes fall in a category; the words of their
    // first-level sub-terms and the main term joined with each such sub-term in spoken order.
    void CollectIndexTerms(const TAlphaLetterList& index) {
        for (const auto& letter : index) {
            for (const auto& mainTerm : letter->FMainTermList) {
                std::set<std::size_t> categories;
                CollectTermCategories(*mainTerm, categories);
                if (categories.empty()) continue;
                // "Disease, diseased" or "Infection, infected, infective": the head word before the
                // first comma names the entry; the other forms would spread to every category it reaches.
                std::string title = OutsideParentheses(mainTerm->FTitle);
                title = title.substr(0, title.find(','));
                for (std::size_t category : categories) AddWords(category, title, false);

                const std::vector<std::string> head = HeadWords(*mainTerm);
                for (const auto& subTerm : mainTerm->FSubTermList) {
                    std::set<std::size_t> subCategories;
                    CollectTermCategories(*subTerm, subCategories);
                    if (subCategories.empty()) continue;
                    const std::string subTitle = OutsideParentheses(subTerm->FTitle);
                    const std::vector<std::string> phrase = SpokenPhrase(*subTerm, head);
                    for (std::size_t category : subCategories) {
                        AddWords(category, SubTermWordText(subTitle), false);
                        if (!phrase.empty()) UsePhrase(category, phrase, 0, phrase.size());
                    }
                }
            }
        }
    }

    // The part of an index sub-term whose words become keywords alone: what the sub-term names, its
    // first comma part ("paratyphoidal, current" gives "paratyphoidal"; "current" only qualifies it),
    // without the short words of a several-word name ("el tor" gives nothing: "El" and "Tor" mean
    // nothing alone, the phrases keep them).
    static std::string SubTermWordText(const std::string& subTitle) {
        std::string named = subTitle.substr(0, subTitle.find(','));
        const std::vector<std::string> words = SplitWords(ToAscii(named));
        if (words.size() < 2) return named;
        std::string text;
        for (const std::string& word : words) {
            if (word.size() > 3) text += (text.empty() ? "" : " ") + word;
        }
        return text;
    }

    // The main term an index reference names by its head or whole title ("infarct" or "Infarct,
    // infarction"), then the sub-term of each further comma part; null when a part is not found.
    // Several main terms may share a head ("Fracture, pathological", "Fracture, traumatic"): the
    // first of them in which the whole reference is found.
    static const TTerm* ResolveReference(const std::unordered_map<std::string, std::vector<const TTerm*>>& mainTerms,
                                         std::string_view reference) {
        const std::vector<std::string> parts = SplitAt(reference, ',');
        if (parts.empty()) return nullptr;
        const auto found = mainTerms.find(NormalTermText(parts[0]));
        if (found == mainTerms.end()) return nullptr;
        for (const TTerm* candidate : found->second) {
            const TTerm* term = candidate;
            for (std::size_t k = 1; k < parts.size() && term != nullptr; ++k) {
                const std::string wanted = NormalTermText(parts[k]);
                const TTerm* next = nullptr;
                for (const auto& subTerm : term->FSubTermList) {
                    // "femur" names the sub-term "femur, femoral" too.
                    const std::string title = NormalTermText(subTerm->FTitle);
                    if (title == wanted || title.substr(0, title.find(',')) == wanted) {
                        next = subTerm.get();
                        break;
                    }
                }
                term = next;
            }
            if (term != nullptr) return term;
        }
        return nullptr;
    }

    // "Attack, heart - see Infarct, myocardium": the categories of the term a "see" or "see also"
    // reference leads to get the referring term in spoken order ("Heart Attack"); a main term that
    // refers elsewhere gives its head ("Preeclampsia - see Pre-eclampsia").
    void CollectReferences(const TAlphaLetterList& index) {
        std::unordered_map<std::string, std::vector<const TTerm*>> mainTerms;
        for (const auto& letter : index) {
            for (const auto& mainTerm : letter->FMainTermList) {
                const std::string title = NormalTermText(mainTerm->FTitle);
                const std::string head = title.substr(0, title.find(','));
                mainTerms[title].push_back(mainTerm.get());
                if (head != title) mainTerms[head].push_back(mainTerm.get());
            }
        }
        const auto lead = [&](const TTerm& term, const std::vector<std::string>& phrase) {
            if (phrase.empty()) return;
            for (const std::string* reference : {&term.FSee, &term.FSeeAlso}) {
                if (reference->empty()) continue;
                const TTerm* target = ResolveReference(mainTerms, *reference);
                std::set<std::size_t> categories;
                // A target without codes of its own may refer on ("Fracture, femur, neck - see
                // Fracture, femur, upper end, neck"); a few steps are followed.
                for (int step = 0; target != nullptr && step < 3; ++step) {
                    CollectTermCategories(*target, categories);
                    if (!categories.empty() || target->FSee.empty()) break;
                    target = ResolveReference(mainTerms, target->FSee);
                }
                if (categories.size() > MaxReferenceCategories) continue;
                for (std::size_t category : categories) {
                    if (phrase.size() == 1) {
                        if (Acceptable(phrase[0])) Use(category, phrase[0]);
                    } else {
                        UsePhrase(category, phrase, 0, phrase.size());
                    }
                }
            }
        };
        for (const auto& letter : index) {
            for (const auto& mainTerm : letter->FMainTermList) {
                const std::vector<std::string> head = HeadWords(*mainTerm);
                lead(*mainTerm, head);
                for (const auto& subTerm : mainTerm->FSubTermList) lead(*subTerm, SpokenPhrase(*subTerm, head));
            }
        }
    }

    // The keys (MeaningKey) of the words and phrases of a category's own title, or of the titles of
    // the category and every code below it.
    std::set<std::string> TitleKeys(std::size_t category, bool withSubCodes) {
        std::set<std::string> keys;
        std::vector<const TCodeInfo*> codes{FCategories[category]};
        for (std::size_t k = 0; k < codes.size(); ++k) {
            if (withSubCodes) {
                for (const auto& subCode : codes[k]->FSubCodeList) codes.push_back(subCode.get());
            }
        }
        FCapture = &keys;
        for (const TCodeInfo* code : codes) {
            AddWords(category, code->FDesc, false);
            AddPhrases(category, code->FDesc);
        }
        FCapture = nullptr;
        return keys;
    }

    // An abbreviation or everyday name goes to the categories its meaning names: those whose own
    // title carries all keywords of the meaning; when none does, those whose titles below carry
    // them; only when none does either, every category carrying them among its keywords. So "CAP"
    // (pneumonia) goes to the pneumonia categories, not to every category that mentions a pneumonia.
    void ApplyAbbreviations() {
        if (FAbbreviations.empty()) return;
        std::vector<std::unordered_set<std::string>> carried(FCategories.size());
        std::vector<std::set<std::string>> ownTitle(FCategories.size());
        std::vector<std::set<std::string>> titles(FCategories.size());
        for (std::size_t i = 0; i < FCategories.size(); ++i) {
            for (const std::string& key : FKeys[i]) carried[i].insert(MeaningKey(key));
            ownTitle[i] = TitleKeys(i, false);
            titles[i] = TitleKeys(i, true);
        }
        const auto carriesIn = [](const auto& keys, const std::vector<std::string>& meaning) {
            return std::all_of(meaning.begin(), meaning.end(),
                               [&](const std::string& keyword) { return keys.count(MeaningKey(keyword)) != 0; });
        };
        std::vector<std::pair<std::size_t, std::string>> additions;
        std::string unmatched;
        for (const TAbbreviation& entry : FAbbreviations) {
            for (const auto& meaning : entry.Meanings) {
                std::vector<std::size_t> found;
                for (int tier = 0; tier < 3 && found.empty(); ++tier) {
                    for (std::size_t i = 0; i < FCategories.size(); ++i) {
                        const bool carries = tier == 0   ? carriesIn(ownTitle[i], meaning)
                                             : tier == 1 ? carriesIn(titles[i], meaning)
                                                         : carriesIn(carried[i], meaning);
                        if (carries) found.push_back(i);
                    }
                }
                for (std::size_t i : found) additions.emplace_back(i, entry.Name);
                if (found.empty()) {
                    std::string keywords;
                    for (const std::string& keyword : meaning) keywords += (keywords.empty() ? "" : " + ") + keyword;
                    unmatched += "\nabbreviation line " + std::to_string(entry.Line) + " (" + entry.Name +
                                 "): no category carries " + keywords;
                }
            }
        }
        if (!unmatched.empty()) throw std::runtime_error("meanings that no category carries:" + unmatched);
        for (const auto& [category, name] : additions) Use(category, name);
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
            keywords.erase(
                std::unique(keywords.begin(), keywords.end(),
                            [](const std::string& a, const std::string& b) { return CompareKeywordText(a, b) == 0; }),
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

std::vector<TAbbreviation> ParseAbbreviations(const std::string& AText) {
    std::vector<TAbbreviation> entries;
    std::set<std::string> names;
    int lineNumber = 0;
    for (const std::string& raw : SplitLines(AText)) {
        ++lineNumber;
        const std::string line = TrimControls(raw);
        if (line.empty() || line[0] == '#') continue;
        const auto fail = [&](const std::string& why) {
            throw std::runtime_error("abbreviation line " + std::to_string(lineNumber) + ": " + why + ": " + line);
        };
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) fail("no \"=\"");
        TAbbreviation entry;
        entry.Line = lineNumber;
        entry.Name = TrimBlanks(line.substr(0, equals));
        if (entry.Name.empty() || entry.Name.find(',') != std::string::npos) fail("no name or a comma in it");
        if (!names.insert(AsciiLower(entry.Name)).second) fail("the name is listed twice");
        for (const std::string& meaningText : SplitAt(line.substr(equals + 1), '|')) {
            std::vector<std::string> meaning;
            for (const std::string& keyword : SplitAt(meaningText, '+')) {
                const std::string trimmed = TrimBlanks(keyword);
                if (trimmed.empty() || trimmed.find(',') != std::string::npos)
                    fail("an empty keyword or a comma in one");
                meaning.push_back(trimmed);
            }
            entry.Meanings.push_back(std::move(meaning));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string GenerateCodeKeywordsText(const TChapterList& AChapters, const TKeywordSources& ASources) {
    return TGenerator(AChapters, ASources).Run();
}

std::string GenerateCodeKeywordsText(const TChapterList& AChapters, const TAlphaLetterList* ADiseaseIndex,
                                     const std::vector<std::string>& AStopWords) {
    TKeywordSources sources;
    sources.DiseaseIndex = ADiseaseIndex;
    sources.StopWords = AStopWords;
    return GenerateCodeKeywordsText(AChapters, sources);
}
