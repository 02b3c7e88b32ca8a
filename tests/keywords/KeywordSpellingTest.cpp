// Spelling help of the keyword search: British spellings, edit distance, sound keys and corrections.
#include <gtest/gtest.h>

#include "keywords/KeywordSpelling.h"

namespace {

TKeywordRefList Refs(std::initializer_list<const char*> keywords) {
    TKeywordRefList refs;
    for (const char* keyword : keywords) AddKeywordRef(refs, keyword);
    return refs;
}

}  // namespace

TEST(KeywordSpelling, BritishSpellingsReadTheAmericanWay) {
    const TSpellingList list = ParseSpellingList("# comment\r\nsulphonamide sulfonamide\r\nexercise\r\n\r\n");
    const std::pair<const char*, const char*> cases[] = {
        {"HAEMATURIA", "HEMATURIA"},
        {"OESOPHAGEAL", "ESOPHAGEAL"},
        {"DIARRHOEA", "DIARRHEA"},
        {"TUMOUR", "TUMOR"},
        {"BEHAVIOURAL", "BEHAVIORAL"},
        {"CENTRE", "CENTER"},
        {"FIBRES", "FIBERS"},
        {"PARALYSE", "PARALYZE"},
        {"HOSPITALISATION", "HOSPITALIZATION"},
        {"ANAESTHETISED", "ANESTHETIZED"},
        {"SULPHONAMIDE", "SULFONAMIDE"},
        {"MANOEUVRE", "MANEUVER"},
    };
    for (const auto& [british, american] : cases) {
        const std::vector<std::string> spellings = AmericanSpellings(british, list);
        ASSERT_FALSE(spellings.empty()) << british;
        EXPECT_EQ(spellings.front(), american) << british;
    }
    EXPECT_TRUE(AmericanSpellings("EXERCISE", list).empty());  // listed as kept
    EXPECT_TRUE(AmericanSpellings("FEVER", list).empty());     // nothing British about it
}

TEST(KeywordSpelling, EditDistanceCountsTranspositionsAndStopsPastTheLimit) {
    struct TCase {
        const char* A;
        const char* B;
        int Max;
        int Distance;
    };
    const TCase cases[] = {
        {"PNEUMONIA", "PNEUMONIA", 2, 0},
        {"PNEMONIA", "PNEUMONIA", 2, 1},
        {"SIEZURE", "SEIZURE", 2, 1},
        {"HYPERTENSSION", "HYPERTENSION", 2, 1},
        {"ATHSMA", "ASTHMA", 2, 2},
        {"KITTEN", "SITTING", 2, 3},
        {"AB", "ABCDE", 2, 3},
    };
    for (const TCase& test : cases) EXPECT_EQ(EditDistance(test.A, test.B, test.Max), test.Distance) << test.A;
}

TEST(KeywordSpelling, WordsThatSoundAlikeShareAKey) {
    const std::pair<const char*, const char*> alike[] = {
        {"DIAFRAGM", "DIAPHRAGM"}, {"SORIASIS", "PSORIASIS"}, {"EXEMA", "ECZEMA"},
        {"NEFRITIS", "NEPHRITIS"}, {"CHRONS", "CROHNS"},      {"NUMONIA", "PNEUMONIA"},
    };
    for (const auto& [a, b] : alike) EXPECT_EQ(SoundKey(a), SoundKey(b)) << a << " " << b;
    EXPECT_NE(SoundKey("EDEMA"), SoundKey("ECZEMA"));
}

TEST(KeywordSpelling, FoldedKeywordsAndJoinedSpellings) {
    EXPECT_EQ(FoldedKeyword("Crohn's  Disease"), "CROHNS DISEASE");
    EXPECT_EQ(FoldedKeyword("X-Ray"), "X RAY");
    EXPECT_EQ(FoldedKeyword("X-Ray", true), "XRAY");
    const TKeywordRefList refs = Refs({"X-Ray", "Crohn's Disease", "Pneumonia"});
    const TKeywordSpelling spelling(refs, TSpellingList{});
    EXPECT_EQ(spelling.KeywordFor("XRAY"), "X RAY");
    EXPECT_EQ(spelling.KeywordFor("CROHNS DISEASE"), "CROHNS DISEASE");
    EXPECT_TRUE(spelling.IsWord("CROHNS"));
    EXPECT_FALSE(spelling.IsKeyword("CROHNS"));
    EXPECT_TRUE(spelling.KeywordFor("PNEUMONIAS").empty());
}

TEST(KeywordSpelling, CorrectionsPreferTheNearestThenSoundAndLetters) {
    const TKeywordRefList refs = Refs({"Pneumonia", "Edema", "Edema", "Eczema", "Asthma", "Autism", "Autism",
                                       "Alzheimer", "Alzheimer's Disease", "Hematuria", "Typhoid"});
    const TKeywordSpelling spelling(refs, TSpellingList{});
    const std::pair<const char*, const char*> cases[] = {
        {"PNEMONIA", "PNEUMONIA"},    // a dropped letter
        {"EXEMA", "ECZEMA"},          // sounds alike, although EDEMA is one edit nearer and more used
        {"ATHSMA", "ASTHMA"},         // the same letters, although AUTISM sounds alike
        {"HAEMATURIA", "HEMATURIA"},  // British spelling
        {"TYPHIOD", "TYPHOID"},       // swapped letters
    };
    for (const auto& [typed, meant] : cases) {
        const std::vector<std::string> corrections = spelling.Corrections(typed);
        ASSERT_FALSE(corrections.empty()) << typed;
        EXPECT_EQ(corrections.front(), meant) << typed;
    }
    EXPECT_TRUE(spelling.Corrections("ASTHMA").empty());      // a known word is never changed
    EXPECT_TRUE(spelling.Corrections("ALZHEIMERS").empty());  // a word of "Alzheimer's Disease"
    EXPECT_TRUE(spelling.Corrections("ZQX").empty());         // too short to correct
    EXPECT_TRUE(spelling.Corrections("QQQQQQQQ").empty());    // nothing near
    EXPECT_EQ(spelling.Corrections("PNEUMONIAS"), std::vector<std::string>{"PNEUMONIA"});  // possessive or plural
}
