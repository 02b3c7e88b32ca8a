// The drug and neoplasm table window on the real tables: headings and layout of each table, the
// neoplasm window opening on its one main term, filtering and paging, the cells a user opens in
// the Tabular Search window, the context menu rules, the chain of nested windows with Back, Back
// to the main term and quit, keys from the tree and the filter box, resizing, the launchers and
// the wait for a table that is still loading.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <memory>
#include <thread>

#include "services/LoadStatus.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DrugNeopSearch.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/Waiting.h"
#include "userdata/Config.h"

namespace {

std::unique_ptr<TfrmDrugNeopSearch> OpenTable(TDataSet type) {
    auto window = std::make_unique<TfrmDrugNeopSearch>();
    window->FType = type;
    window->show();
    QCoreApplication::processEvents();
    return window;
}

QTableView* Grid(const TfrmDrugNeopSearch& window) {
    return Named<QTableView>(window, "termGrid");
}

void SetCurrentCell(const TfrmDrugNeopSearch& window, int row, int column) {
    Grid(window)->setCurrentIndex(Grid(window)->model()->index(row, column));
}

QString Cell(TfrmDrugNeopSearch* window, int row, int column) {
    return Grid(*window)->model()->index(row, column).data().toString();
}

QStringList RowTexts(TfrmDrugNeopSearch* window, int row) {
    QStringList texts;
    for (int column = 0; column < 8; ++column) texts << Cell(window, row, column);
    return texts;
}

// The grid row of the page whose title is ATitle (0 when it is not on the page).
int RowOf(TfrmDrugNeopSearch* window, const QString& title) {
    for (int row = 1; row < Grid(*window)->model()->rowCount(); ++row)
        if (Cell(window, row, 1) == title) return row;
    return 0;
}

int TotalMainTerms(const TAlphaLetterList& letters) {
    int count = 0;
    for (const auto& letter : letters) count += static_cast<int>(letter->FMainTermList.size());
    return count;
}

TCodeInfo* ShownCategory(TfrmKeyWordSearch* window) {
    auto* const* code = std::get_if<TCodeInfo*>(&window->Pager().FCurCode);
    return code ? *code : nullptr;
}

QString Underlined(TfrmKeyWordSearch* window) {
    const TRenderPlan& plan = window->Pager().FLastPlan;
    if (!plan.HasUnderline) return {};
    return QString::fromStdU32String(plan.Text.substr(plan.Underline.Start, plan.Underline.Length));
}

// Runs AStep once the active modal window is a T other than AOpener (polling every 20 ms, at most
// 10 s). Nested windows of one class are told apart this way.
template <class T>
void WhenModalShown(QWidget* AOpener, std::function<void(T*)> AStep, int ARemaining = 500) {
    QTimer::singleShot(20, [AOpener, AStep, ARemaining] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window != nullptr && window != AOpener && window->isVisible()) {
            AStep(window);
            if (QTest::currentTestFailed() && window->isVisible()) window->close();
        } else if (ARemaining > 0) {
            WhenModalShown<T>(AOpener, AStep, ARemaining - 1);
        }
    });
}

}  // namespace

class DrugNeopSearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        EnsureRealDataLoaded();
        ShowWaitingWindowWhileDataSetsSettle();
        UserData().Settings.FullScreen = 0;
    }
    void drugTableOpensAtTheMainLevelWithItsHeadings();
    void neoplasmTableOpensOnItsOneMainTerm();
    void filterCapitalisesFirstLetterUsesHashGroupAndClampsPage();
    void absintheRowAndItsCells();
    void codeCellsOpenTheTabularSearchWindow();
    void titlesThatReadLikeCodesOpenNothing();
    void contextMenuFollowsTheCurrentCell();
    void nestedDrugWindowsBackAndBackToMain();
    void nestedNeoplasmWindowsReturnToTheFirstLevel();
    void quitFromANestedWindowEndsTheChain();
    void keysOfTreeFilterBoxAndHeadingRow();
    void resizeKeepsTheCurrentTermCurrent();
    void launchersOpenTheTables();
    void waitsForATableStillLoading();
};

