// The favourite code store: Base64 names and password lines (hashed, and the older reversed
// Base64), the folder scan, loading with the password check, damaged files, the all-or-nothing
// save, and adding and removing codes on the real Tabular List.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "startup/LoadedData.h"
#include "tests/common/TestSupport.h"
#include "userdata/FavoritePassword.h"
#include "userdata/Favorites.h"

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

TEST(FavoritesPassword, LegacyPasswordLineIsTheReversedBase64) {
    EXPECT_EQ(LegacyPasswordLine("secret"), "0VmcjV2c");  // Base64 "c2VjcmV0" reversed
    EXPECT_EQ(LegacyPasswordLine(""), "");
    const std::string longLine = LegacyPasswordLine(std::string(60, 'p'));
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

TEST_F(FavoritesFolder, ScanSkipsInvalidNamesAndOtherFilesButReportsListsThatAreNoFiles) {
    WriteFile("YW5u.fvxml", "x\r\n");
    WriteFile("not base64!.fvxml", "x\r\n");
    WriteFile("YW5.fvxml", "x\r\n");
    WriteFile("YW5u.txt", "x\r\n");
    WriteFile("YW5u.fvxml.tmp", "x\r\n");
    WriteFile("Ym9i.FVXML", "x\r\n");
    fs::create_directory(FFolder / "Y2Fyb2w=.fvxml");
    ASSERT_EQ(::mkfifo((FFolder / "ZGF2ZQ==.fvxml").c_str(), 0600), 0);

    TFavoriteList found;
    found.push_back(std::make_unique<TFavoriteKW>("earlier", "kept"));
    TFavoriteKW::GetFavoriteList(FPath, found);
    EXPECT_EQ(UserNames(found), (std::vector<std::string>{"ann", "bob", "carol", "dave", "earlier"}));
    const std::string notice = FavoriteFilesNotice(found);
    for (const char* user : {"carol", "dave"}) {
        EXPECT_NE(notice.find(std::string("The favorite list of \"") + user + "\" cannot be opened"), std::string::npos)
            << notice;
    }
    EXPECT_EQ(notice.find("\"ann\""), std::string::npos) << notice;
    for (const auto& favorite : found) {
        if (favorite->FUserName == "carol" || favorite->FUserName == "dave") {
            EXPECT_EQ(favorite->Open("pw"), TFavoriteOpen::Unreadable);
        }
    }
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
    EXPECT_EQ(ReadFile(created.FFileName), created.FFavoriteCodes[0] + "\r\nS52.521A\r\nA00.0\r\n");

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
    WriteFile("YQ==.fvxml", "  " + LegacyPasswordLine("pw") + " \t\r\nA00\r\n");
    WriteFile("Yg==.fvxml", "   \r\nB00\r\n");
    WriteFile("Yw==.fvxml", "\r\nC00\r\n");
    WriteFile("ZA==.fvxml", "");
    WriteFile("ZQ==.fvxml", LegacyPasswordLine(std::string(70, 'x')) + "\nE00");

    TFavoriteKW a("a", FPath + "YQ==.fvxml");
    EXPECT_TRUE(a.LoadKWs("pw"));
    EXPECT_EQ(a.FFavoriteCodes.back(), "A00");
    TFavoriteKW b("b", FPath + "Yg==.fvxml");
    EXPECT_TRUE(b.LoadKWs(""));
    TFavoriteKW c("c", FPath + "Yw==.fvxml");
    EXPECT_FALSE(c.LoadKWs("pw"));
    EXPECT_TRUE(c.LoadKWs(""));
    TFavoriteKW d("d", FPath + "ZA==.fvxml");
    EXPECT_EQ(d.Open(""), TFavoriteOpen::Damaged) << "an empty file";
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
        ASSERT_EQ(created.FFavoriteCodes.size(), 1u);
        EXPECT_TRUE(PasswordMatches(created.FFavoriteCodes[0], "pw"));
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
    EXPECT_EQ(ReadFile(favorite.FFileName), favorite.FFavoriteCodes[0] + "\r\nA00\r\nB00\r\n");
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"YW5u.fvxml"}) << "no temporary file is left behind";

    // A folder that cannot take the file: false, nothing written.
    TFavoriteKW elsewhere("ann", "pw", FPath + "missing/");
    EXPECT_FALSE(elsewhere.SaveKWs());
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"YW5u.fvxml"});
}

