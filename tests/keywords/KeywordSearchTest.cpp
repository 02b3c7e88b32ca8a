// The search engine on hand-built trees and keyword sets: whole-word rules, keyword matching,
// full-text matching through sub-codes, result lists by mode, spelling variants and the counts line.
#include <gtest/gtest.h>

#include <sstream>

#include "keywords/KeywordSearch.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/keywords/KeywordTestModel.h"

namespace {

TCodeKeywordsList LoadKeywords(const std::string& text, TKeywordRefList* refs = nullptr) {
    TCodeKeywordsList codes;
    TKeywordRefList ownRefs;
    TLoadStatus status{TLoadState::NotStarted};
    std::istringstream source(text);
    LoadCodeKeywords(source, true, false, true, codes, refs ? *refs : ownRefs, status);
    return codes;
}

TSpecialKeywordList LoadSpecials(const std::string& text) {
    TSpecialKeywordList list;
    std::istringstream source(text);
    LoadSpecialKeywords(source, list);
    return list;
}

std::vector<std::string> CodesOf(const std::vector<TCodeInfo*>& results) {
    std::vector<std::string> codes;
    for (const TCodeInfo* code : results) codes.push_back(code->FCode);
    return codes;
}

}  // namespace

TEST(FindWholeWord, BoundariesFollowTheTwoCharacterSets) {
    EXPECT_TRUE(FindWholeWord("CHOLERA", "CHOLERA, UNSPECIFIED"));
    EXPECT_TRUE(FindWholeWord("CHOLERA", "CHOLERA"));
    EXPECT_TRUE(FindWholeWord("CHOLERA", "(CHOLERA)"));
    EXPECT_TRUE(FindWholeWord("CHOLERA", "\"CHOLERA\""));
    EXPECT_TRUE(FindWholeWord("CHOLERA", "[CHOLERA}"));
    EXPECT_TRUE(FindWholeWord("CHOLERA", "PRE-CHOLERA-LIKE"));
    EXPECT_TRUE(FindWholeWord("CHOLERA", "A\tCHOLERA\r\n"));
    EXPECT_FALSE(FindWholeWord("CHOLERA", "DUE TO CHOLERA."));
    EXPECT_FALSE(FindWholeWord("CHOLERA", "CHOLERA; OTHER"));
    EXPECT_FALSE(FindWholeWord("CHOLERA", "A/CHOLERA"));
    EXPECT_FALSE(FindWholeWord("CHOLERA", "\rCHOLERA"));  // CR may follow a word but not precede it
    EXPECT_FALSE(FindWholeWord("CHOLERA", "CHOLERAE"));
    EXPECT_FALSE(FindWholeWord("CHOLERA", "cholera"));  // both sides are upper case by contract
    // A failed occurrence does not hide a later whole one.
    EXPECT_TRUE(FindWholeWord("CHOLERA", "CHOLERAE AND CHOLERA"));
    EXPECT_FALSE(FindWholeWord("", "ANY"));
}

TEST(FindWholeWord, JoinedFormDropsTheFirstHyphenOnly) {
    EXPECT_TRUE(FindWholeWordOrJoined("X-RAY", "CHEST XRAY"));
    EXPECT_TRUE(FindWholeWordOrJoined("X-RAY", "CHEST X-RAY"));
    EXPECT_FALSE(FindWholeWord("X-RAY", "CHEST XRAY"));
    EXPECT_TRUE(FindWholeWordOrJoined("A-B-C", "AB-C"));
    EXPECT_FALSE(FindWholeWordOrJoined("A-B-C", "ABC"));
    EXPECT_FALSE(FindWholeWordOrJoined("XRAY", "X-RAY"));
}

TEST(KeywordsMatchAll, WholeKeywordsHyphenEqualsBlankAndAllMustMatch) {
    const TKeywordTables none;
    const TCodeKeywordsList codes = LoadKeywords("A01 X Ray, Abdominal, Typhoid, Meningitis,\r\n");
    const TCodeKeywords* record = codes[0].get();
    EXPECT_FALSE(KeywordsMatchAll(nullptr, {}, none));
    EXPECT_TRUE(KeywordsMatchAll(record, {}, none));
    EXPECT_TRUE(KeywordsMatchAll(record, {"X-RAY"}, none));
    EXPECT_TRUE(KeywordsMatchAll(record, {"X RAY"}, none));
    EXPECT_FALSE(KeywordsMatchAll(record, {"XRAY"}, none));
    EXPECT_FALSE(KeywordsMatchAll(record, {"ABDOMEN"}, none));
    EXPECT_FALSE(KeywordsMatchAll(record, {"ABDOMINA"}, none));
    EXPECT_TRUE(KeywordsMatchAll(record, {" MENINGITIS ", "TYPHOID", ""}, none));
    EXPECT_FALSE(KeywordsMatchAll(record, {"TYPHOID", "FEVER"}, none));
    EXPECT_TRUE(KeywordsMatchAll(record, {"", "  "}, none));
}

