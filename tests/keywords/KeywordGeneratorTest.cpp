// The code-keyword set generator on a hand-built tree and index: sources, stop words, plurals,
// capitalisation, ASCII output and the arranged layout that the loader reads back.
#include <gtest/gtest.h>

#include <sstream>

#include "admin/KeywordGenerator.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "services/TextUtil.h"
#include "tests/common/RecordingMessages.h"
#include "tests/keywords/KeywordTestModel.h"

namespace {

struct TGeneratorFixture {
    TKeywordTestModel model;
    TAlphaLetterList index;
    std::vector<std::string> stopWords = ParseStopWords(
        "# comment line\r\nthe\r\nDue\r\nto\r\nof\r\nother\r\nand\r\ninitial\r\nencounter\r\nis\r\nbe\r\nadded\r\n"
        "appropriate\r\ncharacter\r\nexposure\r\n");

    TGeneratorFixture() {
        TCodeInfo& a00 = model.AddCategory("A00", "Cholera");
        TCodeInfo& a000 =
            TKeywordTestModel::AddSubCode(a00, "A00.0", "Cholera due to Vibrio cholerae 01, biovar cholerae");
        TKeywordTestModel::AddNote<TInclusionTerm>(a000, {"Classical cholera"});
        TKeywordTestModel::AddNote<TExcludes1>(a00, {"Zebra fracture of artery (Z99)", "diabetes"});
        TCodeInfo& w88 = model.AddCategory("W88", "Exposure to ionizing radiation");
        TKeywordTestModel::AddSubCode(w88, "W88.0", "Exposure to X-rays");
        TKeywordTestModel::AddNote<TSevenCharNote>(w88, {"The appropriate 7th character is to be added"});
        auto definition = std::make_unique<TSevenCharDef>();
        definition->FDefList.push_back(std::make_unique<TCharDef>());
        definition->FDefList.back()->FChar = "S";
        definition->FDefList.back()->FDesc = "sequela";
        w88.FItemList.push_back(std::move(definition));
        TCodeInfo& c84 = model.AddCategory("C84", "S\xC3\xA9zary disease of arteries, Diabetes");
        TKeywordTestModel::AddNote<TIncludes>(c84, {"Fractures of the arm (A00-A09)"});
        model.AddCategory("Z99", "Other and the");  // nothing but stop words

        auto letter = std::make_unique<TAlphaLetter>();
        letter->FLetter = "M";
        auto mainTerm = std::make_unique<TTerm>(letter.get(), 0);
        mainTerm->FTitle = "Meningitis (basal) (cerebral)";
        auto subTerm = std::make_unique<TTerm>(mainTerm.get(), 1);
        subTerm->FTitle = "cholera";
        subTerm->FCode = "A00.9";
        mainTerm->FSubTermList.push_back(std::move(subTerm));
        letter->FMainTermList.push_back(std::move(mainTerm));
        auto second = std::make_unique<TTerm>(letter.get(), 0);
        second->FTitle = "Malady, maladies";
        second->FCode = "W88.-";
        letter->FMainTermList.push_back(std::move(second));
        auto unknown = std::make_unique<TTerm>(letter.get(), 0);
        unknown->FTitle = "Mystery";
        unknown->FCode = "Q99.9";  // no such category in this tree
        letter->FMainTermList.push_back(std::move(unknown));
        index.push_back(std::move(letter));
    }

    TCodeKeywordsList Generate(bool withIndex, std::string* text = nullptr) {
        const std::string generated = GenerateCodeKeywordsText(model.chapters, withIndex ? &index : nullptr, stopWords);
        if (text) *text = generated;
        TRecordingMessages messages;
        TCodeKeywordsList codes;
        TKeywordRefList refs;
        TLoadStatus status{TLoadState::NotStarted};
        std::istringstream source(generated);
        LoadCodeKeywords(source, true, false, true, codes, refs, status);
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_EQ(status.load(), TLoadState::Done);
        return codes;
    }
};

}  // namespace

TEST(KeywordGenerator, TakesTitlesInclusionsIncludesSeventhCharacterTextsNotExcludes) {
    TGeneratorFixture fixture;
    const TCodeKeywordsList codes = fixture.Generate(false);
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[0]->FCode, "A00");
    EXPECT_EQ(codes[0]->FKeywords, (TStringList{"Biovar", "Biovar Cholerae", "Cholera", "Cholerae", "Classical",
                                                "Classical Cholera", "Vibrio"}));
    // "X-rays" stays whole and also gives "X-Ray"; the seventh-character note and definition count,
    // their instruction words are stop words; "7th" is no word.
    EXPECT_EQ(codes[1]->FKeywords,
              (TStringList{"Ionizing", "Ionizing Radiation", "Radiation", "Sequela", "X-Ray", "X-Rays"}));
    // Accents become ASCII; "arteries" gives "Artery" and "Fractures" "Fracture" because the
    // classification uses those words (the excludes note still feeds the vocabulary); "Diabetes"
    // gives no "Diabete"; a code range is no word.
    EXPECT_EQ(codes[2]->FKeywords, (TStringList{"Arm", "Arteries", "Artery", "Diabetes", "Disease", "Fracture",
                                                "Fractures", "Sezary", "Sezary Disease"}));
    // A category of stop words only still gets its title words.
    EXPECT_EQ(codes[3]->FKeywords, (TStringList{"And", "Other", "The"}));
    EXPECT_EQ(FindCodeKeywords(codes, "A00")->FKeywords.size(), 7u);
}

