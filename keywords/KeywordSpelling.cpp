#include "keywords/KeywordSpelling.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>
#include <tuple>

#include "services/TextUtil.h"

namespace {

bool IsVowel(char c) {
    return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
}

// AE and OE read as E: every occurrence of the two-letter pair APair made its second letter.
std::string DropFirstOfPair(const std::string& text, std::string_view APair) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 1 < text.size() && text[i] == APair[0] && text[i + 1] == APair[1]) continue;
        out.push_back(text[i]);
    }
    return out;
}

// "-our" before one of the endings a word takes: COLOUR, COLOURS, BEHAVIOURAL.
std::string OurToOr(const std::string& word) {
    static constexpr std::array<std::string_view, 5> endings = {"", "S", "ED", "ING", "AL"};
    for (std::string_view ending : endings) {
        const std::string tail = "OUR" + std::string(ending);
        if (word.size() > tail.size() + 1 && word.ends_with(tail)) {
            return word.substr(0, word.size() - tail.size()) + "OR" + std::string(ending);
        }
    }
    return word;
}

// CENTRE, FIBRES, MANOEUVRE: a consonant + "RE" at the end reads "ER".
std::string ReToEr(const std::string& word) {
    for (std::string_view ending : {"RE", "RES"}) {
        if (word.size() < ending.size() + 3 || !word.ends_with(ending)) continue;
        const char before = word[word.size() - ending.size() - 1];
        if (before != 'T' && before != 'B' && before != 'V' && before != 'G') continue;
        return word.substr(0, word.size() - ending.size()) + (ending.size() == 2 ? "ER" : "ERS");
    }
    return word;
}

// PARALYSE, ORGANISED, HOSPITALISATION: the "S" of -ise/-yse is a "Z".
std::string IseToIze(const std::string& word) {
    static constexpr std::array<std::string_view, 6> endings = {"E", "ED", "ES", "ING", "ATION", "ATIONS"};
    for (std::string_view ending : endings) {
        for (char vowel : {'I', 'Y'}) {
            const std::string tail = std::string(1, vowel) + "S" + std::string(ending);
            if (word.size() > tail.size() + 2 && word.ends_with(tail)) {
                std::string american = word;
                american[word.size() - tail.size() + 1] = 'Z';
                return american;
            }
        }
    }
    return word;
}

// Letters of an upper-case word as SoundKey reads them, before doubled letters and vowels are dropped.
std::string SoundLetters(std::string_view word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        const char next = i + 1 < word.size() ? word[i + 1] : '\0';
        if (c == 'P' && next == 'H') {
            out.push_back('F');
            ++i;
        } else if (c == 'C') {
            out.push_back(next == 'E' || next == 'I' || next == 'Y' ? 'S' : 'K');
            if (next == 'K') ++i;
        } else if (c == 'Q') {
            out.push_back('K');
        } else if (c == 'X') {
            out += "KS";
        } else if (c == 'Z') {
            out.push_back('S');
        } else if (c == 'Y') {
            out.push_back('I');
        } else if (c >= 'A' && c <= 'Z') {
            out.push_back(c);
        }
    }
    return out;
}

// One bit for each letter A to Z the word holds.
uint32_t LetterBits(std::string_view word) {
    uint32_t bits = 0;
    for (char c : word) {
        if (c >= 'A' && c <= 'Z') bits |= 1u << (c - 'A');
    }
    return bits;
}

std::string SortedLetters(std::string_view word) {
    std::string letters(word);
    std::sort(letters.begin(), letters.end());
    return letters;
}

}  // namespace

