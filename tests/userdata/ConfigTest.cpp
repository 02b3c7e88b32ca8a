// INI settings: defaults, what a write keeps, failed writes, and the three settings of the program.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "services/Folders.h"
#include "tests/common/RecordingMessages.h"
#include "userdata/Config.h"
#include "userdata/IniFile.h"

namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A private folder standing in for the program and user data folders.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder =
            std::filesystem::temp_directory_path() / ("zendra-config-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(FFolder);
        FFolders.Program = FFolders.UserData = FFolder.string() + "/";
    }
    void TearDown() override {
        std::filesystem::permissions(FFolder, std::filesystem::perms::owner_all);
        std::error_code ignored;
        std::filesystem::remove_all(FFolder, ignored);
    }

    std::filesystem::path ConfigFile() const { return FFolder / "config.ini"; }

    // Only the config file: no temporary file left behind.
    std::size_t FilesInFolder() const {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(FFolder)) ++count;
        return count;
    }

    std::filesystem::path FFolder;
    TFolders FFolders;
    TSettings FSettings;
};

TEST_F(ConfigTest, MissingOrUnreadableFilesGiveDefaults) {
    FSettings.IsAdmin = FSettings.FullScreen = FSettings.ScrollBar = 7;
    LoadProgramConfig(FSettings, FFolders);
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.IsAdmin, 0);
    EXPECT_EQ(FSettings.FullScreen, 0);
    EXPECT_EQ(FSettings.ScrollBar, 0);

    std::filesystem::create_directory(ConfigFile());  // a folder where the file should be
    FSettings.IsAdmin = FSettings.FullScreen = 7;
    LoadProgramConfig(FSettings, FFolders);
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.IsAdmin, 0);
    EXPECT_EQ(FSettings.FullScreen, 0);
    // An unreadable file is never replaced by one holding only our keys.
    EXPECT_FALSE(TIniFile(ConfigFile().string()).WriteInteger("Config", "FullScreen", 1));
    EXPECT_TRUE(std::filesystem::is_directory(ConfigFile()));
}

TEST_F(ConfigTest, ReadsIntegersOfTheirOwnSectionOnly) {
    WriteText(ConfigFile(),
              "\xEF\xBB\xBF; settings\r\n"
              "[Other]\r\nIsAdmin=1\r\nFullScreen=1\r\n"
              "[ config ]\r\n  isadmin = 1 \r\nFULLSCREEN=$10\r\nScrollBar=abc\r\nBig=99999999999\r\n"
              "Neg=-3\r\nHex=0x1f\r\n; ScrollBar=5\r\n[Later]\r\nScrollBar=4\r\n");
    const TIniFile file(ConfigFile().string());
    EXPECT_EQ(file.ReadInteger("Config", "IsAdmin", 0), 1);
    EXPECT_EQ(file.ReadInteger("Config", "FullScreen", 0), 16);
    EXPECT_EQ(file.ReadInteger("Config", "ScrollBar", 9), 9);  // not a number
    EXPECT_EQ(file.ReadInteger("Config", "Big", 9), 9);        // out of range
    EXPECT_EQ(file.ReadInteger("Config", "Neg", 0), -3);
    EXPECT_EQ(file.ReadInteger("Config", "Hex", 0), 31);
    EXPECT_EQ(file.ReadInteger("Config", "Missing", 5), 5);
    EXPECT_EQ(file.ReadInteger("Nowhere", "IsAdmin", 5), 5);

    LoadProgramConfig(FSettings, FFolders);
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.IsAdmin, 1);
    EXPECT_EQ(FSettings.FullScreen, 16);
    EXPECT_EQ(FSettings.ScrollBar, 0);
}

