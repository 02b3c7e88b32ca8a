// The favourite code store: Base64 names and password lines, the folder scan, loading with the
// password check and the all-or-nothing save.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "Favorites.h"

namespace fs = std::filesystem;

namespace {

class FavoritesFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        FFolder = fs::temp_directory_path() / ("zendra-favorites-" + std::to_string(random()));
        fs::create_directories(FFolder);
        FPath = FFolder.string() + "/";
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(FFolder, error);
    }
    void WriteFile(const std::string& name, const std::string& content) const {
        std::ofstream(FFolder / name, std::ios::binary) << content;
    }
    std::string ReadFile(const std::string& path) const {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(FFolder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path FFolder;
    std::string FPath;
};

std::vector<std::string> UserNames(const TFavoriteList& list) {
    std::vector<std::string> names;
    for (const auto& favorite : list) names.push_back(favorite->FUserName);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(FavoritesBase64, EncodesRfc4648WithCrLfAfterEvery76Characters) {
    EXPECT_EQ(EncodeBase64(""), "");
    EXPECT_EQ(EncodeBase64("f"), "Zg==");
    EXPECT_EQ(EncodeBase64("fo"), "Zm8=");
    EXPECT_EQ(EncodeBase64("foo"), "Zm9v");
    EXPECT_EQ(EncodeBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(EncodeBase64("\xFB\xFF"), "+/8=");
    EXPECT_EQ(EncodeBase64("J\xC3\xBCrgen"), "SsO8cmdlbg==") << "the UTF-8 bytes of the text";

    const std::string bytes57(57, 'a');
    EXPECT_EQ(EncodeBase64(bytes57).size(), 76u);
    EXPECT_EQ(EncodeBase64(bytes57).find('\r'), std::string::npos) << "57 bytes fill one line exactly";
    const std::string encoded58 = EncodeBase64(bytes57 + "a");
    EXPECT_EQ(encoded58.substr(76, 2), "\r\n");
    EXPECT_EQ(encoded58.size(), 76u + 2u + 4u);
    const std::string encoded114 = EncodeBase64(std::string(114, 'a'));
    EXPECT_EQ(encoded114.size(), 76u + 2u + 76u) << "no line break after the last line";
}

TEST(FavoritesBase64, DecodesOnlyCanonicalBase64) {
    const std::string withZero("\x00\xFF\x10 x", 5);
    for (const std::string& text :
         {std::string(), std::string("f"), std::string("fo"), withZero, std::string(200, 'q')}) {
        EXPECT_EQ(DecodeBase64(EncodeBase64(text)), text);
    }
    EXPECT_EQ(DecodeBase64("Zm9v\r\nYmFy"), "foobar");
    for (const char* bad : {"Zg", "Zg=", "Z===", "Zm9v!A==", "Zg==Zg==", "=Zg=", "Zh==", "Zm9=", "Zm 9v", "Zm-_"}) {
        EXPECT_FALSE(DecodeBase64(bad).has_value()) << bad;
    }
}

TEST(FavoritesPassword, PasswordLineIsTheReversedBase64) {
    EXPECT_EQ(PasswordLine("secret"), "0VmcjV2c");  // Base64 "c2VjcmV0" reversed
    EXPECT_EQ(PasswordLine(""), "");
    const std::string longLine = PasswordLine(std::string(60, 'p'));
    EXPECT_EQ(longLine.find_first_of("\r\n"), std::string::npos) << "a long password stays on one line";
    EXPECT_EQ(longLine.size(), 80u);
}

TEST_F(FavoritesFolder, UserNameBecomesItsFileNameAndTheScanTurnsItBack) {
    for (const char* name : {"Dr. M\xC3\xBCller", "ann", "", "a b"}) {
        TFavoriteKW created(name, "pw", FPath);
        EXPECT_EQ(created.FFileName, FPath + EncodeBase64(name) + ".fvxml");
        ASSERT_TRUE(created.SaveKWs()) << name;
    }
    EXPECT_EQ(FolderNames(),
              (std::vector<std::string>{".fvxml", "RHIuIE3DvGxsZXI=.fvxml", "YSBi.fvxml", "YW5u.fvxml"}));

    TFavoriteList found;
    TFavoriteKW::GetFavoriteList(FPath, found);
    EXPECT_EQ(UserNames(found), (std::vector<std::string>{"", "Dr. M\xC3\xBCller", "a b", "ann"}));
    for (const auto& favorite : found) {
        EXPECT_EQ(favorite->FFileName, FPath + FavoriteFileName(favorite->FUserName));
        EXPECT_TRUE(favorite->FFavoriteCodes.empty()) << "the scan does not read the files";
    }

    TFavoriteList withoutSeparator;
    TFavoriteKW::GetFavoriteList(FFolder.string(), withoutSeparator);
    EXPECT_EQ(withoutSeparator.size(), 4u);
}

TEST_F(FavoritesFolder, ScanSkipsInvalidNamesOtherFilesAndFolders) {
    WriteFile("YW5u.fvxml", "x\r\n");
    WriteFile("not base64!.fvxml", "x\r\n");
    WriteFile("YW5.fvxml", "x\r\n");
    WriteFile("YW5u.txt", "x\r\n");
    WriteFile("YW5u.fvxml.tmp", "x\r\n");
    WriteFile("Ym9i.FVXML", "x\r\n");
    fs::create_directory(FFolder / "Y2Fyb2w=.fvxml");

    TFavoriteList found;
    found.push_back(std::make_unique<TFavoriteKW>("earlier", "kept"));
    TFavoriteKW::GetFavoriteList(FPath, found);
    EXPECT_EQ(UserNames(found), (std::vector<std::string>{"ann", "bob", "earlier"}));
}

TEST_F(FavoritesFolder, MissingFolderAddsNothing) {
    TFavoriteList found;
    TFavoriteKW::GetFavoriteList(FPath + "missing/", found);
    TFavoriteKW::GetFavoriteList("", found);
    EXPECT_TRUE(found.empty());
}

TEST_F(FavoritesFolder, SavedListLoadsBackWithTheRightPasswordOnly) {
    TFavoriteKW created("ann", "s3cret", FPath);
    created.FFavoriteCodes.push_back("S52.521A");
    created.FFavoriteCodes.push_back("A00.0");
    ASSERT_TRUE(created.SaveKWs());
    EXPECT_EQ(ReadFile(created.FFileName), PasswordLine("s3cret") + "\r\nS52.521A\r\nA00.0\r\n");

    TFavoriteKW reader("ann", created.FFileName);
    EXPECT_FALSE(reader.LoadKWs("S3cret")) << "the comparison is case-sensitive";
    EXPECT_TRUE(reader.FFavoriteCodes.empty());
    EXPECT_TRUE(reader.LoadKWs("s3cret")) << "a wrong password leaves the record ready to read again";
    EXPECT_EQ(reader.FFavoriteCodes, created.FFavoriteCodes);

    // A list already in memory is not read again.
    fs::remove(created.FFileName);
    EXPECT_TRUE(reader.LoadKWs("s3cret"));
}

TEST_F(FavoritesFolder, PasswordLineIsComparedTrimmedAndEmptyPasswordsWork) {
    WriteFile("YQ==.fvxml", "  " + PasswordLine("pw") + " \t\r\nA00\r\n");
    WriteFile("Yg==.fvxml", "   \r\nB00\r\n");
    WriteFile("Yw==.fvxml", "\r\nC00\r\n");
    WriteFile("ZA==.fvxml", "");
    WriteFile("ZQ==.fvxml", PasswordLine(std::string(70, 'x')) + "\nE00");

    TFavoriteKW a("a", FPath + "YQ==.fvxml");
    EXPECT_TRUE(a.LoadKWs("pw"));
    EXPECT_EQ(a.FFavoriteCodes.back(), "A00");
    TFavoriteKW b("b", FPath + "Yg==.fvxml");
    EXPECT_TRUE(b.LoadKWs(""));
    TFavoriteKW c("c", FPath + "Yw==.fvxml");
    EXPECT_FALSE(c.LoadKWs("pw"));
    EXPECT_TRUE(c.LoadKWs(""));
    TFavoriteKW d("d", FPath + "ZA==.fvxml");
    EXPECT_FALSE(d.LoadKWs("")) << "an empty file";
    TFavoriteKW e("e", FPath + "ZQ==.fvxml");
    EXPECT_TRUE(e.LoadKWs(std::string(70, 'x'))) << "a password of more than 57 bytes";
    EXPECT_EQ(e.FFavoriteCodes.size(), 2u);
}

TEST_F(FavoritesFolder, MissingOrUnreadableFileGivesFalse) {
    TFavoriteKW missing("ann", FPath + "YW5u.fvxml");
    EXPECT_FALSE(missing.LoadKWs(""));
    fs::create_directory(FFolder / "YW5u.fvxml");
    EXPECT_FALSE(missing.LoadKWs(""));
    TFavoriteKW nowhere("ann", "");
    EXPECT_FALSE(nowhere.LoadKWs(""));
}

TEST_F(FavoritesFolder, NamesThatGiveNoFileNameAreRefused) {
    // "???" encodes to "Pz8/" and a name of more than 57 bytes gets a line break.
    for (const std::string& name : {std::string("???"), std::string(58, 'n')}) {
        TFavoriteKW created(name, "pw", FPath);
        EXPECT_FALSE(created.CanSave()) << name;
        EXPECT_TRUE(created.FFileName.empty());
        EXPECT_EQ(created.FFavoriteCodes, std::vector<std::string>{PasswordLine("pw")});
        EXPECT_FALSE(created.SaveKWs());
    }
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(FavoritesFolder, SaveReplacesTheFileWholeOrNotAtAll) {
    TFavoriteKW favorite("ann", "pw", FPath);
    favorite.FFavoriteCodes.push_back("A00");
    ASSERT_TRUE(favorite.SaveKWs());
    const std::string before = ReadFile(favorite.FFileName);

    favorite.FFavoriteCodes.push_back("B00\r\nC00");
    EXPECT_FALSE(favorite.SaveKWs()) << "an entry with a line break would come back as two";
    EXPECT_EQ(ReadFile(favorite.FFileName), before);

    favorite.FFavoriteCodes.back() = "B00";
    ASSERT_TRUE(favorite.SaveKWs());
    EXPECT_EQ(ReadFile(favorite.FFileName), PasswordLine("pw") + "\r\nA00\r\nB00\r\n");
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"YW5u.fvxml"}) << "no temporary file is left behind";

    // A folder that cannot take the file: false, nothing written.
    TFavoriteKW elsewhere("ann", "pw", FPath + "missing/");
    EXPECT_FALSE(elsewhere.SaveKWs());
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"YW5u.fvxml"});
}
