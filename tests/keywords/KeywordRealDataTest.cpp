// The keyword subsystem on the real embedded data: the loaded sets, keyword and full-text searches,
// counts, suggestions, and that the committed keyword set is what the generator makes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "admin/KeywordGenerator.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "keywords/KeywordPrompt.h"
#include "keywords/KeywordSearch.h"
#include "model/CodeLookup.h"
#include "model/TabularData.h"
#include "services/LoadStatus.h"
#include "services/TextUtil.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "userdata/SearchHistory.h"

namespace {

std::vector<std::string> CodesOf(const std::vector<TCodeInfo*>& results) {
    std::vector<std::string> codes;
    for (const TCodeInfo* code : results) codes.push_back(code->FCode);
    return codes;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

int CategoryCount() {
    int count = 0;
    for (const auto& chapter : LoadedData().Tabular.Chapters) {
        for (const auto& section : chapter->FSubList) count += static_cast<int>(section->FCodeList.size());
    }
    return count;
}

class KeywordRealData : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureRealDataLoaded();
        ASSERT_EQ(LoadedData().Status[TDataSet::Tabular].load(), TLoadState::Done);
        ASSERT_EQ(LoadedData().Status[TDataSet::CodeKeywords].load(), TLoadState::Done);
    }
};

}  // namespace

TEST_F(KeywordRealData, EveryCategoryHasAKeywordRecordOfASizeLikeTheShippedSet) {
    EXPECT_EQ(CategoryCount(), 1911);
    ASSERT_EQ(LoadedData().Keywords.Codes.size(), 1911u);
    long items = 0;
    for (const auto& ref : LoadedData().Keywords.Refs) items += ref->FRefCount;
    // Words and phrases: about 118,000 items, 53,000 distinct.
    EXPECT_GE(items, 100000);
    EXPECT_LE(items, 130000);
    EXPECT_GE(LoadedData().Keywords.Refs.size(), 45000u);
    EXPECT_LE(LoadedData().Keywords.Refs.size(), 60000u);
    for (const auto& chapter : LoadedData().Tabular.Chapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) {
                const TCodeKeywords* record = FindCodeKeywords(LoadedData().Keywords.Codes, category->FCode);
                ASSERT_NE(record, nullptr) << category->FCode;
                EXPECT_FALSE(record->FKeywords.empty()) << category->FCode;
            }
        }
    }
    // The irregular plural set and the short descriptions came with it.
    std::string form1;
    std::string form2;
    EXPECT_EQ(FindSpecialPlural(LoadedData().Keywords.Specials, "child", form1, form2), 1);
    EXPECT_EQ(form1, "children");
    std::string desc;
    ASSERT_TRUE(LoadedData().Keywords.ShortDescs.Find("A00.0", desc));
    EXPECT_EQ(desc.rfind("Cholera due to Vibrio cholerae 01", 0), 0u) << desc;
}

