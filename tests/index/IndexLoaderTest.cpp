// The index loader on tiny hand-written files: title composition, the readers' element sets,
// cell columns, unknown elements, damaged data and cancellation.
#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>

#include "index/IndexLoader.h"
#include "services/Resources.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"

namespace {

std::string IndexFile(const std::string& letters) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<ICD10CM.index>\r\n  <version>2099</version>\r\n"
           "  <title>Test index</title>\r\n" +
           letters + "</ICD10CM.index>\r\n";
}

struct TLoaded {
    TAlphaLetterList letters;
    TLoadStatus status{TLoadState::NotStarted};
    std::string version;
    TLoadState result = TLoadState::NotStarted;
};

void Load(TLoaded& loaded, const std::string& xml, TDataSet type) {
    std::istringstream source(xml);
    loaded.result = LoadIndexFromStream(source, type, loaded.letters, loaded.status, &loaded.version);
}

const TTerm& MainTerm(const TLoaded& loaded, std::size_t letter, std::size_t term) {
    return *loaded.letters.at(letter)->FMainTermList.at(term);
}

}  // namespace

TEST(IndexTitle, TextOnlyTitleKeepsItsBlanksAndNemodIsPaddedWithBlanks) {
    TRecordingMessages messages;
    TLoaded loaded;
    Load(loaded,
         IndexFile("<letter><title>A</title>"
                   "<mainTerm><title>Neoplasm, neoplastic </title></mainTerm>"
                   "<mainTerm><title>Abasia<nemod>(-astasia) (hysterical)</nemod></title>"
                   "  <term level=\"1\"><title>vein<nemod>(peripheral)</nemod> NEC</title></term>"
                   "  <term level=\"1\"><title><nemod>(gastro)</nemod>enteritis</title></term>"
                   "  <term level=\"1\"><title>a<b>ignored</b>c<nemod>x</nemod><nemod>y</nemod></title></term>"
                   "  <term level=\"1\"><title>  two  blanks  </title></term>"
                   "  <term level=\"1\"><title>caf\xC3\xA9 &amp; <nemod>(&lt;x&gt;)</nemod></title></term>"
                   "</mainTerm></letter>"),
         TDataSet::DiseaseIndex);
    ASSERT_EQ(loaded.result, TLoadState::Done);
    EXPECT_EQ(MainTerm(loaded, 0, 0).FTitle, "Neoplasm, neoplastic ");
    const TTerm& abasia = MainTerm(loaded, 0, 1);
    EXPECT_EQ(abasia.FTitle, "Abasia (-astasia) (hysterical) ");
    ASSERT_EQ(abasia.FSubTermList.size(), 5u);
    EXPECT_EQ(abasia.FSubTermList[0]->FTitle, "vein (peripheral)  NEC");
    EXPECT_EQ(abasia.FSubTermList[1]->FTitle, " (gastro) enteritis");
    EXPECT_EQ(abasia.FSubTermList[2]->FTitle, "ac x  y ");
    EXPECT_EQ(abasia.FSubTermList[3]->FTitle, "  two  blanks  ");
    EXPECT_EQ(abasia.FSubTermList[4]->FTitle, "caf\xC3\xA9 &  (<x>) ");
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(IndexReader, ReadsEveryIndexElementIntoItsFieldAndBuildsTheTree) {
    TRecordingMessages messages;
    TLoaded loaded;
    Load(loaded,
         IndexFile("<letter><title>A</title>"
                   "<mainTerm><title>Abandonment</title><see>Maltreatment</see></mainTerm>"
                   "<mainTerm><title>Amyloid heart</title><code>E85.4</code><manif>I43</manif>"
                   "  <term level=\"1\"><title>infectious</title><seecat>M01</seecat>"
                   "    <term level=\"2\"><title>acoustic</title><subcat>H93.3</subcat><code>old</code>"
                   "<code>H93.3-</code></term>"
                   "  </term>"
                   "</mainTerm></letter>"
                   "<indexHeading><head col=\"1\">ignored</head></indexHeading>"
                   "<letter><title>B</title><other/><mainTerm><title>Bee</title><seeAlso>Sting</seeAlso>"
                   "</mainTerm></letter>"),
         TDataSet::ExternalIndex);
    ASSERT_EQ(loaded.result, TLoadState::Done);
    EXPECT_EQ(loaded.status.load(), TLoadState::Done);
    EXPECT_EQ(loaded.version, "2099");
    ASSERT_EQ(loaded.letters.size(), 2u);
    EXPECT_EQ(loaded.letters[0]->FLetter, "A");
    EXPECT_EQ(loaded.letters[1]->FLetter, "B");

    const TTerm& abandonment = MainTerm(loaded, 0, 0);
    EXPECT_EQ(abandonment.FSee, "Maltreatment");
    EXPECT_EQ(abandonment.FCode, "");
    EXPECT_EQ(abandonment.FParent, loaded.letters[0].get());
    EXPECT_EQ(abandonment.ParentTerm(), nullptr);

    const TTerm& amyloid = MainTerm(loaded, 0, 1);
    EXPECT_EQ(amyloid.FCode, "E85.4");
    EXPECT_EQ(amyloid.FManifest, "I43");
    const TTerm& infectious = *amyloid.FSubTermList.at(0);
    EXPECT_EQ(infectious.FSeeCat, "M01");
    EXPECT_EQ(infectious.FLevel, 1);
    EXPECT_EQ(infectious.ParentTerm(), &amyloid);
    const TTerm& acoustic = *infectious.FSubTermList.at(0);
    EXPECT_EQ(acoustic.FSubCat, "H93.3");
    EXPECT_EQ(acoustic.FCode, "H93.3-") << "a repeated element replaces the earlier value";
    EXPECT_EQ(acoustic.FLevel, 2);
    EXPECT_EQ(acoustic.Letter(), loaded.letters[0].get());
    EXPECT_EQ(amyloid.GetTextLines(), 3);

    EXPECT_EQ(MainTerm(loaded, 1, 0).FSeeAlso, "Sting");
    EXPECT_TRUE(messages.Messages().empty()) << "unknown children of the root and of a letter are skipped silently";
}

TEST(IndexReader, UnknownTermChildIsReportedOnceEachAndLoadingGoesOn) {
    TRecordingMessages messages;
    TLoaded loaded;
    Load(loaded,
         IndexFile("<letter><title>A</title>"
                   "<mainTerm><title>One</title><xyz>1</xyz><code>A00</code></mainTerm>"
                   "<mainTerm><title>Two</title><cell col=\"2\">A01</cell></mainTerm>"
                   "</letter>"),
         TDataSet::DiseaseIndex);
    EXPECT_EQ(loaded.result, TLoadState::Done);
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"Unhandled node type: xyz", "Unhandled node type: cell"}));
    ASSERT_EQ(loaded.letters.at(0)->FMainTermList.size(), 2u);
    EXPECT_EQ(MainTerm(loaded, 0, 0).FCode, "A00");
    EXPECT_EQ(MainTerm(loaded, 0, 1).Cell(2), "") << "the index reader has no cells";
}

