// The alphabetic index window on the real indexes: the main level and its edition note, the filter
// box, paging, nested windows with Back / Back to the main term / quit, codes opened in the Tabular
// Search window (including index codes the Tabular List no longer has), the menu rules, the
// double-click columns, the resize rule, waiting for a loading index and the two launchers.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>
#include <thread>

#include "index/IndexSearch.h"
#include "model/CodeLookup.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AlphaSearch.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/UiStyle.h"
#include "userdata/Config.h"

namespace {

// The term list of a window, its rows and the text and colour of one of its cells.
QTreeView* List(const TfrmAlphaSearch& window) {
    return Named<QTreeView>(window, "termList");
}

int Rows(const TfrmAlphaSearch& window) {
    return List(window)->model()->rowCount();
}

QString Text(const TfrmAlphaSearch& window, int row, int column) {
    return List(window)->model()->index(row, column).data().toString();
}

QColor Foreground(const TfrmAlphaSearch& window, int row, int column) {
    return List(window)->model()->index(row, column).data(Qt::ForegroundRole).value<QBrush>().color();
}

// Runs AStep once the top modal window is a T for which AReady holds (polling every 20 ms, 10 s).
template <class T>
void WhenModal(std::function<bool(T*)> AReady, std::function<void(T*)> AStep, int ARemaining = 500) {
    QTimer::singleShot(20, [AReady, AStep, ARemaining] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window != nullptr && window->isVisible() && AReady(window)) {
            AStep(window);
            if (QTest::currentTestFailed() && window->isVisible()) window->done(2);
        } else if (ARemaining > 0) {
            WhenModal<T>(AReady, AStep, ARemaining - 1);
        }
    });
}

void WhenNested(const TTerm* ATerm, std::function<void(TfrmAlphaSearch*)> AStep) {
    WhenModal<TfrmAlphaSearch>([ATerm](TfrmAlphaSearch* window) { return window->FCurItem == ATerm; }, AStep);
}

void WhenTabular(std::function<void(TfrmKeyWordSearch*)> AStep) {
    WhenModal<TfrmKeyWordSearch>([](TfrmKeyWordSearch*) { return true; }, AStep);
}

int MainTermCount(const TAlphaLetterList& letters) {
    int count = 0;
    for (const auto& letter : letters) count += static_cast<int>(letter->FMainTermList.size());
    return count;
}

// First term of the index, depth first, for which APredicate holds.
TTerm* FindTerm(const TAlphaLetterList& letters, const std::function<bool(const TTerm&)>& APredicate) {
    std::function<TTerm*(TTerm&)> walk = [&](TTerm& term) -> TTerm* {
        if (APredicate(term)) return &term;
        for (const auto& sub : term.FSubTermList)
            if (TTerm* found = walk(*sub)) return found;
        return nullptr;
    };
    for (const auto& letter : letters)
        for (const auto& term : letter->FMainTermList)
            if (TTerm* found = walk(*term)) return found;
    return nullptr;
}

// Selects the row of ATerm on the current page; false when it is not there.
bool SelectRowOf(TfrmAlphaSearch& window, const TTerm* ATerm) {
    for (int row = 0; row < Rows(window); ++row) {
        const auto index = window.FPaging.FirstIndex() + row;
        if (window.FItemList[static_cast<std::size_t>(index)] == ATerm) {
            List(window)->setCurrentIndex(List(window)->model()->index(row, 0));
            return window.SelectedTerm() == ATerm;
        }
    }
    return false;
}

std::unique_ptr<TfrmAlphaSearch> ShowWindow(TDataSet AType, TTerm* ACurItem = nullptr) {
    auto window = std::make_unique<TfrmAlphaSearch>();
    window->FType = AType;
    window->FCurItem = ACurItem;
    window->show();
    return window;
}

// The TTerm of a hand-made level whose sub-terms carry the given codes in one field.
struct TCodeTerms {
    TTerm parent{nullptr, 0};
    TTerm* Add(const std::string& title) {
        parent.FSubTermList.push_back(std::make_unique<TTerm>(&parent, 1));
        parent.FSubTermList.back()->FTitle = title;
        return parent.FSubTermList.back().get();
    }
};

std::string CategoryShown(TfrmKeyWordSearch& window) {
    auto* code = std::get_if<TCodeInfo*>(&window.Pager().FCurCode);
    return code ? (*code)->FCode : std::string();
}

}  // namespace

class AlphaSearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void mainLevelListsEveryMainTermInPagesThatFillTheList();
    void diseaseIndexTellsItsEdition();
    void typingCapitalisesTheFirstLetterAndFilters();
    void newFilterKeepsThePageUnlessItIsGone();
    void pagingKeysAndButtonsStopAtTheEnds();
    void nestedWindowsShowThePathAndBackKeysCloseTheRightWindows();
    void quitQuestionEndsEveryWindowOnlyOnYes();
    void codeFieldsOpenTheTabularSearchWindow();
    void indexCodesTheTabularListNoLongerHasGiveItsMessages();
    void menuItemsFollowTheSelectedTerm();
    void doubleClickOnCodeCellOpensCodeElsewhereSubTerms();
    void resizeRecomputesPageSizeAndKeepsTheSelectedTerm();
    void waitsWhileTheIndexIsLoading();
    void launchersOpenEitherIndexAndQuitEndsTheProgram();
};

void AlphaSearchTest::mainLevelListsEveryMainTermInPagesThatFillTheList() {
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    const int total = MainTermCount(LoadedData().Index.DiseaseIndex);
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Disease & Injury Alphabetical Search"));
    QCOMPARE(window->windowTitle(), QString::fromUtf8(WindowTitle));
    QCOMPARE(Named<QLabel>(*window, "levelLabel")->text(), QStringLiteral("Main Term:  "));
    QVERIFY(!Named<QWidget>(*window, "pathPanel")->isVisible());
    QVERIFY(!Named<QPushButton>(*window, "backToMainButton")->isVisible());
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: %1").arg(total));
    // The page fills the list as the tables do: its rows less two (the heading and a spare row).
    const int rows = window->FPaging.FLinesPerPage;
    QCOMPARE(rows, List(*window)->contentsRect().height() / window->ROW_HEIGHT_PX - 2);
    QVERIFY(rows > 20);
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 1/%1").arg((total + rows - 1) / rows));
    QCOMPARE(Rows(*window), rows);
    QVERIFY(!Named<QPushButton>(*window, "priorPageButton")->isEnabled());
    QVERIFY(Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    QCOMPARE(Named<QWidget>(*window, "titlePanel")->palette().color(QPalette::Window), SkyBlue);
    QCOMPARE(Named<QWidget>(*window, "buttonBar")->palette().color(QPalette::Window), SkyBlue);
    QCOMPARE(List(*window)->header()->sectionSize(0), 20);
    QCOMPARE(List(*window)->header()->sectionSize(2), 80);
    QCOMPARE(List(*window)->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Title"));
    QVERIFY(!List(*window)->selectionModel()->hasSelection());
    QVERIFY(List(*window)->hasFocus() || !window->isActiveWindow());
    // Markers and code colours for every row of the page.
    const QColor highlight = List(*window)->palette().color(QPalette::Highlight);
    for (int row = 0; row < 20; ++row) {
        const TTerm* term = window->FItemList[static_cast<std::size_t>(row)];
        QCOMPARE(Text(*window, row, 0), term->FSubTermList.empty() ? QStringLiteral(" ") : QStringLiteral("+"));
        QCOMPARE(Text(*window, row, 2), QString::fromStdString(term->FCode));
        QCOMPARE(Foreground(*window, row, 2), highlight);
        QCOMPARE(Foreground(*window, row, 1), QColor(Qt::black));
    }

    // "Abandonment" has only a see reference, so no marker and no code.
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("Abandonment"));
    QVERIFY(Rows(*window) > 0);
    QCOMPARE(Text(*window, 0, 0), QStringLiteral(" "));
    QCOMPARE(Text(*window, 0, 1), QStringLiteral("Abandonment --see Maltreatment"));
    QCOMPARE(Text(*window, 0, 2), QString());

    auto external = ShowWindow(TDataSet::ExternalIndex);
    QCOMPARE(Named<QLabel>(*external, "titleLabel")->text(),
             QStringLiteral("External Causes of Injury Alphabetical Search"));
    QCOMPARE(Named<QLabel>(*external, "recordCountLabel")->text(),
             QStringLiteral("Records: %1").arg(MainTermCount(LoadedData().Index.ExternalIndex)));
    QVERIFY(!Named<QLabel>(*external, "editionLabel")->isVisible());

    // A data set that is neither index lists nothing.
    auto other = ShowWindow(TDataSet::DrugTable);
    QCOMPARE(Named<QLabel>(*other, "recordCountLabel")->text(), QStringLiteral("Records: 0"));
    QCOMPARE(Named<QLabel>(*other, "pageLabel")->text(), QStringLiteral("Page: 0/0"));
}

void AlphaSearchTest::diseaseIndexTellsItsEdition() {
    const std::string note = DIndexEditionNote(LoadedData().Index.DiseaseIndexEdition, EditionYear);
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    QCOMPARE(Named<QLabel>(*window, "editionLabel")->isVisible(), !note.empty());
    QCOMPARE(Named<QLabel>(*window, "editionLabel")->text(), QString::fromStdString(note));
    if (!note.empty() && !LoadedData().Index.DiseaseIndexEdition.empty())
        QVERIFY(Named<QLabel>(*window, "editionLabel")
                    ->text()
                    .contains(QString::fromStdString(LoadedData().Index.DiseaseIndexEdition)));
    // Every level of the disease index says it, not only the main level.
    TTerm* term = FindTerm(LoadedData().Index.DiseaseIndex, [](const TTerm& t) { return !t.FSubTermList.empty(); });
    QVERIFY(term != nullptr);
    auto nested = ShowWindow(TDataSet::DiseaseIndex, term);
    QCOMPARE(Named<QLabel>(*nested, "editionLabel")->text(), QString::fromStdString(note));
    QCOMPARE(Named<QLabel>(*nested, "editionLabel")->isVisible(), !note.empty());
}

void AlphaSearchTest::typingCapitalisesTheFirstLetterAndFilters() {
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    const int total = MainTermCount(LoadedData().Index.DiseaseIndex);
    QTest::keyClick(Named<QLineEdit>(*window, "filterEdit"), Qt::Key_A, Qt::NoModifier);
    QCOMPARE(Named<QLineEdit>(*window, "filterEdit")->text(), QStringLiteral("A"));
    QTest::keyClick(Named<QLineEdit>(*window, "filterEdit"), Qt::Key_B, Qt::NoModifier);
    QCOMPARE(Named<QLineEdit>(*window, "filterEdit")->text(), QStringLiteral("Ab"));
    const std::vector<TTerm*> expected = AlphaFillItemList(LoadedData().Index.DiseaseIndex, nullptr, "AB");
    QVERIFY(expected.size() > 20);
    QCOMPARE(window->FItemList, expected);
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: %1").arg(expected.size()));
    for (int row = 0; row < Rows(*window); ++row)
        QVERIFY(Text(*window, row, 1).startsWith(QStringLiteral("ab"), Qt::CaseInsensitive));
    // Blanks around the text do not count.
    Named<QLineEdit>(*window, "filterEdit")->setText(QStringLiteral("  ab\t"));
    QCOMPARE(window->FItemList, expected);

    // "X" empties the box and lists everything again.
    Named<QPushButton>(*window, "clearFilterButton")->click();
    QCOMPARE(Named<QLineEdit>(*window, "filterEdit")->text(), QString());
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: %1").arg(total));

    // A digit finds nothing at the main level.
    QTest::keyClick(Named<QLineEdit>(*window, "filterEdit"), Qt::Key_1);
    QCOMPARE(Named<QLineEdit>(*window, "filterEdit")->text(), QStringLiteral("1"));
    QCOMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: 0"));
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 0/0"));
    QCOMPARE(Rows(*window), 0);
    QVERIFY(!Named<QPushButton>(*window, "priorPageButton")->isEnabled());
    QVERIFY(!Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    // Keys on an empty list do nothing.
    QTest::keyClick(List(*window), Qt::Key_F5);
    QTest::keyClick(List(*window), Qt::Key_Return);
    QTest::keyClick(List(*window), Qt::Key_PageDown);
    QVERIFY(window->isVisible());

    // Below the main level the first letter keeps its case.
    TTerm* term = FindTerm(LoadedData().Index.DiseaseIndex, [](const TTerm& t) { return t.FSubTermList.size() > 3; });
    QVERIFY(term != nullptr);
    auto nested = ShowWindow(TDataSet::DiseaseIndex, term);
    QTest::keyClick(Named<QLineEdit>(*nested, "filterEdit"), Qt::Key_A, Qt::NoModifier);
    QCOMPARE(Named<QLineEdit>(*nested, "filterEdit")->text(), QStringLiteral("a"));
    QCOMPARE(nested->FItemList, AlphaFillItemList(LoadedData().Index.DiseaseIndex, term, "A"));
}

void AlphaSearchTest::newFilterKeepsThePageUnlessItIsGone() {
    // Two letters of the disease index with main terms for two pages and one with five pages or more.
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    const std::size_t rows = static_cast<std::size_t>(window->FPaging.FLinesPerPage);
    QString twoPages;
    QString manyPages;
    for (char first = 'A'; first <= 'Z'; ++first)
        for (char second = 'A'; second <= 'Z'; ++second) {
            const std::string key{first, second};
            const std::size_t count = AlphaFillItemList(LoadedData().Index.DiseaseIndex, nullptr, key).size();
            if (twoPages.isEmpty() && count > rows && count <= 2 * rows) twoPages = QString::fromStdString(key);
            if (manyPages.isEmpty() && count >= 5 * rows) manyPages = QString::fromStdString(key);
        }
    QVERIFY(!twoPages.isEmpty() && !manyPages.isEmpty());
    Named<QPushButton>(*window, "nextPageButton")->click();
    Named<QPushButton>(*window, "nextPageButton")->click();
    QCOMPARE(window->FPaging.FCurPage, 3);
    Named<QLineEdit>(*window, "filterEdit")->setText(manyPages);
    QVERIFY(Named<QLabel>(*window, "pageLabel")->text().startsWith(QStringLiteral("Page: 3/")));
    QCOMPARE(Text(*window, 0, 1), QString::fromStdString(window->FItemList[2 * rows]->GetFullTitle(true)));
    Named<QLineEdit>(*window, "filterEdit")->setText(twoPages);
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 2/2"));
    QVERIFY(!Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    QVERIFY(Named<QPushButton>(*window, "priorPageButton")->isEnabled());
}

void AlphaSearchTest::pagingKeysAndButtonsStopAtTheEnds() {
    auto window = ShowWindow(TDataSet::ExternalIndex);
    const int total = MainTermCount(LoadedData().Index.ExternalIndex);
    const int rows = window->FPaging.FLinesPerPage;
    const int pages = (total + rows - 1) / rows;
    QTest::keyClick(List(*window), Qt::Key_PageDown);
    QCOMPARE(Named<QLabel>(*window, "pageLabel")->text(), QStringLiteral("Page: 2/%1").arg(pages));
    QCOMPARE(Text(*window, 0, 1),
             QString::fromStdString(window->FItemList[static_cast<std::size_t>(rows)]->GetFullTitle(true)));
    QTest::keyClick(List(*window), Qt::Key_PageUp);
    QTest::keyClick(List(*window), Qt::Key_PageUp);
    QCOMPARE(window->FPaging.FCurPage, 1);
    // The filter box pages as the list does.
    QTest::keyClick(Named<QLineEdit>(*window, "filterEdit"), Qt::Key_PageDown);
    QCOMPARE(window->FPaging.FCurPage, 2);
    QTest::keyClick(Named<QLineEdit>(*window, "filterEdit"), Qt::Key_PageUp);
    QCOMPARE(window->FPaging.FCurPage, 1);
    // The buttons route to the window's handler too.
    QTest::keyClick(Named<QPushButton>(*window, "nextPageButton"), Qt::Key_PageDown);
    QCOMPARE(window->FPaging.FCurPage, 2);
    for (int i = 0; i < pages + 2; ++i) window->NextPage();
    QCOMPARE(window->FPaging.FCurPage, pages);
    QCOMPARE(Rows(*window), total - (pages - 1) * rows);
    QVERIFY(!Named<QPushButton>(*window, "nextPageButton")->isEnabled());
    Named<QPushButton>(*window, "priorPageButton")->click();
    QCOMPARE(window->FPaging.FCurPage, pages - 1);
}

void AlphaSearchTest::nestedWindowsShowThePathAndBackKeysCloseTheRightWindows() {
    // A main term on the first page whose sub-terms have sub-terms of their own.
    auto main = ShowWindow(TDataSet::DiseaseIndex);
    TTerm* first = nullptr;
    TTerm* second = nullptr;
    for (int row = 0; row < Rows(*main) && first == nullptr; ++row) {
        TTerm* term = main->FItemList[static_cast<std::size_t>(row)];
        for (const auto& sub : term->FSubTermList)
            if (!sub->FSubTermList.empty()) {
                first = term;
                second = sub.get();
                break;
            }
    }
    QVERIFY(first != nullptr);
    QVERIFY(SelectRowOf(*main, first));

    int steps = 0;
    WhenNested(first, [&](TfrmAlphaSearch* level1) {
        ++steps;
        QCOMPARE(level1->FType, TDataSet::DiseaseIndex);
        QCOMPARE(Named<QLabel>(*level1, "levelLabel")->text(), QStringLiteral("#1 Level Term"));
        QVERIFY(Named<QWidget>(*level1, "pathPanel")->isVisible());
        QVERIFY(Named<QPushButton>(*level1, "backToMainButton")->isVisible());
        QCOMPARE(Named<QLineEdit>(*level1, "filterEdit")->text(), QString());
        QCOMPARE(Named<QTreeWidget>(*level1, "pathTree")->topLevelItemCount(), 1);
        QCOMPARE(Named<QTreeWidget>(*level1, "pathTree")->topLevelItem(0)->text(0),
                 QString::fromStdString(first->GetFullTitle(true)));
        QCOMPARE(Named<QLabel>(*level1, "recordCountLabel")->text(),
                 QStringLiteral("Records: %1").arg(first->FSubTermList.size()));
        // Filter so the wanted sub-term is on the first page, then go down with F11.
        Named<QLineEdit>(*level1, "filterEdit")->setText(QString::fromStdString(second->FTitle));
        QVERIFY(SelectRowOf(*level1, second));

        WhenNested(second, [&](TfrmAlphaSearch* level2) {
            ++steps;
            QCOMPARE(Named<QLabel>(*level2, "levelLabel")->text(), QStringLiteral("#2 Level Term"));
            QTreeWidgetItem* top = Named<QTreeWidget>(*level2, "pathTree")->topLevelItem(0);
            QVERIFY(top != nullptr && top->childCount() == 1);
            QVERIFY(top->isExpanded());
            QCOMPARE(top->child(0)->text(0), QString::fromStdString(second->GetFullTitle(true)));
            // Esc from the path tree closes this level only.
            QTest::keyClick(Named<QTreeWidget>(*level2, "pathTree"), Qt::Key_Escape);
        });
        QTest::keyClick(List(*level1), Qt::Key_F11);
        QVERIFY(level1->isVisible());
        QCOMPARE(Named<QLineEdit>(*level1, "filterEdit")->text(), QString::fromStdString(second->FTitle));

        // F3 from the second level closes both nested windows.
        WhenNested(second, [&](TfrmAlphaSearch* level2) {
            ++steps;
            QTest::keyClick(List(*level2), Qt::Key_F3);
        });
        QTest::keyClick(List(*level1), Qt::Key_Return);
        QVERIFY(!level1->isVisible());
        QCOMPARE(level1->result(), 1);
    });
    QTest::keyClick(List(*main), Qt::Key_Return);
    QCOMPARE(steps, 3);
    QVERIFY(main->isVisible());
    QCOMPARE(main->result(), 0);

    // Back buttons: " Back (Esc)" ends with 2, "Back to Main Term (F3)" with 1; both leave the main level open.
    QVERIFY(SelectRowOf(*main, first));
    WhenNested(first, [](TfrmAlphaSearch* level1) { Named<QPushButton>(*level1, "backButton")->click(); });
    main->ViewSubTerm();
    QVERIFY(main->isVisible());
    WhenNested(first, [](TfrmAlphaSearch* level1) { Named<QPushButton>(*level1, "backToMainButton")->click(); });
    main->ViewSubTerm();
    QVERIFY(main->isVisible());
    // A term without sub-terms opens nothing.
    TTerm* leaf = main->FItemList[0];
    QVERIFY(leaf->FSubTermList.empty());
    QVERIFY(SelectRowOf(*main, leaf));
    QTest::keyClick(List(*main), Qt::Key_F11);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    // Enter on it opens its code instead, as F5 does.
    QVERIFY(!leaf->FCode.empty());
    bool opened = false;
    WhenTabular([&](TfrmKeyWordSearch* window) {
        opened = true;
        window->done(2);
    });
    QTest::keyClick(List(*main), Qt::Key_Return);
    QVERIFY(opened);
}

void AlphaSearchTest::quitQuestionEndsEveryWindowOnlyOnYes() {
    TRecordingMessages messages;
    auto main = ShowWindow(TDataSet::ExternalIndex);
    TTerm* first = FindTerm(LoadedData().Index.ExternalIndex, [](const TTerm& t) {
        return t.FLevel == 0 && std::any_of(t.FSubTermList.begin(), t.FSubTermList.end(),
                                            [](const auto& sub) { return !sub->FSubTermList.empty(); });
    });
    QVERIFY(first != nullptr);
    TTerm* second = nullptr;
    for (const auto& sub : first->FSubTermList)
        if (!sub->FSubTermList.empty()) second = sub.get();
    Named<QLineEdit>(*main, "filterEdit")->setText(QString::fromStdString(first->FTitle));
    QVERIFY(SelectRowOf(*main, first));
    messages.QueueAnswer(false);
    messages.QueueAnswer(true);
    WhenNested(first, [&](TfrmAlphaSearch* level1) {
        Named<QLineEdit>(*level1, "filterEdit")->setText(QString::fromStdString(second->FTitle));
        QVERIFY(SelectRowOf(*level1, second));
        WhenNested(second, [&](TfrmAlphaSearch* level2) {
            QTest::keyClick(List(*level2), Qt::Key_F12);  // No
            QVERIFY(level2->isVisible());
            QTest::keyClick(List(*level2), Qt::Key_F12);  // Yes
        });
        QTest::keyClick(List(*level1), Qt::Key_F11);
        QCOMPARE(level1->result(), 3);
    });
    QTest::keyClick(List(*main), Qt::Key_F11);
    QCOMPARE(main->result(), 3);
    QVERIFY(!main->isVisible());
    QCOMPARE(messages.Questions().size(), std::size_t{2});
    QCOMPARE(messages.Questions()[0], std::string("Exit Program: Do you want to quit this program?"));
}

void AlphaSearchTest::codeFieldsOpenTheTabularSearchWindow() {
    TRecordingMessages messages;
    TCodeTerms level;
    TTerm* open = level.Add("with a sub-category code");
    open->FCode = "C79.8-";
    open->FManifest = "I43";
    open->FSeeCat = "M01";
    open->FSubCat = "H93.3";
    TTerm* unparsable = level.Add("with a code that is no code text");
    unparsable->FCode = "C64-";
    unparsable->FManifest = "--";
    auto window = ShowWindow(TDataSet::DiseaseIndex, &level.parent);
    QCOMPARE(Rows(*window), 2);
    QVERIFY(SelectRowOf(*window, open));

    // F5 the code, F8 the manifestation, F6 the see-category, F7 the see-subcategory.
    const std::vector<std::pair<Qt::Key, std::string>> keys = {
        {Qt::Key_F5, "C79"}, {Qt::Key_F8, "I43"}, {Qt::Key_F6, "M01"}, {Qt::Key_F7, "H93"}};
    for (const auto& [key, category] : keys) {
        std::string shown;
        std::string selected;
        WhenTabular([&](TfrmKeyWordSearch* tabular) {
            shown = CategoryShown(*tabular);
            selected = tabular->Pager().FSelectedCode;
            QTest::keyClick(Named<QTextEdit>(*tabular, "codeText"), Qt::Key_Escape);
        });
        QTest::keyClick(List(*window), key);
        QCOMPARE(shown, category);
        QVERIFY(window->isVisible());
        if (key == Qt::Key_F5) QCOMPARE(selected, std::string("C79.8"));
    }
    QVERIFY(messages.Messages().empty());

    // Codes that are no code texts open nothing, with no message.
    QVERIFY(SelectRowOf(*window, unparsable));
    QTest::keyClick(List(*window), Qt::Key_F5);
    QTest::keyClick(List(*window), Qt::Key_F8);
    QTest::keyClick(List(*window), Qt::Key_F6);  // empty field
    QVERIFY(window->isVisible());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(messages.Messages().empty());

    // A quit confirmed in the Tabular Search window ends this window with 3.
    QVERIFY(SelectRowOf(*window, open));
    messages.QueueAnswer(true);
    WhenTabular(
        [](TfrmKeyWordSearch* tabular) { QTest::keyClick(Named<QTextEdit>(*tabular, "codeText"), Qt::Key_F12); });
    Named<QAction>(*window, "viewCodeAction")->trigger();
    QCOMPARE(window->result(), 3);
    QVERIFY(!window->isVisible());
}

void AlphaSearchTest::indexCodesTheTabularListNoLongerHasGiveItsMessages() {
    // Codes of the disease index that name no category, name a code the Tabular List lacks, or name
    // a code that is now a header (seven-character codes are left to the code entry tests).
    auto codeOf = [](const TTerm& term) { return AlphaInitCode(term.FCode); };
    TTerm* noCategory = FindTerm(LoadedData().Index.DiseaseIndex, [&](const TTerm& t) {
        const auto code = codeOf(t);
        return code && FindNode(LoadedData().Tabular.Chapters, code->substr(0, 3)) == nullptr;
    });
    TTerm* missing = FindTerm(LoadedData().Index.DiseaseIndex, [&](const TTerm& t) {
        const auto code = codeOf(t);
        return code && code->size() < 8 && FindNode(LoadedData().Tabular.Chapters, code->substr(0, 3)) != nullptr &&
               FindNode(LoadedData().Tabular.Chapters, *code) == nullptr;
    });
    TTerm* header = FindTerm(LoadedData().Index.DiseaseIndex, [&](const TTerm& t) {
        const auto code = codeOf(t);
        if (!code || code->size() < 5) return false;
        TCodeInfo* node = FindNode(LoadedData().Tabular.Chapters, *code);
        return node != nullptr && !node->FSubCodeList.empty();
    });
    QVERIFY(missing != nullptr);
    QVERIFY(header != nullptr);

    TCodeTerms level;
    std::vector<std::pair<TTerm*, std::string>> cases;
    if (noCategory != nullptr) level.Add("no category")->FCode = noCategory->FCode;
    level.Add("missing")->FCode = missing->FCode;
    level.Add("header")->FCode = header->FCode;
    auto window = ShowWindow(TDataSet::DiseaseIndex, &level.parent);

    TRecordingMessages messages;
    messages.QueueAnswer(false);  // do not show the category of a missing code
    for (const auto& sub : level.parent.FSubTermList) {
        QVERIFY(SelectRowOf(*window, sub.get()));
        bool opened = false;
        WhenTabular([&](TfrmKeyWordSearch* tabular) {
            opened = true;
            QTest::keyClick(Named<QTextEdit>(*tabular, "codeText"), Qt::Key_Escape);
        });
        QTest::keyClick(List(*window), Qt::Key_F5);
        QVERIFY(opened);
        QVERIFY(window->isVisible());
    }
    const std::vector<std::string> expectedMessages =
        noCategory ? std::vector<std::string>{"Code is not exist!"} : std::vector<std::string>{};
    QCOMPARE(messages.Messages(), expectedMessages);
    QCOMPARE(messages.Questions().size(), std::size_t{1});
    QVERIFY(messages.Questions()[0].starts_with("Sub-Category not found!"));
}

void AlphaSearchTest::menuItemsFollowTheSelectedTerm() {
    TCodeTerms level;
    TTerm* full = level.Add("everything");
    full->FCode = "I43";
    full->FManifest = "I43";
    full->FSeeCat = "M01";
    full->FSubCat = "H93.3";
    full->FSubTermList.push_back(std::make_unique<TTerm>(full, 2));
    TTerm* bad = level.Add("bad code");
    bad->FCode = "C64-";
    auto window = ShowWindow(TDataSet::DiseaseIndex, &level.parent);
    const QList<QAction*> items = {
        Named<QAction>(*window, "viewCodeAction"), Named<QAction>(*window, "viewSubTermAction"),
        Named<QAction>(*window, "seeCategoryAction"), Named<QAction>(*window, "seeSubcategoryAction"),
        Named<QAction>(*window, "seeManifestAction")};
    QStringList captions;
    for (QAction* action : Named<QMenu>(*window, "termMenu")->actions()) captions << action->text();
    QCOMPARE(captions, (QStringList{"View Code (F5)", "View Sub-Term (F11)", QString(), "See Category (F6)",
                                    "See Subcategory (F7)", "See Manifest (F8)"}));
    window->UpdatePopupItems();  // nothing selected
    for (QAction* action : items) QVERIFY(!action->isEnabled());
    QVERIFY(SelectRowOf(*window, full));
    window->UpdatePopupItems();
    for (QAction* action : items) QVERIFY(action->isEnabled());
    QVERIFY(SelectRowOf(*window, bad));
    window->UpdatePopupItems();
    for (QAction* action : items) QVERIFY(!action->isEnabled());

    // The real "Abandonment": a see reference only.
    auto main = ShowWindow(TDataSet::DiseaseIndex);
    Named<QLineEdit>(*main, "filterEdit")->setText(QStringLiteral("Abandonment"));
    QVERIFY(SelectRowOf(*main, main->FItemList[0]));
    QCOMPARE(main->FItemList[0]->FSee, std::string("Maltreatment"));
    main->UpdatePopupItems();
    for (QAction* action : {Named<QAction>(*main, "viewCodeAction"), Named<QAction>(*main, "viewSubTermAction"),
                            Named<QAction>(*main, "seeCategoryAction"), Named<QAction>(*main, "seeSubcategoryAction"),
                            Named<QAction>(*main, "seeManifestAction")})
        QVERIFY(!action->isEnabled());
}

void AlphaSearchTest::doubleClickOnCodeCellOpensCodeElsewhereSubTerms() {
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    TTerm* term = nullptr;
    for (TTerm* candidate : window->FItemList)
        if (!candidate->FSubTermList.empty() && AlphaInitCode(candidate->FCode) &&
            FindNode(LoadedData().Tabular.Chapters, *AlphaInitCode(candidate->FCode)) != nullptr &&
            AlphaInitCode(candidate->FCode)->size() < 8) {
            term = candidate;
            break;
        }
    QVERIFY(term != nullptr);
    Named<QLineEdit>(*window, "filterEdit")->setText(QString::fromStdString(term->FTitle));
    QVERIFY(SelectRowOf(*window, term));
    const QRect rowRect = List(*window)->visualRect(List(*window)->currentIndex());
    const QPoint codeCell(List(*window)->header()->sectionViewportPosition(2) + 10, rowRect.center().y());
    const QPoint titleCell(List(*window)->header()->sectionViewportPosition(1) + 10, rowRect.center().y());

    std::string shown;
    WhenTabular([&](TfrmKeyWordSearch* tabular) {
        shown = CategoryShown(*tabular);
        tabular->close();
    });
    QTest::mouseDClick(List(*window)->viewport(), Qt::LeftButton, {}, codeCell);
    QCOMPARE(shown, term->FCode.substr(0, 3));

    bool nested = false;
    WhenNested(term, [&](TfrmAlphaSearch* level1) {
        nested = true;
        level1->close();
    });
    QTest::mouseDClick(List(*window)->viewport(), Qt::LeftButton, {}, titleCell);
    QVERIFY(nested);
    QVERIFY(window->isVisible());
}

void AlphaSearchTest::resizeRecomputesPageSizeAndKeepsTheSelectedTerm() {
    const int oldFullScreen = UserData().Settings.FullScreen;
    UserData().Settings.FullScreen = 1;
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    UserData().Settings.FullScreen = oldFullScreen;
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const auto expectedLines = [&] {
        const int rows = List(*window)->contentsRect().height() / window->ROW_HEIGHT_PX;
        return rows > 10 ? rows - 2 : 20;
    };
    window->showNormal();
    window->resize(1167, 1000);
    QTRY_COMPARE(window->height(), 1000);
    QCOMPARE(window->FPaging.FLinesPerPage, expectedLines());
    QVERIFY(window->FPaging.FLinesPerPage > 20);
    QCOMPARE(Rows(*window), window->FPaging.FLinesPerPage);
    // Every row of a page fits in the list.
    const QModelIndex last = List(*window)->model()->index(Rows(*window) - 1, 0);
    QVERIFY(List(*window)->visualRect(last).bottom() <= List(*window)->viewport()->height());

    window->NextPage();
    window->NextPage();
    TTerm* chosen = window->FItemList[static_cast<std::size_t>(window->FPaging.FirstIndex() + 5)];
    QVERIFY(SelectRowOf(*window, chosen));
    window->resize(1167, 600);
    QTRY_COMPARE(window->height(), 600);
    QCOMPARE(window->FPaging.FLinesPerPage, expectedLines());
    QCOMPARE(window->SelectedTerm(), chosen);
    // Nothing selected: the first term of the page stays on the page.
    List(*window)->clearSelection();
    TTerm* top = window->FItemList[static_cast<std::size_t>(window->FPaging.FirstIndex())];
    window->resize(1167, 1000);
    QTRY_COMPARE(window->height(), 1000);
    QCOMPARE(window->SelectedTerm(), top);
}

void AlphaSearchTest::waitsWhileTheIndexIsLoading() {
    // The letters are taken away while the status reads "loading" and put back by another thread:
    // a window that did not wait would list nothing.
    TAlphaLetterList held = std::move(LoadedData().Index.DiseaseIndex);
    LoadedData().Index.DiseaseIndex.clear();
    const int total = MainTermCount(held);
    LoadedData().Status[TDataSet::DiseaseIndex].store(TLoadState::Loading);
    std::thread loader([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        LoadedData().Index.DiseaseIndex = std::move(held);
        LoadedData().Status[TDataSet::DiseaseIndex].store(TLoadState::Done);
    });
    auto window = ShowWindow(TDataSet::DiseaseIndex);
    loader.join();
    QTRY_COMPARE(Named<QLabel>(*window, "recordCountLabel")->text(), QStringLiteral("Records: %1").arg(total));
}

void AlphaSearchTest::launchersOpenEitherIndexAndQuitEndsTheProgram() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    TfrmMain main;
    main.show();
    QSignalSpy ended(&main, &TfrmMain::ProgramEnded);
    TDataSet type = TDataSet::Tabular;
    WhenWindowShown<TfrmAlphaSearch>([&](TfrmAlphaSearch* window) {
        type = window->FType;
        QVERIFY(!window->isMaximized());
        QCOMPARE(window->size(), QSize(1167, 691));
        window->close();
    });
    main.lbDiseaseClick();
    QCOMPARE(type, TDataSet::DiseaseIndex);
    QVERIFY(main.isVisible());
    // F3 at the main level ends it with 1: the launcher shows again.
    WhenWindowShown<TfrmAlphaSearch>([&](TfrmAlphaSearch* window) {
        type = window->FType;
        QTest::keyClick(List(*window), Qt::Key_F3);
    });
    main.lbExternalClick();
    QCOMPARE(type, TDataSet::ExternalIndex);
    QVERIFY(main.isVisible());
    QCOMPARE(ended.count(), 0);
    messages.QueueAnswer(true);
    WhenWindowShown<TfrmAlphaSearch>([](TfrmAlphaSearch* window) { QTest::keyClick(window, Qt::Key_F12); });
    main.lbExternalClick();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!main.isVisible());
}

QTEST_MAIN(AlphaSearchTest)
#include "AlphaSearchTest.moc"
