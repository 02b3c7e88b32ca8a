// Favourite codes from the keyboard, across a restart: a coder creates their list from the
// launcher, adds a code from the keyword search, the disease index and the neoplasm table, and in
// a new process of the program on the same folder unlocks the list (after a wrong password), sees
// the three codes in order, opens one and removes it. Also: a damaged list opens empty with a
// message and stays as it was.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <fstream>

#include "services/DataSets.h"
#include "services/Folders.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AlphaSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/FavoriteUser.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "userdata/FavoritePassword.h"
#include "userdata/Favorites.h"

namespace {

const QString UserName = QStringLiteral("Dr Ann");
const QString Password = QStringLiteral("s3cret pw");
constexpr int Patience = 3000;  // polls of 20 ms: password hashing is slow on a busy machine

QStringList TreeTexts(const QTreeWidget* tree) {
    QStringList texts;
    for (int row = 0; row < tree->topLevelItemCount(); ++row) texts << tree->topLevelItem(row)->text(0);
    return texts;
}

std::string ShownCategory(TfrmKeyWordSearch* window) {
    auto* const* code = std::get_if<TCodeInfo*>(&window->Pager().FCurCode);
    return code != nullptr ? (*code)->FCode : std::string();
}

std::vector<std::string> UnlockedCodes() {
    return UserData().Unlocked != nullptr ? UserData().Unlocked->Codes() : std::vector<std::string>{"(locked)"};
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void PressCtrlD(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_D, Qt::ControlModifier);
}

// Runs AStep on the Tabular Search window the next keys open, then closes it with Esc.
void WhenTabular(std::function<void(TfrmKeyWordSearch*)> AStep) {
    WhenWindowShown<TfrmKeyWordSearch>(
        [AStep](TfrmKeyWordSearch* window) {
            AStep(window);
            QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_Escape);
        },
        Patience);
}

}  // namespace

class FavoritesJourneyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void createAddRestartUnlockOpenRemove();
    // The second program run of the journey; runs only when the first starts it.
    void afterRestart();
    void damagedListOpensEmptyWithAMessageAndStaysAsItWas();
};