TEST(TableReader, CellsGoToTheirColumnsAndIndexOnlyElementsAreUnhandled) {
    TRecordingMessages messages;
    TLoaded loaded;
    Load(loaded,
         IndexFile("<letter><title>#</title>"
                   "<mainTerm><title>Absinthe</title>"
                   "<cell col=\"2\">T51.0X1</cell><cell col=\"3\">T51.0X2</cell><cell col=\"4\">T51.0X3</cell>"
                   "<cell col=\"5\">T51.0X4</cell><cell col=\"6\">--</cell><cell col=\"7\">-</cell>"
                   "<cell col=\"9\">dropped</cell><cell col=\"1\">dropped</cell><cell col=\" 7 \">last</cell>"
                   "  <term level=\"1\"><title>beverage</title><code>T51.0X1</code><seecat>T51</seecat>"
                   "<subcat>T51.0</subcat></term>"
                   "</mainTerm>"
                   "<mainTerm><title>Plain</title></mainTerm></letter>"),
         TDataSet::DrugTable);
    ASSERT_EQ(loaded.result, TLoadState::Done);
    const TTerm& absinthe = MainTerm(loaded, 0, 0);
    EXPECT_EQ(absinthe.Cell(2), "T51.0X1");
    EXPECT_EQ(absinthe.Cell(3), "T51.0X2");
    EXPECT_EQ(absinthe.Cell(4), "T51.0X3");
    EXPECT_EQ(absinthe.Cell(5), "T51.0X4");
    EXPECT_EQ(absinthe.Cell(6), "--");
    EXPECT_EQ(absinthe.Cell(7), "last");
    EXPECT_EQ(absinthe.Cell(1), "");
    EXPECT_EQ(absinthe.Cell(9), "");
    const TTerm& beverage = *absinthe.FSubTermList.at(0);
    EXPECT_EQ(beverage.FCode, "");
    EXPECT_EQ(beverage.FSeeCat, "");
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"Unhandled node type: code", "Unhandled node type: seecat",
                                                             "Unhandled node type: subcat"}));
    for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column) {
        EXPECT_EQ(MainTerm(loaded, 0, 1).Cell(column), "") << "a row without cells keeps six empty cells";
    }
}