TEST(KeywordGenerator, IndexMainTermsReachTheCategoriesOfTheirCodes) {
    TGeneratorFixture fixture;
    const TCodeKeywordsList codes = fixture.Generate(true);
    const TStringList& a00 = codes[0]->FKeywords;
    EXPECT_NE(std::find(a00.begin(), a00.end(), "Meningitis"), a00.end());
    EXPECT_EQ(std::find(a00.begin(), a00.end(), "Basal"), a00.end());  // parenthesised modifiers stay out
    const TStringList& w88 = codes[1]->FKeywords;
    EXPECT_NE(std::find(w88.begin(), w88.end(), "Malady"), w88.end());
    EXPECT_EQ(std::find(w88.begin(), w88.end(), "Maladies"), w88.end());  // only the head word before a comma
    for (const auto& record : codes) {
        EXPECT_EQ(std::find(record->FKeywords.begin(), record->FKeywords.end(), "Mystery"), record->FKeywords.end());
    }
}

TEST(KeywordGenerator, WritesTheArrangedLayoutInPureAsciiDeterministically) {
    TGeneratorFixture fixture;
    std::string text;
    fixture.Generate(true, &text);
    EXPECT_EQ(text, GenerateCodeKeywordsText(fixture.model.chapters, &fixture.index, fixture.stopWords));
    for (char c : text) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::vector<std::string> lines = SplitLines(text);
    EXPECT_EQ(lines[0].substr(0, 9), "A00      ");
    EXPECT_NE(lines[0][9], ' ');
    int codeLines = 0;
    for (const std::string& line : lines) {
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), ',') << line;
        EXPECT_LE(std::count(line.begin(), line.end(), ','), 4) << line;
        if (line[0] != ' ') {
            ++codeLines;
            EXPECT_EQ(line.find(' '), 3u);
        } else {
            EXPECT_EQ(line.substr(0, 9), "         ");
            EXPECT_NE(line[9], ' ');
        }
    }
    EXPECT_EQ(codeLines, 4);
    // A00 with the index has nine keywords: a code line of four and continuations of four and one.
    EXPECT_EQ(lines[0], "A00      Biovar, Biovar Cholerae, Cholera, Cholera Meningitis,");
    EXPECT_EQ(lines[1], "         Cholerae, Classical, Classical Cholera, Meningitis,");
    EXPECT_EQ(lines[2], "         Vibrio,");
}

namespace {

TTerm& AddTerm(TTermList& list, TIndexNode* parent, int level, const char* title, const char* code = "",
               const char* see = "") {
    list.push_back(std::make_unique<TTerm>(parent, level));
    TTerm& term = *list.back();
    term.FTitle = title;
    term.FCode = code;
    term.FSee = see;
    return term;
}

bool Carries(const TCodeKeywordsList& codes, const char* code, const char* keyword) {
    const TCodeKeywords* record = FindCodeKeywords(codes, code);
    return record != nullptr &&
           std::find(record->FKeywords.begin(), record->FKeywords.end(), keyword) != record->FKeywords.end();
}

}  // namespace

