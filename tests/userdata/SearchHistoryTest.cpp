// The keyword search history: the add rule and the file in the encoding it was read in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "userdata/SearchHistory.h"

namespace {

std::filesystem::path TempFolder() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("zendra-history-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

}  // namespace

TEST(SearchHistoryAdd, TrimsMovesRepeatsToTheEndAndKeepsFifty) {
    TSearchHistory history;
    history.Add("   ");
    EXPECT_TRUE(history.FItems.empty());
    history.Add("  gas, abdomen ");
    history.Add("fever");
    history.Add("gas, abdomen");
    EXPECT_EQ(history.FItems, (TStringList{"fever", "gas, abdomen"}));
    history.Add("Fever");  // case-sensitive: a second entry
    EXPECT_EQ(history.FItems, (TStringList{"fever", "gas, abdomen", "Fever"}));

    history.FItems.clear();
    for (int i = 0; i < 50; ++i) history.Add(std::string("k").append(std::to_string(i)));
    history.Add("gas");
    ASSERT_EQ(history.FItems.size(), 50u);
    EXPECT_EQ(history.FItems.front(), "k1");
    EXPECT_EQ(history.FItems.back(), "gas");
    history.Add("k10");
    ASSERT_EQ(history.FItems.size(), 50u);
    EXPECT_EQ(history.FItems.front(), "k1");
    EXPECT_EQ(history.FItems.back(), "k10");

    // A hand-edited file may hold more than 50: the next addition trims only one.
    history.FItems.assign(60, std::string());
    for (int i = 0; i < 60; ++i) history.FItems[i] = std::string("h").append(std::to_string(i));
    history.Add("new");
    EXPECT_EQ(history.FItems.size(), 60u);
    EXPECT_EQ(history.FItems.front(), "h1");
}

TEST(SearchHistoryFile, RoundTripsWithCrLfAndKeepsTheEncodingRead) {
    const auto folder = TempFolder();
    const auto file = folder / "SearchHistory.txt";

    TSearchHistory fresh;
    fresh.FItems = {"typhoid,meningitis", "m\xC3\xA9ni\xC3\xA8re"};
    ASSERT_TRUE(fresh.SaveToFile(file.string()));
    EXPECT_EQ(ReadBytes(file), "typhoid,meningitis\r\nm\xC3\xA9ni\xC3\xA8re\r\n");

    // UTF-8 with its byte-order mark: the mark comes back.
    WriteBytes(file, "\xEF\xBB\xBFgas\r\nfever\n");
    TSearchHistory bom;
    ASSERT_TRUE(bom.LoadFromFile(file.string()));
    EXPECT_EQ(bom.FItems, (TStringList{"gas", "fever"}));
    bom.Add("cyst");
    ASSERT_TRUE(bom.SaveToFile(file.string()));
    EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBFgas\r\nfever\r\ncyst\r\n");

    // An 8-bit file stays 8-bit: the e acute is one byte again.
    WriteBytes(file, "m\xE9ni\xE8re\r\n");
    TSearchHistory latin;
    ASSERT_TRUE(latin.LoadFromFile(file.string()));
    EXPECT_EQ(latin.FItems, TStringList{"m\xC3\xA9ni\xC3\xA8re"});
    EXPECT_EQ(latin.FEncoding, TSearchHistory::TEncoding::Latin1);
    ASSERT_TRUE(latin.SaveToFile(file.string()));
    EXPECT_EQ(ReadBytes(file), "m\xE9ni\xE8re\r\n");

    // UTF-16 little-endian with its mark.
    WriteBytes(file, std::string("\xFF\xFEg\0a\0s\0\r\0\n\0", 12));
    TSearchHistory wide;
    ASSERT_TRUE(wide.LoadFromFile(file.string()));
    EXPECT_EQ(wide.FItems, TStringList{"gas"});
    ASSERT_TRUE(wide.SaveToFile(file.string()));
    EXPECT_EQ(ReadBytes(file), std::string("\xFF\xFEg\0a\0s\0\r\0\n\0", 12));

    // UTF-16 with an odd trailing byte: the byte is written back, not dropped.
    WriteBytes(file, std::string("\xFF\xFEg\0\r\0\n\0x", 9));
    TSearchHistory odd;
    ASSERT_TRUE(odd.LoadFromFile(file.string()));
    ASSERT_TRUE(odd.SaveToFile(file.string()));
    EXPECT_EQ(ReadBytes(file), std::string("\xFF\xFEg\0\r\0\n\0x\0\r\0\n\0", 14));
    std::filesystem::remove_all(folder);
}

TEST(SearchHistoryFile, ALongFileKeepsItsNewestFifty) {
    const auto folder = TempFolder();
    const auto file = folder / "SearchHistory.txt";
    std::string bytes;
    for (int line = 1; line <= 100000; ++line) bytes += "entry" + std::to_string(line) + "\r\n";
    WriteBytes(file, bytes);
    TSearchHistory history;
    ASSERT_TRUE(history.LoadFromFile(file.string()));
    ASSERT_EQ(history.FItems.size(), 50u);
    EXPECT_EQ(history.FItems.front(), "entry99951");
    EXPECT_EQ(history.FItems.back(), "entry100000");
    std::filesystem::remove_all(folder);
}

TEST(SearchHistoryFile, AFileThatCannotBeReadIsNeverWrittenOver) {
    const auto folder = TempFolder();
    const auto file = folder / "SearchHistory.txt";
    WriteBytes(file, "gas\r\nfever\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    // Permissions bind only other users: the check runs in a child that gives up root if it has it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
            TSearchHistory history;
            const bool read = history.LoadFromFile(file.string());
            history.Add("cyst");
            const bool saved = history.SaveToFile(file.string());
            std::_Exit(!read && history.FUnreadable && !saved ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(ReadBytes(file), "gas\r\nfever\r\n");

    // A folder in the file's place: no exception, an empty history, nothing written.
    const auto inPlace = folder / "folder.txt";
    std::filesystem::create_directory(inPlace);
    TSearchHistory history;
    EXPECT_FALSE(history.LoadFromFile(inPlace.string()));
    EXPECT_TRUE(history.FUnreadable);
    history.Add("cyst");
    EXPECT_FALSE(history.SaveToFile(inPlace.string()));
    EXPECT_TRUE(std::filesystem::is_directory(inPlace));
    std::filesystem::remove_all(folder);
}

TEST(SearchHistoryFile, MissingFileIsEmptyAndAFailedWriteIsReported) {
    const auto folder = TempFolder();
    const auto file = folder / "SearchHistory.txt";
    TSearchHistory history;
    history.FItems = {"stale"};
    EXPECT_FALSE(history.LoadFromFile((folder / "missing.txt").string()));
    EXPECT_TRUE(history.FItems.empty());

    // A failed write (here: the folder does not exist) is reported; the file-level guarantee
    // that the old file stays whole is the shared ReplaceFileContents' (FileUtilTest).
    EXPECT_FALSE(history.SaveToFile((folder / "no-such-folder" / "SearchHistory.txt").string()));
    std::filesystem::remove_all(folder);
}

TEST(SearchHistoryFile, OverLongEntriesAreLeftOutAndAnOverLargeFileIsNotRead) {
    const auto folder = TempFolder();
    const auto file = folder / "SearchHistory.txt";
    const std::string longEntry(MaxSearchHistoryEntryBytes + 1, 'x');
    WriteBytes(file, "gas\r\n" + longEntry + "\r\nfever\r\n" + longEntry + "\r\n");
    TSearchHistory history;
    ASSERT_TRUE(history.LoadFromFile(file.string()));
    EXPECT_EQ(history.FItems, (TStringList{"gas", "fever"}));
    EXPECT_EQ(history.FDroppedEntries, 2u);
    history.Add(longEntry);
    history.Add(std::string(MaxSearchHistoryEntryBytes, 'y'));
    EXPECT_EQ(history.FItems.size(), 3u);

    // Too large to read: left as it is, like a file that cannot be read.
    WriteBytes(file, std::string(MaxSearchHistoryFileBytes + 1, 'z'));
    EXPECT_FALSE(history.LoadFromFile(file.string()));
    EXPECT_TRUE(history.FUnreadable);
    EXPECT_EQ(history.FRead, TFileRead::TooLarge);
    EXPECT_TRUE(history.FItems.empty());
    history.Add("cyst");
    EXPECT_FALSE(history.SaveToFile(file.string()));
    EXPECT_EQ(std::filesystem::file_size(file), MaxSearchHistoryFileBytes + 1);
    std::filesystem::remove_all(folder);
}