TEST(KeywordsMatchAll, JoinedSpellingOptionalApostrophesAndPhrasePluralsByTheLastWord) {
    const TKeywordTables none;
    const TCodeKeywordsList codes =
        LoadKeywords("A01 Pre-eclampsia, Crohn's Disease, Kidney Stone, Heart Failures, X Ray, Child, Flat Foot,\r\n");
    const TCodeKeywords* record = codes[0].get();
    for (const char* keyword : {"PREECLAMPSIA", "PRE ECLAMPSIA", "CROHNS DISEASE", "CROHN'S DISEASE", "KIDNEY STONES",
                                "KIDNEY STONE", "HEART FAILURE", "FLAT-FOOT"}) {
        EXPECT_TRUE(KeywordsMatchAll(record, {keyword}, none)) << keyword;
    }
    // Only a hyphen may be dropped; single words keep to the plurals the data set lists.
    for (const char* keyword : {"XRAY", "PREECLAMPSIAS", "CROHN DISEASE", "CHILDREN", "KIDNEYSTONE", "STONES"}) {
        EXPECT_FALSE(KeywordsMatchAll(record, {keyword}, none)) << keyword;
    }
}

TEST(CodeMatchesKeywords, FindsTheRecordOfItsCodeAndFollowsARefill) {
    TKeywordTestModel model;
    TCodeInfo& a01 = model.AddCategory("A01", "Typhoid");
    TCodeInfo& b02 = model.AddCategory("B02", "Zoster");
    TKeywordTables tables;
    tables.Codes = LoadKeywords("A01 typhoid,\r\n");
    EXPECT_TRUE(CodeMatchesKeywords(a01, {"TYPHOID"}, tables));
    EXPECT_FALSE(CodeMatchesKeywords(b02, {"ZOSTER"}, tables));

    // A refill bumps the generation; the next search sees the new records.
    tables.Codes = LoadKeywords("B02 zoster,\r\n");
    ++tables.Generation;
    EXPECT_FALSE(CodeMatchesKeywords(a01, {"TYPHOID"}, tables));
    EXPECT_TRUE(CodeMatchesKeywords(b02, {"ZOSTER"}, tables));
}

// A search over every category reads the records kept for the list searched last: they must follow
// a refill, another Tabular List, and a list whose category was given another code.
TEST(FillResultList, KeptCategoryRecordsFollowARefillAnotherListAndAChangedCode) {
    TKeywordTestModel first;
    first.AddCategory("A01", "Typhoid");
    first.AddCategory("B02", "Zoster");
    TKeywordTestModel second;
    second.AddCategory("B02", "Zoster");
    TKeywordTables tables;
    tables.Codes = LoadKeywords("A01 typhoid, fever,\r\nB02 zoster, fever,\r\n");
    const auto codesFound = [&](const TKeywordTestModel& model, const char* keyword) {
        std::vector<std::string> codes;
        for (const TCodeInfo* code : FillResultList(model.chapters, TSearchMode::Keywords, 0, {keyword}, tables))
            codes.push_back(code->FCode);
        return codes;
    };
    using TCodes = std::vector<std::string>;
    EXPECT_EQ(codesFound(first, "FEVER"), (TCodes{"A01", "B02"}));
    EXPECT_EQ(codesFound(second, "FEVER"), TCodes{"B02"});
    EXPECT_EQ(codesFound(second, "TYPHOID"), TCodes{});
    EXPECT_EQ(codesFound(first, "TYPHOID"), TCodes{"A01"});
    EXPECT_EQ(CountKeywordMatches(second.chapters, {"ZOSTER"}, tables), 1);

    tables.Codes = LoadKeywords("A01 zoster,\r\n");
    ++tables.Generation;
    EXPECT_EQ(codesFound(first, "ZOSTER"), TCodes{"A01"});
    EXPECT_EQ(codesFound(first, "FEVER"), TCodes{});

    first.chapters.front()->FSubList.front()->FCodeList.front()->FCode = "B02";
    EXPECT_EQ(codesFound(first, "ZOSTER"), TCodes{});
}