TEST_F(KeywordRealData, KeywordSearchFindsTyphoidMeningitisInA01Alone) {
    TRecordingMessages messages;
    for (const char* text : {"typhoid,meningitis", "TYPHOID, MENINGITIS", "  typhoid ,  meningitis  ,"}) {
        TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
        ASSERT_EQ(state.RunKeywordSearch(text, false, 0), TSearchOutcome::Done);
        EXPECT_EQ(CodesOf(state.FResultList), std::vector<std::string>{"A01"}) << text;
        EXPECT_EQ(state.FCombined, "1");
        EXPECT_EQ(state.FHistoryText, TrimControls(text));  // for the front to record
    }
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(KeywordRealData, HyphenatedKeywordMatchesWithABlankOrJoined) {
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    for (const char* text : {"x-ray", "x ray", "xray"}) {
        state.RunKeywordSearch(text, false, 0);
        EXPECT_TRUE(Contains(CodesOf(state.FResultList), "W88")) << text;
    }
    // No stemming: the keywords of a category are matched whole. A word no keyword knows is read as
    // the nearest known word, and the note says so.
    EXPECT_TRUE(
        FillResultList(LoadedData().Tabular.Chapters, TSearchMode::Keywords, 0, {"TYPHO"}, LoadedData().Keywords)
            .empty());
    state.RunKeywordSearch("typho", false, 0);
    EXPECT_EQ(state.FSearchNote, "no keyword TYPHO; showing TYPHI");
    // Nothing near enough: nothing found, no note.
    state.RunKeywordSearch("qqqqqqq", false, 0);
    EXPECT_TRUE(state.FResultList.empty());
    EXPECT_TRUE(state.FSearchNote.empty());
    EXPECT_EQ(state.FCombined, "0");
}

TEST_F(KeywordRealData, CoderPhrasesAbbreviationsAndEverydayNamesFindTheirCategories) {
    TRecordingMessages messages;
    const std::pair<const char*, const char*> queries[] = {{"abdominal pain", "R10"},
                                                           {"heart failure", "I50"},
                                                           {"type 2 diabetes", "E11"},
                                                           {"otitis media", "H66"},
                                                           {"crohn's disease", "K50"},
                                                           {"crohns disease", "K50"},
                                                           {"covid", "U07"},
                                                           {"preeclampsia", "O14"},
                                                           {"COPD", "J44"},
                                                           {"CKD", "N18"},
                                                           {"CHF", "I50"},
                                                           {"UTI", "N39"},
                                                           {"AFib", "I48"},
                                                           {"AKI", "N17"},
                                                           {"HTN", "I10"},
                                                           {"heart attack", "I21"},
                                                           {"hay fever", "J30"},
                                                           {"pink eye", "H10"},
                                                           {"bells palsy", "G51"},
                                                           {"kidney stones", "N20"},
                                                           {"pulmonary tuberculosis", "A15"},
                                                           {"hip fracture", "S72"},
                                                           {"type 2 diabetes mellitus", "E11"},
                                                           {"chronic kidney disease", "N18"}};
    for (const auto& [text, code] : queries) {
        TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
        state.RunKeywordSearch(text, false, 0);
        EXPECT_TRUE(Contains(CodesOf(state.FResultList), code)) << text;
        EXPECT_TRUE(state.FSearchNote.empty()) << text << ": " << state.FSearchNote;
    }
    TKeywordPrompt prompt(LoadedData().Keywords, &LoadedData().Status[TDataSet::CodeKeywords]);
    prompt.RefreshPrompt("heart f", false);
    const TStringList& offered = prompt.FGotPromptList.Items();
    EXPECT_TRUE(Contains(offered, "Heart Failure"));
}

TEST_F(KeywordRealData, NothingIsSearchedOrSuggestedUntilTheKeywordLoaderHasFinished) {
    // The loader is still at work and the irregular plural set not yet read: the library reads
    // nothing and says so, without waiting; the front searches again once the set has settled.
    TSpecialKeywordList loaded;
    loaded.swap(LoadedData().Keywords.Specials);
    LoadedData().Status[TDataSet::CodeKeywords].store(TLoadState::Loading);
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    TKeywordPrompt prompt(LoadedData().Keywords, &LoadedData().Status[TDataSet::CodeKeywords]);
    const TSearchOutcome early = state.RunKeywordSearch("child", false, 0);
    const bool counted = state.UpdateKeywordCounts("child", false, false);
    const bool suggested = prompt.RefreshPrompt("chil", false);
    LoadedData().Keywords.Specials.swap(loaded);
    LoadedData().Status[TDataSet::CodeKeywords].store(TLoadState::Done);
    EXPECT_EQ(early, TSearchOutcome::NotLoadedYet);
    EXPECT_TRUE(state.FHistoryText.empty());
    EXPECT_FALSE(counted);
    EXPECT_FALSE(suggested);
    ASSERT_EQ(state.RunKeywordSearch("child", false, 0), TSearchOutcome::Done);
    EXPECT_EQ(state.FSearchKeyWordVariantList, (TStringList{"CHILD", "CHILDREN"}));
    EXPECT_TRUE(prompt.RefreshPrompt("chil", false));
}

TEST_F(KeywordRealData, WordsTypedWithoutCommasAreSearchedAsKeywordsWhenTheTextFindsNothing) {
    TRecordingMessages messages;
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    ASSERT_EQ(state.RunKeywordSearch("fracture femur", false, 0), TSearchOutcome::Done);
    EXPECT_TRUE(Contains(CodesOf(state.FResultList), "S72"));
    EXPECT_EQ(state.FSearchNote, "no keyword FRACTURE FEMUR; showing FRACTURE, FEMUR");
    EXPECT_EQ(state.FSearchKeyWordsList, (TStringList{"FRACTURE", "FEMUR"}));
    EXPECT_EQ(state.FCombined, std::to_string(state.FResultList.size()));
    // The counts line counts the keywords actually searched.
    EXPECT_EQ(state.FCountsLine, BuildCountsLine("FRACTURE, FEMUR", LoadedData().Keywords));
    EXPECT_NE(state.FCountsLine.rfind("0 ", 0), 0u);

    // Never when the text finds something as typed, holds a comma, or its words find nothing either.
    for (const char* text : {"typhoid", "fracture femur,", "fracture, femur zzz", "zzz qqq"}) {
        state.RunKeywordSearch(text, false, 0);
        EXPECT_TRUE(state.FSearchNote.empty()) << text;
    }
}

TEST_F(KeywordRealData, MisspellingsBritishSpellingsPossessivesAndChartPhrasesFindTheirCategories) {
    struct TCase {
        const char* Text;
        const char* Category;
        bool Noted;  // found only by reading the text otherwise, and the note says so
    };
    const TCase cases[] = {
        {"pnemonia", "J18", true},
        {"hypertenssion", "I10", true},
        {"athsma", "J45", true},
        {"diabetic neuropathey", "E11", true},
        {"alzheimers", "G30", true},
        {"parkinsons", "G20", true},
        {"haematuria", "R31", false},  // British spellings are the same keyword
        {"coeliac disease", "K90", false},
        {"dyspnoea", "R06", false},
        {"oesophageal varices", "I85", false},
        {"type 2 diabetes with diabetic polyneuropathy", "E11", true},
        {"acute on chronic diastolic heart failure", "I50", true},
        {"fracture of shaft of left tibia", "S82", true},
        {"type II diabetes mellitus without complications", "E11", true},
        {"down syndrome", "Q90", false},
        {"typhoid,meningitis", "A01", false},
        // An organism written with its genus as an initial; "due to" is no part of a keyword.
        {"urinary tract infection due to e coli", "N39", true},
        {"sepsis due to e coli", "A41", true},
        {"s aureus pneumonia", "J15", true},
    };
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    for (const TCase& test : cases) {
        ASSERT_EQ(state.RunKeywordSearch(test.Text, false, 0), TSearchOutcome::Done) << test.Text;
        EXPECT_TRUE(Contains(CodesOf(state.FResultList), test.Category)) << test.Text << ": " << state.FSearchNote;
        EXPECT_LE(state.FResultList.size(), RankedResultLimit + 50) << test.Text;
        EXPECT_EQ(!state.FSearchNote.empty(), test.Noted) << test.Text << ": " << state.FSearchNote;
    }
    state.RunKeywordSearch("pnemonia", false, 0);
    EXPECT_EQ(state.FSearchNote, "no keyword PNEMONIA; showing PNEUMONIA");
    state.RunKeywordSearch("sepsis due to e coli", false, 0);
    EXPECT_EQ(state.FSearchNote, "no keyword SEPSIS DUE TO E COLI; showing SEPSIS, ESCHERICHIA COLI");
    state.RunKeywordSearch("typhoid,meningitis", false, 0);
    EXPECT_EQ(CodesOf(state.FResultList), std::vector<std::string>{"A01"});
}

TEST_F(KeywordRealData, AbbreviationsStayPreciseAndNamesWithACommonFirstWordAreKeywords) {
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    state.RunKeywordSearch("CAP", false, 0);
    EXPECT_TRUE(Contains(CodesOf(state.FResultList), "J18"));
    // The pneumonia categories (J12-J18, P23) and the three whose texts say "cap" themselves (cradle
    // cap L21, knee cap S82, blasting cap W40); no longer every category that mentions a pneumonia.
    EXPECT_LE(state.FResultList.size(), 11u);
    EXPECT_FALSE(Contains(CodesOf(state.FResultList), "A01"));
    state.RunKeywordSearch("down,syndrome", false, 0);
    EXPECT_TRUE(Contains(CodesOf(state.FResultList), "Q90"));
}

TEST_F(KeywordRealData, CountsAndSuggestionsKnowJoinedAndBritishSpellings) {
    EXPECT_GT(KeywordCount("xray", LoadedData().Keywords), 0);
    EXPECT_EQ(KeywordCount("xray", LoadedData().Keywords), KeywordCount("X-Ray", LoadedData().Keywords));
    EXPECT_EQ(KeywordCount("haematuria", LoadedData().Keywords), KeywordCount("hematuria", LoadedData().Keywords));
    EXPECT_EQ(KeywordCount("zzzz", LoadedData().Keywords), 0);

    TKeywordPrompt prompt(LoadedData().Keywords, &LoadedData().Status[TDataSet::CodeKeywords]);
    const auto offers = [&](const char* typed, const char* keyword) {
        prompt.RefreshPrompt(typed, false);
        const TStringList& items = prompt.FGotPromptList.Items();
        return std::find(items.begin(), items.end(), keyword) != items.end();
    };
    EXPECT_TRUE(offers("xr", "X-Ray"));
    EXPECT_TRUE(offers("haematu", "Hematuria"));
    EXPECT_TRUE(offers("oesophageal v", "Esophageal Varices"));
}

TEST_F(KeywordRealData, FullTextSearchFollowsWordBoundariesAndSubCodes) {
    const TCodeInfo* unspecified = FindNode("A00.9");
    ASSERT_NE(unspecified, nullptr);
    EXPECT_EQ(unspecified->FDesc, "Cholera, unspecified");
    EXPECT_TRUE(CodeMatchesFullText(*unspecified, {"CHOLERA"}, FullTextFlag::Desc));
    std::string fullStop = AsciiUpper(unspecified->FDesc);
    fullStop[7] = '.';
    EXPECT_FALSE(FindWholeWord("CHOLERA", fullStop));

    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    ASSERT_EQ(state.RunKeywordSearch("cholera", true, FullTextFlag::Desc), TSearchOutcome::Done);
    EXPECT_TRUE(Contains(CodesOf(state.FResultList), "A00"));
    EXPECT_EQ(state.FCombined, "Unknown");

    state.RunKeywordSearch("TYPHOID, MENINGITIS", true, FullTextFlag::Desc);
    EXPECT_TRUE(Contains(CodesOf(state.FResultList), "A01"));
    const TCodeInfo* a01 = FindNode("A01");
    ASSERT_NE(a01, nullptr);
    EXPECT_FALSE(FindWholeWord("MENINGITIS", AsciiUpper(a01->FDesc)));

    // All seven kinds find at least what the title alone finds.
    const auto titles = CodesOf(state.FResultList);
    state.RunKeywordSearch("TYPHOID, MENINGITIS", true, FullTextFlag::All);
    for (const std::string& code : titles) EXPECT_TRUE(Contains(CodesOf(state.FResultList), code)) << code;
}

TEST_F(KeywordRealData, RefusedAndEmptySearchesLeaveQuestionsAndHistoryToTheFront) {
    TRecordingMessages messages;
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    state.RunKeywordSearch("typhoid", false, 0);
    EXPECT_EQ(state.FHistoryText, "typhoid");
    const auto before = state.FResultList;
    const auto history = UserData().History.FItems;

    EXPECT_EQ(state.RunKeywordSearch("fever", true, 0), TSearchOutcome::NoConditionSelected);
    EXPECT_EQ(state.RunKeywordSearch("   ", false, 0), TSearchOutcome::EmptyTextNeedsConfirmation);
    EXPECT_EQ(state.FResultList, before);
    EXPECT_TRUE(state.FHistoryText.empty());
    // The library neither asks nor shows nor records anything itself.
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_TRUE(messages.Questions().empty());
    EXPECT_EQ(UserData().History.FItems, history);

    ASSERT_EQ(state.RunKeywordSearch("", true, FullTextFlag::Desc, true), TSearchOutcome::Done);
    EXPECT_EQ(state.FResultList.size(), 1911u);
    EXPECT_EQ(state.FResultList.front()->FCode, "A00");
    EXPECT_TRUE(state.FHistoryText.empty());  // an empty text is not recorded

    // Commas only: every category with a keyword record (all of them here).
    state.RunKeywordSearch(",,", false, 0);
    EXPECT_EQ(state.FResultList.size(), 1911u);
}

TEST_F(KeywordRealData, CountsLineAndCombinedResultBeforeASearch) {
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    state.UpdateKeywordCounts("typhoid,Meningitis,", false, false);
    EXPECT_EQ(state.FCombined, "1");
    const std::string typhoid = std::to_string(GetKeywordRefCount(LoadedData().Keywords.Refs, "TYPHOID"));
    const std::string meningitis = std::to_string(GetKeywordRefCount(LoadedData().Keywords.Refs, "MENINGITIS"));
    EXPECT_EQ(state.FCountsLine,
              typhoid + std::string(8 - typhoid.size(), ' ') + meningitis + std::string(11 - meningitis.size(), ' '));
    state.UpdateKeywordCounts("typhoid,Meningitis,", false, true);
    EXPECT_EQ(state.FCombined, "Unknown");
    state.UpdateKeywordCounts("nosuchword", false, false);
    EXPECT_EQ(state.FCombined, "0");
    state.ClearCounts();
    EXPECT_EQ(state.FCombined, " Unknown ");
    EXPECT_TRUE(state.FCountsLine.empty());
}

TEST_F(KeywordRealData, SuggestionsNarrowByTheKeywordsTypedBefore) {
    TKeywordPrompt prompt(LoadedData().Keywords, &LoadedData().Status[TDataSet::CodeKeywords]);
    prompt.RefreshPrompt("typ", false);
    const TStringList& typ = prompt.FGotPromptList.Items();
    for (const char* word : {"Typhoid", "Typhoon", "Typhus"}) EXPECT_TRUE(Contains(typ, word)) << word;
    for (std::size_t i = 1; i < typ.size(); ++i) EXPECT_LT(CompareKeywordText(typ[i - 1], typ[i]), 0);

    prompt.RefreshPrompt("typhoid,men", false);
    const TStringList men = prompt.FGotPromptList.Items();
    EXPECT_TRUE(Contains(men, "Meningitis"));
    for (const std::string& word : men) EXPECT_TRUE(PromptPrefixMatches("men", word)) << word;
    for (const TCodeKeywords* record : prompt.FFiltedCodeKWs) {
        EXPECT_TRUE(KeywordsMatchAll(record, {"TYPHOID"}, LoadedData().Keywords)) << record->FCode;
    }

    const std::string chosen = InsertPromptKeyword("typhoid,men", "Meningitis");
    EXPECT_EQ(chosen, "typhoid,Meningitis,");
    TKeywordSearchState state(LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status);
    state.UpdateKeywordCounts(chosen, false, false);
    EXPECT_EQ(state.FCombined, "1");

    // Full text offers every keyword of the set with that beginning, unfiltered.
    prompt.RefreshPrompt("typhoid,men", true);
    EXPECT_GT(prompt.FGotPromptList.Count(), men.size());
}

TEST_F(KeywordRealData, CommittedKeywordSetIsWhatTheGeneratorMakes) {
    const char* source = std::getenv("ZENDRA_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "ZENDRA_SOURCE_DIR is not set";
    const auto read = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string stopWords = read(std::string(source) + "/data/KeywordStopWords.txt");
    const std::string abbreviations = read(std::string(source) + "/data/KeywordAbbreviations.txt");
    const std::string committed = read(std::string(source) + "/data/CodeKeywords2021.txt");
    ASSERT_FALSE(stopWords.empty());
    ASSERT_FALSE(abbreviations.empty());
    ASSERT_EQ(LoadedData().Status[TDataSet::DiseaseIndex].load(), TLoadState::Done);
    ASSERT_EQ(LoadedData().Status[TDataSet::ExternalIndex].load(), TLoadState::Done);
    TKeywordSources sources;
    sources.DiseaseIndex = &LoadedData().Index.DiseaseIndex;
    sources.ExternalIndex = &LoadedData().Index.ExternalIndex;
    sources.StopWords = ParseStopWords(stopWords);
    sources.Abbreviations = ParseAbbreviations(abbreviations);
    EXPECT_TRUE(GenerateCodeKeywordsText(LoadedData().Tabular.Chapters, sources) == committed)
        << "data/CodeKeywords2021.txt is out of date: run zendra-datatool regenerate data";
}