void DrugNeopSearchTest::drugTableOpensAtTheMainLevelWithItsHeadings() {
    auto window = OpenTable(TDataSet::DrugTable);
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Drugs & Chemicals Alphabetical Search"));
    QCOMPARE(window->windowTitle(), QString::fromUtf8(WindowTitle));
    QCOMPARE(window->size(), QSize(1167, 691));
    QCOMPARE(Named<QLabel>(*window, "levelLabel")->text(), QStringLiteral("Main Term"));
    QVERIFY(Named<QWidget>(*window, "pathPanel")->isHidden());
    QVERIFY(Named<QPushButton>(*window, "backToMainButton")->isHidden());
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->height(), 56);
    QCOMPARE(Named<QWidget>(*window, "filterBand")->height(), 49);
    QCOMPARE(Named<QWidget>(*window, "buttonBar")->height(), 51);
    QCOMPARE(Named<QWidget>(*window, "buttonBar")->palette().color(QPalette::Window), QColor(166, 202, 240));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    UserData().Settings.FullScreen = 1;
    {
        TfrmDrugNeopSearch maximised;
        QVERIFY(maximised.windowState() & Qt::WindowMaximized);
        QVERIFY(maximised.windowFlags() & Qt::WindowMaximizeButtonHint);
    }
    UserData().Settings.FullScreen = 0;

    // Row 0: the window's own headings, 50 px high.
    QCOMPARE(Grid(*window)->model()->columnCount(), 8);
    QCOMPARE(Grid(*window)->rowHeight(0), 50);
    QCOMPARE(Cell(window.get(), 0, 1), QStringLiteral("\r\nSubstance"));
    QCOMPARE(Cell(window.get(), 0, 2), QStringLiteral("Poisoning, Accidental unintentional"));
    QCOMPARE(Cell(window.get(), 0, 6), QStringLiteral("Adverse effect"));
    QCOMPARE(Cell(window.get(), 0, 7), QStringLiteral("\r\nUnderdosing"));
    QCOMPARE(Grid(*window)->columnWidth(0), 20);
    QCOMPARE(Grid(*window)->columnWidth(1), Grid(*window)->viewport()->width() - 630);
    QCOMPARE(Grid(*window)->columnWidth(7), 100);

    // Pages fill the grid: (height - 50) / 20 rows fit, two fewer are used.
    const int fit = (Grid(*window)->viewport()->height() - 50) / 20;
    QVERIFY(fit > 10);
    QCOMPARE(window->FLinesPerPage, fit - 2);
    QCOMPARE(Grid(*window)->model()->rowCount(), window->FLinesPerPage + 1);
    QCOMPARE(Grid(*window)->rowHeight(1), 20);
    const int total = TotalMainTerms(LoadedData().Index.DrugTable);
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: %1").arg(total));
    const int pages = (total + window->FLinesPerPage - 1) / window->FLinesPerPage;
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 1/%1").arg(pages));
    QVERIFY(!Named<QPushButton>(*window, "priorPageButton")->isEnabled());
    QVERIFY(Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    QCOMPARE(Cell(window.get(), 1, 1), QStringLiteral("1-propanol"));
    QCOMPARE(Grid(*window)->currentIndex().row(), 0);
    QVERIFY(Grid(*window)->hasFocus());

    // Paging never wraps.
    QTest::keyClick(Grid(*window), Qt::Key_PageUp);
    QCOMPARE(window->FCurPage, 1);
    Named<QPushButton>(*window, "nextPageButton")->click();
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 2/%1").arg(pages));
    QCOMPARE(RowTexts(window.get(), 1)[1],
             QString::fromStdString(
                 window->FItemList[static_cast<std::size_t>(window->FLinesPerPage)]->GetFullTitle(false)));
    for (int i = 0; i < pages + 3; ++i) QTest::keyClick(Grid(*window), Qt::Key_PageDown);
    QCOMPARE(window->FCurPage, pages);
    QVERIFY(!Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    QCOMPARE(Grid(*window)->model()->rowCount() - 1, total - (pages - 1) * window->FLinesPerPage);
}

void DrugNeopSearchTest::neoplasmTableOpensOnItsOneMainTerm() {
    auto window = OpenTable(TDataSet::NeoplasmTable);
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Neoplasms Alphabetical Search"));
    QVERIFY(window->FCurItem != nullptr);
    QCOMPARE(window->FCurItem->FTitle, std::string("Neoplasm, neoplastic "));
    QCOMPARE(Named<QLabel>(*window, "levelLabel")->text(), QStringLiteral("#1 Level Term"));
    QVERIFY(Named<QWidget>(*window, "pathPanel")->isVisible());
    QCOMPARE(Named<QTreeWidget>(*window, "pathTree")->topLevelItemCount(), 1);
    QCOMPARE(Named<QTreeWidget>(*window, "pathTree")->topLevelItem(0)->text(0),
             QStringLiteral("Neoplasm, neoplastic "));
    QVERIFY(Named<QPushButton>(*window, "backToMainButton")->isHidden());
    QCOMPARE(Named<QPushButton>(*window, "backToMainButton")->text(), QStringLiteral("Back To Level #1"));
    QCOMPARE(Grid(*window)->rowHeight(0), 36);
    QCOMPARE(Cell(window.get(), 0, 1), QString());
    QCOMPARE(Cell(window.get(), 0, 2), QStringLiteral("Malignant Primary"));
    QCOMPARE(Cell(window.get(), 0, 7), QStringLiteral("Unspecified Behavior"));
    QCOMPARE(RowTexts(window.get(), 1),
             (QStringList{"+", "abdomen, abdominal", "C76.2", "C79.8-", "D09.8", "D36.7", "D48.7", "D49.89"}));
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(),
             QStringLiteral("Records: %1").arg(window->FCurItem->FSubTermList.size()));
    // The tree takes its 94 px: fewer rows fit than in the drug table's top window.
    QCOMPARE(window->FLinesPerPage, (Grid(*window)->viewport()->height() - 36) / 20 - 2);
}