TEST(CodeMatchesFullText, EachKeywordInOwnChosenTextOrOneSubCodeMatchingAll) {
    TKeywordTestModel model;
    TCodeInfo& a01 = model.AddCategory("A01", "Typhoid and paratyphoid fevers");
    TKeywordTestModel::AddNote<TExcludes1>(a01, {"Chest x-ray findings (R91)"});
    TKeywordTestModel::AddNote<TUseAdditionalCode>(a01, {"organism"});
    TCodeInfo& a010 = TKeywordTestModel::AddSubCode(a01, "A01.0", "Typhoid fever");
    TKeywordTestModel::AddSubCode(a010, "A01.01", "Typhoid meningitis");
    TCodeInfo& a011 = TKeywordTestModel::AddSubCode(a01, "A01.1", "Paratyphoid fever A");
    TKeywordTestModel::AddNote<TInclusionTerm>(a011, {"Enteric (meningitis)"});

    const TFullTextFlags desc = FullTextFlag::Desc;
    // TYPHOID in A01's own title, MENINGITIS in the title of A01.01 below it.
    EXPECT_TRUE(CodeMatchesFullText(a01, {"TYPHOID", "MENINGITIS"}, desc));
    // FEVER is not a whole word of "fevers": A01.1 "Paratyphoid fever A" holds both keywords.
    EXPECT_TRUE(CodeMatchesFullText(a01, {"PARATYPHOID", "FEVER"}, desc));
    // ENTERIC stands only in an inclusion term: it needs its bit.
    EXPECT_FALSE(CodeMatchesFullText(a01, {"ENTERIC"}, desc));
    EXPECT_TRUE(CodeMatchesFullText(a01, {"ENTERIC"}, FullTextFlag::Inclusion));
    EXPECT_TRUE(CodeMatchesFullText(a01, {"ENTERIC", "MENINGITIS"}, desc | FullTextFlag::Inclusion));
    // A keyword not in A01's own text needs one code below that matches the whole list: ENTERIC is
    // only under A01.1, which lacks TYPHOID (PARATYPHOID is another word), although A01 has TYPHOID.
    EXPECT_FALSE(CodeMatchesFullText(a01, {"ENTERIC", "TYPHOID"}, desc | FullTextFlag::Inclusion));
    // Excludes 1 lines, with the joined form of a hyphenated keyword only.
    EXPECT_TRUE(CodeMatchesFullText(a01, {"X-RAY"}, FullTextFlag::Exclude1));
    EXPECT_FALSE(CodeMatchesFullText(a01, {"XRAY"}, FullTextFlag::Exclude1));
    EXPECT_FALSE(CodeMatchesFullText(a01, {"X-RAY"}, FullTextFlag::All & ~FullTextFlag::Exclude1));
    // Use-additional-code notes are never searched.
    EXPECT_FALSE(CodeMatchesFullText(a01, {"ORGANISM"}, FullTextFlag::All));
    // The text's letter case does not matter; keywords are trimmed and empty ones skipped.
    EXPECT_TRUE(CodeMatchesFullText(a01, {" TYPHOID ", ""}, desc));
    EXPECT_TRUE(CodeMatchesFullText(a01, {}, desc));
}

TEST(FillResultList, ModesTakeCategoriesInTabularOrderOnly) {
    TKeywordTestModel model;
    model.AddCategory("A00", "Cholera");
    TCodeInfo& a01 = model.AddCategory("A01", "Typhoid fever");
    TKeywordTestModel::AddSubCode(a01, "A01.0", "Cholera-like typhoid");
    model.AddSection();
    model.AddCategory("B02", "Zoster");
    TKeywordTables tables;
    tables.Codes = LoadKeywords("B02 zoster, fever,\r\nA01 typhoid, fever,\r\n");

    EXPECT_EQ(CodesOf(FillResultList(model.chapters, TSearchMode::ListAll, 0, {"NOTHING"}, tables)),
              (std::vector<std::string>{"A00", "A01", "B02"}));
    EXPECT_EQ(CodesOf(FillResultList(model.chapters, TSearchMode::Keywords, 0, {"FEVER"}, tables)),
              (std::vector<std::string>{"A01", "B02"}));
    EXPECT_TRUE(FillResultList(model.chapters, TSearchMode::Keywords, 0, {"FEVER", "CHOLERA"}, tables).empty());
    // Commas only: every category that has a keyword record.
    EXPECT_EQ(CodesOf(FillResultList(model.chapters, TSearchMode::Keywords, 0, {"", ""}, tables)),
              (std::vector<std::string>{"A01", "B02"}));
    EXPECT_EQ(CodesOf(FillResultList(model.chapters, TSearchMode::FullText, FullTextFlag::Desc, {"", ""}, tables)),
              (std::vector<std::string>{"A00", "A01", "B02"}));
    EXPECT_EQ(CodesOf(FillResultList(model.chapters, TSearchMode::FullText, FullTextFlag::Desc, {"CHOLERA"}, tables)),
              (std::vector<std::string>{"A00", "A01"}));
    EXPECT_EQ(CountKeywordMatches(model.chapters, {"FEVER"}, tables), 2);
}