TEST(KeywordGenerator, PhrasesOfTitlesSpokenIndexTermsReferencesAndAbbreviations) {
    TKeywordTestModel model;
    TKeywordTestModel::AddSubCode(model.AddCategory("I11", "Hypertensive heart disease"), "I11.0",
                                  "Hypertensive heart disease with heart failure");
    model.AddCategory("I50", "Heart failure, unspecified");
    model.AddCategory("I21", "Acute myocardial infarction");
    model.AddCategory("I34", "Nonrheumatic mitral (valve) insufficiency");
    TKeywordTestModel::AddNote<TInclusionTerm>(model.AddCategory("K50", "Crohn's disease [regional enteritis]"),
                                               {"Granulomatous enteritis"});
    model.AddCategory("A15", "Respiratory tuberculosis");
    model.AddCategory("N20", "Calculus of kidney");
    model.AddCategory("S72", "Fracture of right femur, initial encounter");
    model.AddCategory("T20", "Type 2 diabetes mellitus without complications");

    TAlphaLetterList index;
    index.push_back(std::make_unique<TAlphaLetter>());
    TAlphaLetter& letter = *index.back();
    TTerm& tuberculosis = AddTerm(letter.FMainTermList, &letter, 0, "Tuberculosis, tubercular, tuberculous");
    AddTerm(tuberculosis.FSubTermList, &tuberculosis, 1, "pulmonary (cavitated)", "A15.0");
    AddTerm(tuberculosis.FSubTermList, &tuberculosis, 1, "with fibrosis", "A15.0");
    TTerm& attack = AddTerm(letter.FMainTermList, &letter, 0, "Attack, attacks");
    AddTerm(attack.FSubTermList, &attack, 1, "heart", "", "infarct,  Myocardium");
    AddTerm(attack.FSubTermList, &attack, 1, "panic", "", "Infarct, nowhere");
    TTerm& infarct = AddTerm(letter.FMainTermList, &letter, 0, "Infarct, infarction");
    AddTerm(infarct.FSubTermList, &infarct, 1, "myocardium (acute)", "I21.9");
    TTerm& stone = AddTerm(letter.FMainTermList, &letter, 0, "Stone(s)");
    AddTerm(stone.FSubTermList, &stone, 1, "kidney", "N20.0");
    AddTerm(letter.FMainTermList, &letter, 0, "Preeclampsia", "", "Infarct, myocardium");

    TKeywordSources sources;
    sources.DiseaseIndex = &index;
    sources.StopWords = ParseStopWords("with\r\nof\r\nwithout\r\nunspecified\r\ntype\r\n");
    sources.Abbreviations = ParseAbbreviations(
        "# comment\r\nCHF = Heart Failure\r\nMI = Myocardial Infarction | mitral insufficiency\r\n"
        "crohns = Regional Enteritis + Crohn's Disease\r\n\r\nT2DM = Type 2 Diabetes Mellitus\r\n");
    TCodeKeywordsList codes;
    TKeywordRefList refs;
    TLoadStatus status{TLoadState::NotStarted};
    std::istringstream source(GenerateCodeKeywordsText(model.chapters, sources));
    LoadCodeKeywords(source, true, false, true, codes, refs, status);

    const std::pair<const char*, const char*> carried[] = {
        // Runs of title words give themselves and their shorter endings; parentheses are left out
        // and, as breaks, give their own phrases; laterality and stop words break a run.
        {"I11", "Hypertensive Heart Disease"},
        {"I11", "Heart Disease"},
        {"I11", "Heart Failure"},
        {"I50", "Heart Failure"},
        {"I21", "Acute Myocardial Infarction"},
        {"I21", "Myocardial Infarction"},
        {"I34", "Mitral Insufficiency"},
        {"K50", "Crohn's Disease"},
        {"K50", "Regional Enteritis"},
        {"T20", "Type 2 Diabetes Mellitus"},
        {"T20", "Diabetes Mellitus"},
        // Index sub-terms said before their main term; "see" references lead to the categories.
        {"A15", "Pulmonary Tuberculosis"},
        {"A15", "Pulmonary"},
        {"N20", "Kidney Stone"},
        {"I21", "Heart Attack"},
        {"I21", "Preeclampsia"},
        // Abbreviations go to the categories whose own title carries a meaning (I50 for CHF), else to
        // those whose titles below carry it (I34's sub-code for MI), else to every category carrying it.
        {"I50", "CHF"},
        {"I21", "MI"},
        {"I34", "MI"},
        {"K50", "Crohns"},
        {"T20", "T2DM"}};
    for (const auto& [code, keyword] : carried) EXPECT_TRUE(Carries(codes, code, keyword)) << code << " " << keyword;
    const std::pair<const char*, const char*> notCarried[] = {{"S72", "Right Femur"},
                                                              {"S72", "Initial Encounter"},
                                                              {"A15", "With Fibrosis Tuberculosis"},
                                                              {"A15", "Fibrosis Tuberculosis"},
                                                              {"I21", "Panic Attack"},
                                                              {"T20", "Type 2"},
                                                              {"I21", "CHF"},
                                                              {"I11", "CHF"},
                                                              {"I11", "Disease With Heart Failure"}};
    for (const auto& [code, keyword] : notCarried)
        EXPECT_FALSE(Carries(codes, code, keyword)) << code << " " << keyword;

    // A meaning that no category carries stops the generator, naming its line.
    sources.Abbreviations = ParseAbbreviations("CHF = Heart Failure\r\nXYZ = Heart Failure + Typhoid\r\n");
    try {
        GenerateCodeKeywordsText(model.chapters, sources);
        ADD_FAILURE() << "an abbreviation no category carries was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("line 2 (XYZ)"), std::string::npos) << error.what();
    }
}

TEST(KeywordGenerator, DamagedAbbreviationLinesAreRefusedWithTheirNumbers) {
    for (const char* text : {"CHF Heart Failure\r\n", "CHF = \r\n", " = Heart Failure\r\n", "CHF = Heart + \r\n",
                             "A, B = Heart Failure\r\n", "CHF = Heart Failure\r\nchf = Heart Disease\r\n"}) {
        EXPECT_THROW(ParseAbbreviations(text), std::runtime_error) << text;
    }
    const std::vector<TAbbreviation> entries =
        ParseAbbreviations("\r\n# x\r\npink eye = Conjunctivitis | Pink + Eye\r\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Name, "pink eye");
    EXPECT_EQ(entries[0].Line, 3);
    EXPECT_EQ(entries[0].Meanings, (std::vector<std::vector<std::string>>{{"Conjunctivitis"}, {"Pink", "Eye"}}));
}
