// The chapter browser on the real data: node texts and padding, the three-level tree, the node
// images, waiting for the Tabular List, the double-click and expand rules, opening the Tabular
// Search window on the node's object, keys and results, and the launcher.
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "model/CodeLookup.h"
#include "model/TabularData.h"
#include "services/LoadStatus.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ChapterSearch.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/UiStyle.h"
#include "ui/Waiting.h"
#include "userdata/Config.h"

class ChapterSearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        EnsureRealDataLoaded();
        ShowWaitingWindowWhileDataSetsSettle();
        UserData().Settings.FullScreen = 0;
    }
    void nodeTextsPadByCharactersAndNeverCut();
    void openingModeAndDoubleClickRule();
    void nodeImagesShrinkAndTurnRedWhenSelected();
    void treeHoldsChaptersSectionsAndCategoriesCollapsed();
    void treeWaitsForTabularListAndIsBuiltOnce();
    void windowLooksAsDesignedAndFullScreenMaximises();
    void doubleClickOnLabelsOpensTheNodesObject();
    void doubleClickBesideLabelTogglesWithoutOpening();
    void expandButtonAndKeyboardFollowThePointerRule();
    void keysEscF12AndEnterOpensTheCurrentNode();
    void quitInTabularSearchEndsBrowserAndProgram();
};

namespace {

// A browser shown non-modally with its tree built.
std::unique_ptr<TfrmChapterSearch> ShowBrowser() {
    auto window = std::make_unique<TfrmChapterSearch>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("browser not exposed");
    return window;
}

QTreeWidgetItem* ChapterNode(TfrmChapterSearch& window, int chapter) {
    return Named<QTreeWidget>(window, "chapterTree")->topLevelItem(chapter);
}

// Counts the pixels of an image that are not transparent.
int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) ++count;
    return count;
}

// What a nested Tabular Search window showed when it opened.
struct TOpened {
    int count = 0;
    TTabularOpening initType = TTabularOpening::KeywordSearch;
    TTabularObject object;
    QString title;
    QByteArray test;  // the test function that waits for the window
};

// Records the next Tabular Search window that opens during the current test function and closes
// it with Esc (a test that expects none leaves the watch behind; later tests are not disturbed).
std::shared_ptr<TOpened> RecordTabularSearch() {
    auto opened = std::make_shared<TOpened>();
    opened->test = QTest::currentTestFunction();
    WhenWindowShown<TfrmKeyWordSearch>([opened](TfrmKeyWordSearch* window) {
        if (opened->test != QTest::currentTestFunction()) return;
        ++opened->count;
        opened->initType = window->FInitType;
        opened->object = window->CurrentObject();
        opened->title = Named<QLabel>(*window, "titleLabel")->text();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    return opened;
}

// Points the tree's pointer at a viewport position, as a mouse move over the tree does.
void MovePointer(TfrmChapterSearch& window, const QPoint& position) {
    QMouseEvent move(QEvent::MouseMove, position,
                     Named<QTreeWidget>(window, "chapterTree")->viewport()->mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Named<QTreeWidget>(window, "chapterTree")->viewport(), &move);
}

// The pointer leaves the tree, then the node expands: with the pointer away the rule allows it.
void Expand(TfrmChapterSearch& window, QTreeWidgetItem* item) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Named<QTreeWidget>(window, "chapterTree")->viewport(), &leave);
    item->setExpanded(true);
}

void DoubleClick(TfrmChapterSearch& window, const QPoint& position) {
    QTest::mouseDClick(Named<QTreeWidget>(window, "chapterTree")->viewport(), Qt::LeftButton, Qt::NoModifier, position);
}

// A point on the node's row to the right of its label.
QPoint BesideLabel(TfrmChapterSearch& window, QTreeWidgetItem* item) {
    const QRect label = window.NodeLabelRect(item);
    return QPoint(label.right() + 30, label.center().y());
}

}  // namespace

