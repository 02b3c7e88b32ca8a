// The favorites command of zendra-icd10-cli, run as a script would run it: the password from a
// file descriptor, the list in the shared data folder named by "ProgramData".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "services/Folders.h"
#include "tests/admin/RunProgram.h"
#include "userdata/FavoritePassword.h"
#include "userdata/Favorites.h"

namespace {

using testing_support::Quoted;
using testing_support::RunCommand;

}  // namespace

TEST(FavoritesCommand, ListsAddsAndRemovesWithThePasswordFromADescriptor) {
    testing_support::TTempFolder folder;
    const std::filesystem::path shared = folder.Path() / DataFolderName();
    std::filesystem::create_directories(shared);
    const std::string list = (shared / FavoriteFileName("ann")).string();
    std::ofstream(list, std::ios::binary) << LegacyPasswordLine("pw") << "\r\nA00.0\r\n";
    std::ofstream(folder.File("right"), std::ios::binary) << "pw\n";
    std::ofstream(folder.File("wrong"), std::ios::binary) << "pW\n";

    const std::string cli = "ProgramData=" + Quoted(folder.Path().string()) + " " +
                            Quoted((testing_support::BinaryDir() / "cli" / "zendra-icd10-cli").string()) +
                            " favorites --password-fd 3 ";
    auto run = [&](const std::string& arguments, const char* passwordFile = "right") {
        return RunCommand(cli + arguments + " 3<" + Quoted(folder.File(passwordFile)), true);
    };

    EXPECT_EQ(run("list ann").output, "A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae\n");
    EXPECT_EQ(run("add ann s52521a T36.0X1A A00.0").exitCode, 0);
    const auto refused = run("add ann A01.00 S52.5");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("\"S52.5\""), std::string::npos);
    EXPECT_EQ(run("remove ann A00.0").exitCode, 0);
    EXPECT_EQ(run("remove ann A00.0").exitCode, 1) << "not listed any more";
    EXPECT_EQ(run("list ann", "wrong").exitCode, 1);
    EXPECT_EQ(run("list bob").exitCode, 1);
    EXPECT_EQ(run("list").exitCode, 2);

    TFavoriteKW reader("ann", list);
    ASSERT_EQ(reader.Open("pw"), TFavoriteOpen::Opened);
    EXPECT_EQ(reader.Codes(), (std::vector<std::string>{"S52.521A", "T36.0X1A"}));
    EXPECT_EQ(PasswordLineKind(reader.FFavoriteCodes[0]), TPasswordLineKind::Hashed) << "rehashed by the first save";
}

TEST(FavoritesCommand, HandEditedCodesInAnyResolverFormAreReadAndWrittenBackCanonical) {
    testing_support::TTempFolder folder;
    const std::filesystem::path shared = folder.Path() / DataFolderName();
    std::filesystem::create_directories(shared);
    const std::string list = (shared / FavoriteFileName("ann")).string();
    std::ofstream(list, std::ios::binary) << LegacyPasswordLine("pw") << "\r\na00.1\r\nS52521A\r\n A00 \r\n";
    std::ofstream(folder.File("right"), std::ios::binary) << "pw\n";
    const std::string cli = "ProgramData=" + Quoted(folder.Path().string()) + " " +
                            Quoted((testing_support::BinaryDir() / "cli" / "zendra-icd10-cli").string()) +
                            " favorites --password-fd 3 ";
    const auto removed = RunCommand(cli + "remove ann a00.1 3<" + Quoted(folder.File("right")), true);
    EXPECT_EQ(removed.exitCode, 0) << removed.output;
    TFavoriteKW reader("ann", list);
    ASSERT_EQ(reader.Open("pw"), TFavoriteOpen::Opened);
    EXPECT_EQ(reader.Codes(), (std::vector<std::string>{"S52.521A", "A00"}));
    std::ifstream file(list, std::ios::binary);
    const std::string content(std::istreambuf_iterator<char>(file), {});
    EXPECT_NE(content.find("\r\nS52.521A\r\nA00\r\n"), std::string::npos) << "written back canonical";
}