TEST(IndexLoaderFailure, NonNumericColumnFailsTheLoadAndKeepsWhatWasRead) {
    for (const char* badColumn : {"x", "", "2a", "0x3"}) {
        TRecordingMessages messages;
        TLoaded loaded;
        Load(loaded,
             IndexFile(std::string("<letter><title>A</title><mainTerm><title>Kept</title></mainTerm></letter>"
                                   "<letter><title>B</title><mainTerm><title>Also kept</title></mainTerm>"
                                   "<mainTerm><title>Broken</title><cell col=\"") +
                       badColumn +
                       "\">T00</cell></mainTerm><mainTerm><title>Never read</title></mainTerm></letter>"
                       "<letter><title>C</title></letter>"),
             TDataSet::NeoplasmTable);
        EXPECT_EQ(loaded.result, TLoadState::Failed) << badColumn;
        EXPECT_EQ(loaded.status.load(), TLoadState::Failed);
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Alpha Search File Fail1!"});
        ASSERT_EQ(loaded.letters.size(), 2u);
        EXPECT_EQ(loaded.letters[0]->FMainTermList.size(), 1u);
        ASSERT_EQ(loaded.letters[1]->FMainTermList.size(), 1u) << "the row being read is dropped";
        EXPECT_EQ(loaded.letters[1]->FMainTermList[0]->FTitle, "Also kept");
    }
}

TEST(IndexLoaderFailure, DamagedXmlGivesOneMessageAndFailedStatus) {
    for (const std::string& xml : {std::string("<ICD10CM.index><letter><title>A</title><mainTerm><title>x</title>"),
                                   std::string("<ICD10CM.index><letter></mainTerm></letter></ICD10CM.index>"),
                                   std::string(""), std::string("plain text")}) {
        TRecordingMessages messages;
        TLoaded loaded;
        loaded.letters.push_back(std::make_unique<TAlphaLetter>());  // an earlier load's content is cleared
        Load(loaded, xml, TDataSet::DiseaseIndex);
        EXPECT_EQ(loaded.result, TLoadState::Failed) << xml;
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Alpha Search File Fail1!"}) << xml;
        EXPECT_TRUE(loaded.letters.empty());
    }
}

