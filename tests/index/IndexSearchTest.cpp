// Prefix look-up of main terms in any case, the one-line term text and the edition note.
#include <gtest/gtest.h>

#include "index/IndexSearch.h"
#include "tests/common/TermFixtures.h"

TEST(FoldLatinCase, MapsCapitalsOfTheLatinBlocksToTheirSmallLetters) {
    EXPECT_EQ(FoldLatinCase(U'A'), U'a');
    EXPECT_EQ(FoldLatinCase(U'z'), U'z');
    EXPECT_EQ(FoldLatinCase(U'['), U'[');
    EXPECT_EQ(FoldLatinCase(U'@'), U'@');
    EXPECT_EQ(FoldLatinCase(U'\u00C9'), U'\u00E9');  // E acute
    EXPECT_EQ(FoldLatinCase(U'\u00D6'), U'\u00F6');  // O diaeresis
    EXPECT_EQ(FoldLatinCase(U'\u00D7'), U'\u00D7');  // multiplication sign has no small form
    EXPECT_EQ(FoldLatinCase(U'\u00DF'), U'\u00DF');  // sharp s
    EXPECT_EQ(FoldLatinCase(U'\u0100'), U'\u0101');  // A macron
    EXPECT_EQ(FoldLatinCase(U'\u0101'), U'\u0101');
    EXPECT_EQ(FoldLatinCase(U'\u0139'), U'\u013A');  // L acute: odd capital
    EXPECT_EQ(FoldLatinCase(U'\u013A'), U'\u013A');
    EXPECT_EQ(FoldLatinCase(U'\u0147'), U'\u0148');  // N caron
    EXPECT_EQ(FoldLatinCase(U'\u014A'), U'\u014B');  // Eng: even capitals again
    EXPECT_EQ(FoldLatinCase(U'\u0160'), U'\u0161');  // S caron
    EXPECT_EQ(FoldLatinCase(U'\u0178'), U'\u00FF');  // Y diaeresis
    EXPECT_EQ(FoldLatinCase(U'\u017D'), U'\u017E');  // Z caron
    EXPECT_EQ(FoldLatinCase(U'\u017E'), U'\u017E');
    EXPECT_EQ(FoldLatinCase(U'\u0130'), U'\u0130');
    EXPECT_EQ(FoldLatinCase(U'\u0391'), U'\u0391');  // outside the Latin blocks: unchanged
}

TEST(FindMainTermsByPrefix, MatchesInAnyCaseAcrossLettersInFileOrder) {
    const TAlphaLetterList letters = Letters({{"A", {"Abasia (-astasia) ", "abdomen", "Ab", "Aberrant"}},
                                              {"M", {"M\xC3\xA9ni\xC3\xA8re's disease", "Menin"}},
                                              {"N", {"Neoplasm, neoplastic "}}});
    EXPECT_EQ(Titles(FindMainTermsByPrefix(letters, "AB")),
              (std::vector<std::string>{"Abasia (-astasia) ", "abdomen", "Ab", "Aberrant"}));
    EXPECT_EQ(Titles(FindMainTermsByPrefix(letters, "abasia (")), (std::vector<std::string>{"Abasia (-astasia) "}));
    EXPECT_TRUE(FindMainTermsByPrefix(letters, "Abasia(").empty()) << "blanks are compared as stored";
    EXPECT_EQ(Titles(FindMainTermsByPrefix(letters, "m\xC3\x89n")),
              (std::vector<std::string>{"M\xC3\xA9ni\xC3\xA8re's disease"}));
    EXPECT_EQ(Titles(FindMainTermsByPrefix(letters, "men")), (std::vector<std::string>{"Menin"}));
    EXPECT_EQ(Titles(FindMainTermsByPrefix(letters, "NEOPLASM, NEOPLASTIC ")),
              (std::vector<std::string>{"Neoplasm, neoplastic "}));
    EXPECT_TRUE(FindMainTermsByPrefix(letters, "Abasia (-astasia)  ").empty()) << "a longer prefix never matches";
    EXPECT_EQ(FindMainTermsByPrefix(letters, "").size(), 7u);
}

TEST(TermLine, IndexTermsCarryTheirCodeAndTableRowsTheirSixCells) {
    TAlphaLetter letter;
    TTerm term(&letter, 0);
    term.FTitle = "Amyloid heart (disease) ";
    term.FCode = "E85.4";
    term.FManifest = "I43";
    EXPECT_EQ(TermLine(term, false), "Amyloid heart (disease)  [I43]\tE85.4");

    TTerm row(&letter, 0);
    row.FTitle = "Absinthe";
    row.FCodesInCell = {"T51.0X1", "T51.0X2", "T51.0X3", "T51.0X4", "--", ""};
    EXPECT_EQ(TermLine(row, true), "Absinthe\tT51.0X1\tT51.0X2\tT51.0X3\tT51.0X4\t--\t");
}

TEST(DIndexEditionNote, SilentOnlyWhenTheEditionsAgree) {
    EXPECT_EQ(DIndexEditionNote("2021", "2021"), "");
    EXPECT_EQ(DIndexEditionNote("2017", "2021"), "Note: the disease index is the FY2017 edition, not FY2021.");
    EXPECT_NE(DIndexEditionNote("", "2021"), "");
}
