// The tabular loader on small hand-written documents: the walk, the status protocol, damaged and
// unexpected input.
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>

#include "tests/model/TabularRealDataTest.h"

namespace {

const std::string FailMessage = "Load Tabular File Fail1!";

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<ICD10CM.tabular>\r\n  <version>2021</version>\r\n" + body +
           "</ICD10CM.tabular>\r\n";
}

// One chapter with one section holding the given diag elements.
std::string Chapter(const std::string& desc, const std::string& sectionDesc, const std::string& diags) {
    return "<chapter><name>1</name><desc>" + desc + "</desc><sectionIndex><sectionRef first=\"A00\" last=\"A09\" " +
           "id=\"A00-A09\">Intestinal</sectionRef></sectionIndex><section id=\"A00-A09\"><desc>" + sectionDesc +
           "</desc>" + diags + "</section></chapter>\r\n";
}

std::string Diag(const std::string& code, const std::string& inner = "") {
    return "<diag><name>" + code + "</name><desc>Desc of " + code + "</desc>" + inner + "</diag>";
}

std::string SevenChrDef(const std::string& exceptionOfD) {
    return "<sevenChrDef><extension char=\"A\">initial encounter</extension><extension char=\"D\" exception=\"" +
           exceptionOfD + "\">subsequent encounter</extension><extension char=\"S\">sequela</extension></sevenChrDef>";
}

const std::string TwoChapters =
    Chapter("Certain infectious and parasitic diseases (A00-B99)", "Intestinal infectious diseases (A00-A09)",
            Diag("A00", Diag("A00.0") + Diag("A00.1")) + Diag("A01")) +
    Chapter("Neoplasms (C00-D49)", "Malignant neoplasms of lip (C00-C14)", Diag("C00", Diag("C00.0")));

}  // namespace

TEST(TabularLoader, BuildsChaptersSectionsAndTheCodeTree) {
    const auto loaded = LoadTabularText(
        Document("<introduction><introSection type=\"title\"><title>TABULAR LIST</title></introSection>"
                 "<introSection type=\"subtitle\"><title>Instructional Notations</title></introSection>"
                 "<introSection type=\"instruction\"><title>Includes:</title><instruction><note>First</note>"
                 "<note>Second</note></instruction></introSection><introSection type=\"other\"><title>x</title>"
                 "</introSection></introduction>\r\n" +
                 TwoChapters));
    EXPECT_EQ(loaded->result, TLoadState::Done);
    EXPECT_EQ(loaded->status.load(), TLoadState::Done);
    EXPECT_TRUE(loaded->messages.empty());

    EXPECT_EQ(loaded->introduction.FTitle, "TABULAR LIST");
    EXPECT_EQ(loaded->introduction.FSubTitle, "Instructional Notations");
    ASSERT_EQ(loaded->introduction.FInstructionList.size(), 1u);
    EXPECT_EQ(loaded->introduction.FInstructionList[0]->FTypeWord, "Includes:");
    EXPECT_EQ(loaded->introduction.FInstructionList[0]->FNoteList, (TStringList{"First", "Second"}));

    ASSERT_EQ(loaded->chapters.size(), 2u);
    const TChapter& chapter = *loaded->chapters[0];
    EXPECT_EQ(chapter.FInfo.FName, "Certain infectious and parasitic diseases");
    EXPECT_EQ(chapter.FInfo.FScope, "(A00-B99)");
    ASSERT_EQ(chapter.FSubList.size(), 1u);
    const TSubChapter& section = *chapter.FSubList[0];
    EXPECT_EQ(section.FChapter, &chapter);
    EXPECT_EQ(section.FInfo.FName, "Intestinal infectious diseases");
    ASSERT_EQ(section.FCodeList.size(), 2u);
    const TCodeInfo& a00 = *section.FCodeList[0];
    EXPECT_EQ(a00.FCode, "A00");
    EXPECT_EQ(a00.FDesc, "Desc of A00");
    EXPECT_EQ(a00.FLevel, 0);
    EXPECT_EQ(a00.FParent, nullptr);
    EXPECT_EQ(a00.FSubChapter, &section);
    ASSERT_EQ(a00.FSubCodeList.size(), 2u);
    EXPECT_EQ(a00.FSubCodeList[1]->FCode, "A00.1");
    EXPECT_EQ(a00.FSubCodeList[1]->FLevel, 1);
    EXPECT_EQ(a00.FSubCodeList[1]->FParent, &a00);
    EXPECT_EQ(a00.FSubCodeList[1]->FSubChapter, &section);
    EXPECT_EQ(section.FCodeList[1]->FCode, "A01");
}

