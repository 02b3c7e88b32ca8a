#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>

#include "services/FileUtil.h"

namespace {

std::filesystem::path FreshFolder() {
    const auto folder =
        std::filesystem::temp_directory_path() / ("zendra-fileutil-" + std::to_string(::getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

}  // namespace

TEST(ReplaceFileContents, ReplacesWholeAndKeepsPermissions) {
    const auto folder = FreshFolder();
    const auto file = folder / "SearchHistory.txt";
    ASSERT_TRUE(ReplaceFileContents(file.string(), "old\r\n"));
    ::chmod(file.c_str(), 0600);
    ASSERT_TRUE(ReplaceFileContents(file.string(), std::string("new\r\n\0x", 8)));
    EXPECT_EQ(Read(file), std::string("new\r\n\0x", 8));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(EntriesIn(folder), 1u);  // no temporary file left behind
    std::filesystem::remove_all(folder);
}

TEST(ReplaceFileContents, AFailedWriteLeavesTheOldFileWholeAndNoTemporary) {
    const auto folder = FreshFolder();
    const auto file = folder / "config.ini";
    ASSERT_TRUE(ReplaceFileContents(file.string(), "old\r\n"));

    // A file-size limit makes the write itself fail, even for root.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = ReplaceFileContents(file.string(), std::string(64, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Read(file), "old\r\n");
    EXPECT_EQ(EntriesIn(folder), 1u);
    EXPECT_FALSE(ReplaceFileContents((folder / "missing" / "file.txt").string(), "x"));
    std::filesystem::remove_all(folder);
}

TEST(ReplaceFileContents, WritesThroughLinksToTheirTargetAndKeepsTheLinks) {
    const auto folder = FreshFolder();
    std::filesystem::create_directories(folder / "dotfiles");
    const auto target = folder / "dotfiles" / "config.ini";
    ASSERT_TRUE(ReplaceFileContents(target.string(), "old\r\n"));
    // An absolute link, a relative link to it (a chain), and a link to a file not written yet.
    std::filesystem::create_symlink(target, folder / "absolute.ini");
    std::filesystem::create_symlink("absolute.ini", folder / "SearchHistory.txt");
    std::filesystem::create_symlink("dotfiles/new.txt", folder / "dangling.txt");
    for (const char* link : {"absolute.ini", "SearchHistory.txt"}) {
        ASSERT_TRUE(ReplaceFileContents((folder / link).string(), std::string("via ") + link)) << link;
        EXPECT_TRUE(std::filesystem::is_symlink(folder / link)) << link;
        EXPECT_EQ(Read(target), std::string("via ") + link);
    }
    ASSERT_TRUE(ReplaceFileContents((folder / "dangling.txt").string(), "fresh"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "dangling.txt"));
    EXPECT_EQ(Read(folder / "dotfiles" / "new.txt"), "fresh");
    EXPECT_EQ(EntriesIn(folder), 4u);  // no temporary file left anywhere
    EXPECT_EQ(EntriesIn(folder / "dotfiles"), 2u);
    std::filesystem::remove_all(folder);
}

TEST(ReadRegularFile, OnlyRegularFilesAreReadAndNothingBlocks) {
    const auto folder = FreshFolder();
    ASSERT_TRUE(ReplaceFileContents((folder / "file.txt").string(), "gas\r\n"));
    std::filesystem::create_directory(folder / "folder.txt");
    ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
    std::filesystem::create_symlink("nowhere.txt", folder / "dangling.txt");
    const struct {
        const char* name;
        TFileRead expected;
        std::string bytes;
        std::size_t maxBytes = 5;
    } cases[] = {{"file.txt", TFileRead::Read, "gas\r\n"},  {"missing.txt", TFileRead::Missing, ""},
                 {"dangling.txt", TFileRead::Missing, ""},  {"file.txt/below.txt", TFileRead::Missing, ""},
                 {"folder.txt", TFileRead::Unreadable, ""}, {"fifo.txt", TFileRead::Unreadable, ""},
                 {"file.txt", TFileRead::TooLarge, "", 4}};
    for (const auto& test : cases) {
        const std::string path = (folder / test.name).string();
        EXPECT_EQ(ProbeRegularFile(path, test.maxBytes), test.expected) << test.name;
        auto reading = std::async(std::launch::async, [path, maxBytes = test.maxBytes] {
            std::string bytes = "stale";
            const TFileRead result = ReadRegularFile(path, bytes, maxBytes);
            return std::make_pair(result, bytes);
        });
        if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Stuck opening the FIFO: a writer releases it so the test ends.
            ::close(::open(path.c_str(), O_WRONLY));
            FAIL() << test.name << " blocked the reader";
        }
        const auto [result, bytes] = reading.get();
        EXPECT_EQ(result, test.expected) << test.name;
        EXPECT_EQ(bytes, test.bytes) << test.name;
    }
    std::filesystem::remove_all(folder);
}
