#include <gtest/gtest.h>

#include "services/TextUtil.h"

TEST(TextUtil, CountsCharactersNotBytes) {
    EXPECT_EQ(Utf8Length("Ménière"), 7u);
    EXPECT_EQ(Utf8ToU32("Ménière").size(), 7u);
    EXPECT_EQ(U32ToUtf8(Utf8ToU32("Ménière ö ü")), "Ménière ö ü");
}

TEST(TextUtil, DamagedUtf8StillCountsOneCharacterPerBadByte) {
    const std::string damaged = std::string("a") + char(0xC3) + "b" + char(0xE2) + char(0x82);
    EXPECT_EQ(Utf8ToU32(damaged), (std::u32string{U'a', 0xFFFD, U'b', 0xFFFD, 0xFFFD}));
}

TEST(TextUtil, CaseMappingTouchesAsciiOnly) {
    EXPECT_EQ(AsciiUpper("x-ray é"), "X-RAY é");
    EXPECT_EQ(AsciiLower("PENNY É"), "penny É");
}

TEST(TextUtil, SplitLinesAcceptsEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}