void ChapterSearchTest::nodeTextsPadByCharactersAndNeverCut() {
    QCOMPARE(PadRight("(A00-A09)", 10), QStringLiteral("(A00-A09) "));
    QCOMPARE(PadRight("A00", 8), QStringLiteral("A00     "));
    QCOMPARE(PadRight("", 3), QStringLiteral("   "));
    // A longer value is kept whole, with no separator after it.
    QCOMPARE(PadRight("(A00-B99)-longer", 12), QStringLiteral("(A00-B99)-longer"));
    // Widths count characters: "é" is two bytes but one column.
    QCOMPARE(PadRight("\xC3\xA9t\xC3\xA9", 5), QString::fromUtf8("\xC3\xA9t\xC3\xA9  "));

    const TChapter& chapter = *LoadedData().Tabular.Chapters.front();
    QCOMPARE(ChapterNodeText(chapter), QStringLiteral("(A00-B99)   Certain infectious and parasitic diseases"));
    QCOMPARE(SectionNodeText(*chapter.FSubList.front()), QStringLiteral("(A00-A09) Intestinal infectious diseases"));
    QCOMPARE(CategoryNodeText(*chapter.FSubList.front()->FCodeList.front()), QStringLiteral("A00     Cholera"));
}

void ChapterSearchTest::openingModeAndDoubleClickRule() {
    TChapter* chapter = LoadedData().Tabular.Chapters.front().get();
    TSubChapter* section = chapter->FSubList.front().get();
    TCodeInfo* category = section->FCodeList.front().get();
    QCOMPARE(InitTypeFor(chapter), TTabularOpening::Chapter);
    QCOMPARE(InitTypeFor(section), TTabularOpening::Section);
    QCOMPARE(InitTypeFor(category), TTabularOpening::Code);

    QVERIFY(!DoubleClickOpens(false, false, false));  // no object
    QVERIFY(!DoubleClickOpens(true, true, true));     // toggled instead
    QVERIFY(DoubleClickOpens(true, true, false));     // on the label of a chapter or section
    QVERIFY(DoubleClickOpens(true, false, true));     // a category opens on any double-click
}

void ChapterSearchTest::nodeImagesShrinkAndTurnRedWhenSelected() {
    std::array<QImage, 6> images;
    for (int index = 0; index < 6; ++index) {
        images[static_cast<std::size_t>(index)] = DrawNodeImage(index).toImage();
        QCOMPARE(images[static_cast<std::size_t>(index)].size(), QSize(16, 16));
    }
    QVERIFY(OpaquePixels(images[0]) > OpaquePixels(images[1]));
    QVERIFY(OpaquePixels(images[1]) > OpaquePixels(images[2]));
    QVERIFY(OpaquePixels(images[2]) > 0);
    for (int level = 0; level < 3; ++level) {
        const QImage& plain = images[static_cast<std::size_t>(level)];
        const QImage& selected = images[static_cast<std::size_t>(level + 3)];
        QCOMPARE(OpaquePixels(selected), OpaquePixels(plain));  // the same ornament
        bool anyRed = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb dark = plain.pixel(x, y);
                if (qAlpha(dark) == 255) QVERIFY(qRed(dark) < 128 && qGreen(dark) < 128 && qBlue(dark) < 128);
                const QRgb red = selected.pixel(x, y);
                if (qAlpha(red) == 255 && qRed(red) > 150 && qRed(red) > qGreen(red) + 60) anyRed = true;
            }
        QVERIFY(anyRed);
    }
    QCOMPARE(OpaquePixels(DrawNodeImage(6).toImage()), 0);  // no seventh image: an empty one
}