void FavoritesJourneyTest::createAddRestartUnlockOpenRemove() {
    TScopedDataFolders folders;
    QTemporaryDir machineData;
    qputenv("ProgramData", QFile::encodeName(machineData.path()));
    const std::string oldShared = UserData().Folders.SharedData;
    UserData().Folders.SharedData = SharedDataFolder();
    QVERIFY(QDir().mkpath(QString::fromStdString(UserData().Folders.SharedData)));
    UserData().Favorites.clear();
    UserData().Unlocked = nullptr;
    TRecordingMessages messages;
    TfrmMain main;
    main.show();

    // Favorite Codes: no list yet, so New User has the focus; name and password twice.
    bool created = false;
    WhenWindowShown<TfrmFavoriteUser>([&](TfrmFavoriteUser* choice) {
        QCOMPARE(Named<QListWidget>(*choice, "userList")->count(), 0);
        QCOMPARE(choice->focusWidget(), static_cast<QWidget*>(Named<QPushButton>(*choice, "newUserButton")));
        WhenWindowShown<TfrmFavoriteNewUser>([&](TfrmFavoriteNewUser* newUser) {
            QTest::keyClicks(Named<QLineEdit>(*newUser, "userNameEdit"), UserName);
            QTest::keyClicks(Named<QLineEdit>(*newUser, "passwordEdit"), Password);
            QTest::keyClicks(Named<QLineEdit>(*newUser, "passwordAgainEdit"), Password);
            WhenWindowShown<TfrmKeyWordSearch>(
                [&](TfrmKeyWordSearch* favorites) {
                    created = true;
                    QCOMPARE(Named<QLabel>(*favorites, "titleLabel")->text(), QStringLiteral("Favorite Codes"));
                    QCOMPARE(Named<QLabel>(*favorites, "listKindLabel")->text(), QStringLiteral("Favorite"));
                    QVERIFY(!Named<QWidget>(*favorites, "searchArea")->isVisible());
                    QCOMPARE(Named<QLabel>(*favorites, "codeCountLabel")->text(), QStringLiteral("0"));
                    QTest::keyClick(Named<QTreeWidget>(*favorites, "codeTree"), Qt::Key_Escape);
                },
                Patience);
            QTest::keyClick(Named<QLineEdit>(*newUser, "passwordAgainEdit"), Qt::Key_Return);
        });
        QTest::keyClick(choice->focusWidget(), Qt::Key_Return);
    });
    QTest::mouseClick(Named<QLabel>(main, "favoritesLauncher"), Qt::LeftButton);
    QVERIFY(created);
    QVERIFY(main.isVisible());
    QVERIFY(UserData().Unlocked != nullptr);
    QCOMPARE(UserData().Unlocked->FUserName, UserName.toStdString());

    // 1. Keyword search: the category found is added with Ctrl+D from the keyword box.
    WhenTabular([](TfrmKeyWordSearch* window) {
        QTest::keyClicks(Named<QLineEdit>(*window, "keywordEdit"), QStringLiteral("typhoid"));
        QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Return);
        QCOMPARE(ShownCategory(window), std::string("A01"));
        PressCtrlD(Named<QLineEdit>(*window, "keywordEdit"));
        QCOMPARE(UnlockedCodes(), std::vector<std::string>{"A01"});
    });
    QTest::mouseClick(Named<QLabel>(main, "keywordsLauncher"), Qt::LeftButton);

    // 2. Disease index: Cholera's code opened with F5, added from the text view.
    WhenWindowShown<TfrmAlphaSearch>([](TfrmAlphaSearch* index) {
        QTest::keyClicks(Named<QLineEdit>(*index, "filterEdit"), QStringLiteral("cholera"));
        auto* terms = index->findChild<QTreeView*>(QStringLiteral("termList"));
        QVERIFY(terms->model()->rowCount() > 0);
        terms->setCurrentIndex(terms->model()->index(0, 0));
        WhenTabular([](TfrmKeyWordSearch* window) {
            QCOMPARE(window->Pager().FSelectedCode, std::string("A00.9"));
            PressCtrlD(Named<QTextEdit>(*window, "codeText"));
            QCOMPARE(UnlockedCodes(), (std::vector<std::string>{"A01", "A00.9"}));
        });
        QTest::keyClick(terms, Qt::Key_F5);
        QTest::keyClick(terms, Qt::Key_Escape);
    });
    QTest::mouseClick(Named<QLabel>(main, "diseaseLauncher"), Qt::LeftButton);

    // 3. Neoplasm table: the first reportable code cell, opened with F5, added from the text view.
    std::string tableCode;
    WhenWindowShown<TfrmDrugNeopSearch>([&](TfrmDrugNeopSearch* table) {
        auto* grid = table->findChild<QTableView*>(QStringLiteral("termGrid"));
        for (int row = 1; row < grid->model()->rowCount() && tableCode.empty(); ++row)
            for (int column = 2; column < grid->model()->columnCount() && tableCode.empty(); ++column) {
                const QModelIndex cell = grid->model()->index(row, column);
                if (MayAddFavoriteCode(LoadedData().CodeResolver(), cell.data().toString().toStdString())) {
                    tableCode = cell.data().toString().toStdString();
                    grid->setCurrentIndex(cell);
                }
            }
        QVERIFY(!tableCode.empty());
        WhenTabular([&](TfrmKeyWordSearch* window) {
            PressCtrlD(Named<QTextEdit>(*window, "codeText"));
            QCOMPARE(UnlockedCodes(), (std::vector<std::string>{"A01", "A00.9", tableCode}));
        });
        QTest::keyClick(grid, Qt::Key_F5);
        QTest::keyClick(grid, Qt::Key_Escape);
    });
    QTest::mouseClick(Named<QLabel>(main, "neoplasmsLauncher"), Qt::LeftButton);
    QVERIFY(messages.Messages().empty());

    // The program ends; a new process opens the same folder.
    const std::string fileName = UserData().Unlocked->FFileName;
    main.close();
    QProcess restarted;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ProgramData"), machineData.path());
    environment.insert(QStringLiteral("ZENDRA_FAVORITES_RESTART"), QString::fromStdString(tableCode));
    restarted.setProcessEnvironment(environment);
    restarted.setProcessChannelMode(QProcess::MergedChannels);
    restarted.start(QCoreApplication::applicationFilePath(), {QStringLiteral("afterRestart")});
    QVERIFY(restarted.waitForFinished(240000));
    QVERIFY2(restarted.exitCode() == 0, restarted.readAll().constData());

    // On disk: the two codes left, in order, and nothing that gives the password away.
    const std::string onDisk = ReadBytes(fileName);
    for (const std::string& readable :
         {Password.toStdString(), EncodeBase64(Password.toStdString()), LegacyPasswordLine(Password.toStdString())})
        QVERIFY(onDisk.find(readable) == std::string::npos);
    TFavoriteKW reader(UserName.toStdString(), fileName);
    QCOMPARE(reader.Open(Password.toStdString()), TFavoriteOpen::Opened);
    QCOMPARE(reader.Codes(), (std::vector<std::string>{"A01", tableCode}));

    UserData().Unlocked = nullptr;
    UserData().Favorites.clear();
    UserData().Folders.SharedData = oldShared;
}