TEST_F(ConfigTest, WriteKeepsEveryOtherLineAndEndsLinesWithCrLf) {
    WriteText(ConfigFile(),
              "; written by hand\n"
              "[Other]\nFullScreen=7\n\n"
              "[Config]\nExtra=5\nFullScreen=0\n\n"
              "[Last]\nKey=x\n");
    FSettings.FullScreen = 1;
    FSettings.ScrollBar = 3;
    SaveUserConfig(FSettings, FFolders);
    EXPECT_EQ(ReadText(ConfigFile()),
              "; written by hand\r\n"
              "[Other]\r\nFullScreen=7\r\n\r\n"
              "[Config]\r\nExtra=5\r\nFullScreen=1\r\nScrollBar=3\r\n\r\n"
              "[Last]\r\nKey=x\r\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ConfigTest, FirstSaveCreatesFileAndTogglingTwiceRestores) {
    LoadUserConfig(FSettings, FFolders);
    FSettings.FullScreen = FSettings.FullScreen ? 0 : 1;
    SaveUserConfig(FSettings, FFolders);
    EXPECT_EQ(ReadText(ConfigFile()), "[Config]\r\nFullScreen=1\r\nScrollBar=0\r\n");

    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.FullScreen, 1);
    FSettings.FullScreen = FSettings.FullScreen ? 0 : 1;
    SaveUserConfig(FSettings, FFolders);
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.FullScreen, 0);
    EXPECT_EQ(ReadText(ConfigFile()), "[Config]\r\nFullScreen=0\r\nScrollBar=0\r\n");
}

TEST_F(ConfigTest, SectionAppendedWhenMissing) {
    WriteText(ConfigFile(), "[Window]\r\nLeft=10\r\n");
    EXPECT_TRUE(TIniFile(ConfigFile().string()).WriteInteger("Config", "FullScreen", 1));
    EXPECT_EQ(ReadText(ConfigFile()), "[Window]\r\nLeft=10\r\n[Config]\r\nFullScreen=1\r\n");
}

TEST_F(ConfigTest, FailedWriteLeavesOldFileWhole) {
    // Larger than the file size limit set below, so any write of the new content fails part-way.
    std::string old = "[Config]\r\nFullScreen=0\r\nScrollBar=2\r\n";
    for (int line = 0; line < 200; ++line) old += "; comment line " + std::to_string(line) + "\r\n";
    WriteText(ConfigFile(), old);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    FSettings.FullScreen = 1;
    const bool written = TIniFile(ConfigFile().string()).WriteInteger("Config", "FullScreen", 1);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(ConfigFile()), old);
    EXPECT_EQ(FilesInFolder(), 1u);
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.FullScreen, 0);
    EXPECT_EQ(FSettings.ScrollBar, 2);
}

TEST_F(ConfigTest, WriteIntoReadOnlyFolderFailsAndKeepsOldFile) {
    const std::string old = "[Config]\r\nFullScreen=0\r\nScrollBar=1\r\n";
    WriteText(ConfigFile(), old);
    std::filesystem::permissions(FFolder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (access(FFolder.c_str(), W_OK) == 0) GTEST_SKIP() << "permissions are not enforced for this user";
    FSettings.FullScreen = 1;
    SaveUserConfig(FSettings, FFolders);
    EXPECT_EQ(ReadText(ConfigFile()), old);
}

TEST_F(ConfigTest, AFailedSaveIsToldOncePerRunWithThePath) {
    TRecordingMessages messages;
    // A folder where config.ini should be: it can be neither read nor replaced.
    std::filesystem::create_directory(ConfigFile());
    FSettings.FullScreen = 1;
    EXPECT_FALSE(SaveUserConfig(FSettings, FFolders));
    FSettings.FullScreen = 0;
    EXPECT_FALSE(SaveUserConfig(FSettings, FFolders));
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"Your settings could not be saved to " + ConfigFile().string() + "."});
    EXPECT_TRUE(std::filesystem::is_directory(ConfigFile()));
}

TEST_F(ConfigTest, ALinkedSettingsFileStaysALinkAndItsTargetIsUpdated) {
    std::filesystem::create_directory(FFolder / "dotfiles");
    WriteText(FFolder / "dotfiles" / "zendra.ini", "[Config]\r\nFullScreen=0\r\nScrollBar=4\r\n");
    std::filesystem::create_symlink("dotfiles/zendra.ini", ConfigFile());
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.ScrollBar, 4);
    FSettings.FullScreen = 1;
    EXPECT_TRUE(SaveUserConfig(FSettings, FFolders));
    EXPECT_TRUE(std::filesystem::is_symlink(ConfigFile()));
    EXPECT_EQ(ReadText(FFolder / "dotfiles" / "zendra.ini"), "[Config]\r\nFullScreen=1\r\nScrollBar=4\r\n");
}

}  // namespace