TEST(IndexLoaderFailure, DeeplyNestedTermsOrTextElementsFailTheLoadInsteadOfOverflowingTheStack) {
    // 40,000 levels: far past any stack a recursive reader could use, in both readers and in a
    // term's text elements.
    auto nested = [](const std::string& open, const std::string& close) {
        std::string xml;
        for (int level = 0; level < 40000; ++level) xml += open;
        for (int level = 0; level < 40000; ++level) xml += close;
        return xml;
    };
    const std::string terms = nested("<term><title>t</title>", "</term>");
    const std::string texts = "<see>" + nested("<i>", "</i>") + "</see>";
    for (const auto& [body, type] : {std::pair{terms, TDataSet::DiseaseIndex}, std::pair{terms, TDataSet::DrugTable},
                                     std::pair{texts, TDataSet::ExternalIndex}}) {
        TRecordingMessages messages;
        TLoaded loaded;
        Load(loaded,
             IndexFile("<letter><title>A</title><mainTerm><title>ok</title></mainTerm><mainTerm>" + body +
                       "</mainTerm></letter>"),
             type);
        EXPECT_EQ(loaded.result, TLoadState::Failed) << type;
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Alpha Search File Fail1!"});
        ASSERT_EQ(loaded.letters.size(), 1u);
        EXPECT_EQ(MainTerm(loaded, 0, 0).FTitle, "ok");  // what was read before stays
    }
}

TEST(IndexLoaderFailure, TruncatedCompressedResourceFailsEvenWhenTheXmlLooksComplete) {
    TRecordingMessages messages;
    const std::string xml = IndexFile("<letter><title>A</title><mainTerm><title>One</title></mainTerm></letter>");
    std::vector<unsigned char> packed(compressBound(xml.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(xml.data()), xml.size(), 9), Z_OK);

    TLoadStatus status{TLoadState::Loading};
    TAlphaLetterList letters;
    TResourceStream whole(TResourceBytes{packed.data(), packedSize});
    EXPECT_EQ(LoadIndexFromStream(whole, TDataSet::DiseaseIndex, letters, status), TLoadState::Done);
    EXPECT_EQ(letters.size(), 1u);

    // Without its checksum the stream never reaches its end marker: the data cannot be trusted.
    status = TLoadState::Loading;
    TResourceStream truncated(TResourceBytes{packed.data(), packedSize - 4});
    EXPECT_EQ(LoadIndexFromStream(truncated, TDataSet::DiseaseIndex, letters, status), TLoadState::Failed);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Alpha Search File Fail1!"});
}

TEST(IndexLoaderStatus, StartsFromZeroOrOneAndNeverOverwritesACancel) {
    TRecordingMessages messages;
    const std::string xml = IndexFile("<letter><title>A</title><mainTerm><title>One</title></mainTerm></letter>");
    {
        TLoaded loaded;
        loaded.status = TLoadState::Loading;
        Load(loaded, xml, TDataSet::ExternalIndex);
        EXPECT_EQ(loaded.result, TLoadState::Done);
    }
    {
        TLoaded loaded;
        loaded.status = TLoadState::Cancelled;
        Load(loaded, xml, TDataSet::ExternalIndex);
        EXPECT_EQ(loaded.result, TLoadState::Cancelled);
        EXPECT_TRUE(loaded.letters.empty());
    }
    {
        TLoaded loaded;
        loaded.status = TLoadState::Loading;
        Load(loaded, xml, TDataSet::CodeKeywords);
        EXPECT_EQ(loaded.result, TLoadState::Failed) << "a data set that is no index is a failed load, not a done one";
    }
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Alpha Search File Fail1!"});
}

namespace {

// Plays the closing main window: the first message it sees cancels the load.
class TCancelOnMessage : public TRecordingMessages {
public:
    explicit TCancelOnMessage(TLoadStatus& status) : FStatus(status) {}
    void ShowMessage(const std::string& text) override {
        TRecordingMessages::ShowMessage(text);
        TLoadState expected = TLoadState::Loading;
        FStatus.compare_exchange_strong(expected, TLoadState::Cancelled);
    }

private:
    TLoadStatus& FStatus;
};

}  // namespace

