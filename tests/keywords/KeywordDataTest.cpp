// The keyword data sets on small hand-written texts: line checks and messages, keyword records,
// the descending reference list, irregular plurals, short descriptions, and the loader status.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <random>
#include <sstream>

#include "keywords/KeywordData.h"
#include "services/Resources.h"
#include "services/TextUtil.h"
#include "tests/common/RecordingMessages.h"

namespace {

struct TLoaded {
    TCodeKeywordsList codes;
    TKeywordRefList refs;
    TLoadState result = TLoadState::NotStarted;
    TLoadState status = TLoadState::NotStarted;  // the status variable afterwards
};

TLoaded Load(const std::string& text, bool categoryOnly = true, bool multiWordOnly = false, bool capitalize = true) {
    TLoaded loaded;
    TLoadStatus status{TLoadState::NotStarted};
    std::istringstream source(text);
    loaded.result =
        LoadCodeKeywords(source, categoryOnly, multiWordOnly, capitalize, loaded.codes, loaded.refs, status);
    loaded.status = status.load();
    return loaded;
}

std::vector<std::string> Codes(const TCodeKeywordsList& list) {
    std::vector<std::string> codes;
    for (const auto& record : list) codes.push_back(record->FCode);
    return codes;
}

std::string Compressed(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
    packed.resize(size);
    return packed;
}

}  // namespace

TEST(CodeKeywordsLoader, ReportsDamagedLinesWithTheirNumbersAndSkipsThem) {
    TRecordingMessages messages;
    const TLoaded loaded = Load(
        "         orphan, words,\r\n"  // 1: continuation before any code line
        "\r\n"                         // 2: empty, still counted
        "A0 short,\r\n"                // 3: first blank at position 3: dropped silently
        "A0123 fever,\r\n"             // 4: no dot in fourth place
        "NOBLANK\r\n"                  // 5: no blank: dropped silently
        "A01.0 fever,\r\n");           // 6: accepted under A01
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0], "Invalid line 1 (no code definition):          orphan, words,");
    EXPECT_EQ(messages.Messages()[1], "Invalid line 4 (error code definition): A0123 fever,");
    EXPECT_EQ(Codes(loaded.codes), std::vector<std::string>{"A01"});
    EXPECT_EQ(loaded.codes[0]->FKeywords, TStringList{"Fever"});
    EXPECT_EQ(loaded.result, TLoadState::Done);
    EXPECT_EQ(loaded.status, TLoadState::Done);
}

TEST(CodeKeywordsLoader, OneRecordPerCodeWithSortedKeywordsAndEveryItemCounted) {
    TRecordingMessages messages;
    const TLoaded loaded = Load(
        "A01      Fever, fever, typhoid,,  ,\r\n"
        "         Para typhi, x-ray,\r\n"
        "B02      Para Typhi, Abscess,\r\n"
        "\tcontinued by tab,\r\n"
        "A01.1    meningitis,\r\n");
    EXPECT_TRUE(messages.Messages().empty());
    ASSERT_EQ(Codes(loaded.codes), (std::vector<std::string>{"A01", "B02"}));
    // Capitalised, sorted without regard to case, "fever" folded into "Fever"; the later A01.1 line
    // adds to the record of the first occurrence.
    EXPECT_EQ(loaded.codes[0]->FKeywords, (TStringList{"Fever", "Meningitis", "Para Typhi", "Typhoid", "X-Ray"}));
    EXPECT_EQ(loaded.codes[1]->FKeywords, (TStringList{"Abscess", "Continued By Tab", "Para Typhi"}));
    EXPECT_EQ(GetKeywordRefCount(loaded.refs, "FEVER"), 2);
    EXPECT_EQ(GetKeywordRefCount(loaded.refs, "PARA TYPHI"), 2);
    EXPECT_EQ(GetKeywordRefCount(loaded.refs, "X-RAY"), 1);
    EXPECT_EQ(GetKeywordRefCount(loaded.refs, "fever"), 0);  // callers pass upper case
    EXPECT_EQ(GetKeywordRefCount(loaded.refs, "MISSING"), 0);
    const auto shared = std::find_if(loaded.refs.begin(), loaded.refs.end(),
                                     [](const auto& ref) { return ref->FKeyWord == "Para Typhi"; });
    ASSERT_NE(shared, loaded.refs.end());
}