void ChapterSearchTest::treeHoldsChaptersSectionsAndCategoriesCollapsed() {
    auto window = ShowBrowser();
    QTreeWidget* tree = Named<QTreeWidget>(*window, "chapterTree");
    QCOMPARE(tree->topLevelItemCount(), 22);
    int sections = 0;
    int categories = 0;
    for (int c = 0; c < tree->topLevelItemCount(); ++c) {
        QTreeWidgetItem* chapterNode = tree->topLevelItem(c);
        TChapter* chapter = LoadedData().Tabular.Chapters[static_cast<std::size_t>(c)].get();
        QVERIFY(TfrmChapterSearch::NodeObject(chapterNode) == TTabularObject(chapter));
        QCOMPARE(chapterNode->text(0), ChapterNodeText(*chapter));
        QVERIFY(!chapterNode->isExpanded());
        QCOMPARE(chapterNode->childCount(), static_cast<int>(chapter->FSubList.size()));
        for (int s = 0; s < chapterNode->childCount(); ++s) {
            QTreeWidgetItem* sectionNode = chapterNode->child(s);
            TSubChapter* section = chapter->FSubList[static_cast<std::size_t>(s)].get();
            QVERIFY(TfrmChapterSearch::NodeObject(sectionNode) == TTabularObject(section));
            QVERIFY(!sectionNode->isExpanded());
            QCOMPARE(sectionNode->childCount(), static_cast<int>(section->FCodeList.size()));
            for (int k = 0; k < sectionNode->childCount(); ++k) {
                QTreeWidgetItem* categoryNode = sectionNode->child(k);
                TCodeInfo* category = section->FCodeList[static_cast<std::size_t>(k)].get();
                QVERIFY(TfrmChapterSearch::NodeObject(categoryNode) == TTabularObject(category));
                QCOMPARE(categoryNode->childCount(), 0);  // codes below the categories are not shown
                // The description starts in column 9 for every category: the codes line up.
                QCOMPARE(categoryNode->text(0).mid(8), QString::fromStdString(category->FDesc));
                ++categories;
            }
            ++sections;
        }
    }
    QCOMPARE(sections, 296);
    QCOMPARE(categories, 1911);
    // A node without an object carries none.
    QTreeWidgetItem loose(QStringList{QStringLiteral("x")});
    QVERIFY(IsEmptyObject(TfrmChapterSearch::NodeObject(&loose)));
    // Long titles are not cut: the column is as wide as the widest node.
    const QFontMetrics metrics(tree->font());
    QVERIFY(tree->columnWidth(0) >= metrics.horizontalAdvance(ChapterNodeText(*LoadedData().Tabular.Chapters.front())));
    QVERIFY(tree->columnWidth(0) >= tree->viewport()->width());
    // Once the Tabular List is loaded again (another edition), the old nodes give no object.
    LoadedData().Tabular.LoadCount.fetch_add(1);
    QVERIFY(IsEmptyObject(TfrmChapterSearch::NodeObject(tree->topLevelItem(0)->child(0))));
}

void ChapterSearchTest::treeWaitsForTabularListAndIsBuiltOnce() {
    TRecordingMessages messages;
    const int before = WaitingWindowShowCount();
    LoadedData().Status[TDataSet::Tabular].store(TLoadState::Loading);
    bool waitingVisible = false;
    QTimer::singleShot(300, [&] {
        waitingVisible = FindVisibleWindow<TfrmWaiting>() != nullptr;
        LoadedData().Status[TDataSet::Tabular].store(TLoadState::Done);
    });
    auto window = ShowBrowser();
    QTRY_COMPARE(window->FInitFlag, 1);  // built once the Tabular List has settled
    QCOMPARE(LoadedData().Status[TDataSet::Tabular].load(), TLoadState::Done);
    QVERIFY(waitingVisible);
    QCOMPARE(WaitingWindowShowCount(), before + 1);
    QCOMPARE(window->FInitFlag, 1);
    QCOMPARE(Named<QTreeWidget>(*window, "chapterTree")->topLevelItemCount(), 22);

    // Shown again, the window keeps its tree (same nodes, expansion kept).
    QTreeWidgetItem* first = ChapterNode(*window, 0);
    Expand(*window, first);
    window->hide();
    window->show();
    QCOMPARE(ChapterNode(*window, 0), first);
    QVERIFY(first->isExpanded());

    // A failed or cancelled Tabular List gives the tree of what was loaded, without a wait or a message.
    for (TLoadState status : {TLoadState::Failed, TLoadState::Cancelled}) {
        LoadedData().Status[TDataSet::Tabular].store(status);
        auto failed = ShowBrowser();
        QCOMPARE(Named<QTreeWidget>(*failed, "chapterTree")->topLevelItemCount(),
                 static_cast<int>(LoadedData().Tabular.Chapters.size()));
    }
    LoadedData().Status[TDataSet::Tabular].store(TLoadState::Done);
    QCOMPARE(WaitingWindowShowCount(), before + 1);
    QVERIFY(messages.Messages().empty());
}