void FavoritesJourneyTest::afterRestart() {
    const QString tableCode = qEnvironmentVariable("ZENDRA_FAVORITES_RESTART");
    if (tableCode.isEmpty()) QSKIP("the second run of createAddRestartUnlockOpenRemove");
    TScopedDataFolders folders;
    TRecordingMessages messages;
    TfrmMain main;
    main.show();
    bool opened = false;
    WhenWindowShown<TfrmFavoriteUser>([&](TfrmFavoriteUser* choice) {
        QCOMPARE(Named<QListWidget>(*choice, "userList")->count(), 1);
        QCOMPARE(Named<QListWidget>(*choice, "userList")->currentItem()->text(), UserName);
        WhenWindowShown<TfrmFavoriteUnlock>([&](TfrmFavoriteUnlock* unlock) {
            QCOMPARE(Named<QLabel>(*unlock, "userLabel")->text(), UserName);
            // A wrong password is refused, said, and the dialog stays for another try.
            QTest::keyClicks(Named<QLineEdit>(*unlock, "passwordEdit"), QStringLiteral("s3cret"));
            QTest::keyClick(Named<QLineEdit>(*unlock, "passwordEdit"), Qt::Key_Return);
            QCOMPARE(messages.Messages(), std::vector<std::string>{MsgFavoriteWrongPassword});
            QVERIFY(unlock->isVisible());
            QVERIFY(Named<QLineEdit>(*unlock, "passwordEdit")->text().isEmpty());
            WhenWindowShown<TfrmKeyWordSearch>(
                [&](TfrmKeyWordSearch* favorites) {
                    opened = true;
                    QCOMPARE(
                        TreeTexts(Named<QTreeWidget>(*favorites, "codeTree")),
                        (QStringList{QStringLiteral(" A01"), QStringLiteral(" A00.9"), QLatin1Char(' ') + tableCode}));
                    QCOMPARE(Named<QLabel>(*favorites, "codeCountLabel")->text(), QStringLiteral("3"));
                    QCOMPARE(ShownCategory(favorites), std::string("A01"));
                    // Down opens A00.9: its category, the code underlined.
                    QTest::keyClick(Named<QTreeWidget>(*favorites, "codeTree"), Qt::Key_Down);
                    QCOMPARE(ShownCategory(favorites), std::string("A00"));
                    QCOMPARE(favorites->Pager().FSelectedCode, std::string("A00.9"));
                    QCOMPARE(Named<QLabel>(*favorites, "titleLabel")->text(), QStringLiteral("Favorite Codes"));
                    // Delete removes it; the next code is shown.
                    QTest::keyClick(Named<QTreeWidget>(*favorites, "codeTree"), Qt::Key_Delete);
                    QCOMPARE(TreeTexts(Named<QTreeWidget>(*favorites, "codeTree")),
                             (QStringList{QStringLiteral(" A01"), QLatin1Char(' ') + tableCode}));
                    QCOMPARE(Named<QLabel>(*favorites, "codeCountLabel")->text(), QStringLiteral("2"));
                    QCOMPARE(favorites->Pager().FSelectedCode, tableCode.toStdString());
                    QTest::keyClick(Named<QTreeWidget>(*favorites, "codeTree"), Qt::Key_Escape);
                },
                Patience);
            QTest::keyClicks(Named<QLineEdit>(*unlock, "passwordEdit"), Password);
            QTest::keyClick(Named<QLineEdit>(*unlock, "passwordEdit"), Qt::Key_Return);
        });
        QTest::keyClick(Named<QListWidget>(*choice, "userList"), Qt::Key_Return);
    });
    QTest::mouseClick(Named<QLabel>(main, "favoritesLauncher"), Qt::LeftButton);
    QVERIFY(opened);
    QCOMPARE(messages.Messages().size(), 1u);
}