TEST(TabularLoader, ReadsNotesByParentAndWholeElementText) {
    const auto loaded = LoadTabularText(
        Document("<chapter><desc>Chapter (A00-B99)</desc><includes><note>inc</note></includes>"
                 "<excludes2><note>ex2</note></excludes2>"
                 "<section id=\"A00-A09\"><desc>Section (A00-A09)</desc><codeAlso><note>also</note></codeAlso>"
                 "<diag><name>A00</name><desc>Cholera <i>due</i> to<![CDATA[ x]]></desc>"
                 "<inclusionTerm><note>one</note><other>skipped</other><note>two <b>bold</b></note></inclusionTerm>"
                 "<sevenChrNote><note>seventh</note></sevenChrNote><codeFirst><note>first</note></codeFirst>"
                 "<useAdditionalCode><note>use</note></useAdditionalCode><excludes1><note>ex1</note></excludes1>"
                 "<notes><note>n</note></notes></diag></section></chapter>"));
    ASSERT_EQ(loaded->result, TLoadState::Done);
    EXPECT_TRUE(loaded->messages.empty());
    const TChapter& chapter = *loaded->chapters[0];
    ASSERT_EQ(chapter.FInfo.FItemList.size(), 2u);
    const auto& includes = static_cast<const TNoteBase&>(*chapter.FInfo.FItemList[0]);
    EXPECT_EQ(includes.FKind, TNoteKind::Includes);
    EXPECT_EQ(includes.FTypeWord, "INCLUDES");
    EXPECT_EQ(includes.FNoteList, TStringList{"inc"});
    EXPECT_EQ(static_cast<const TNoteBase&>(*chapter.FInfo.FItemList[1]).FKind, TNoteKind::Excludes2);

    const TSubChapter& section = *chapter.FSubList[0];
    ASSERT_EQ(section.FInfo.FItemList.size(), 1u);
    EXPECT_EQ(static_cast<const TNoteBase&>(*section.FInfo.FItemList[0]).FKind, TNoteKind::CodeAlso);

    const TCodeInfo& code = *section.FCodeList[0];
    EXPECT_EQ(code.FDesc, "Cholera due to x");
    const TNoteKind expected[] = {TNoteKind::InclusionTerm,     TNoteKind::SevenCharNote, TNoteKind::CodeFirst,
                                  TNoteKind::UseAdditionalCode, TNoteKind::Excludes1,     TNoteKind::Notes};
    ASSERT_EQ(code.FItemList.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        ASSERT_EQ(code.FItemList[i]->FItemKind, TItemKind::Note);
        EXPECT_EQ(static_cast<const TNoteBase&>(*code.FItemList[i]).FKind, expected[i]) << i;
    }
    EXPECT_EQ(static_cast<const TNoteBase&>(*code.FItemList[0]).FNoteList, (TStringList{"one", "two bold"}));
}

TEST(TabularLoader, UnknownElementsAreReportedOnceEachAndLoadingGoesOn) {
    const auto loaded = LoadTabularText(
        Document("<chapter><desc>Chapter (A00-B99)</desc><codeFirst><note>not here</note></codeFirst>"
                 "<section id=\"A00-A09\"><desc>Section (A00-A09)</desc><sevenChrNote><note>x</note></sevenChrNote>"
                 "<diag><name>A00</name><heading>odd</heading><!-- a remark --><desc>Cholera</desc>"
                 "<diag><name>A00.0</name></diag></diag><diag><name>A01</name></diag></section></chapter>"
                 "<somethingElse/>"));
    EXPECT_EQ(loaded->result, TLoadState::Done);
    EXPECT_EQ(loaded->messages,
              (std::vector<std::string>{"Undealed chapter node: codeFirst", "Undealed subchapter node: sevenChrNote",
                                        "Undealed code node: heading", "Undealed code node: #comment"}));
    const TSubChapter& section = *loaded->chapters[0]->FSubList[0];
    ASSERT_EQ(section.FCodeList.size(), 2u);
    EXPECT_EQ(section.FCodeList[0]->FDesc, "Cholera");
    EXPECT_EQ(section.FCodeList[0]->FSubCodeList.size(), 1u);
    EXPECT_TRUE(section.FCodeList[0]->FItemList.empty());
    EXPECT_EQ(section.FCodeList[1]->FCode, "A01");
}