void DrugNeopSearchTest::filterCapitalisesFirstLetterUsesHashGroupAndClampsPage() {
    auto window = OpenTable(TDataSet::DrugTable);
    Named<QLineEdit>(*window, "filterEdit")->setFocus();
    QTest::keyClicks(Named<QLineEdit>(*window, "filterEdit"), QStringLiteral("ab"));
    QCOMPARE(Named<QLineEdit>(*window, "filterEdit")->text(), QStringLiteral("Ab"));
    QCOMPARE(window->FItemList.size(), std::size_t{4});  // ABOB, Abrine, Abrus, Absinthe
    for (const TTerm* term : window->FItemList)
        QVERIFY(QString::fromStdString(term->FTitle).startsWith("ab", Qt::CaseInsensitive));
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(),
             QStringLiteral("Records: %1").arg(window->FItemList.size()));

    Named<QPushButton>(*window, "clearFilterButton")->click();
    QCOMPARE(Named<QLineEdit>(*window, "filterEdit")->text(), QString());
    QCOMPARE(window->FItemList.size(), std::size_t(TotalMainTerms(LoadedData().Index.DrugTable)));

    QTest::keyClicks(Named<QLineEdit>(*window, "filterEdit"), QStringLiteral("1"));
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: 2"));
    QCOMPARE(Cell(window.get(), 1, 1), QStringLiteral("1-propanol"));
    QCOMPARE(Cell(window.get(), 2, 1), QStringLiteral("14-hydroxydihydro-morphinone"));
    QCOMPARE(Grid(*window)->model()->rowCount(), 3);

    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("0"));
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: 0"));
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 0/0"));
    QVERIFY(!Named<QPushButton>(*window, "priorPageButton")->isEnabled());
    QVERIFY(!Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    QCOMPARE(Grid(*window)->model()->rowCount(), 1);

    // The page is kept and only clamped by a new filter.
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("A"));
    window->NextPage();
    window->NextPage();
    QCOMPARE(window->FCurPage, 3);
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("AC"));
    const int pages = (static_cast<int>(window->FItemList.size()) + window->FLinesPerPage - 1) / window->FLinesPerPage;
    QCOMPARE(window->FCurPage, std::min(3, pages));
    // A key of blanks only is the empty key.
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("   "));
    QCOMPARE(window->FItemList.size(), std::size_t(TotalMainTerms(LoadedData().Index.DrugTable)));
}

