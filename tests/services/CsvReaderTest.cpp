#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/CsvReader.h"

namespace {

// Every record as "line:field|field", a too-long one marked with "!"; the error last.
std::vector<std::string> Read(std::string_view text, TCsvReader::TMode mode = TCsvReader::TMode::Csv,
                              std::size_t chunk = 0, std::size_t maxBytes = 1000) {
    std::vector<std::string> out;
    TCsvReader reader(mode, maxBytes, [&](const TCsvRecord& record) {
        std::string line = std::to_string(record.FLine) + (record.FTooLong ? "!" : "") + ":";
        for (std::size_t i = 0; i < record.FFields.size(); ++i) line += (i ? "|" : "") + record.FFields[i];
        out.push_back(line);
    });
    if (chunk == 0) chunk = text.size() + 1;
    for (std::size_t at = 0; at < text.size(); at += chunk) reader.Feed(text.substr(at, chunk));
    reader.Finish();
    if (!reader.Error().empty()) out.push_back("error " + reader.Error());
    return out;
}

using Records = std::vector<std::string>;

}  // namespace

TEST(CsvReader, ReadsClaimsExportQuirksTheSameInChunksOfAnySize) {
    const struct {
        std::string text;
        Records expected;
    } cases[] = {
        // A quote inside an unquoted field is an ordinary character and groups nothing.
        {"code,note\nA00.0,5\" pipe\nZZZ,bad\nnot a code,x\n",
         {"1:code|note", "2:A00.0|5\" pipe", "3:ZZZ|bad", "4:not a code|x"}},
        {"\xEF\xBB\xBF\"code\",n\r\nA00\r\n", {"1:code|n", "2:A00"}},
        {"a\n\nb\n", {"1:a", "2:", "3:b"}},
        {"a,b,\n", {"1:a|b|"}},
        {"\"x, y\",\"two\r\nlines\",z\nnext", {"1:x, y|two\r\nlines|z", "3:next"}},
        {"\"say \"\"hi\"\"\",\"\"\n", {"1:say \"hi\"|"}},
        {"\"a\"b c,d\n", {"1:ab c|d"}},
        {"a\rb\n", {"1:a\rb"}},
        {"last\r", {"1:last"}},
        {"\xEF\xBB", {"1:\xEF\xBB"}},
        {"", {}},
    };
    for (const auto& test : cases) {
        for (const std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{2}}) {
            EXPECT_EQ(Read(test.text, TCsvReader::TMode::Csv, chunk), test.expected) << test.text << " chunk " << chunk;
        }
    }
    EXPECT_EQ(Read("\"a,b\",c\n", TCsvReader::TMode::Lines), (Records{"1:\"a,b\",c"}));
}

TEST(CsvReader, StopsWithTheLineOfAnUnclosedQuoteOrANulByte) {
    const struct {
        std::string text;
        TCsvReader::TMode mode;
        Records expected;
    } cases[] = {
        {"code\nA00\n\"B00\nC00\nD00\n",
         TCsvReader::TMode::Csv,
         {"1:code", "2:A00",
          "error line 3: a quoted field opened here is never closed, so the text from there on was not read"}},
        {std::string("A00\nB0") + '\0' + "0\nC00\n",
         TCsvReader::TMode::Lines,
         {"1:A00",
          "error line 2 holds a NUL byte: this is not a text file (UTF-16 text must be saved as UTF-8 first)"}},
    };
    for (const auto& test : cases) EXPECT_EQ(Read(test.text, test.mode), test.expected);
}

TEST(CsvReader, ARecordOverTheBoundIsPassedOnTooLongWithItsFirstBytes) {
    const std::string many(100000, ',');
    EXPECT_EQ(Read("12345678\n123456789\nok\n", TCsvReader::TMode::Lines, 3, 8),
              (Records{"1:12345678", "2!:12345678", "3:ok"}));
    const Records commas = Read(many + "\nok", TCsvReader::TMode::Csv, 0, 8);
    ASSERT_EQ(commas.size(), 2u);
    EXPECT_EQ(commas[0], "1!:||||||||");
    EXPECT_EQ(commas[1], "2:ok");
    // A quoted field running over the bound keeps the reader in step with the quotes.
    EXPECT_EQ(Read("\"" + std::string(50, 'x') + "\nmore\",b\nok\n", TCsvReader::TMode::Csv, 0, 8),
              (Records{"1!:xxxxxxxx", "3:ok"}));
}

TEST(SplitFields, OneLineByTheSameQuoteRules) {
    const TFieldRules rules{';', true};
    const struct {
        std::string text;
        TFieldRules rules;
        std::vector<std::string> expected;
    } cases[] = {
        {"", {}, {""}},
        {"a, b c,", {}, {"a", " b c", ""}},
        {"5\" pipe,\"x, y\"z,\"\"\"\"", {}, {"5\" pipe", "x, yz", "\""}},
        {"\"open, never closed", {}, {"open, never closed"}},
        {"", rules, {}},
        {"  6:7 ;; 6:8  ", rules, {"6:7", "", "6:8"}},
        {"6:7 5:X", rules, {"6:7", "5:X"}},
        {"4:1;5:2;", rules, {"4:1", "5:2", ""}},
        {"4:1; ", rules, {"4:1"}},
        {"\"6: 7\"x", rules, {"6: 7", "x"}},
    };
    for (const auto& test : cases) EXPECT_EQ(SplitFields(test.text, test.rules), test.expected) << test.text;
}