TEST(TabularLoader, PlaceholderAttributeIsCaseInsensitiveTrue) {
    const auto loaded = LoadTabularText(Document(Chapter(
        "C (A00-B99)", "S (A00-A09)",
        "<diag placeholder=\"true\"><name>H21.1X</name></diag><diag placeholder=\"TRUE\"><name>H21.2X</name></diag>"
        "<diag placeholder=\"yes\"><name>H21.3X</name></diag><diag><name>H21.4</name></diag>")));
    ASSERT_EQ(loaded->result, TLoadState::Done);
    const auto& codes = loaded->chapters[0]->FSubList[0]->FCodeList;
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_TRUE(codes[0]->FPlaceHolder);
    EXPECT_TRUE(codes[1]->FPlaceHolder);
    EXPECT_FALSE(codes[2]->FPlaceHolder);
    EXPECT_FALSE(codes[3]->FPlaceHolder);
}

TEST(TabularLoader, SevenCharDefReadsExtensionsAndExceptionRules) {
    const auto loaded = LoadTabularText(
        Document(Chapter("C (S00-T88)", "S (S00-S09)",
                         Diag("S06",
                              "<sevenChrDef><note>skipped</note><extension char=\"A\">initial encounter</extension>"
                              "<extension char=\"D\" exception=\"6:7;6:8\">subsequent encounter</extension>"
                              "<extension char=\"S\" exception=\"6:7 5:X\">sequela</extension></sevenChrDef>"))));
    ASSERT_EQ(loaded->result, TLoadState::Done);
    const TCodeInfo& s06 = *loaded->chapters[0]->FSubList[0]->FCodeList[0];
    ASSERT_EQ(s06.FItemList.size(), 1u);
    ASSERT_EQ(s06.FItemList[0]->FItemKind, TItemKind::SevenCharDef);
    const auto& definition = static_cast<const TSevenCharDef&>(*s06.FItemList[0]);
    ASSERT_EQ(definition.FDefList.size(), 3u);
    EXPECT_EQ(definition.FDefList[0]->FChar, "A");
    EXPECT_EQ(definition.FDefList[0]->FDesc, "initial encounter");
    EXPECT_TRUE(definition.FDefList[0]->FDefExceptionList.empty());
    const auto& rulesOfD = definition.FDefList[1]->FDefExceptionList;
    ASSERT_EQ(rulesOfD.size(), 2u);
    EXPECT_EQ(rulesOfD[0]->FCodePos, 6);
    EXPECT_EQ(rulesOfD[0]->FCodeVal, '7');
    EXPECT_EQ(rulesOfD[1]->FCodeVal, '8');
    // A blank separates rules like ";" does.
    const auto& rulesOfS = definition.FDefList[2]->FDefExceptionList;
    ASSERT_EQ(rulesOfS.size(), 2u);
    EXPECT_EQ(rulesOfS[1]->FCodePos, 5);
    EXPECT_EQ(rulesOfS[1]->FCodeVal, 'X');
}

TEST(TabularLoader, SetExceptionKeepsOnlyWellFormedRules) {
    const auto rules = [](const std::string& text) {
        TCharDef character;
        character.SetException(text);
        std::string result;
        for (const auto& rule : character.FDefExceptionList) {
            result += std::to_string(rule->FCodePos) + ":" + rule->FCodeVal + ";";
        }
        return result;
    };
    EXPECT_EQ(rules(""), "");
    EXPECT_EQ(rules("6:77"), "");
    EXPECT_EQ(rules("3:7"), "");
    EXPECT_EQ(rules("7:1"), "");
    EXPECT_EQ(rules("6:"), "");
    EXPECT_EQ(rules("66:"), "");
    EXPECT_EQ(rules("6:7:8"), "");
    EXPECT_EQ(rules("4:1;5:2;6:3;"), "4:1;5:2;6:3;");
    EXPECT_EQ(rules("  6:7 ;; 6:8  "), "6:7;6:8;");
    // Quotes group a rule with blanks in it; the character is trimmed.
    EXPECT_EQ(rules("\"6: 7\""), "6:7;");
    EXPECT_EQ(rules("+5:A"), "5:A;");
    EXPECT_THROW(rules("x:7"), std::exception);
    EXPECT_THROW(rules("6:7;6x:8"), std::exception);
}