TEST(IndexLoaderStatus, CancelStopsAtTheNextNodeKeepsWhatWasReadAndStaysCancelled) {
    TLoaded loaded;
    TCancelOnMessage messages(loaded.status);
    Load(loaded,
         IndexFile("<letter><title>A</title><mainTerm><title>First</title></mainTerm>"
                   "<mainTerm><title>Second</title><unknown/><code>never</code>"
                   "<term level=\"1\"><title>never</title></term></mainTerm>"
                   "<mainTerm><title>Third</title></mainTerm></letter>"
                   "<letter><title>B</title></letter>"),
         TDataSet::DiseaseIndex);
    EXPECT_EQ(loaded.result, TLoadState::Cancelled);
    EXPECT_EQ(loaded.status.load(), TLoadState::Cancelled);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Unhandled node type: unknown"});
    ASSERT_EQ(loaded.letters.size(), 1u);
    ASSERT_EQ(loaded.letters[0]->FMainTermList.size(), 2u);
    const TTerm& second = MainTerm(loaded, 0, 1);
    EXPECT_EQ(second.FTitle, "Second");
    EXPECT_EQ(second.FCode, "");
    EXPECT_TRUE(second.FSubTermList.empty());
}

TEST(IndexLoaderStatus, LoadIndexFileIgnoresTheOtherDataSets) {
    const auto snapshot = [] {
        return std::vector<std::size_t>{static_cast<std::size_t>(LoadedData().Status[TDataSet::DiseaseIndex].load()),
                                        static_cast<std::size_t>(LoadedData().Status[TDataSet::ExternalIndex].load()),
                                        static_cast<std::size_t>(LoadedData().Status[TDataSet::DrugTable].load()),
                                        static_cast<std::size_t>(LoadedData().Status[TDataSet::NeoplasmTable].load()),
                                        LoadedData().Index.DiseaseIndex.size(),
                                        LoadedData().Index.ExternalIndex.size(),
                                        LoadedData().Index.DrugTable.size(),
                                        LoadedData().Index.NeoplasmTable.size()};
    };
    const auto before = snapshot();
    for (TDataSet set : {TDataSet::Tabular, TDataSet::CodeKeywords}) {
        LoadIndexFile(LoadedData().Index, set, LoadedData().Status[set]);
        EXPECT_EQ(IndexResourceName(set), nullptr);
        EXPECT_THROW(LoadedData().Index.LettersOf(set), std::invalid_argument);
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_STREQ(IndexResourceName(TDataSet::NeoplasmTable), "TableOfNeoplasms");
}

TEST(TermTitles, FullTitleAppendsReferencesInFixedOrderAndLevelTitleAddsHyphens) {
    TAlphaLetter letter;
    TTerm term(&letter, 0);
    term.FTitle = "Aberrant (congenital) ";
    term.FSeeAlso = "Malposition, congenital";
    EXPECT_EQ(term.GetFullTitle(true), "Aberrant (congenital)  --see also Malposition, congenital");

    term.FTitle = "T";
    term.FSee = "S";
    term.FManifest = "I43";
    term.FSeeCat = "M01";
    term.FSubCat = "H93.3";
    term.FCode = "E85.4";
    term.FCodesInCell[0] = "C00";
    EXPECT_EQ(term.GetFullTitle(true),
              "T --see S --see also Malposition, congenital [I43] --see category M01 --see subcategory H93.3");
    EXPECT_EQ(term.GetFullTitle(false),
              "T --see S --see also Malposition, congenital --see category M01 --see subcategory H93.3");
    EXPECT_EQ(term.GetLevelTitle(false), term.GetFullTitle(false)) << "a main term gets no prefix";

    TTerm sub(&term, 2);
    sub.FTitle = "cavity";
    EXPECT_EQ(sub.GetLevelTitle(true), "-- cavity");
    TTerm deep(&sub, 9);
    deep.FTitle = "x";
    deep.FManifest = "J99";
    EXPECT_EQ(deep.GetLevelTitle(true), "--------- x [J99]");
    EXPECT_EQ(deep.Letter(), &letter);
}