TSpellingList ParseSpellingList(std::string_view AText) {
    TSpellingList list;
    for (const std::string& line : SplitLines(AText)) {
        const std::string trimmed = TrimControls(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        std::vector<std::string> fields;
        for (const std::string& field : SplitAt(AsciiUpper(trimmed), ' ')) {
            if (!field.empty()) fields.push_back(field);
        }
        if (fields.size() == 1) list.Kept.insert(fields[0]);
        if (fields.size() >= 2) list.Pairs.emplace(fields[0], fields[1]);
    }
    return list;
}

void LoadSpellingList(std::istream& ASource, TSpellingList& AList) {
    const std::string text((std::istreambuf_iterator<char>(ASource)), std::istreambuf_iterator<char>());
    AList = ParseSpellingList(text);
}

std::vector<std::string> AmericanSpellings(std::string_view AWord, const TSpellingList& AList) {
    std::vector<std::string> spellings;
    const std::string word(AWord);
    if (AList.Kept.count(word) != 0) return spellings;
    const auto add = [&](const std::string& spelling) {
        if (spelling != word && std::find(spellings.begin(), spellings.end(), spelling) == spellings.end()) {
            spellings.push_back(spelling);
        }
    };
    if (const auto pair = AList.Pairs.find(word); pair != AList.Pairs.end()) add(pair->second);
    // Every rule at once (ANAESTHETISED), then each rule alone, for words that need only one.
    const std::string vowels = DropFirstOfPair(DropFirstOfPair(word, "AE"), "OE");
    add(IseToIze(ReToEr(OurToOr(vowels))));
    add(vowels);
    add(OurToOr(word));
    add(ReToEr(word));
    add(IseToIze(word));
    return spellings;
}

std::string FoldedKeyword(std::string_view AKeyword, bool AJoined) {
    std::string folded;
    folded.reserve(AKeyword.size());
    for (char c : AKeyword) {
        if (c == '\'') continue;
        if (c == '-' || c == ' ' || c == '\t') {
            if (!AJoined && !folded.empty() && folded.back() != ' ') folded.push_back(' ');
            continue;
        }
        folded.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
    }
    while (!folded.empty() && folded.back() == ' ') folded.pop_back();
    return folded;
}

int EditDistance(std::string_view A, std::string_view B, int AMax) {
    const int tooFar = AMax + 1;
    const auto lengthGap = static_cast<int>(A.size() > B.size() ? A.size() - B.size() : B.size() - A.size());
    if (lengthGap > AMax) return tooFar;
    constexpr std::size_t MaxLength = 63;
    if (A.size() > MaxLength || B.size() > MaxLength) return A == B ? 0 : tooFar;
    std::array<int, MaxLength + 1> twoBack{};
    std::array<int, MaxLength + 1> previous{};
    std::array<int, MaxLength + 1> current{};
    for (std::size_t j = 0; j <= B.size(); ++j) previous[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= A.size(); ++i) {
        current[0] = static_cast<int>(i);
        int rowBest = current[0];
        for (std::size_t j = 1; j <= B.size(); ++j) {
            const int cost = A[i - 1] == B[j - 1] ? 0 : 1;
            int value = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && A[i - 1] == B[j - 2] && A[i - 2] == B[j - 1]) {
                value = std::min(value, twoBack[j - 2] + 1);
            }
            current[j] = value;
            rowBest = std::min(rowBest, value);
        }
        if (rowBest > AMax) return tooFar;
        twoBack = previous;
        previous = current;
    }
    return std::min(previous[B.size()], tooFar);
}

std::string SoundKey(std::string_view AWord) {
    // PSORIASIS, PNEUMONIA, KNEE, GNAT, WRIST: the first letter is not heard.
    for (std::string_view silent : {"PS", "PN", "KN", "GN", "WR"}) {
        if (AWord.size() > 2 && AWord.starts_with(silent)) AWord.remove_prefix(1);
    }
    const std::string letters = SoundLetters(AWord);
    std::string key;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const char c = letters[i];
        if (!key.empty() && key.back() == c) continue;
        if (i > 0 && (IsVowel(c) || c == 'H')) continue;
        key.push_back(c);
    }
    return key;
}

TKeywordSpelling::TKeywordSpelling(const TKeywordRefList& ARefs, const TSpellingList& ASpellings)
    : FSpellings(ASpellings) {
    for (const auto& ref : ARefs) {
        const std::string folded = FoldedKeyword(ref->FKeyWord);
        if (folded.empty()) continue;
        FKeywords.insert_or_assign(folded, folded);
        FKeywords.emplace(FoldedKeyword(ref->FKeyWord, true), folded);
        if (const std::size_t blank = folded.find(' '); blank != std::string::npos && blank > 2) {
            const auto [entry, added] = FByInitial.emplace(folded.substr(0, 1) + folded.substr(blank), folded);
            if (!added && entry->second != folded) entry->second.clear();
        }
        for (const std::string& word : SplitAt(folded, ' ')) {
            if (!word.empty()) FWords[word] += ref->FRefCount;
        }
    }
    for (const auto& [word, uses] : FWords) {
        if (FByLength.size() <= word.size()) {
            FByLength.resize(word.size() + 1);
            FLettersByLength.resize(word.size() + 1);
        }
        FByLength[word.size()].push_back(&word);
        FLettersByLength[word.size()].push_back(LetterBits(word));
        FBySound[SoundKey(word)].push_back(&word);
    }
}

bool TKeywordSpelling::IsKeyword(std::string_view AFolded) const {
    return FKeywords.count(std::string(AFolded)) != 0;
}

std::string TKeywordSpelling::KeywordFor(std::string_view AFolded) const {
    const auto found = FKeywords.find(std::string(AFolded));
    return found == FKeywords.end() ? std::string() : found->second;
}

