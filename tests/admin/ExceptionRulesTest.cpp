// Deriving the seventh-character exception rules and writing them into the Tabular List text.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "admin/DataPipeline.h"
#include "admin/ExceptionRules.h"
#include "data/EmbeddedResources.h"
#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "model/TabularLoader.h"
#include "tests/admin/RunProgram.h"
#include "tests/common/RecordingMessages.h"

namespace {

std::string RulesText(const std::vector<std::string>& excluded, const std::vector<std::string>& kept) {
    return FormatExceptionRules(DeriveExceptionRules(excluded, kept));
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

// A small Tabular List, CR LF, with one category whose definition spans leaves at level 2.
std::string TinyTabular(const std::string& extensionD = "<extension char=\"D\">subsequent</extension>") {
    const std::string lines[] = {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "<ICD10CM.tabular>",
        "  <chapter><name>1</name><desc>Test chapter (X00-X99)</desc>",
        "    <section id=\"X00-X99\"><desc>Test section (X00-X99)</desc>",
        "      <diag><name>X01</name><desc>Injury</desc>",
        "        <sevenChrDef>",
        "          <extension char='A'>initial</extension>",
        "          " + extensionD,
        "        </sevenChrDef>",
        "        <diag><name>X01.1</name><desc>One</desc>",
        "          <diag><name>X01.11</name><desc>One one</desc></diag>",
        "          <diag><name>X01.12</name><desc>One two</desc></diag>",
        "        </diag>",
        "        <diag><name>X01.2</name><desc>Two</desc>",
        "          <diag><name>X01.21</name><desc>Two one</desc></diag>",
        "          <diag><name>X01.27</name><desc>Two seven</desc></diag>",
        "        </diag>",
        "      </diag>",
        "      <diag><name>X02</name><desc>Plain</desc></diag>",
        "    </section>",
        "  </chapter>",
        "</ICD10CM.tabular>",
    };
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::string TinyOrder(const std::vector<std::string>& codes) {
    std::string text;
    int number = 0;
    for (const auto& code : codes) {
        std::string undotted = code;
        if (undotted.size() > 3) undotted.erase(3, 1);
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "%05d %-7s 1 %-60s %s\r\n", ++number, undotted.c_str(), "short", "long");
        text += buffer;
    }
    return text;
}

}  // namespace

TEST(DeriveExceptionRules, SixthCharacterRulesLikeIntracranialInjury) {
    EXPECT_EQ(RulesText({"S06.0X7", "S06.0X8", "S06.1X7", "S06.1X8", "S06.9X8"},
                        {"S06.0X0", "S06.0X1", "S06.1X0", "S06.1X9", "S06.9X1"}),
              "6:7;6:8");
}

TEST(DeriveExceptionRules, GreedyPrefersTheRuleExplainingMostAndBreaksTiesByPosition) {
    // 6:7 explains both; 4:1 and 4:2 one each.
    EXPECT_EQ(RulesText({"A01.1X7", "A01.2X7"}, {"A01.1X1", "A01.2X1"}), "6:7");
    // 4:1 and 5:2 both explain the only code: the lower position wins.
    EXPECT_EQ(RulesText({"B01.12"}, {}), "4:1");
    // Nothing excluded: no rule.
    EXPECT_EQ(RulesText({}, {"B01.12"}), "");
}

TEST(DeriveExceptionRules, ChosenRulesNeverMatchAKeptCode) {
    // 4:1 would explain everything but also hits the kept A01.13.
    EXPECT_EQ(RulesText({"A01.11", "A01.12", "A01.22"}, {"A01.13", "A01.23"}), "5:1;5:2");
}

TEST(DeriveExceptionRules, FailsWhenNoRuleSetExplainsTheDifference) {
    // Crosswise: every rule that leaves out A01.12 also leaves out a kept code.
    EXPECT_NE(ErrorOf([] {
                  DeriveExceptionRules({"A01.12", "A01.21"}, {"A01.11", "A01.22"});
              }).find("A01.12"),
              std::string::npos);
    // A category has no position 4 to 6 to test.
    EXPECT_NE(ErrorOf([] { DeriveExceptionRules({"T07"}, {}); }).find("T07"), std::string::npos);
}

TEST(CompletedCode, PadsWithPlaceholderToSixCharactersThenAddsTheCharacter) {
    TCharDef character;
    character.FChar = "A";
    const auto complete = [&](const char* code, int level) {
        TCodeInfo node(nullptr, nullptr, level);
        node.FCode = code;
        return CompletedCode(node, character);
    };
    EXPECT_EQ(complete("T07", 0), "T07.XXXA");
    EXPECT_EQ(complete("O32.0", 1), "O32.0XXA");
    EXPECT_EQ(complete("E08.37", 2), "E08.37XA");
    EXPECT_EQ(complete("S52.521", 3), "S52.521A");
}

TEST(AddExceptionAttributes, InsertsTheRuleAndKeepsEveryOtherByte) {
    TRecordingMessages messages;
    const std::string tabular = TinyTabular();
    // X01.27 has no "D".
    const std::string order =
        TinyOrder({"X01.11XA", "X01.11XD", "X01.12XA", "X01.12XD", "X01.21XA", "X01.21XD", "X01.27XA", "X02"});
    const std::string expected = TinyTabular("<extension char=\"D\" exception=\"5:7\">subsequent</extension>");
    EXPECT_EQ(AddExceptionAttributes(tabular, order), expected);
    EXPECT_TRUE(messages.Messages().empty());
    // Nothing left out: the text comes back unchanged.
    EXPECT_EQ(AddExceptionAttributes(tabular, TinyOrder({"X01.11XA", "X01.11XD", "X01.12XA", "X01.12XD", "X01.21XA",
                                                         "X01.21XD", "X01.27XA", "X01.27XD", "X02"})),
              tabular);
}

TEST(AddExceptionAttributes, FailsLoudlyWhenTheOrderFileCannotBeExplained) {
    TRecordingMessages messages;
    const std::string tabular = TinyTabular();
    // "D" missing for X01.12 and X01.21 but listed for X01.11 and X01.27: crosswise, so no rule fits.
    const std::string crosswise =
        TinyOrder({"X01.11XA", "X01.11XD", "X01.12XA", "X01.21XA", "X01.27XA", "X01.27XD", "X02"});
    const std::string error = ErrorOf([&] { AddExceptionAttributes(tabular, crosswise); });
    EXPECT_NE(error.find("\"D\" of X01"), std::string::npos) << error;

    // A listed code the Tabular List cannot give.
    EXPECT_NE(ErrorOf([&] {
                  AddExceptionAttributes(tabular, TinyOrder({"X01.11XA", "X01.11XD", "X01.12XA", "X01.12XD", "X01.21XA",
                                                             "X01.21XD", "X01.27XA", "X01.27XD", "X02", "X01.28XA"}));
              }).find("X01.28XA"),
              std::string::npos);
    // A code without a seventh character cannot be left out by a rule.
    EXPECT_NE(ErrorOf([&] {
                  AddExceptionAttributes(tabular, TinyOrder({"X01.11XA", "X01.11XD", "X01.12XA", "X01.12XD", "X01.21XA",
                                                             "X01.21XD", "X01.27XA", "X01.27XD"}));
              }).find("X02"),
              std::string::npos);
    // A text that already carries rules is refused rather than derived twice.
    const std::string withRules = TinyTabular("<extension char=\"D\" exception=\"5:7\">subsequent</extension>");
    EXPECT_NE(ErrorOf([&] { AddExceptionAttributes(withRules, crosswise); }).find("already carries"),
              std::string::npos);
    // Not loadable at all.
    EXPECT_NE(ErrorOf([&] { AddExceptionAttributes("<ICD10CM.tabular><chapter>", crosswise); }), "no error");
}

TEST(AddExceptionAttributes, PublishedDataGetsExactlyTheIntracranialInjuryRules) {
    const auto data = testing_support::SourceDir() / "data";
    const std::string published = ReadDataFile((data / "icd10cm_tabular_2021.xml.gz").string());
    const std::string derived =
        AddExceptionAttributes(published, ReadDataFile((data / "icd10cm_order_2021.txt.gz").string()));

    const std::string rule = " exception=\"6:7;6:8\"";
    ASSERT_EQ(derived.size(), published.size() + 2 * rule.size());
    const std::size_t first = derived.find(" exception=");
    const std::size_t second = derived.find(" exception=", first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(derived.find(" exception=", second + 1), std::string::npos);
    const std::string tagD = "<extension char=\"D\"";
    const std::string tagS = "<extension char=\"S\"";
    EXPECT_EQ(derived.substr(first - tagD.size(), tagD.size() + rule.size() + 1), tagD + rule + ">");
    EXPECT_EQ(derived.substr(second - tagS.size(), tagS.size() + rule.size() + 1), tagS + rule + ">");
    EXPECT_EQ(derived.substr(derived.rfind("<name>", first), 16), "<name>S06</name>");
    std::string restored = derived;
    restored.erase(second, rule.size());
    restored.erase(first, rule.size());
    EXPECT_EQ(restored, published) << "every other byte, CR LF included, stays";

    // The program carries exactly this text.
    const auto embedded = EmbeddedResources().Find("Tabular");
    ASSERT_TRUE(embedded.has_value());
    EXPECT_EQ(InflateAll(*embedded), derived);
}

TEST(AddExceptionAttributes, TolerantDerivationKeepsTheOrderFileTheJudge) {
    // The crosswise case above: no rule set explains it, so X01.21 takes a definition of its own
    // with only the "A" the order file lists, and "D" of the others gets the rule 5:2. A listed
    // code the Tabular List cannot give is reported instead of refused.
    const std::vector<std::string> listed = {"X01.11XA", "X01.11XD", "X01.12XA", "X01.21XA",
                                             "X01.27XA", "X01.27XD", "X02",      "X01.28XA"};
    TExceptionReport report;
    const std::string derived = AddExceptionAttributes(TinyTabular(), TinyOrder(listed), &report);
    ASSERT_EQ(report.LeafDefinitions.size(), 1u);
    EXPECT_EQ(report.LeafDefinitions[0].LeafCode, "X01.21");
    EXPECT_EQ(report.UnknownListedCodes, std::vector<std::string>{"X01.28XA"});
    EXPECT_NE(derived.find("exception=\"5:2\""), std::string::npos) << derived;

    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status;
    std::istringstream source(derived);
    ASSERT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Done);
    const TCodeResolver resolver(chapters);
    for (const std::string& code : listed) {
        EXPECT_EQ(resolver.IsReportable(code), code != "X01.28XA") << code;
    }
    EXPECT_EQ(resolver.ReportableCount(), listed.size() - 1);
}
