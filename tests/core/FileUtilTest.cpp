#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FileUtil.h"

namespace {

std::filesystem::path FreshFolder() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("zendra-fileutil-" + std::to_string(::getpid()) + "-" +
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
