// The What Changed window over the embedded 2021 edition and the synthetic 2022 release imported
// into a private user data folder: it lists exactly the planned changes, its filters narrow them,
// and Enter or a double-click asks to open a code in the edition where it exists.
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <memory>

#include "data/EmbeddedResources.h"
#include "editions/EditionImport.h"
#include "tests/common/SyntheticEdition.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/EditionChanges.h"

class EditionChangesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsExactlyThePlannedChanges();
    void kindAndTextFiltersNarrowTheList_data();
    void kindAndTextFiltersNarrowTheList();
    void enterOpensTheCodeInTheEditionWhereItExists_data();
    void enterOpensTheCodeInTheEditionWhereItExists();

private:
    // A shown window comparing 2021 with 2022 (the defaults when 2022 is in use).
    std::unique_ptr<TfrmEditionChanges> OpenWindow();
    static QStringList ShownCodes(const TfrmEditionChanges& AWindow);
    std::unique_ptr<TScopedDataFolders> FFolders;
};

void EditionChangesTest::initTestCase() {
    FFolders = std::make_unique<TScopedDataFolders>();
    // The editions folder is found from the environment, as the installed program finds it.
    qputenv("AppData", FFolders->File(QStringLiteral("user")).toLocal8Bit());
    const std::string source = FFolders->File(QStringLiteral("release")).toStdString();
    WriteReleaseFiles(source, Synthetic2022Files(std::filesystem::path(ZENDRA_SOURCE_DIR) / "data"));
    const TImportResult imported = ImportRelease({source}, EditionsFolder(), EmbeddedResources());
    QVERIFY2(imported.Status == TImportStatus::Installed, imported.Message.c_str());
}

std::unique_ptr<TfrmEditionChanges> EditionChangesTest::OpenWindow() {
    auto window = std::make_unique<TfrmEditionChanges>(EmbeddedResources(), "2022");
    QSignalSpy shown(window.get(), &TfrmEditionChanges::changesShown);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    if (!shown.wait(30000)) qWarning("no comparison shown");
    return window;
}

QStringList EditionChangesTest::ShownCodes(const TfrmEditionChanges& AWindow) {
    const QAbstractItemModel* rows = Named<QTableView>(AWindow, "changesTable")->model();
    QStringList codes;
    for (int row = 0; row < rows->rowCount(); ++row) codes << rows->index(row, 1).data().toString();
    return codes;
}

// Every change, in the library's order, reaches the list and its Ctrl+C copy whole.
void EditionChangesTest::listsExactlyThePlannedChanges() {
    const auto window = OpenWindow();
    auto* table = Named<QTableView>(*window, "changesTable");
    table->setFocus();
    table->selectAll();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(Synthetic2022Diff));
    QCOMPARE(Named<QLabel>(*window, "countLabel")->text(), QStringLiteral("15 changes from 2021 to 2022, 15 shown"));
}

void EditionChangesTest::kindAndTextFiltersNarrowTheList_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("deleted codes") << "Codes deleted"
                                   << "" << QStringList{"A00.1", "A65", "R05"};
    QTest::newRow("revised codes") << "Codes revised"
                                   << "" << QStringList{"A00.9", "A01.00"};
    QTest::newRow("added categories") << "Categories added"
                                      << "" << QStringList{"U10"};
    QTest::newRow("deleted categories") << "Categories deleted"
                                        << "" << QStringList{"A65"};
    QTest::newRow("a title word, any case") << "All changes"
                                            << "LEFT side" << QStringList{"U10.12XA", "U10.12XD"};
    QTest::newRow("an old title") << "All changes"
                                  << "biovar" << QStringList{"A00.1"};
    QTest::newRow("a code without its dot") << "All changes"
                                            << "r051" << QStringList{"R05.1"};
    QTest::newRow("kind and text together")
        << "Codes added"
        << "quorvalitis" << QStringList{"U10.11XA", "U10.11XD", "U10.11XS", "U10.12XA", "U10.12XD", "U10.9"};
}

void EditionChangesTest::kindAndTextFiltersNarrowTheList() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QStringList, codes);
    const auto window = OpenWindow();
    auto* kindBox = Named<QComboBox>(*window, "kindBox");
    kindBox->setCurrentIndex(kindBox->findText(kind));
    QTest::keyClicks(Named<QLineEdit>(*window, "filterEdit"), text);
    QCOMPARE(ShownCodes(*window), codes);
    QVERIFY(Named<QLabel>(*window, "countLabel")->text().endsWith(QStringLiteral(", %1 shown").arg(codes.size())));
}

void EditionChangesTest::enterOpensTheCodeInTheEditionWhereItExists_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("code");
    QTest::newRow("added: the newer") << "U10.9" << false << "2022"
                                      << "U10.9";
    QTest::newRow("revised: the newer") << "A01.00" << false << "2022"
                                        << "A01.00";
    QTest::newRow("deleted: the older") << "A00.1" << false << "2021"
                                        << "A00.1";
    QTest::newRow("deleted category, double-click") << "syphilis" << true << "2021"
                                                    << "A65";
}

// Typed into the filter box (where the focus starts), Down to the list, then Enter.
void EditionChangesTest::enterOpensTheCodeInTheEditionWhereItExists() {
    QFETCH(QString, filter);
    QFETCH(bool, doubleClick);
    QFETCH(QString, edition);
    QFETCH(QString, code);
    const auto window = OpenWindow();
    QSignalSpy opened(window.get(), &TfrmEditionChanges::openCodeRequested);
    QTest::keyClicks(QApplication::focusWidget(), filter);
    auto* table = Named<QTableView>(*window, "changesTable");
    if (doubleClick) {
        const QRect cell = table->visualRect(table->model()->index(0, 1));
        // A double-click opens the row it was pressed on: the press comes first, as from a mouse.
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), table);
        QTest::keyClick(table, Qt::Key_Return);
    }
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0), (QVariantList{edition, code}));
}

QTEST_MAIN(EditionChangesTest)
#include "EditionChangesTest.moc"
