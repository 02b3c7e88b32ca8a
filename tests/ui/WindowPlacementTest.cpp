// Where windows stand and how their rows fit: a nested table level covers its opener exactly, a
// window restored from maximised is placed inside the screen, the chapter browser scrolls sideways
// only when an expanded row is wider than the view, and the favourite window's page buttons stay
// on one row at its designed size.
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include "index/IndexModel.h"
#include "index/TableSearchLogic.h"
#include "services/DataSets.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/KeywordSearch.h"
#include "ui/WindowPlacement.h"

class WindowPlacementTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }

    void chapterBrowserScrollsSidewaysOnlyForAWiderExpandedRow() {
        TfrmChapterSearch window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        auto* tree = Named<QTreeWidget>(window, "chapterTree");
        QVERIFY(!tree->horizontalScrollBar()->isVisible());
        QCOMPARE(tree->columnWidth(0), tree->viewport()->width());
    }

    void favoriteWindowKeepsItsPageButtonsOnOneRow() {
        TfrmKeyWordSearch window;
        window.FInitType = TTabularOpening::FavoriteCodes;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(Named<QPushButton>(window, "nextCodeButton")->y(), Named<QPushButton>(window, "firstPageButton")->y());
        for (QPushButton* button :
             {Named<QPushButton>(window, "firstPageButton"), Named<QPushButton>(window, "priorPageButton"),
              Named<QPushButton>(window, "nextPageButton"), Named<QPushButton>(window, "lastPageButton"),
              Named<QPushButton>(window, "backButton"), Named<QPushButton>(window, "reviewButton"),
              Named<QPushButton>(window, "priorCodeButton"), Named<QPushButton>(window, "nextCodeButton")})
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                     qPrintable(button->text()));
        QVERIFY(Named<QPushButton>(window, "nextCodeButton")->geometry().right() <
                Named<QPushButton>(window, "nextCodeButton")->parentWidget()->width());
    }
    // The rows above run at the designed sizes; from here on windows are fitted to the (small)
    // test screen as the program fits them.
    void nestedTableLevelCoversItsOpenerFromTheSameCorner() {
        InstallWindowPlacement(*qApp);
        TTerm* term = nullptr;
        for (const auto& letter : LoadedData().Index.NeoplasmTable)
            for (const auto& candidate : letter->FMainTermList)
                if (term == nullptr && !candidate->FSubTermList.empty()) term = candidate.get();
        QVERIFY(term != nullptr);
        TfrmDrugNeopSearch parent;
        parent.FType = TDataSet::NeoplasmTable;
        parent.show();
        // Even sizes: centring on the opener would move each level up and left by a pixel.
        parent.resize(1000, 600);
        parent.move(100, 80);
        for (int height : {600, 582}) {
            TfrmDrugNeopSearch child(&parent);
            child.FType = TDataSet::NeoplasmTable;
            child.FCurItem = term;
            child.resize(1000, height);
            child.show();
            PlaceWindow(&child);
            QCOMPARE(child.frameGeometry().topLeft(), parent.frameGeometry().topLeft());
        }
    }

    void windowRestoredFromMaximisedIsPlacedInsideTheScreen() {
        TfrmKeyWordSearch window;
        window.setWindowFlag(Qt::WindowMaximizeButtonHint);
        window.setGeometry(QRect(QPoint(-30, -12), window.size()));
        window.showMaximized();
        QVERIFY(QTest::qWaitFor([&] { return window.isMaximized(); }));
        window.showNormal();
        QVERIFY(QTest::qWaitFor([&] { return !window.isMaximized(); }));
        const QRect area = window.screen()->availableGeometry();
        QVERIFY2(area.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(window.x()).arg(window.y())));
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"
#include "startup/LoadedData.h"