std::string TKeywordSpelling::KeywordForInitial(std::string_view AFolded) const {
    const auto found = FByInitial.find(std::string(AFolded));
    return found == FByInitial.end() ? std::string() : found->second;
}

bool TKeywordSpelling::IsWord(std::string_view AWord) const {
    return FWords.count(std::string(AWord)) != 0;
}

int32_t TKeywordSpelling::WordUses(std::string_view AWord) const {
    const auto found = FWords.find(std::string(AWord));
    return found == FWords.end() ? 0 : found->second;
}

std::vector<std::string> TKeywordSpelling::Corrections(std::string_view AWord, std::size_t AMax) const {
    std::vector<std::string> corrections;
    const std::string word(AWord);
    if (word.empty() || IsWord(word)) return corrections;
    const auto add = [&](const std::string& candidate) {
        if (IsWord(candidate) && std::find(corrections.begin(), corrections.end(), candidate) == corrections.end()) {
            corrections.push_back(candidate);
        }
    };
    for (const std::string& american : AmericanSpellings(word)) add(american);
    // ALZHEIMERS, PARKINSONS: a possessive typed without its apostrophe.
    if (word.size() > 3 && word.back() == 'S') add(word.substr(0, word.size() - 1));
    if (word.size() < 4 || corrections.size() >= AMax) {
        if (corrections.size() > AMax) corrections.resize(AMax);
        return corrections;
    }

    const int maxDistance = word.size() <= 5 ? 1 : 2;
    const std::string sound = SoundKey(word);
    const std::string letters = SortedLetters(word);
    struct TCandidate {
        const std::string* Word;
        int Distance;
        bool SameSound;
        bool SameLetters;
        bool SameFirst;
        int32_t Uses;
    };
    std::vector<TCandidate> candidates;
    const auto consider = [&](const std::string* candidate, int limit) {
        const int distance = EditDistance(word, *candidate, limit);
        if (distance > limit) return;
        for (const TCandidate& known : candidates) {
            if (known.Word == candidate) return;
        }
        candidates.push_back({candidate, distance, SoundKey(*candidate) == sound, SortedLetters(*candidate) == letters,
                              (*candidate)[0] == word[0], WordUses(*candidate)});
    };
    const std::size_t shortest = word.size() - static_cast<std::size_t>(maxDistance);
    for (std::size_t length = shortest; length <= word.size() + static_cast<std::size_t>(maxDistance); ++length) {
        if (length >= FByLength.size()) break;
        // An edit adds or removes at most two letters from the set a word holds: words whose sets
        // differ in more than twice the distance are skipped without comparing them.
        const uint32_t wordLetters = LetterBits(word);
        for (std::size_t k = 0; k < FByLength[length].size(); ++k) {
            if (std::popcount(FLettersByLength[length][k] ^ wordLetters) > 2 * maxDistance) continue;
            consider(FByLength[length][k], maxDistance);
        }
    }
    // DIAFRAGM, NEFRITIS: letters that sound alike may differ by more than the scaled distance.
    if (const auto alike = FBySound.find(sound); alike != FBySound.end() && sound.size() >= 3) {
        for (const std::string* candidate : alike->second) consider(candidate, maxDistance + 1);
    }
    // Nearest first; a word that sounds the same counts one and a half edits nearer, one of the same
    // letters in another order (ATHSMA, ASTHMA) two; among equals the word more keywords use, then
    // one with the same first letter.
    const auto rank = [](const TCandidate& c) {
        return 2 * c.Distance - (c.SameSound ? 3 : 0) - (c.SameLetters ? 4 : 0);
    };
    std::sort(candidates.begin(), candidates.end(), [&](const TCandidate& a, const TCandidate& b) {
        return std::tuple(rank(a), b.Uses, b.SameFirst, *a.Word) < std::tuple(rank(b), a.Uses, a.SameFirst, *b.Word);
    });
    for (const TCandidate& candidate : candidates) {
        if (corrections.size() >= AMax) break;
        add(*candidate.Word);
    }
    return corrections;
}

std::vector<std::string> TKeywordSpelling::AmericanSpellings(std::string_view AWord) const {
    return ::AmericanSpellings(AWord, FSpellings);
}

const TKeywordSpelling& KeywordSpellingOf(TKeywordTables& ATables) {
    const uint32_t generation = ATables.Generation.load();
    if (ATables.SpellingHelp == nullptr || ATables.SpellingHelpGeneration != generation) {
        ATables.SpellingHelp = std::make_shared<TKeywordSpelling>(ATables.Refs, ATables.Spellings);
        ATables.SpellingHelpGeneration = generation;
    }
    return *ATables.SpellingHelp;
}
