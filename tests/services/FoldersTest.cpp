// Where the program and data folders are, and that creating them never disturbs existing ones.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "services/Folders.h"

namespace {

namespace fs = std::filesystem;

// Every variable the folders depend on is saved and restored.
class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        FRoot = fs::temp_directory_path() / ("zendra-folders-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(FRoot);
        for (const char* name :
             {"ProgramData", "AppData", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME", "XDG_CONFIG_DIRS"}) {
            const char* value = std::getenv(name);
            FSaved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : FSaved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        fs::remove_all(FRoot, ignored);
    }

    std::string Path(const std::string& relative) const { return (FRoot / relative).string(); }

    fs::path FRoot;
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

TEST_F(FoldersTest, DataFoldersComeFromProgramDataAndAppDataAndAreCreated) {
    fs::create_directories(Path("machine"));
    fs::create_directories(Path("roaming"));
    setenv("ProgramData", Path("machine").c_str(), 1);
    setenv("AppData", (Path("roaming") + "/").c_str(), 1);  // a trailing separator adds none
    const TFolders folders = SetUpFolders();
    EXPECT_EQ(folders.SharedData, Path("machine") + "/Zendra ICD10 2021/");
    EXPECT_EQ(folders.UserData, Path("roaming") + "/Zendra ICD10 2021/");
    EXPECT_TRUE(fs::is_directory(folders.SharedData));
    EXPECT_TRUE(fs::is_directory(folders.UserData));
}

TEST_F(FoldersTest, ExistingFoldersAndTheirFilesStayUnchanged) {
    const std::string shared = Path("machine/Zendra ICD10 2021");
    const std::string user = Path("roaming/Zendra ICD10 2021");
    fs::create_directories(shared);
    fs::create_directories(user);
    std::ofstream(user + "/config.ini", std::ios::binary) << "[Config]\r\nFullScreen=1\r\n";
    fs::permissions(shared, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    const auto sharedPermissions = fs::status(shared).permissions();
    const auto sharedTime = fs::last_write_time(shared);
    setenv("ProgramData", Path("machine").c_str(), 1);
    setenv("AppData", Path("roaming").c_str(), 1);

    (void)SetUpFolders();

    EXPECT_EQ(fs::status(shared).permissions(), sharedPermissions);
    EXPECT_EQ(fs::last_write_time(shared), sharedTime);
    std::ifstream in(user + "/config.ini", std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "[Config]\r\nFullScreen=1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(user), fs::directory_iterator()), 1);
}

TEST_F(FoldersTest, XdgFoldersStandInWhenVariablesAreUnsetOrEmpty) {
    unsetenv("ProgramData");
    setenv("AppData", "", 1);
    setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    fs::create_directories(Path("data"));
    const TFolders folders = SetUpFolders();
    EXPECT_EQ(folders.SharedData, Path("data") + "/Zendra ICD10 2021/");
    EXPECT_EQ(folders.UserData, Path("config") + "/Zendra ICD10 2021/");
    EXPECT_TRUE(fs::is_directory(folders.SharedData));
    // A missing XDG base folder is created, so settings and history are not lost on a fresh account.
    EXPECT_TRUE(fs::is_directory(folders.UserData));

    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", Path("home").c_str(), 1);
    EXPECT_EQ(SharedDataFolder(), Path("home") + "/.local/share/Zendra ICD10 2021/");
    EXPECT_EQ(UserDataFolder(), Path("home") + "/.config/Zendra ICD10 2021/");
}

TEST_F(FoldersTest, ExplicitFoldersAreCreatedOneLevelOnly) {
    setenv("ProgramData", Path("missing/shared").c_str(), 1);
    setenv("AppData", Path("missing/user").c_str(), 1);
    (void)SetUpFolders();
    // A missing parent of an explicitly named folder is not made, and that is no error.
    EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(FoldersTest, ProgramDirIsTheFolderOfTheRunningProgram) {
    const TFolders folders = SetUpFolders();
    ASSERT_FALSE(folders.Program.empty());
    EXPECT_EQ(folders.Program.back(), '/');
    EXPECT_TRUE(fs::equivalent(folders.Program + program_invocation_short_name, "/proc/self/exe"));
}

TEST_F(FoldersTest, ProgramFilesOfABuildTreeAndOfAnInstalledProgram) {
    // A build tree: nothing beside the executable's folder.
    fs::create_directories(Path("build/app"));
    const auto buildTree = LocateProgramFiles(Path("build/app") + "/", {Path("etc") + "/"});
    EXPECT_FALSE(buildTree.FInstalled);
    EXPECT_EQ(buildTree.FDataDir, Path("build/app") + "/");
    EXPECT_EQ(buildTree.FConfigFile, Path("build/app") + "/config.ini");
    EXPECT_EQ(buildTree.FWorkDir, Path("build/app") + "/");

    // An install under a prefix: bin/ with share/zendra-icd10/ beside it.
    fs::create_directories(Path("usr/bin"));
    fs::create_directories(Path("usr/share/zendra-icd10"));
    const std::vector<std::string> configDirs = {Path("etc") + "/", Path("xdg1") + "/", Path("xdg2") + "/"};
    auto installed = LocateProgramFiles(Path("usr/bin") + "/", configDirs);
    EXPECT_TRUE(installed.FInstalled);
    EXPECT_EQ(installed.FDataDir, Path("usr/share/zendra-icd10") + "/");
    EXPECT_EQ(installed.FConfigFile, Path("etc") + "/zendra-icd10/config.ini");  // none exists: the first
    EXPECT_EQ(installed.FWorkDir, fs::current_path().string() + "/");

    // The first configuration folder that holds the file wins.
    for (const char* folder : {"xdg1", "xdg2"}) {
        fs::create_directories(Path(folder) + "/zendra-icd10");
        std::ofstream(Path(folder) + "/zendra-icd10/config.ini") << "[Config]\nIsAdmin=1\n";
    }
    EXPECT_EQ(LocateProgramFiles(Path("usr/bin") + "/", configDirs).FConfigFile,
              Path("xdg1") + "/zendra-icd10/config.ini");
}

TEST_F(FoldersTest, SystemConfigFoldersAreEtcThenTheAbsoluteXdgConfigDirs) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {nullptr, {"/etc/", "/etc/xdg/"}},
        {"", {"/etc/", "/etc/xdg/"}},
        {"/opt/conf:relative/conf::/site/", {"/etc/", "/opt/conf/", "/site/"}},
    };
    for (const auto& [value, expected] : cases) {
        if (value)
            setenv("XDG_CONFIG_DIRS", value, 1);
        else
            unsetenv("XDG_CONFIG_DIRS");
        EXPECT_EQ(SystemConfigFolders(), expected) << (value ? value : "(unset)");
    }
}

}  // namespace