TEST(CodeKeywordsLoader, OptionsKeyFullCodesKeepMultiWordItemsAndSpelling) {
    TRecordingMessages messages;
    const TLoaded full = Load("A01.0    fever,\r\nA01.1    fever,\r\n", false);
    EXPECT_EQ(Codes(full.codes), (std::vector<std::string>{"A01.0", "A01.1"}));

    // Multi-word only: an item with a blank always; one with a hyphen only on a code line.
    const TLoaded multi = Load("A01      fever, x-ray, due to,\r\n         y-ray, para typhi,\r\n", true, true, false);
    ASSERT_EQ(multi.codes.size(), 1u);
    EXPECT_EQ(multi.codes[0]->FKeywords, (TStringList{"due to", "para typhi", "x-ray"}));
}

TEST(CodeKeywordsLoader, ReadingStopsWhenTheStatusLeavesLoading) {
    // A handler that cancels the load when the first damaged line is reported.
    class TCancelling : public TRecordingMessages {
    public:
        TLoadStatus* status = nullptr;
        void ShowMessage(const std::string& text) override {
            TRecordingMessages::ShowMessage(text);
            status->store(TLoadState::Cancelled);
        }
    } messages;
    TLoaded loaded;
    TLoadStatus status{TLoadState::NotStarted};
    messages.status = &status;
    std::istringstream source("A01 fever,\r\nA0123 bad,\r\nB02 abscess,\r\n");
    loaded.result = LoadCodeKeywords(source, true, false, true, loaded.codes, loaded.refs, status);
    EXPECT_EQ(loaded.result, TLoadState::Cancelled);
    EXPECT_EQ(Codes(loaded.codes), std::vector<std::string>{"A01"});
}

TEST(CodeKeywordsLoader, DamagedCompressedSourceEndsFailedNotLoading) {
    TRecordingMessages messages;
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text.append("A")
            .append(std::to_string(10 + i % 90))
            .append("      Word")
            .append(std::to_string(i))
            .append(",\r\n");
    }
    const std::string packed = Compressed(text);
    const std::string truncated = packed.substr(0, packed.size() / 2);
    TResourceStream stream(TResourceBytes{reinterpret_cast<const unsigned char*>(truncated.data()), truncated.size()});
    TLoaded loaded;
    TLoadStatus status{TLoadState::NotStarted};
    loaded.result = LoadCodeKeywords(stream, true, false, true, loaded.codes, loaded.refs, status);
    EXPECT_EQ(status.load(), TLoadState::Failed);
    EXPECT_EQ(loaded.result, TLoadState::Failed);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Code Keywords File Fail!"});
    EXPECT_FALSE(loaded.codes.empty());  // what was read before the damage stays
}

TEST(KeywordRefList, StaysDescendingAndCountsLikeAMap) {
    std::mt19937 random(7);
    const std::vector<std::string> words = {"fever",  "Fever", "abscess", "x-ray",      "X Ray",
                                            "zoster", "a",     "aa",      "Ab",         "typhoid",
                                            "TYPHUS", "b",     "",        "Para Typhi", "para typhi"};
    TKeywordRefList list;
    std::map<std::string, int> expected;
    std::map<std::string, std::string> firstSpelling;
    for (int i = 0; i < 3000; ++i) {
        const std::string& word = words[random() % words.size()];
        AddKeywordRef(list, word);
        ++expected[AsciiUpper(word)];
        firstSpelling.emplace(AsciiUpper(word), word);
    }
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_GT(AsciiUpper(list[i - 1]->FKeyWord), AsciiUpper(list[i]->FKeyWord)) << "at " << i;
    }
    for (const auto& [key, count] : expected) {
        EXPECT_EQ(GetKeywordRefCount(list, key), count) << key;
    }
    for (const auto& ref : list) EXPECT_EQ(ref->FKeyWord, firstSpelling[AsciiUpper(ref->FKeyWord)]);
}