void FavoritesJourneyTest::damagedListOpensEmptyWithAMessageAndStaysAsItWas() {
    QTemporaryDir shared;
    const std::string fileName =
        QDir(shared.path()).filePath(QString::fromStdString(FavoriteFileName("bob"))).toStdString();
    const std::string damaged = LegacyPasswordLine("pw") + "\r\nA00.0\r\nS52.5\r\nS52.5 21A\r\n";
    std::ofstream(fileName, std::ios::binary) << damaged;
    UserData().Favorites.clear();
    UserData().Unlocked = nullptr;
    TFavoriteKW::GetFavoriteList(shared.path().toStdString(), UserData().Favorites);
    TRecordingMessages messages;

    WhenWindowShown<TfrmFavoriteUser>([&](TfrmFavoriteUser* choice) {
        WhenWindowShown<TfrmFavoriteUnlock>([&](TfrmFavoriteUnlock* unlock) {
            QTest::keyClicks(Named<QLineEdit>(*unlock, "passwordEdit"), QStringLiteral("pw"));
            QTest::keyClick(Named<QLineEdit>(*unlock, "passwordEdit"), Qt::Key_Return);
        });
        QTest::keyClick(Named<QListWidget>(*choice, "userList"), Qt::Key_Return);
    });
    QVERIFY(ChooseFavoriteUser(nullptr));
    QCOMPARE(messages.Messages().size(), 1u);
    QVERIFY(messages.Messages()[0].find("is damaged (line 4 is not a code)") != std::string::npos);

    TfrmKeyWordSearch favorites;
    favorites.FInitType = TTabularOpening::FavoriteCodes;
    favorites.show();
    QCOMPARE(Named<QTreeWidget>(favorites, "codeTree")->topLevelItemCount(), 0);
    PressCtrlD(Named<QTreeWidget>(favorites, "codeTree"));  // nothing to add from an empty tree
    favorites.GoToCode(QStringLiteral("A00.1"), false);
    PressCtrlD(Named<QTextEdit>(favorites, "codeText"));
    QCOMPARE(messages.Messages().size(), 3u);
    QVERIFY(messages.Messages()[2].find("left as it was") != std::string::npos);
    QCOMPARE(ReadBytes(fileName), damaged);
    UserData().Unlocked = nullptr;
    UserData().Favorites.clear();
}

QTEST_MAIN(FavoritesJourneyTest)
#include "FavoritesJourneyTest.moc"