namespace {

mode_t FileMode(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

}  // namespace

TEST_F(FavoritesFolder, NewListsHoldASaltedHashReadableByTheOwnerOnly) {
    TFavoriteKW created("ann", "s3cret pw", FPath);
    ASSERT_TRUE(created.SaveKWs());
    const std::string line = created.FFavoriteCodes[0];
    EXPECT_EQ(PasswordLineKind(line), TPasswordLineKind::Hashed);
    EXPECT_EQ(line.rfind("$argon2id$", 0), 0u);
    const std::string onDisk = ReadFile(created.FFileName);
    for (const std::string& readable :
         {std::string("s3cret pw"), EncodeBase64("s3cret pw"), LegacyPasswordLine("s3cret pw")})
        EXPECT_EQ(onDisk.find(readable), std::string::npos) << readable;
    EXPECT_NE(HashedPasswordLine("s3cret pw"), line) << "every hash gets its own salt";
    EXPECT_EQ(FileMode(created.FFileName), 0600u);

    TFavoriteKW reader("ann", created.FFileName);
    EXPECT_EQ(reader.Open("s3cret"), TFavoriteOpen::WrongPassword);
    EXPECT_EQ(reader.Open("s3cret pw"), TFavoriteOpen::Opened);
    EXPECT_FALSE(PasswordLineNeedsUpgrade(reader.FFavoriteCodes[0]));
}

TEST_F(FavoritesFolder, OlderPasswordFormOpensAndIsHashedAtTheNextSave) {
    const std::string oldContent = "  " + LegacyPasswordLine("old pw") + "\r\nA00.0\r\nS52.521A\r\n";
    WriteFile("YW5u.fvxml", oldContent);
    fs::permissions(FFolder / "YW5u.fvxml", fs::perms(0644));
    TFavoriteKW favorite("ann", FPath + "YW5u.fvxml");
    EXPECT_EQ(favorite.Open("wrong"), TFavoriteOpen::WrongPassword);
    ASSERT_EQ(favorite.Open("old pw"), TFavoriteOpen::Opened);
    EXPECT_EQ(favorite.Codes(), (std::vector<std::string>{"A00.0", "S52.521A"}));
    EXPECT_EQ(ReadFile(favorite.FFileName), oldContent) << "opening alone writes nothing";

    ASSERT_TRUE(favorite.SaveKWs());
    const std::string saved = ReadFile(favorite.FFileName);
    EXPECT_EQ(saved.rfind("$argon2id$", 0), 0u);
    EXPECT_EQ(saved.find(LegacyPasswordLine("old pw")), std::string::npos);
    EXPECT_EQ(FileMode(favorite.FFileName), 0600u);
    TFavoriteKW reader("ann", favorite.FFileName);
    EXPECT_EQ(reader.Open("old pw"), TFavoriteOpen::Opened);
    EXPECT_EQ(reader.Codes(), favorite.Codes());
}

TEST_F(FavoritesFolder, DamagedFilesOpenEmptyAndAreNeverWrittenOver) {
    std::string junk;
    std::mt19937 random(14);
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>(random() & 0xFF);
    const std::string password = LegacyPasswordLine("pw") + "\r\n";
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"binary junk", junk},
        {"a 5 MB line", password + "A00.0\r\n" + std::string(5 * 1024 * 1024, 'A') + "\r\n"},
        {"a blank inside a code", password + "A00.0\r\nS52.5 21A\r\n"},
        {"a word that is no code", password + "A00.0\r\nhello world\r\n"},
        {"a hash asking for 4 GB", "$argon2id$v=19$m=4194304,t=2,p=1$c2FsdHNhbHQ$aGFzaGhhc2g\r\nA00.0\r\n"},
    };
    for (const auto& damaged : cases) {
        SCOPED_TRACE(damaged.name);
        WriteFile("YW5u.fvxml", damaged.content);
        TFavoriteKW favorite("ann", FPath + "YW5u.fvxml");
        EXPECT_EQ(favorite.Open("pw"), TFavoriteOpen::Damaged);
        EXPECT_FALSE(favorite.FDamage.empty());
        EXPECT_TRUE(favorite.Codes().empty());
        EXPECT_NE(FavoriteOpenMessage(TFavoriteOpen::Damaged, favorite).find("left as it was"), std::string::npos);
        EXPECT_EQ(AddFavoriteCodes(LoadedData().CodeResolver(), favorite, {"A00"}).FOutcome, TFavoriteEdit::NotOpen);
        favorite.FFavoriteCodes = {HashedPasswordLine("pw"), "A00"};
        EXPECT_FALSE(favorite.SaveKWs());
        EXPECT_TRUE(ReadFile(favorite.FFileName) == damaged.content) << "the file is left as it was";
    }
    // The password is still checked before the codes are looked at.
    WriteFile("YW5u.fvxml", password + "S52.\r\n");
    TFavoriteKW favorite("ann", FPath + "YW5u.fvxml");
    EXPECT_EQ(favorite.Open("other"), TFavoriteOpen::WrongPassword);
}

class FavoritesOnRealData : public FavoritesFolder {
protected:
    void SetUp() override {
        FavoritesFolder::SetUp();
        EnsureRealDataLoaded();
    }
};