void ChapterSearchTest::windowLooksAsDesignedAndFullScreenMaximises() {
    {
        auto window = ShowBrowser();
        QCOMPARE(window->windowTitle(), QString::fromUtf8(WindowTitle));
        QCOMPARE(window->size(), QSize(1157, 681));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Chapter Search"));
        QCOMPARE(Named<QLabel>(*window, "titleLabel")->height(), 50);
        QCOMPARE(Named<QLabel>(*window, "titleLabel")->font().pixelSize(), 29);
        QVERIFY(Named<QLabel>(*window, "titleLabel")->font().bold());
        QCOMPARE(Named<QLabel>(*window, "titleLabel")->palette().color(QPalette::Window), QColor(166, 202, 240));
        QVERIFY(Named<QLabel>(*window, "titleLabel")->autoFillBackground());
        QCOMPARE(Named<QTreeWidget>(*window, "chapterTree")->font().pixelSize(), 16);
        QVERIFY(Named<QTreeWidget>(*window, "chapterTree")->font().bold());
        QVERIFY(QFontInfo(Named<QTreeWidget>(*window, "chapterTree")->font()).fixedPitch());
        QCOMPARE(Named<QTreeWidget>(*window, "chapterTree")->geometry().top(), 50);
        QCOMPARE(Named<QTreeWidget>(*window, "chapterTree")->height(), 681 - 50);
        // The node images: level images normally, their red forms when selected.
        QTreeWidgetItem* node = ChapterNode(*window, 0);
        const QIcon icon = node->icon(0);
        QCOMPARE(icon.pixmap(16, 16, QIcon::Normal).toImage(), DrawNodeImage(0).toImage());
        QCOMPARE(icon.pixmap(16, 16, QIcon::Selected).toImage(), DrawNodeImage(3).toImage());
        QCOMPARE(node->child(0)->icon(0).pixmap(16, 16, QIcon::Selected).toImage(), DrawNodeImage(4).toImage());
        QCOMPARE(node->child(0)->child(0)->icon(0).pixmap(16, 16).toImage(), DrawNodeImage(2).toImage());
        // Sizeable.
        QVERIFY(window->minimumSize() != window->maximumSize());
    }
    UserData().Settings.FullScreen = 1;
    TfrmChapterSearch maximised;
    UserData().Settings.FullScreen = 0;
    QVERIFY(maximised.windowState() & Qt::WindowMaximized);
    QVERIFY(maximised.windowFlags() & Qt::WindowMaximizeButtonHint);
}