void DrugNeopSearchTest::absintheRowAndItsCells() {
    auto window = OpenTable(TDataSet::DrugTable);
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Absinthe"));
    QCOMPARE(RowTexts(window.get(), 1),
             (QStringList{"+", "Absinthe", "T51.0X1", "T51.0X2", "T51.0X3", "T51.0X4", "--", "--"}));
    QCOMPARE(window->RowTerm(1)->FTitle, std::string("Absinthe"));
    QCOMPARE(window->RowTerm(0), nullptr);
    // A term that only refers to another shows empty code cells.
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Adrenalin"));
    const int row = RowOf(window.get(), QStringLiteral("Adrenalin --see Adrenaline"));
    QVERIFY(row > 0);
    QCOMPARE(RowTexts(window.get(), row), (QStringList{"", "Adrenalin --see Adrenaline", "", "", "", "", "", ""}));
    // Cells without a code open nothing.
    SetCurrentCell(*window, row, 4);
    window->ViewCellCode();
    QCOMPARE(FindVisibleWindow<TfrmKeyWordSearch>(), nullptr);
    QVERIFY(window->isVisible());
}

void DrugNeopSearchTest::codeCellsOpenTheTabularSearchWindow() {
    TRecordingMessages messages;
    auto window = OpenTable(TDataSet::DrugTable);
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Absinthe"));
    // Double-click on "T51.0X1": the Tabular Search window at that code; Esc comes back.
    bool opened = false;
    WhenModalShown<TfrmKeyWordSearch>(window.get(), [&](TfrmKeyWordSearch* tabular) {
        opened = true;
        QVERIFY(ShownCategory(tabular) != nullptr);
        QCOMPARE(ShownCategory(tabular)->FCode, std::string("T51"));
        QCOMPARE(Underlined(tabular), QStringLiteral("T51.0X1"));
        QCOMPARE(tabular->parentWidget(), window.get());
        QTest::keyClick(Named<QTextEdit>(*tabular, "codeText"), Qt::Key_Escape);
    });
    const QRect cell = Grid(*window)->visualRect(Grid(*window)->model()->index(1, 2));
    QTest::mouseClick(Grid(*window)->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(Grid(*window)->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(opened);
    QVERIFY(window->isVisible());

    // A "--" cell: double-click and F5 do nothing.
    SetCurrentCell(*window, 1, 7);
    QTest::keyClick(Grid(*window), Qt::Key_F5);
    const QRect none = Grid(*window)->visualRect(Grid(*window)->model()->index(1, 7));
    QTest::mouseDClick(Grid(*window)->viewport(), Qt::LeftButton, {}, none.center());
    QVERIFY(window->isVisible());
    QVERIFY(messages.Messages().empty());

    // Quitting in the Tabular Search window ends this window with 3.
    SetCurrentCell(*window, 1, 5);
    messages.QueueAnswer(true);
    WhenModalShown<TfrmKeyWordSearch>(window.get(), [](TfrmKeyWordSearch* tabular) {
        QCOMPARE(Underlined(tabular), QStringLiteral("T51.0X4"));
        QTest::keyClick(Named<QTextEdit>(*tabular, "codeText"), Qt::Key_F12);
    });
    QTest::keyClick(Grid(*window), Qt::Key_F5);
    QCOMPARE(window->result(), 3);
    QVERIFY(!window->isVisible());

    // A neoplasm cell "C79.8-" opens the sub-category "C79.8".
    auto neoplasms = OpenTable(TDataSet::NeoplasmTable);
    QCOMPARE(Cell(neoplasms.get(), 1, 3), QStringLiteral("C79.8-"));
    SetCurrentCell(*neoplasms, 1, 3);
    opened = false;
    WhenModalShown<TfrmKeyWordSearch>(neoplasms.get(), [&](TfrmKeyWordSearch* tabular) {
        opened = true;
        QVERIFY(ShownCategory(tabular) != nullptr);
        QCOMPARE(ShownCategory(tabular)->FCode, std::string("C79"));
        QCOMPARE(Underlined(tabular), QStringLiteral("C79.8"));
        tabular->close();
    });
    QTest::keyClick(Grid(*neoplasms), Qt::Key_F5);
    QVERIFY(opened);
    QVERIFY(neoplasms->isVisible());
    QVERIFY(messages.Messages().empty());
}

void DrugNeopSearchTest::titlesThatReadLikeCodesOpenNothing() {
    TRecordingMessages messages;
    TTerm* vitamin = nullptr;
    for (const auto& letter : LoadedData().Index.DrugTable)
        for (const auto& term : letter->FMainTermList)
            if (term->FTitle == "Vitamin NEC") vitamin = term.get();
    QVERIFY(vitamin != nullptr);
    auto nested = std::make_unique<TfrmDrugNeopSearch>();
    nested->FType = TDataSet::DrugTable;
    nested->FCurItem = vitamin;
    nested->show();
    auto top = OpenTable(TDataSet::DrugTable);
    for (auto [window, title] :
         {std::pair{nested.get(), QStringLiteral("B15")}, std::pair{top.get(), QStringLiteral("LSD")}}) {
        Named<QLineEdit>(*window, "filterEdit")->setText(title);
        const int row = RowOf(window, title);
        QVERIFY2(row > 0, qPrintable(title));
        SetCurrentCell(*window, row, 1);
        // Should F5 open a window, this closes it and tells.
        bool opened = false;
        QTimer::singleShot(200, [&opened] {
            if (auto* tabular = qobject_cast<TfrmKeyWordSearch*>(QApplication::activeModalWidget())) {
                opened = true;
                tabular->close();
            }
        });
        QTest::keyClick(Grid(*window), Qt::Key_F5);
        QTest::qWait(250);
        QVERIFY2(!opened, qPrintable(title));
        QVERIFY(window->isVisible());
    }
    QVERIFY(messages.Messages().empty());
}

void DrugNeopSearchTest::contextMenuFollowsTheCurrentCell() {
    auto window = OpenTable(TDataSet::DrugTable);
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Adrenal"));
    const int withCodes = RowOf(window.get(), QStringLiteral("Adrenaline"));
    const int withoutCodes = RowOf(window.get(), QStringLiteral("Adrenalin --see Adrenaline"));
    QVERIFY(withCodes > 0 && withoutCodes > 0);
    QCOMPARE(Named<QAction>(*window, "viewCodeAction")->text(), QStringLiteral("View Code (F5)"));
    QCOMPARE(Named<QAction>(*window, "viewSubTermAction")->text(), QStringLiteral("View Sub-Term (&F11)"));
    struct TCase {
        int row, column;
        bool code, subTerm;
    };
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Absinthe"));
    for (const TCase& c : {TCase{1, 7, false, true}, TCase{1, 2, true, true}, TCase{1, 1, false, true},
                           TCase{1, 0, false, true}, TCase{0, 2, false, false}}) {
        SetCurrentCell(*window, c.row, c.column);
        window->UpdateCellActions();
        QVERIFY2(Named<QAction>(*window, "viewCodeAction")->isEnabled() == c.code,
                 qPrintable(QStringLiteral("%1,%2").arg(c.row).arg(c.column)));
        QCOMPARE(Named<QAction>(*window, "viewSubTermAction")->isEnabled(), c.subTerm);
    }
    // Column 7 holds codes too (Adrenaline: "T44.5X6" under Underdosing).
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Adrenal"));
    SetCurrentCell(*window, withCodes, 7);
    window->UpdateCellActions();
    QVERIFY(Named<QAction>(*window, "viewCodeAction")->isEnabled());
    QVERIFY(!Named<QAction>(*window, "viewSubTermAction")->isEnabled());
    SetCurrentCell(*window, withoutCodes, 5);
    window->UpdateCellActions();
    QVERIFY(!Named<QAction>(*window, "viewCodeAction")->isEnabled());
}

void DrugNeopSearchTest::nestedDrugWindowsBackAndBackToMain() {
    auto top = OpenTable(TDataSet::DrugTable);
    Named<QLineEdit>(*top, "filterEdit")->setText(QStringLiteral("Absinthe"));
    SetCurrentCell(*top, 1, 1);
    int depth = 0;
    WhenModalShown<TfrmDrugNeopSearch>(top.get(), [&](TfrmDrugNeopSearch* child) {
        depth = 1;
        QCOMPARE(child->FCurItem->FTitle, std::string("Absinthe"));
        QCOMPARE(Named<QLabel>(*child, "levelLabel")->text(), QStringLiteral("#1 Level Term"));
        QVERIFY(Named<QPushButton>(*child, "backToMainButton")->isVisible());
        QCOMPARE(Named<QPushButton>(*child, "backToMainButton")->text(), QStringLiteral("Back to Main Term (F3)"));
        QCOMPARE(Named<QTreeWidget>(*child, "pathTree")->topLevelItem(0)->text(0), QStringLiteral("Absinthe"));
        QCOMPARE(Cell(child, 1, 1), QStringLiteral("beverage"));
        QCOMPARE(Cell(child, 1, 0), QString());
        // Enter on a term without sub-terms stays here; the filter box starts empty.
        QVERIFY(Named<QLineEdit>(*child, "filterEdit")->text().isEmpty());
        SetCurrentCell(*child, 1, 1);
        QTest::keyClick(Grid(*child), Qt::Key_Return);
        QCOMPARE(QApplication::activeModalWidget(), child);
        QTest::keyClick(Grid(*child), Qt::Key_F3);
    });
    QTest::keyClick(Grid(*top), Qt::Key_Return);
    QCOMPARE(depth, 1);
    QVERIFY(top->isVisible());

    // Three levels deep: Esc closes only the deepest, F3 closes every nested window.
    Named<QLineEdit>(*top, "filterEdit")->setText(QStringLiteral("Acetic"));
    const int acetic = RowOf(top.get(), QStringLiteral("Acetic"));
    QVERIFY(acetic > 0);
    SetCurrentCell(*top, acetic, 1);
    QString deepest;
    WhenModalShown<TfrmDrugNeopSearch>(top.get(), [&](TfrmDrugNeopSearch* child) {
        const int row = RowOf(child, QStringLiteral("acid"));
        QVERIFY(row > 0);
        QCOMPARE(Cell(child, row, 0), QStringLiteral("+"));
        SetCurrentCell(*child, row, 1);
        WhenModalShown<TfrmDrugNeopSearch>(child, [&](TfrmDrugNeopSearch* grandchild) {
            deepest = Named<QLabel>(*grandchild, "levelLabel")->text();
            QCOMPARE(Named<QTreeWidget>(*grandchild, "pathTree")->topLevelItem(0)->childCount(), 1);
            QTest::keyClick(Grid(*grandchild), Qt::Key_Escape);
        });
        child->ViewSubTerm();
        QCOMPARE(QApplication::activeModalWidget(), child);  // Esc: back one level only
        WhenModalShown<TfrmDrugNeopSearch>(child, [](TfrmDrugNeopSearch* grandchild) {
            QTest::keyClick(Named<QTreeWidget>(*grandchild, "pathTree"), Qt::Key_F3);  // F3 from the tree
        });
        child->ViewSubTerm();
    });
    top->ViewSubTerm();
    QVERIFY(top->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(deepest, QStringLiteral("#2 Level Term"));
}

void DrugNeopSearchTest::nestedNeoplasmWindowsReturnToTheFirstLevel() {
    auto top = OpenTable(TDataSet::NeoplasmTable);
    SetCurrentCell(*top, 1, 1);  // "abdomen, abdominal" has sub-sites
    int seen = 0;
    WhenModalShown<TfrmDrugNeopSearch>(top.get(), [&](TfrmDrugNeopSearch* site) {
        ++seen;
        QCOMPARE(Named<QLabel>(*site, "levelLabel")->text(), QStringLiteral("#2 Level Term"));
        QVERIFY(Named<QPushButton>(*site, "backToMainButton")->isVisible());
        QCOMPARE(Named<QPushButton>(*site, "backToMainButton")->text(), QStringLiteral("Back To Level #1"));
        QCOMPARE(Named<QTreeWidget>(*site, "pathTree")->topLevelItem(0)->text(0),
                 QStringLiteral("Neoplasm, neoplastic "));
        QCOMPARE(Named<QTreeWidget>(*site, "pathTree")->topLevelItem(0)->child(0)->text(0),
                 QStringLiteral("abdomen, abdominal"));
        Named<QPushButton>(*site, "backToMainButton")->click();
    });
    top->ViewSubTerm();
    QCOMPARE(seen, 1);
    QVERIFY(top->isVisible());  // the top window of the neoplasm table stays on its sites

    // Two levels down, "Back To Level #1" closes both nested windows.
    Named<QLineEdit>(*top, "filterEdit")->setText(QStringLiteral("skin"));
    const int skin = RowOf(top.get(), QStringLiteral("skin NOS"));
    QVERIFY(skin > 0);
    SetCurrentCell(*top, skin, 1);
    WhenModalShown<TfrmDrugNeopSearch>(top.get(), [&](TfrmDrugNeopSearch* site) {
        int row = 0;
        for (int r = 1; r < Grid(*site)->model()->rowCount() && row == 0; ++r)
            if (Cell(site, r, 0) == QStringLiteral("+")) row = r;
        QVERIFY(row > 0);
        SetCurrentCell(*site, row, 1);
        WhenModalShown<TfrmDrugNeopSearch>(site, [&](TfrmDrugNeopSearch* deeper) {
            ++seen;
            QCOMPARE(Named<QLabel>(*deeper, "levelLabel")->text(), QStringLiteral("#3 Level Term"));
            QTest::keyClick(Grid(*deeper), Qt::Key_F3);
        });
        QTest::keyClick(Grid(*site), Qt::Key_F11);
    });
    top->ViewSubTerm();
    QCOMPARE(seen, 2);
    QVERIFY(top->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void DrugNeopSearchTest::quitFromANestedWindowEndsTheChain() {
    TRecordingMessages messages;
    auto top = OpenTable(TDataSet::NeoplasmTable);
    SetCurrentCell(*top, 1, 1);
    // F12 answered No: nothing changes; then Yes: every window ends with 3.
    messages.QueueAnswer(false);
    messages.QueueAnswer(true);
    WhenModalShown<TfrmDrugNeopSearch>(top.get(), [&](TfrmDrugNeopSearch* site) {
        QTest::keyClick(Grid(*site), Qt::Key_F12);
        QVERIFY(site->isVisible());
        QTest::keyClick(Grid(*site), Qt::Key_F12);
    });
    top->ViewSubTerm();
    QCOMPARE(messages.Questions().size(), std::size_t{2});
    QCOMPARE(messages.Questions().front(), std::string("Exit Program: Do you want to quit this program?"));
    QCOMPARE(top->result(), 3);
    QVERIFY(!top->isVisible());
}

void DrugNeopSearchTest::keysOfTreeFilterBoxAndHeadingRow() {
    auto top = OpenTable(TDataSet::NeoplasmTable);
    // Keys in the tree and in the filter box page the grid.
    QTest::keyClick(Named<QTreeWidget>(*top, "pathTree"), Qt::Key_PageDown);
    QCOMPARE(top->FCurPage, 2);
    Named<QLineEdit>(*top, "filterEdit")->setFocus();
    QTest::keyClick(Named<QLineEdit>(*top, "filterEdit"), Qt::Key_PageDown);
    QCOMPARE(top->FCurPage, 3);
    QTest::keyClick(Named<QLineEdit>(*top, "filterEdit"), Qt::Key_PageUp);
    QCOMPARE(top->FCurPage, 2);
    QVERIFY(top->isVisible());
    // Below the main level letters are typed as they are.
    QTest::keyClicks(Named<QLineEdit>(*top, "filterEdit"), QStringLiteral("ab"));
    QCOMPARE(Named<QLineEdit>(*top, "filterEdit")->text(), QStringLiteral("ab"));
    QCOMPARE(Cell(top.get(), 1, 1), QStringLiteral("abdomen, abdominal"));
    // Enter and F11 on the heading row do nothing.
    QCOMPARE(Grid(*top)->currentIndex().row(), 0);
    QTest::keyClick(Grid(*top), Qt::Key_Return);
    QTest::keyClick(Grid(*top), Qt::Key_F11);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(top->isVisible());
    // Esc in the grid closes the window with 2; the close box too.
    QTest::keyClick(Grid(*top), Qt::Key_Escape);
    QCOMPARE(top->result(), 2);
    QVERIFY(!top->isVisible());
    auto drugs = OpenTable(TDataSet::DrugTable);
    QTest::keyClick(drugs.get(), Qt::Key_F3);  // the window's own keys: F3 ends with 1
    QCOMPARE(drugs->result(), 1);
    auto again = OpenTable(TDataSet::DrugTable);
    again->close();
    QCOMPARE(again->result(), 2);
}

void DrugNeopSearchTest::resizeKeepsTheCurrentTermCurrent() {
    auto window = OpenTable(TDataSet::DrugTable);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->NextPage();
    SetCurrentCell(*window, 12, 3);
    const TTerm* term = window->RowTerm(12);
    const int lines = window->FLinesPerPage;
    window->resize(1400, 900);
    QCoreApplication::processEvents();
    QVERIFY(window->FLinesPerPage > lines);
    QCOMPARE(window->FLinesPerPage, (Grid(*window)->viewport()->height() - 50) / 20 - 2);
    QCOMPARE(Grid(*window)->columnWidth(1), Grid(*window)->viewport()->width() - 630);
    QCOMPARE(window->RowTerm(Grid(*window)->currentIndex().row()), term);
    QCOMPARE(Grid(*window)->currentIndex().column(), 3);
    // Too small for more than ten rows: the page size is kept, the title column at least 100.
    const int kept = window->FLinesPerPage;
    window->resize(600, 400);
    QCoreApplication::processEvents();
    QCOMPARE(window->FLinesPerPage, kept);
    QCOMPARE(Grid(*window)->columnWidth(1), 100);
    QCOMPARE(window->RowTerm(Grid(*window)->currentIndex().row()), term);
}

void DrugNeopSearchTest::launchersOpenTheTables() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    TfrmMain main;
    main.show();
    QSignalSpy ended(&main, &TfrmMain::ProgramEnded);
    bool drugs = false;
    WhenModalShown<TfrmDrugNeopSearch>(&main, [&](TfrmDrugNeopSearch* window) {
        drugs = window->FType == TDataSet::DrugTable && !main.isVisible();
        Named<QPushButton>(*window, "backButton")->click();
    });
    main.lbDrugsClick();
    QVERIFY(drugs);
    QVERIFY(main.isVisible());
    messages.QueueAnswer(true);
    WhenModalShown<TfrmDrugNeopSearch>(&main, [](TfrmDrugNeopSearch* window) {
        QCOMPARE(window->FType, TDataSet::NeoplasmTable);
        QTest::keyClick(Grid(*window), Qt::Key_F12);
    });
    main.lbNeoplasmsClick();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!main.isVisible());
}

void DrugNeopSearchTest::waitsForATableStillLoading() {
    const int shownBefore = WaitingWindowShowCount();
    LoadedData().Status[TDataSet::DrugTable] = TLoadState::Loading;
    std::thread loader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        LoadedData().Status[TDataSet::DrugTable] = TLoadState::Done;
    });
    auto window = OpenTable(TDataSet::DrugTable);
    loader.join();
    QTRY_COMPARE(Named<QLabel>(*window, "recordCountLabel")->text(),
                 QStringLiteral("Records: %1").arg(TotalMainTerms(LoadedData().Index.DrugTable)));
    QCOMPARE(WaitingWindowShowCount(), shownBefore + 1);
    // A loaded table shows no waiting window.
    auto loaded = OpenTable(TDataSet::DrugTable);
    QCOMPARE(WaitingWindowShowCount(), shownBefore + 1);
}

QTEST_MAIN(DrugNeopSearchTest)
#include "DrugNeopSearchTest.moc"