TEST(TabularLoader, VisualImpairmentTableKeepsNumberedRowsAndThreeRanges) {
    const std::string range =
        "<visRange><visMax><value>6/18</value></visMax><visMin><value>6/60</value></visMin></visRange>";
    const auto loaded = LoadTabularText(Document(Chapter(
        "C (H00-H59)", "S (H53-H54)",
        Diag("H54.8", "<visualImpairment><visCategory><heading>Category</heading>" + range +
                          "</visCategory><visCategory><value>4</value>" + range + range + range +
                          "<visRange><visMax><value>extra</value></visMax></visRange></visCategory>"
                          "<visCategory><value>5</value><visRange><visMax><value>No light perception</value></visMax>"
                          "</visRange>" +
                          range +
                          "</visCategory>"
                          "<visCategory><value>9</value><visRange><visMax>bare</visMax></visRange><other/>" +
                          range + "</visCategory><other/></visualImpairment>"))));
    ASSERT_EQ(loaded->result, TLoadState::Done);
    const TCodeInfo& code = *loaded->chapters[0]->FSubList[0]->FCodeList[0];
    ASSERT_EQ(code.FItemList.size(), 1u);
    ASSERT_EQ(code.FItemList[0]->FItemKind, TItemKind::VisualImpairment);
    const auto& table = static_cast<const TVisualImpairment&>(*code.FItemList[0]);
    ASSERT_EQ(table.FVisCategoryList.size(), 3u);
    const TVisCategory& four = *table.FVisCategoryList[0];
    EXPECT_EQ(four.FValue, 4);
    for (const auto& slot : four.VisRanges) {
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(slot->FVisMax, "6/18");
        EXPECT_EQ(slot->FVisMin, "6/60");
    }
    const TVisCategory& five = *table.FVisCategoryList[1];
    ASSERT_NE(five.VisRanges[0], nullptr);
    EXPECT_EQ(five.VisRanges[0]->FVisMax, "No light perception");
    EXPECT_EQ(five.VisRanges[0]->FVisMin, "");
    ASSERT_NE(five.VisRanges[1], nullptr);
    EXPECT_EQ(five.VisRanges[2], nullptr);
    // A value without its element stays empty; the walk stops at the first sibling that is no range.
    const TVisCategory& nine = *table.FVisCategoryList[2];
    ASSERT_NE(nine.VisRanges[0], nullptr);
    EXPECT_EQ(nine.VisRanges[0]->FVisMax, "");
    EXPECT_EQ(nine.VisRanges[1], nullptr);
}

TEST(TabularLoader, NonIntegerExceptionPositionFailsAndKeepsWhatWasRead) {
    const std::string secondChapter =
        "<chapter><desc>Injury (S00-T88)</desc><section id=\"S00-S09\"><desc>Head (S00-S09)</desc>" +
        Diag("S00", Diag("S00.0")) + "</section><section id=\"S10-S19\"><desc>Neck (S10-S19)</desc>" +
        Diag("S10", SevenChrDef("x:7")) + Diag("S11") + "</section></chapter>";
    const auto loaded = LoadTabularText(
        Document(TwoChapters + secondChapter + Chapter("Never read (V00-Y99)", "Never (V00-V09)", Diag("V00"))));
    EXPECT_EQ(loaded->result, TLoadState::Failed);
    EXPECT_EQ(loaded->status.load(), TLoadState::Failed);
    EXPECT_EQ(loaded->messages, std::vector<std::string>{FailMessage});
    ASSERT_EQ(loaded->chapters.size(), 3u);
    EXPECT_EQ(loaded->chapters[1]->FSubList[0]->FCodeList[0]->FSubCodeList.size(), 1u);
    // The failing chapter stays with the sections completed before the error.
    const TChapter& partial = *loaded->chapters[2];
    EXPECT_EQ(partial.FInfo.FName, "Injury");
    ASSERT_EQ(partial.FSubList.size(), 1u);
    EXPECT_EQ(partial.FSubList[0]->FInfo.FName, "Head");
}

