// The Editions window and the switch of edition: an import of the synthetic FY2022 release through
// the window (every step on the progress bar, then the new edition listed), a cancelled import
// that leaves the editions folder as it was, and the launcher switching to the imported edition
// (labels, title, the kept choice, a new code in the Tabular Search window, a start-up on the choice).
#include <QDirIterator>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "data/EmbeddedResources.h"
#include "index/IndexModel.h"
#include "startup/Boot.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/SyntheticEdition.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/EditionsDialog.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "userdata/Config.h"
#include "userdata/Favorites.h"

namespace {

// Every file and folder under the editions folder with its size: what an import must not change.
QStringList FolderListing() {
    QStringList listing;
    QDirIterator entries(QString::fromStdString(EditionsFolder()),
                         QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        listing << QStringLiteral("%1 %2").arg(entry.filePath()).arg(entry.isDir() ? -1 : entry.size());
    }
    listing.sort();
    return listing;
}

// The (value, text) of the progress bar each time its value moves, until the import ends.
QStringList RunImport(TfrmEditions& AWindow, const QStringList& APaths, const QString& ACancelAt = {}) {
    QStringList shown;
    auto* bar = Named<QProgressBar>(AWindow, "importProgress");
    auto connection = QObject::connect(bar, &QProgressBar::valueChanged, [&](int AValue) {
        shown << QStringLiteral("%1 %2").arg(AValue).arg(bar->format());
        if (!ACancelAt.isEmpty() && bar->format().startsWith(ACancelAt))
            Named<QPushButton>(AWindow, "cancelButton")->click();
    });
    QSignalSpy finished(&AWindow, &TfrmEditions::importFinished);
    AWindow.StartImport(APaths);
    if (!finished.wait(240000)) shown << QStringLiteral("the import did not end");
    QObject::disconnect(connection);
    return shown;
}

}  // namespace

class EditionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        EnsureRealDataLoaded();  // private data folders
        StartEditionLoading(EmbeddedEdition(), EmbeddedResources());
        JoinLoaders();
        WriteReleaseZip(FRelease.filePath(QStringLiteral("icd10cm-2022.zip")).toStdString(),
                        Synthetic2022Files(ZENDRA_SOURCE_DIR "/data"));
    }
    void importShowsEachStepThenListsTheEdition();
    void cancelledReplaceLeavesTheEditionsFolderAsItWas();
    void switchReloadsTheDataAndIsKeptForTheNextStart();

private:
    QTemporaryDir FRelease;
    QStringList Zip() const { return {FRelease.filePath(QStringLiteral("icd10cm-2022.zip"))}; }
};

void EditionsTest::importShowsEachStepThenListsTheEdition() {
    TRecordingMessages messages;
    TfrmEditions window(EmbeddedResources());
    window.show();
    QCOMPARE(Named<QTreeWidget>(window, "editionsList")->topLevelItemCount(), 1);
    const QStringList shown = RunImport(window, Zip());
    QCOMPARE(shown.size(), 7);
    for (int step = 1; step <= 6; ++step)
        QVERIFY2(shown[step - 1].startsWith(QStringLiteral("%1 Step %2 of 6: ").arg(step - 1).arg(step)),
                 qPrintable(shown.join(QLatin1Char('\n'))));
    QCOMPARE(shown.last(), QStringLiteral("1 Installed"));
    QVERIFY(messages.Messages().empty());
    auto* list = Named<QTreeWidget>(window, "editionsList");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("FY2021 (embedded)"));
    QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("in use"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("FY2022"));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("2021-10-01 to 2022-09-30"));
}

void EditionsTest::cancelledReplaceLeavesTheEditionsFolderAsItWas() {
    TRecordingMessages messages;
    messages.QueueAnswer(true);  // replace the installed FY2022
    TfrmEditions window(EmbeddedResources());
    const QStringList before = FolderListing();
    QVERIFY(before.join(QLatin1Char(' ')).contains(QStringLiteral("/2022/edition.ini")));
    const QStringList shown = RunImport(window, Zip(), QStringLiteral("Step 3 of 6"));
    QCOMPARE(messages.Questions().size(), std::size_t{1});
    QVERIFY(shown.last().endsWith(QStringLiteral("Cancelled")));
    QCOMPARE(FolderListing(), before);
}

void EditionsTest::switchReloadsTheDataAndIsKeptForTheNextStart() {
    TRecordingMessages messages;
    {
        TfrmMain main;
        QVERIFY(main.SwitchEdition(QStringLiteral("2022")));
        JoinLoaders();
        QCOMPARE(Named<QLabel>(main, "yearLabel")->text(), QStringLiteral(" 2022 "));
        QCOMPARE(Named<QLabel>(main, "effectiveYearLabel")->text(), QStringLiteral("2021"));
        QCOMPARE(Named<QLabel>(main, "addendaLabel")->text(), QString());
        QCOMPARE(main.windowTitle(), QStringLiteral("ICD-10 (2022), Provided by Kelvora"));
        // The imported edition brings its own disease index: no stand-in note.
        QCOMPARE(DiseaseIndexNote(LoadedData().Index.DiseaseIndexEdition), std::string());
        QVERIFY(
            MayAddFavoriteCode(LoadedData().CodeResolver(), "U10.9"));  // the favourites' check asks the new edition
        TfrmKeyWordSearch window;
        window.FInitType = TTabularOpening::Code;
        window.FInitCode = QStringLiteral("U10.11");
        window.show();
        QTRY_VERIFY(std::holds_alternative<TCodeInfo*>(window.CurrentObject()));
        // The page of the new category, the code's own category.
        QCOMPARE(std::get<TCodeInfo*>(window.CurrentObject())->FCode, std::string("U10"));
        QCOMPARE(window.windowTitle(), QStringLiteral("ICD-10 (2022), Provided by Kelvora"));
    }
    // The next start of the program reads the kept choice.
    StartEditionLoading(EmbeddedEdition(), EmbeddedResources());
    JoinLoaders();
    QVERIFY(FindNode("U10.11") == nullptr);
    QVERIFY(!DiseaseIndexNote(LoadedData().Index.DiseaseIndexEdition).empty());  // the embedded FY2017 stand-in
    UserData().Settings.Edition.clear();
    QCOMPARE(StartKeptEdition(EmbeddedResources()), std::string());
    JoinLoaders();
    QCOMPARE(EditionInUse().Id, std::string("2022"));
    QVERIFY(FindNode("U10.11") != nullptr);
    QVERIFY(messages.Messages().empty());
}

QTEST_MAIN(EditionsTest)
#include "EditionsTest.moc"