void ChapterSearchTest::doubleClickOnLabelsOpensTheNodesObject() {
    auto window = ShowBrowser();
    TChapter* chapter = LoadedData().Tabular.Chapters.front().get();
    TSubChapter* section = chapter->FSubList.front().get();
    QTreeWidgetItem* chapterNode = ChapterNode(*window, 0);

    // The chapter's label: opens the chapter, the node stays collapsed.
    auto opened = RecordTabularSearch();
    DoubleClick(*window, window->NodeLabelRect(chapterNode).center());
    QCOMPARE(opened->count, 1);
    QCOMPARE(opened->initType, TTabularOpening::Chapter);
    QVERIFY(opened->object == TTabularObject(chapter));
    QCOMPARE(opened->title, QStringLiteral("Chapter Information"));
    QVERIFY(!chapterNode->isExpanded());
    QVERIFY(!window->FAllowAutoColExp);
    QVERIFY(window->isVisible());
    QCOMPARE(window->result(), 0);

    // A section's label: opens the section with mode 2 and leaves it collapsed.
    Expand(*window, chapterNode);
    QTreeWidgetItem* sectionNode = chapterNode->child(0);
    opened = RecordTabularSearch();
    DoubleClick(*window, window->NodeLabelRect(sectionNode).center());
    QCOMPARE(opened->count, 1);
    QCOMPARE(opened->initType, TTabularOpening::Section);
    QVERIFY(opened->object == TTabularObject(section));
    QCOMPARE(opened->title, QStringLiteral("Sub-Chapter Information"));
    QVERIFY(!sectionNode->isExpanded());

    // A category opens on its label and beside it, with mode 3, whatever the last request was.
    Expand(*window, sectionNode);
    QVERIFY(sectionNode->isExpanded());
    QTreeWidgetItem* categoryNode = sectionNode->child(2);
    TCodeInfo* category = section->FCodeList[2].get();
    for (const QPoint& point : {window->NodeLabelRect(categoryNode).center(), BesideLabel(*window, categoryNode)}) {
        window->FAllowAutoColExp = true;
        opened = RecordTabularSearch();
        DoubleClick(*window, point);
        QCOMPARE(opened->count, 1);
        QCOMPARE(opened->initType, TTabularOpening::Code);
        QVERIFY(opened->object == TTabularObject(category));
        QCOMPARE(opened->title, QStringLiteral("Tabular Section"));
        QVERIFY(Named<QTreeWidget>(*window, "chapterTree")->currentItem() == categoryNode);
    }
    QVERIFY(window->isVisible());
}

void ChapterSearchTest::doubleClickBesideLabelTogglesWithoutOpening() {
    auto window = ShowBrowser();
    QTreeWidgetItem* chapterNode = ChapterNode(*window, 0);
    auto opened = RecordTabularSearch();  // would close a window opened by mistake
    DoubleClick(*window, BesideLabel(*window, chapterNode));
    QVERIFY(chapterNode->isExpanded());
    QVERIFY(window->FAllowAutoColExp);
    QTreeWidgetItem* sectionNode = chapterNode->child(0);
    DoubleClick(*window, BesideLabel(*window, sectionNode));
    QVERIFY(sectionNode->isExpanded());
    DoubleClick(*window, BesideLabel(*window, sectionNode));
    QVERIFY(!sectionNode->isExpanded());
    DoubleClick(*window, BesideLabel(*window, chapterNode));
    QVERIFY(!chapterNode->isExpanded());
    // Below the last node nothing is hit, even with a node selected.
    Named<QTreeWidget>(*window, "chapterTree")->setCurrentItem(chapterNode);
    DoubleClick(*window, QPoint(40, Named<QTreeWidget>(*window, "chapterTree")->viewport()->height() - 5));
    QVERIFY(!chapterNode->isExpanded());
    QTest::qWait(100);
    QCOMPARE(opened->count, 0);
}

void ChapterSearchTest::expandButtonAndKeyboardFollowThePointerRule() {
    auto window = ShowBrowser();
    QTreeWidget* tree = Named<QTreeWidget>(*window, "chapterTree");
    QTreeWidgetItem* chapterNode = ChapterNode(*window, 2);
    auto opened = RecordTabularSearch();

    // The expand button, left of the node: expands and collapses, opens nothing.
    const QRect cell = tree->visualItemRect(chapterNode);
    const QPoint button(cell.left() - tree->indentation() / 2, cell.center().y());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, button);
    QVERIFY(chapterNode->isExpanded());
    QVERIFY(window->FAllowAutoColExp);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, button);
    QVERIFY(!chapterNode->isExpanded());

    // The keyboard: refused while the pointer rests on the node's label, allowed elsewhere.
    tree->setFocus();
    tree->setCurrentItem(chapterNode);
    MovePointer(*window, window->NodeLabelRect(chapterNode).center());
    QTest::keyClick(tree, Qt::Key_Right);
    QVERIFY(!chapterNode->isExpanded());
    QVERIFY(!window->FAllowAutoColExp);
    MovePointer(*window, BesideLabel(*window, chapterNode));
    QTest::keyClick(tree, Qt::Key_Right);
    QVERIFY(chapterNode->isExpanded());
    MovePointer(*window, window->NodeLabelRect(chapterNode).center());
    QTest::keyClick(tree, Qt::Key_Left);
    QVERIFY(chapterNode->isExpanded());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(tree->viewport(), &leave);  // the pointer left the tree
    QTest::keyClick(tree, Qt::Key_Left);
    QVERIFY(!chapterNode->isExpanded());
    QTest::qWait(100);
    QCOMPARE(opened->count, 0);
}