TEST(TabularLoader, NonIntegerCategoryValueFailsTheLoad) {
    const auto loaded = LoadTabularText(Document(
        Chapter("C (H00-H59)", "S (H53-H54)",
                Diag("H54.8", "<visualImpairment><visCategory><value>four</value></visCategory></visualImpairment>"))));
    EXPECT_EQ(loaded->result, TLoadState::Failed);
    EXPECT_EQ(loaded->messages, std::vector<std::string>{FailMessage});
}

TEST(TabularLoader, DamagedDocumentKeepsTheChaptersBeforeTheDamage) {
    // Cut inside the second section of the third chapter.
    const std::string third =
        "<chapter><desc>Injury (S00-T88)</desc><section id=\"S00-S09\"><desc>Head (S00-S09)</desc>" + Diag("S00") +
        "</section><section id=\"S10-S19\"><desc>Neck</desc><diag><name>S1";
    const auto loaded = LoadTabularText("<?xml version=\"1.0\"?><ICD10CM.tabular>" + TwoChapters + third);
    EXPECT_EQ(loaded->result, TLoadState::Failed);
    EXPECT_EQ(loaded->messages, std::vector<std::string>{FailMessage});
    ASSERT_EQ(loaded->chapters.size(), 3u);
    EXPECT_EQ(loaded->chapters[0]->FSubList[0]->FCodeList.size(), 2u);
    EXPECT_EQ(loaded->chapters[1]->FSubList[0]->FCodeList[0]->FSubCodeList.size(), 1u);
    // Nothing half-read enters the model: the open section (with its cut code) is left out.
    ASSERT_EQ(loaded->chapters[2]->FSubList.size(), 1u);
    EXPECT_EQ(loaded->chapters[2]->FSubList[0]->FInfo.FName, "Head");
    EXPECT_EQ(loaded->chapters[2]->FSubList[0]->FCodeList[0]->FCode, "S00");
}

TEST(TabularLoader, DocumentsWithoutTabularRootFail) {
    for (const std::string& text : {std::string(), std::string("not xml at all"), std::string("<ICD10CM.tab"),
                                    std::string("<ICD10CM.index><letter/></ICD10CM.index>")}) {
        const auto loaded = LoadTabularText(text);
        EXPECT_EQ(loaded->result, TLoadState::Failed) << text;
        EXPECT_EQ(loaded->messages, std::vector<std::string>{FailMessage}) << text;
        EXPECT_TRUE(loaded->chapters.empty());
    }
}

TEST(TabularLoader, DamagedCompressedStreamFails) {
    const auto bytes = EmbeddedResources().Find("Tabular");
    ASSERT_TRUE(bytes.has_value());
    // The first 64 KB of the compressed data: a valid start that ends early.
    TResourceStream stream(TResourceBytes{bytes->data, std::min<std::size_t>(bytes->size, 64 * 1024)});
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::NotStarted};
    TRecordingMessages recorder;
    EXPECT_EQ(LoadTabularFromStream(stream, chapters, introduction, status), TLoadState::Failed);
    EXPECT_EQ(recorder.Messages(), std::vector<std::string>{FailMessage});
    EXPECT_FALSE(chapters.empty());
}

TEST(TabularLoader, DeeplyNestedCodesFailInsteadOfOverflowing) {
    std::string nested;
    for (int i = 0; i < 100000; ++i) nested += "<diag>";
    for (int i = 0; i < 100000; ++i) nested += "</diag>";
    const auto loaded = LoadTabularText(Document(Chapter("C (A00-B99)", "S (A00-A09)", nested)));
    EXPECT_EQ(loaded->result, TLoadState::Failed);
    EXPECT_EQ(loaded->messages, std::vector<std::string>{FailMessage});
}

TEST(TabularLoader, CancelledBeforeStartLeavesContainersUntouched) {
    TChapterList chapters;
    chapters.push_back(std::make_unique<TChapter>());
    TIntroduction introduction;
    introduction.FTitle = "kept";
    TLoadStatus status{TLoadState::Cancelled};
    TRecordingMessages recorder;
    std::istringstream source(Document(TwoChapters));
    EXPECT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Cancelled);
    EXPECT_EQ(status.load(), TLoadState::Cancelled);
    EXPECT_EQ(chapters.size(), 1u);
    EXPECT_EQ(introduction.FTitle, "kept");
    EXPECT_TRUE(recorder.Messages().empty());
}