TEST(BuildKeywordVariants, EveryRuleIrregularFormsFirst) {
    const TSpecialKeywordList specials = LoadSpecials(
        "child,children\r\npenny,pence,pennies\r\nS Typhi,S. typhi\r\n"
        "abdominalpain,abdominalpainz\r\n");
    const auto variants = [&](const char* keyword) { return BuildKeywordVariants({keyword}, specials); };
    EXPECT_EQ(variants("ABSCESS"), (TStringList{"ABSCESS", "ABSCESSES"}));
    EXPECT_EQ(variants("ARTERY"), (TStringList{"ARTERY", "ARTERIES", "ARTERYS"}));
    EXPECT_EQ(variants("APPENDIX"), (TStringList{"APPENDIX", "APPENDICES", "APPENDIXS"}));
    EXPECT_EQ(variants("CHILD"), (TStringList{"CHILD", "CHILDREN"}));
    EXPECT_EQ(variants("PENNY"), (TStringList{"PENNY", "PENCE", "PENNIES"}));
    EXPECT_EQ(variants("S TYPHI"), (TStringList{"S TYPHI", "S. TYPHI"}));
    EXPECT_EQ(variants("BACILLUS"), (TStringList{"BACILLUS", "BACILLI"}));
    EXPECT_EQ(variants("DIAGNOSIS"), (TStringList{"DIAGNOSIS", "DIAGNOSES"}));
    EXPECT_EQ(variants("BACTERIUM"), (TStringList{"BACTERIUM", "BACTERIA", "BACTERIUMS"}));
    EXPECT_EQ(variants("BRANCH"), (TStringList{"BRANCH", "BRANCHES", "BRANCHS"}));
    EXPECT_EQ(variants("RASH"), (TStringList{"RASH", "RASHES", "RASHS"}));
    EXPECT_EQ(variants("TORSO"), (TStringList{"TORSO", "TORSOES", "TORSOS"}));
    EXPECT_EQ(variants("DAY"), (TStringList{"DAY", "DAYS"}));
    EXPECT_EQ(variants("Y"), (TStringList{"Y", "YS"}));
    EXPECT_EQ(variants("VERTEBRA"), (TStringList{"VERTEBRA", "VERTEBRAE", "VERTEBRAS"}));
    EXPECT_EQ(variants("LEG"), (TStringList{"LEG", "LEGS"}));
    // A phrase is also made plural by its last word.
    EXPECT_EQ(variants("ABDOMINAL PAIN"),
              (TStringList{"ABDOMINAL PAIN", "ABDOMINAL-PAIN", "ABDOMINALPAIN", "ABDOMINALPAINZ"}));
    EXPECT_EQ(BuildKeywordVariants({"ABDOMINAL PAIN"}, TSpecialKeywordList{}),
              (TStringList{"ABDOMINAL PAIN", "ABDOMINAL-PAIN", "ABDOMINALPAIN", "ABDOMINALPAINS", "ABDOMINAL PAINS"}));
    EXPECT_EQ(variants("SICK CHILD"),
              (TStringList{"SICK CHILD", "SICK-CHILD", "SICKCHILD", "SICKCHILDS", "SICK CHILDREN"}));
    EXPECT_EQ(BuildKeywordVariants({"X-RAYS"}, TSpecialKeywordList{}),
              (TStringList{"X-RAYS", "X RAYS", "XRAYS", "XRAYSES"}));
    // Trimmed, empty items skipped, every keyword in order.
    EXPECT_EQ(BuildKeywordVariants({" LEG ", "", "  ", "DAY"}, TSpecialKeywordList{}),
              (TStringList{"LEG", "LEGS", "DAY", "DAYS"}));
}

TEST(BuildCountsLine, EachCountStandsUnderItsKeyword) {
    TKeywordTables tables;
    LoadKeywords("A01 typhoid, fever,\r\nB02 fever,\r\n", &tables.Refs);
    EXPECT_EQ(BuildCountsLine("typhoid,fever", tables), "1       2     ");
    EXPECT_EQ(BuildCountsLine("typhoid, fever ,", tables), "1       2       ");
    EXPECT_EQ(BuildCountsLine("x,", tables), "0 ");
    EXPECT_EQ(BuildCountsLine("", tables), "");
    EXPECT_EQ(BuildCountsLine(",,", tables), "00");
    // Widths count characters, not bytes.
    EXPECT_EQ(BuildCountsLine("\xC3\xA9t\xC3\xA9", tables), "0   ");
    for (int i = 0; i < 12; ++i) LoadKeywords("C0" + std::to_string(i % 10) + " a,\r\n", &tables.Refs);
    EXPECT_EQ(BuildCountsLine("a,fever", tables),
              "12"
              "2     ");
}