TEST_F(FavoritesOnRealData, OnlyCategoriesAndReportableCodesMayBeAdded) {
    const struct {
        const char* code;
        bool allowed;
    } cases[] = {
        {"A00", true},    {"A00.0", true},    {"S52.521A", true}, {"T36.0X1A", true}, {"C44.1021", true},
        {"S52.5", false}, {"S52.521", false}, {"A00.", false},    {"T36.0X1", false}, {"Z99.999", false},
        {"ZZZ", false},   {"A00.0-", false},  {"", false},        {"a00.0", false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(MayAddFavoriteCode(LoadedData().CodeResolver(), row.code), row.allowed) << row.code;
    EXPECT_EQ(CanonicalFavoriteCode(" s52521a\t"), "S52.521A");
    EXPECT_EQ(CanonicalFavoriteCode("a00"), "A00");
}

TEST_F(FavoritesOnRealData, EachChangeIsSavedAtOnceOrNotMadeAtAll) {
    TFavoriteKW* favorite = nullptr;
    TFavoriteList list;
    ASSERT_EQ(CreateFavoriteUser(" ann ", "pw", FPath, list, favorite), TFavoriteCreate::Created);
    EXPECT_EQ(favorite->FUserName, "ann");
    auto onDisk = [&] {
        TFavoriteKW reader("ann", favorite->FFileName);
        return reader.Open("pw") == TFavoriteOpen::Opened ? reader.Codes() : std::vector<std::string>{"?"};
    };
    EXPECT_EQ(onDisk(), std::vector<std::string>{});

    EXPECT_EQ(AddFavoriteCodes(LoadedData().CodeResolver(), *favorite, {"s52.521a", "A00", "A00.0"}).FOutcome,
              TFavoriteEdit::Done);
    EXPECT_EQ(AddFavoriteCodes(LoadedData().CodeResolver(), *favorite, {"A00", "a00"}).FOutcome,
              TFavoriteEdit::AlreadyListed);
    const TFavoriteEditResult refused = AddFavoriteCodes(LoadedData().CodeResolver(), *favorite, {"A01.00", "S52.5"});
    EXPECT_EQ(refused.FOutcome, TFavoriteEdit::NotAllowed);
    EXPECT_EQ(refused.FCode, "S52.5");
    EXPECT_EQ(onDisk(), (std::vector<std::string>{"S52.521A", "A00", "A00.0"})) << "nothing added with S52.5";

    EXPECT_EQ(RemoveFavoriteCodes(*favorite, {"A00", "B00"}).FOutcome, TFavoriteEdit::NotListed);
    EXPECT_EQ(RemoveFavoriteCodes(*favorite, {"A00"}).FOutcome, TFavoriteEdit::Done);
    EXPECT_EQ(onDisk(), (std::vector<std::string>{"S52.521A", "A00.0"}));
    // A removed code comes back at its place, once.
    EXPECT_EQ(RestoreFavoriteCode(LoadedData().CodeResolver(), *favorite, "A00", 1).FOutcome, TFavoriteEdit::Done);
    EXPECT_EQ(onDisk(), (std::vector<std::string>{"S52.521A", "A00", "A00.0"}));
    EXPECT_EQ(RestoreFavoriteCode(LoadedData().CodeResolver(), *favorite, "A00", 1).FOutcome,
              TFavoriteEdit::AlreadyListed);
    EXPECT_EQ(RemoveFavoriteCodes(*favorite, {"A00"}).FOutcome, TFavoriteEdit::Done);

    // The folder is gone: the save fails, and memory stays as the disk had it.
    const std::string fileName = favorite->FFileName;
    favorite->FFileName = FPath + "missing/YW5u.fvxml";
    const TFavoriteEditResult failed = AddFavoriteCodes(LoadedData().CodeResolver(), *favorite, {"A01.00"});
    EXPECT_EQ(failed.FOutcome, TFavoriteEdit::SaveFailed);
    EXPECT_NE(FavoriteEditMessage(failed, *favorite, true).find("could not be saved"), std::string::npos);
    EXPECT_EQ(RemoveFavoriteCodes(*favorite, {"A00.0"}).FOutcome, TFavoriteEdit::SaveFailed);
    EXPECT_EQ(favorite->Codes(), (std::vector<std::string>{"S52.521A", "A00.0"}));
    favorite->FFileName = fileName;
}

TEST_F(FavoritesFolder, CreatingAUserNeverWritesOverAnotherList) {
    WriteFile("YW5u.fvxml", "kept\r\n");
    TFavoriteList list;
    TFavoriteKW* created = nullptr;
    EXPECT_EQ(CreateFavoriteUser("ann", "pw", FPath, list, created), TFavoriteCreate::NameTaken)
        << "file made since the scan";
    EXPECT_EQ(ReadFile(FPath + "YW5u.fvxml"), "kept\r\n");
    EXPECT_EQ(CreateFavoriteUser("  ", "pw", FPath, list, created), TFavoriteCreate::EmptyName);
    EXPECT_EQ(CreateFavoriteUser("???", "pw", FPath, list, created), TFavoriteCreate::NameUnusable);
    ASSERT_EQ(CreateFavoriteUser("bob", "pw", FPath, list, created), TFavoriteCreate::Created);
    EXPECT_EQ(CreateFavoriteUser("bob", "other", FPath, list, created), TFavoriteCreate::NameTaken);
    EXPECT_EQ(list.size(), 1u);
}