namespace {

// Cancels the load from another thread while the loader waits for a message to be acknowledged,
// as closing the main window would.
class TCancellingMessages : public TRecordingMessages {
public:
    explicit TCancellingMessages(TLoadStatus& status) : FStatus(status) {}
    void ShowMessage(const std::string& text) override {
        TRecordingMessages::ShowMessage(text);
        std::thread([this] {
            TLoadState expected = TLoadState::Loading;
            FStatus.compare_exchange_strong(expected, TLoadState::Cancelled);
        }).join();
    }

private:
    TLoadStatus& FStatus;
};

}  // namespace

TEST(TabularLoader, CancelDuringTheWalkStopsAtTheNextElementAndStaysCancelled) {
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::Loading};
    TCancellingMessages messages(status);
    // The odd element in the first code raises a message; the cancel arrives meanwhile.
    std::istringstream source(
        Document(Chapter("C (A00-B99)", "S (A00-A09)", Diag("A00", "<heading/>" + Diag("A00.0")) + Diag("A01")) +
                 Chapter("Second (C00-D49)", "S (C00-C14)", Diag("C00", "<heading/>"))));
    EXPECT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Cancelled);
    EXPECT_EQ(status.load(), TLoadState::Cancelled);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Undealed code node: heading"});
    ASSERT_EQ(chapters.size(), 1u);
    // The code being read and its section are kept as far as they were read.
    ASSERT_EQ(chapters[0]->FSubList.size(), 1u);
    ASSERT_EQ(chapters[0]->FSubList[0]->FCodeList.size(), 1u);
    EXPECT_TRUE(chapters[0]->FSubList[0]->FCodeList[0]->FSubCodeList.empty());
}

TEST(TabularLoader, CancelDuringADamagedLoadShowsNoFailure) {
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::NotStarted};
    TCancellingMessages messages(status);
    std::istringstream source("<ICD10CM.tabular>" + Chapter("C (A00-B99)", "S", Diag("A00", "<heading/>")) +
                              "<chapter><desc>cut");
    EXPECT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Cancelled);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Undealed code node: heading"});
}

TEST(TabularLoader, ConcurrentCancelOfTheRealDataNeverEndsDone) {
    const auto bytes = EmbeddedResources().Find("Tabular");
    ASSERT_TRUE(bytes.has_value());
    for (int attempt = 0; attempt < 3; ++attempt) {
        TChapterList chapters;
        TIntroduction introduction;
        TLoadStatus status{TLoadState::NotStarted};
        std::atomic<TLoadState> result{TLoadState::NotStarted};
        std::thread loader([&] {
            TResourceStream stream(*bytes);
            result = LoadTabularFromStream(stream, chapters, introduction, status);
        });
        TLoadState expected = TLoadState::Loading;
        while (!status.compare_exchange_strong(expected, TLoadState::Cancelled)) {
            if (expected != TLoadState::NotStarted && expected != TLoadState::Loading) break;
            expected = TLoadState::Loading;
            std::this_thread::yield();
        }
        const bool cancelled = expected == TLoadState::Loading;
        loader.join();
        if (cancelled) {
            EXPECT_EQ(result.load(), TLoadState::Cancelled);
            EXPECT_EQ(status.load(), TLoadState::Cancelled);
        } else {
            EXPECT_EQ(result.load(), TLoadState::Done);
        }
    }
}

TEST(TabularLoader, LoadingStatusSetByTheStartUpIsTakenOver) {
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::Loading};
    std::istringstream source(Document(TwoChapters));
    EXPECT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Done);
    EXPECT_EQ(chapters.size(), 2u);
}

TEST(TabularLoader, LoadTabularFileWithoutItsResourceFailsUnlessCancelled) {
    // Whatever stream the start-up left is taken away, so the loader finds none.
    (void)TakeResourceStream("Tabular");
    TLoadStatus status{TLoadState::Loading};
    TRecordingMessages recorder;
    TTabularData tabular;
    LoadTabularFile(tabular, status);
    EXPECT_EQ(status.load(), TLoadState::Failed);
    EXPECT_EQ(recorder.Messages(), std::vector<std::string>{FailMessage});

    status = TLoadState::Cancelled;
    LoadTabularFile(tabular, status);
    EXPECT_EQ(status.load(), TLoadState::Cancelled);
    EXPECT_EQ(recorder.Messages().size(), 1u);
}