TEST(KeywordLookups, FindCodeKeywordsIsExactAndCapitalizeWordsFollowsBlanksTabsHyphens) {
    TRecordingMessages messages;
    const TLoaded loaded = Load("A01 fever,\r\nB02 abscess,\r\n");
    ASSERT_NE(FindCodeKeywords(loaded.codes, "B02"), nullptr);
    EXPECT_EQ(FindCodeKeywords(loaded.codes, "B02")->FCode, "B02");
    EXPECT_EQ(FindCodeKeywords(loaded.codes, "b02"), nullptr);
    EXPECT_EQ(FindCodeKeywords(loaded.codes, "B0"), nullptr);

    std::string text = "lymphan gitis";
    CapitalizeWords(text);
    EXPECT_EQ(text, "Lymphan Gitis");
    text = "x-ray\tscan 2nd (left) o'neil";
    CapitalizeWords(text);
    EXPECT_EQ(text, "X-Ray\tScan 2nd (left) O'neil");
}

TEST(SpecialPlurals, FieldsLowerCasedUntrimmedAndLooksUpExactly) {
    TSpecialKeywordList list;
    std::istringstream source("single\r\npenny,pence,pennies\r\nTomato,tomatoes \r\nS Typhi,S. typhi,x,ignored\r\n");
    LoadSpecialKeywords(source, list);
    ASSERT_EQ(list.size(), 3u);
    std::string form1;
    std::string form2;
    EXPECT_EQ(FindSpecialPlural(list, "penny", form1, form2), 2);
    EXPECT_EQ(form1, "pence");
    EXPECT_EQ(form2, "pennies");
    EXPECT_EQ(FindSpecialPlural(list, "Penny", form1, form2), 0);
    EXPECT_EQ(FindSpecialPlural(list, "tomato", form1, form2), 1);
    EXPECT_EQ(form1, "tomatoes ");
    EXPECT_EQ(FindSpecialPlural(list, "s typhi", form1, form2), 2);
    EXPECT_EQ(form1, "s. typhi");
    EXPECT_EQ(form2, "x");
    EXPECT_EQ(FindSpecialPlural(list, "single", form1, form2), 0);
}

TEST(ShortDescriptions, FixedColumnsShortLinesIgnoredFirstOfARepeatKept) {
    TShortDescMap map;
    std::istringstream source(
        "A09       Infectious gastroenteritis and colitis, unspecified\r\n"
        "A00.0  x\r\n"  // 9 characters
        "A01.00    Typhoid fever, unspecified\r\n"
        "A09       Repeated\r\n");
    LoadShortDescriptions(source, map);
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at("A09"), "Infectious gastroenteritis and colitis, unspecified");
    EXPECT_EQ(map.at("A01.00"), "Typhoid fever, unspecified");
}

TEST(ShortDescriptions, DictionaryIsPublishedWhole) {
    TShortDescDict dict;
    std::string desc;
    EXPECT_FALSE(dict.Ready());
    EXPECT_FALSE(dict.Find("A09", desc));
    auto map = std::make_shared<TShortDescMap>();
    map->emplace("A09", "Colitis");
    dict.Publish(map);
    ASSERT_TRUE(dict.Find("A09", desc));
    EXPECT_EQ(desc, "Colitis");
    EXPECT_FALSE(dict.Find("A10", desc));
    dict.Clear();
    EXPECT_FALSE(dict.Ready());
}

TEST(SplitStrict, CommasOnlyQuotesGroupTrailingCommaGivesEmptyItem) {
    EXPECT_TRUE(SplitStrict("").empty());
    EXPECT_EQ(SplitStrict("a, b c"), (TStringList{"a", " b c"}));
    EXPECT_EQ(SplitStrict("a,"), (TStringList{"a", ""}));
    EXPECT_EQ(SplitStrict(","), (TStringList{"", ""}));
    EXPECT_EQ(SplitStrict("\"x, y\",z"), (TStringList{"x, y", "z"}));
    EXPECT_EQ(SplitStrict("\"say \"\"hi\"\"\""), (TStringList{"say \"hi\""}));
    EXPECT_EQ(SplitKeywordList("  a ,\t, b,,"), (TStringList{"a", "b"}));
}