void ChapterSearchTest::keysEscF12AndEnterOpensTheCurrentNode() {
    TRecordingMessages messages;
    {
        auto window = ShowBrowser();
        Named<QTreeWidget>(*window, "chapterTree")->setFocus();
        Named<QTreeWidget>(*window, "chapterTree")->setCurrentItem(ChapterNode(*window, 0)->child(0));
        auto opened = RecordTabularSearch();
        QTest::keyClick(Named<QTreeWidget>(*window, "chapterTree"), Qt::Key_Return);
        QCOMPARE(opened->count, 1);  // Enter opens the section as a double-click on its label does
        QCOMPARE(opened->initType, TTabularOpening::Section);
        QVERIFY(window->isVisible());
        // The window manager gives the browser the focus back once the nested window has closed.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        messages.QueueAnswer(false);
        QTest::keyClick(Named<QTreeWidget>(*window, "chapterTree"), Qt::Key_F12);
        QVERIFY(window->isVisible());
        QCOMPARE(messages.Questions().back(), std::string("Exit Program: Do you want to quit this program?"));
        QTest::keyClick(Named<QTreeWidget>(*window, "chapterTree"), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), 2);
    }
    {
        auto window = ShowBrowser();
        messages.QueueAnswer(true);
        QTest::keyClick(window.get(), Qt::Key_F12);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), 3);
    }
    {
        auto window = ShowBrowser();
        window->close();  // the close box
        QCOMPARE(window->result(), 2);
    }
    QCOMPARE(messages.Questions().size(), std::size_t{2});
}

void ChapterSearchTest::quitInTabularSearchEndsBrowserAndProgram() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    TfrmMain main;
    main.show();
    QSignalSpy ended(&main, &TfrmMain::ProgramEnded);

    // Esc in the browser brings the launcher back.
    WhenWindowShown<TfrmChapterSearch>(
        [](TfrmChapterSearch* window) { QTest::keyClick(Named<QTreeWidget>(*window, "chapterTree"), Qt::Key_Escape); });
    main.lbChaptersClick();
    QVERIFY(main.isVisible());
    QCOMPARE(ended.count(), 0);

    // Closing the Tabular Search window normally returns to the browser; quitting there ends all.
    bool browserStayed = false;
    WhenWindowShown<TfrmChapterSearch>([&](TfrmChapterSearch* window) {
        QVERIFY(!main.isVisible());
        QTreeWidgetItem* chapterNode = Named<QTreeWidget>(*window, "chapterTree")->topLevelItem(0);
        auto opened = RecordTabularSearch();
        DoubleClick(*window, window->NodeLabelRect(chapterNode).center());
        QCOMPARE(opened->count, 1);
        browserStayed = window->isVisible();

        messages.QueueAnswer(true);
        WhenWindowShown<TfrmKeyWordSearch>(
            [](TfrmKeyWordSearch* search) { QTest::keyClick(Named<QLineEdit>(*search, "keywordEdit"), Qt::Key_F12); });
        DoubleClick(*window, window->NodeLabelRect(chapterNode).center());
    });
    main.lbChaptersClick();
    QVERIFY(browserStayed);
    QVERIFY(!main.isVisible());
    QCOMPARE(ended.count(), 1);
    QCOMPARE(messages.Questions().size(), std::size_t{1});
}

QTEST_MAIN(ChapterSearchTest)
#include "ChapterSearchTest.moc"