TEST_F(ConfigTest, ASettingsFileKeepsItsEncodingAndItsOtherLines) {
    // "Name=Zoë" stands for a line the program does not know; "ß" for an 8-bit character.
    const std::string text = "; mine\r\n[Config]\r\nFullScreen=1\r\nName=Zo\xC3\xAB\r\n";
    const std::string saved = "; mine\r\n[Config]\r\nFullScreen=0\r\nName=Zo\xC3\xAB\r\nScrollBar=5\r\n";
    const auto utf16 = [](const std::string& utf8, bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            char16_t unit = static_cast<unsigned char>(utf8[i]);
            if (unit >= 0xC0) unit = static_cast<char16_t>(((unit & 0x1F) << 6) | (utf8[++i] & 0x3F));
            out += bigEndian ? std::string{static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)}
                             : std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        }
        return out;
    };
    const struct {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"UTF-16 LE", utf16(text, false), utf16(saved, false)},
        {"UTF-16 BE", utf16(text, true), utf16(saved, true)},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + text, "\xEF\xBB\xBF" + saved},
        {"UTF-8", text, saved},
        {"8-bit", "[Config]\r\nFullScreen=1\r\nName=\xDF\r\n",
         "[Config]\r\nFullScreen=0\r\nName=\xDF\r\nScrollBar=5\r\n"},
    };
    for (const auto& test : cases) {
        WriteText(ConfigFile(), test.before);
        FSettings.FullScreen = FSettings.ScrollBar = 0;
        LoadUserConfig(FSettings, FFolders);
        EXPECT_EQ(FSettings.FullScreen, 1) << test.name;
        EXPECT_TRUE(UserConfigNotice(FSettings, FFolders).empty()) << test.name;
        FSettings.FullScreen = 0;
        FSettings.ScrollBar = 5;
        ASSERT_TRUE(SaveUserConfig(FSettings, FFolders)) << test.name;
        EXPECT_EQ(ReadText(ConfigFile()), test.after) << test.name;
    }
}

TEST_F(ConfigTest, ASettingsFileThatCannotBeReadIsSaidAtStart) {
    TRecordingMessages messages;
    std::filesystem::create_directory(ConfigFile());
    LoadUserConfig(FSettings, FFolders);
    EXPECT_NE(UserConfigNotice(FSettings, FFolders).find(ConfigFile().string() + " (it is not a regular file"),
              std::string::npos)
        << UserConfigNotice(FSettings, FFolders);
    std::filesystem::remove(ConfigFile());
    WriteText(ConfigFile(), std::string(MaxIniFileBytes + 1, ';'));
    LoadUserConfig(FSettings, FFolders);
    EXPECT_NE(UserConfigNotice(FSettings, FFolders).find("(it is larger than 1 MiB)"), std::string::npos)
        << UserConfigNotice(FSettings, FFolders);
    EXPECT_FALSE(SaveUserConfig(FSettings, FFolders));
    EXPECT_EQ(std::filesystem::file_size(ConfigFile()), MaxIniFileBytes + 1);
    std::filesystem::remove(ConfigFile());
    LoadUserConfig(FSettings, FFolders);
    EXPECT_TRUE(UserConfigNotice(FSettings, FFolders).empty());
}

// The chosen edition is a text setting: read back as written, saved beside the others without
// touching any other line, and never written into a file that had no choice.
TEST_F(ConfigTest, TheChosenEditionIsKeptAsTextWithTheOtherLines) {
    WriteText(ConfigFile(), "[Config]\r\nExtra=a b\r\nEdition=2024-04\r\n");
    LoadUserConfig(FSettings, FFolders);
    EXPECT_EQ(FSettings.Edition, "2024-04");
    FSettings.Edition = "2022";
    SaveUserConfig(FSettings, FFolders);
    EXPECT_EQ(ReadText(ConfigFile()), "[Config]\r\nExtra=a b\r\nEdition=2022\r\nFullScreen=0\r\nScrollBar=0\r\n");
    FSettings.Edition.clear();
    WriteText(ConfigFile(), "[Config]\r\nFullScreen=1\r\n");
    SaveUserConfig(FSettings, FFolders);
    EXPECT_EQ(ReadText(ConfigFile()), "[Config]\r\nFullScreen=0\r\nScrollBar=0\r\n");
    EXPECT_FALSE(TIniFile(ConfigFile().string()).WriteStrings("Config", {{"Edition", "20\r\n[Other]"}}));
}
