// The Tabular Search window on the real data: opening modes, the chapter and section band, the
// tree, paging keys and the wheel, Back/Review and tabular order, the search band's refusals, the
// context menu rules, double-click widening, the history panel and the page geometry.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QWheelEvent>
#include <memory>

#include "model/CodeLookup.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/KeywordSearchTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KeywordSearch.h"
#include "ui/UiStyle.h"
#include "userdata/SearchHistory.h"

class KeywordSearchWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void sectionOpenedShowsChapterRowsAndItsCategories();
    void codeOpenedReadsTabularSectionUntilMoved();
    void goingUpFromCodeToSectionAndChapter();
    void wheelNotchesWithin300msTurnOnePage();
    void priorAndNextCodeCrossSectionAndChapterBoundaries();
    void neighbourCategorySkipsEmptySections();
    void backAndReviewFollowTheVisitStacks();
    void keywordBoxForwardsPagingButNotF5();
    void fullTextWithoutConditionRefusesSearch();
    void emptyKeywordsQuestionDeclinedOrAccepted();
    void fullTextBoxesFollowTheirSwitch();
    void clearButtons();
    void contextMenuEnablingFollowsSelection();
    void functionKeysActOnTheCurrentSelection();
    void copyPutsLineBreaksOnTheClipboard();
    void doubleClickWidensToWholeCode();
    void historyPanelPutsTextWithoutSearching();
    void historyPanelShowsTheNewestEntryReadableAboveTheScrollBar_data();
    void historyPanelShowsTheNewestEntryReadableAboveTheScrollBar();
    void suggestionPanelPagesAndKeys();
    void pageGeometryFitsTheViewAndTooSmallKeepsIt();
    void smallerThanDesignedKeepsEveryButtonWholeAndShowsText();
    void actsOnceTheDataSetsHaveSettled();
};

static QString ShownCode(TfrmKeyWordSearch& window) {
    auto* code = std::get_if<TCodeInfo*>(&window.Pager().FCurCode);
    return code ? QString::fromStdString((*code)->FCode) : QString();
}

void KeywordSearchWindowTest::sectionOpenedShowsChapterRowsAndItsCategories() {
    TSubChapter* section = Category("A00")->FSubChapter;
    auto window = OpenWindow(section, TTabularOpening::Section);
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Sub-Chapter Information"));
    QCOMPARE(Named<QLabel>(*window, "listKindLabel")->text(), QStringLiteral("Code"));
    QCOMPARE(Named<QWidget>(*window, "chapterBand")->height(), 62);
    QVERIFY(Named<QTextEdit>(*window, "chapterScopeText")->toPlainText().startsWith(QStringLiteral("Chapter   : ")));
    QCOMPARE(Named<QTextEdit>(*window, "chapterNameText")->toPlainText(),
             QStringLiteral("    ") + QString::fromStdString(section->FChapter->FInfo.FName));
    // The text is the section heading with its notes, never its categories.
    QVERIFY(window->ViewText().startsWith(QString::fromStdString(section->FInfo.FScope + " " + section->FInfo.FName)));
    QVERIFY(!window->ViewText().contains(QStringLiteral("A00.0")));
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), static_cast<int>(section->FCodeList.size()));
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItem(0)->text(0), QStringLiteral(" A00"));
    QCOMPARE(Named<QLabel>(*window, "codeCountLabel")->text(), QString::number(section->FCodeList.size()));
    QVERIFY(IsEmptyObject(window->FInitObject));
    // A tree click shows the category and pushes the section for Back.
    QTreeWidgetItem* second = Named<QTreeWidget>(*window, "codeTree")->topLevelItem(1);
    QTest::mouseClick(Named<QTreeWidget>(*window, "codeTree")->viewport(), Qt::LeftButton, {},
                      Named<QTreeWidget>(*window, "codeTree")->visualItemRect(second).center());
    QCOMPARE(ShownCode(*window), QStringLiteral("A01"));
    QCOMPARE(Named<QWidget>(*window, "chapterBand")->height(), 122);
    QCOMPARE(window->FPriorStack.size(), std::size_t{1});
    // A second click on the same node does nothing more.
    QTest::mouseClick(Named<QTreeWidget>(*window, "codeTree")->viewport(), Qt::LeftButton, {},
                      Named<QTreeWidget>(*window, "codeTree")->visualItemRect(second).center());
    QCOMPARE(window->FPriorStack.size(), std::size_t{1});
}

void KeywordSearchWindowTest::codeOpenedReadsTabularSectionUntilMoved() {
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Tabular Section"));
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 1);
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItem(0)->text(0), QStringLiteral(" A01"));
    QCOMPARE(Named<QWidget>(*window, "chapterBand")->height(), 122);
    QVERIFY(Named<QTextEdit>(*window, "sectionScopeText")
                ->toPlainText()
                .startsWith(QStringLiteral("Subchapter: (A00-A09)")));
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);
    QCOMPARE(ShownCode(*window), QStringLiteral("A02"));
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Tabular Search"));
    QCOMPARE(window->Pager().FSelectedCode, std::string("A02"));
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 1);  // moving in order leaves the tree alone
}

void KeywordSearchWindowTest::goingUpFromCodeToSectionAndChapter() {
    TCodeInfo* a01 = Category("A01");
    auto window = OpenWindow(a01, TTabularOpening::Code);
    QCOMPARE(Named<QTextEdit>(*window, "sectionNameText")->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(Named<QTextEdit>(*window, "sectionNameText")->viewport(), Qt::LeftButton);
    QVERIFY(std::holds_alternative<TSubChapter*>(window->Pager().FCurCode));
    QCOMPARE(Named<QWidget>(*window, "chapterBand")->height(), 62);
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Sub-Chapter Information"));
    QTest::mouseClick(Named<QTextEdit>(*window, "chapterNameText")->viewport(), Qt::LeftButton);
    QVERIFY(std::holds_alternative<TChapter*>(window->Pager().FCurCode));
    QVERIFY(!Named<QWidget>(*window, "chapterBand")->isVisible());
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Chapter Information"));
    // The chapter text is laid out 90 characters wide whatever the view's width.
    for (const QString& line : window->ViewText().split(QLatin1Char('\n'))) QVERIFY(line.size() <= 90);
    QCOMPARE(window->FPriorStack.size(), std::size_t{2});
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
    QVERIFY(std::holds_alternative<TSubChapter*>(window->Pager().FCurCode));
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
    QCOMPARE(ShownCode(*window), QStringLiteral("A01"));
}

static void Wheel(QWidget* target, int delta) {
    const QPointF position(20, 20);
    QWheelEvent event(position, target->mapToGlobal(position), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void KeywordSearchWindowTest::wheelNotchesWithin300msTurnOnePage() {
    uint32_t clock = 0xFFFFFF00u;  // near the wrap of the 32-bit tick
    auto window = std::make_unique<TfrmKeyWordSearch>();
    window->FTickSource = [&clock] { return clock; };
    window->FInitType = TTabularOpening::Code;
    window->FInitObject = Category("S72");
    window->show();
    QVERIFY(window->Pager().FPageNumber >= 3);
    QCOMPARE(window->FLastTick, 0xFFFFFF00u);
    // Ten notches 100 ms apart: only the first is more than 300 ms after the previous event.
    clock += 301;
    for (int notch = 0; notch < 10; ++notch, clock += 100)
        Wheel(Named<QTextEdit>(*window, "codeText")->viewport(), -120);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
    QVERIFY(Named<QTextEdit>(*window, "codeText")->isEnabled());
    // Exactly 300 ms is not enough; the gap counts across the wrap of the tick.
    clock = window->FLastTick + 300;
    Wheel(Named<QTextEdit>(*window, "codeText")->viewport(), -120);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
    clock += 301;
    Wheel(Named<QTextEdit>(*window, "codeText")->viewport(), -120);
    QCOMPARE(window->Pager().FCurPageIndex, 3);
    clock += 301;
    Wheel(Named<QTextEdit>(*window, "codeText")->viewport(), 120);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
}

void KeywordSearchWindowTest::priorAndNextCodeCrossSectionAndChapterBoundaries() {
    TChapter* first = LoadedData().Tabular.Chapters.front().get();
    TChapter* second = LoadedData().Tabular.Chapters[1].get();
    TCodeInfo* lastOfFirstSection = first->FSubList[0]->FCodeList.back().get();
    TCodeInfo* firstOfSecondSection = first->FSubList[1]->FCodeList.front().get();
    TCodeInfo* lastOfFirstChapter = first->FSubList.back()->FCodeList.back().get();
    // The neoplasm chapter opens with range headings that hold no categories of their own: the
    // step skips them to the first category.
    QVERIFY(second->FSubList.front()->FCodeList.empty());
    TCodeInfo* firstOfSecondChapter = Category("C00");

    auto window = OpenWindow(lastOfFirstSection, TTabularOpening::Code);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);
    QCOMPARE(ShownCode(*window), QString::fromStdString(firstOfSecondSection->FCode));
    QCOMPARE(window->Pager().FCurPageIndex, 1);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F8);
    QCOMPARE(ShownCode(*window), QString::fromStdString(lastOfFirstSection->FCode));

    window->ShowObject(firstOfSecondChapter, 1);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F8);
    QCOMPARE(ShownCode(*window), QString::fromStdString(lastOfFirstChapter->FCode));
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);
    QCOMPARE(ShownCode(*window), QString::fromStdString(firstOfSecondChapter->FCode));

    // Before the first category nothing happens, and nothing is pushed.
    window->ShowObject(first->FSubList[0]->FCodeList.front().get(), 1);
    const std::size_t pushed = window->FPriorStack.size();
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F8);
    QCOMPARE(ShownCode(*window), QStringLiteral("A00"));
    QCOMPARE(window->FPriorStack.size(), pushed);
    // Nor after the last one.
    TCodeInfo* last = LoadedData().Tabular.Chapters.back()->FSubList.back()->FCodeList.back().get();
    window->ShowObject(last, 1);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);
    QCOMPARE(ShownCode(*window), QString::fromStdString(last->FCode));
    // A section or chapter shown: F8 and F9 do nothing.
    window->ShowObject(first->FSubList[1].get(), 1);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F8);
    QVERIFY(std::holds_alternative<TSubChapter*>(window->Pager().FCurCode));
}

void KeywordSearchWindowTest::neighbourCategorySkipsEmptySections() {
    // Chapter 1: sections S1 {X01}, S2 {} ; chapter 2: no sections; chapter 3: S3 {X03, X04}.
    TChapterList chapters;
    auto addChapter = [&] { return chapters.emplace_back(std::make_unique<TChapter>()).get(); };
    auto addSection = [](TChapter* chapter) {
        return chapter->FSubList.emplace_back(std::make_unique<TSubChapter>(chapter)).get();
    };
    auto addCode = [](TSubChapter* section, const char* code) {
        TCodeInfo* info = section->FCodeList.emplace_back(std::make_unique<TCodeInfo>(section, nullptr, 0)).get();
        info->FCode = code;
        return info;
    };
    TChapter* one = addChapter();
    TCodeInfo* x01 = addCode(addSection(one), "X01");
    addSection(one);
    addChapter();
    TSubChapter* s3 = addSection(addChapter());
    TCodeInfo* x03 = addCode(s3, "X03");
    TCodeInfo* x04 = addCode(s3, "X04");

    QCOMPARE(NeighbourCategory(chapters, x01, false), x03);
    QCOMPARE(NeighbourCategory(chapters, x03, true), x01);
    QCOMPARE(NeighbourCategory(chapters, x03, false), x04);
    QVERIFY(NeighbourCategory(chapters, x04, false) == nullptr);
    QVERIFY(NeighbourCategory(chapters, x01, true) == nullptr);
    // A sub-code is not a category of its section: no neighbour.
    TCodeInfo sub(s3, x03, 1);
    sub.FCode = "X03.1";
    QVERIFY(NeighbourCategory(chapters, &sub, false) == nullptr);
}

void KeywordSearchWindowTest::backAndReviewFollowTheVisitStacks() {
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);  // A
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F2);
    const int pageOfA = window->Pager().FCurPageIndex;
    QVERIFY(pageOfA > 1);
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);  // B = A02
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_PageDown);
    const int pageOfB = window->Pager().FCurPageIndex;
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);  // C = A03
    QCOMPARE(ShownCode(*window), QStringLiteral("A03"));

    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
    QCOMPARE(ShownCode(*window), QStringLiteral("A02"));
    QCOMPARE(window->Pager().FCurPageIndex, pageOfB);
    QCOMPARE(window->Pager().FSelectedCode, std::string("A02"));
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
    QCOMPARE(ShownCode(*window), QStringLiteral("A01"));
    QCOMPARE(window->Pager().FCurPageIndex, pageOfA);
    QVERIFY(!Named<QPushButton>(*window, "backButton")->isEnabled());
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);  // empty stack: nothing
    QCOMPARE(ShownCode(*window), QStringLiteral("A01"));

    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F4);
    QCOMPARE(ShownCode(*window), QStringLiteral("A02"));
    // Review keeps the Back stack: Back now shows A01 again.
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
    QCOMPARE(ShownCode(*window), QStringLiteral("A01"));
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F4);
    QCOMPARE(window->FReviewStack.size(), std::size_t{1});
    // A new jump empties the Review stack.
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F9);
    QVERIFY(window->FReviewStack.empty());
    QVERIFY(!Named<QPushButton>(*window, "reviewButton")->isEnabled());
}

void KeywordSearchWindowTest::keywordBoxForwardsPagingButNotF5() {
    TRecordingMessages messages;
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    Named<QLineEdit>(*window, "keywordEdit")->setFocus();
    QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_PageDown);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
    QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_F5);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
    QCOMPARE(ShownCode(*window), QStringLiteral("A01"));
    QVERIFY(messages.Messages().empty());
    QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_F7);
    QVERIFY(Named<QLineEdit>(*window, "keywordEdit")->hasFocus() ||
            QApplication::focusWidget() == Named<QLineEdit>(*window, "keywordEdit"));
    // Esc from the keyword box closes the window with result 2.
    QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Escape);
    QCOMPARE(window->result(), 2);
    QVERIFY(!window->isVisible());
}

void KeywordSearchWindowTest::fullTextWithoutConditionRefusesSearch() {
    TRecordingMessages messages;
    UserData().History.FItems = {"gas"};
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    Named<QCheckBox>(*window, "fullTextCheck")->click();
    QVERIFY(Named<QCheckBox>(*window, "descriptionCheck")->isChecked());
    Named<QCheckBox>(*window, "descriptionCheck")->click();
    Named<QLineEdit>(*window, "keywordEdit")->setText(QStringLiteral("cholera"));
    Named<QPushButton>(*window, "searchButton")->click();
    QCOMPARE(messages.Messages(), std::vector<std::string>{"Please select one condition at least!"});
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 0);
    QCOMPARE(UserData().History.FItems, TStringList{"gas"});
    // With Description checked the same search runs and is recorded.
    Named<QCheckBox>(*window, "descriptionCheck")->click();
    Named<QPushButton>(*window, "searchButton")->click();
    QVERIFY(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount() > 0);
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItem(0)->text(0), QStringLiteral("A00"));
    QCOMPARE(Named<QLabel>(*window, "combinedCountLabel")->text().trimmed(), QStringLiteral("Unknown"));
    QCOMPARE(UserData().History.FItems, (TStringList{"gas", "cholera"}));
}

void KeywordSearchWindowTest::emptyKeywordsQuestionDeclinedOrAccepted() {
    TRecordingMessages messages;
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    messages.QueueAnswer(false);
    Named<QPushButton>(*window, "searchButton")->click();
    QCOMPARE(messages.Questions(),
             std::vector<std::string>{"Search by Keywords: Keywords empty, do you want to list all codes?"});
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 0);
    QVERIFY(IsEmptyObject(window->Pager().FCurCode));
    messages.QueueAnswer(true);
    Named<QPushButton>(*window, "searchButton")->click();
    int categories = 0;
    for (const auto& chapter : LoadedData().Tabular.Chapters)
        for (const auto& section : chapter->FSubList) categories += static_cast<int>(section->FCodeList.size());
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), categories);
    QCOMPARE(Named<QLabel>(*window, "codeCountLabel")->text(), QString::number(categories));
    QCOMPARE(ShownCode(*window), QStringLiteral("A00"));
    // Nothing shown before the search, so nothing was pushed for Back.
    QVERIFY(window->FPriorStack.empty());
}

void KeywordSearchWindowTest::fullTextBoxesFollowTheirSwitch() {
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    const QList<QCheckBox*> boxes{
        Named<QCheckBox>(*window, "descriptionCheck"), Named<QCheckBox>(*window, "inclusionCheck"),
        Named<QCheckBox>(*window, "includesCheck"),    Named<QCheckBox>(*window, "codeFirstCheck"),
        Named<QCheckBox>(*window, "codeAlsoCheck"),    Named<QCheckBox>(*window, "excludes1Check"),
        Named<QCheckBox>(*window, "excludes2Check")};
    for (QCheckBox* box : boxes) QVERIFY(!box->isEnabled());
    Named<QCheckBox>(*window, "fullTextCheck")->click();
    for (QCheckBox* box : boxes) QVERIFY(box->isEnabled());
    QVERIFY(Named<QCheckBox>(*window, "descriptionCheck")->isChecked());
    Named<QCheckBox>(*window, "excludes1Check")->click();
    Named<QCheckBox>(*window, "fullTextCheck")->click();
    for (QCheckBox* box : boxes) QVERIFY(!box->isEnabled() && !box->isChecked());
}

void KeywordSearchWindowTest::clearButtons() {
    TRecordingMessages messages;
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    // A blank where a comma was meant: the words' result is shown and the note says so.
    Named<QLineEdit>(*window, "keywordEdit")->setText(QStringLiteral("fracture femur"));
    Named<QPushButton>(*window, "searchButton")->click();
    QVERIFY(!Named<QLineEdit>(*window, "keywordCountsEdit")->text().isEmpty());
    const int found = Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount();
    QVERIFY(found > 0);
    auto* note = window->findChild<QLabel*>(QStringLiteral("searchNoteLabel"));
    QVERIFY(note != nullptr);
    QCOMPARE(note->text(), QStringLiteral("no keyword FRACTURE FEMUR; showing FRACTURE, FEMUR"));
    Named<QPushButton>(*window, "clearKeywordsButton")->click();
    QVERIFY(note->text().isEmpty());
    QVERIFY(Named<QLineEdit>(*window, "keywordEdit")->text().isEmpty());
    QVERIFY(Named<QLineEdit>(*window, "keywordCountsEdit")->text().isEmpty());
    QCOMPARE(Named<QLabel>(*window, "combinedCountLabel")->text(), QStringLiteral(" Unknown "));
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), found);
    QVERIFY(!window->ViewText().isEmpty());
    Named<QPushButton>(*window, "clearAllButton")->click();
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 0);
    QVERIFY(window->ViewText().isEmpty());
    QVERIFY(Named<QTextEdit>(*window, "chapterNameText")->toPlainText().isEmpty());
    QCOMPARE(Named<QLabel>(*window, "codeCountLabel")->text(), QString::number(found));  // the count is left as it was
}

static void SelectText(QTextEdit* edit, const QString& text) {
    const int start = edit->toPlainText().indexOf(text);
    QVERIFY(start >= 0);
    QTextCursor cursor(edit->document());
    cursor.setPosition(start);
    cursor.setPosition(start + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

void KeywordSearchWindowTest::contextMenuEnablingFollowsSelection() {
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    // The states are read while the menu shows (closing it gives the keys their actions back).
    auto openMenu = [&] {
        Named<QMenu>(*window, "codeTextMenu")->hide();
        emit Named<QTextEdit>(*window, "codeText")->customContextMenuRequested(QPoint(5, 5));
    };
    SelectText(Named<QTextEdit>(*window, "codeText"), QStringLiteral("A01.0"));
    openMenu();
    QVERIFY(Named<QAction>(*window, "goAction")->isEnabled() &&
            Named<QAction>(*window, "copyCodeAction")->isEnabled() &&
            Named<QAction>(*window, "copyAction")->isEnabled());
    SelectText(Named<QTextEdit>(*window, "codeText"), QStringLiteral("Typhoid"));
    openMenu();
    QVERIFY(!Named<QAction>(*window, "goAction")->isEnabled() &&
            !Named<QAction>(*window, "copyCodeAction")->isEnabled() &&
            Named<QAction>(*window, "copyAction")->isEnabled());
    QVERIFY(Named<QAction>(*window, "copyCodeDescAction")->isEnabled() &&
            Named<QAction>(*window, "copyCodeShortDescAction")->isEnabled());
    Named<QTextEdit>(*window, "codeText")
        ->setTextCursor(QTextCursor(Named<QTextEdit>(*window, "codeText")->document()));
    openMenu();
    QVERIFY(!Named<QAction>(*window, "copyAction")->isEnabled() && !Named<QAction>(*window, "goAction")->isEnabled());
    Named<QMenu>(*window, "codeTextMenu")->hide();
    QCOMPARE(Named<QAction>(*window, "goAction")->text(), QStringLiteral("Go (F5)"));
    QCOMPARE(Named<QAction>(*window, "copyCodeShortDescAction")->text(),
             QStringLiteral("Copy Code + Short Desc (Ctrl + F11)"));
}

void KeywordSearchWindowTest::functionKeysActOnTheCurrentSelection() {
    TRecordingMessages messages;
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    // The menu last opened on a plain word, which disabled Go; the keys must still act.
    SelectText(Named<QTextEdit>(*window, "codeText"), QStringLiteral("Typhoid"));
    emit Named<QTextEdit>(*window, "codeText")->customContextMenuRequested(QPoint(5, 5));
    QVERIFY(!Named<QAction>(*window, "goAction")->isEnabled());
    Named<QMenu>(*window, "codeTextMenu")->hide();
    Named<QTextEdit>(*window, "codeText")->setFocus();
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F5);
    QCOMPARE(messages.Messages().size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(messages.Messages().front()),
             QStringLiteral("Please select correct code in the text box!"));
    // A code selected afterwards is gone to with F5 (a jump: the view left is pushed for Back).
    SelectText(Named<QTextEdit>(*window, "codeText"), QStringLiteral("A01.0"));
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F5);
    QCOMPARE(messages.Messages().size(), std::size_t{1});
    QCOMPARE(window->FPriorStack.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(window->Pager().FSelectedCode), QStringLiteral("A01.0"));
}

void KeywordSearchWindowTest::copyPutsLineBreaksOnTheClipboard() {
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    const QString text = window->ViewText();
    const int lineEnd = text.indexOf(QLatin1Char('\n'));
    QVERIFY(lineEnd > 0 && lineEnd + 5 < text.size());
    QTextCursor cursor(Named<QTextEdit>(*window, "codeText")->document());
    cursor.setPosition(0);
    cursor.setPosition(lineEnd + 5, QTextCursor::KeepAnchor);
    Named<QTextEdit>(*window, "codeText")->setTextCursor(cursor);
    Named<QAction>(*window, "copyAction")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), text.left(lineEnd + 5));
}

void KeywordSearchWindowTest::doubleClickWidensToWholeCode() {
    auto widen = [](const QString& text, int start, int length) {
        WidenCodeSelection(text, start, length);
        return text.mid(start, length);
    };
    const QString line = QStringLiteral("  A01.01 Typhoid meningitis");
    QCOMPARE(widen(line, 6, 2), QStringLiteral("A01.01"));  // the part after the full stop
    QCOMPARE(widen(line, 2, 3), QStringLiteral("A01.01"));  // the category part
    QCOMPARE(widen(line, 5, 1), QStringLiteral("A01.01"));  // the full stop
    QCOMPARE(widen(QStringLiteral("(S52.521A)"), 4, 1), QStringLiteral("S52.521A"));
    QCOMPARE(widen(QStringLiteral("end. Next"), 3, 1), QStringLiteral("."));  // a sentence's full stop
    const QString note = QStringLiteral("fracture (S72.0-) of neck");
    QCOMPARE(widen(note, 10, 3), QStringLiteral("S72.0"));
    QCOMPARE(widen(note, 14, 1), QStringLiteral("S72.0"));
    // A category at the end of a line keeps its three characters.
    QCOMPARE(widen(QStringLiteral("see A01"), 4, 3), QStringLiteral("A01"));
    // A word that is no code part stays as selected; a blank selection does nothing.
    QCOMPARE(widen(line, 9, 7), QStringLiteral("Typhoid"));
    QCOMPARE(widen(line, 0, 2), QStringLiteral("  "));
    // A sub-code part near the start of the text cannot reach back before it.
    QCOMPARE(widen(QStringLiteral("A01.1 x"), 4, 1), QStringLiteral("1"));

    // In the window: a double-click on the sub-code part of A01.00 selects the whole code.
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    const QString text = window->ViewText();
    const int at = text.indexOf(QStringLiteral("A01.00"));
    QVERIFY(at >= 0);
    QTextCursor probe(Named<QTextEdit>(*window, "codeText")->document());
    probe.setPosition(at + 5);
    const QPoint point = Named<QTextEdit>(*window, "codeText")->cursorRect(probe).center();
    QTest::mouseDClick(Named<QTextEdit>(*window, "codeText")->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(Named<QTextEdit>(*window, "codeText")->textCursor().selectedText(), QStringLiteral("A01.00"));
}

void KeywordSearchWindowTest::historyPanelPutsTextWithoutSearching() {
    UserData().History.FItems = {"gas", "typhoid,meningitis", "cholera"};
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    Named<QPushButton>(*window, "historyButton")->click();
    QVERIFY(Named<QFrame>(*window, "historyPanel")->isVisible());
    QCOMPARE(Named<QTreeWidget>(*window, "historyList")->topLevelItemCount(), 3);
    QCOMPARE(Named<QTreeWidget>(*window, "historyList")->headerItem()->text(0),
             QStringLiteral("Keywords Search History"));
    QCOMPARE(Named<QTreeWidget>(*window, "historyList")->currentItem()->text(0), QStringLiteral("cholera"));
    // The panel stands right above the keyword box.
    QCOMPARE(Named<QFrame>(*window, "historyPanel")->geometry().bottom() + 1,
             Named<QLineEdit>(*window, "keywordEdit")->mapTo(window.get(), QPoint(0, 0)).y());
    QTreeWidgetItem* entry = Named<QTreeWidget>(*window, "historyList")->topLevelItem(1);
    QTest::mouseClick(Named<QTreeWidget>(*window, "historyList")->viewport(), Qt::LeftButton, {},
                      Named<QTreeWidget>(*window, "historyList")->visualItemRect(entry).center());
    QCOMPARE(Named<QLineEdit>(*window, "keywordEdit")->text(), QStringLiteral("typhoid,meningitis"));
    QVERIFY(!Named<QFrame>(*window, "historyPanel")->isVisible());
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 0);
}

void KeywordSearchWindowTest::historyPanelShowsTheNewestEntryReadableAboveTheScrollBar_data() {
    QTest::addColumn<int>("searches");
    QTest::newRow("two searches") << 2;
    QTest::newRow("fifty searches") << 50;
}

void KeywordSearchWindowTest::historyPanelShowsTheNewestEntryReadableAboveTheScrollBar() {
    QFETCH(int, searches);
    UserData().History.FItems.assign(static_cast<std::size_t>(searches - 1), "typhoid, meningitis");
    UserData().History.FItems.emplace_back("cholera");
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    Named<QPushButton>(*window, "historyButton")->click();
    QTreeWidget* list = Named<QTreeWidget>(*window, "historyList");
    // The list lays out its scroll bars after the click: judge it as the user sees it then.
    QTest::qWait(100);
    QCOMPARE(list->currentItem()->text(0), QStringLiteral("cholera"));
    // The newest entry stands whole in the list's visible area (above any scroll bar) ...
    const QRect row = list->visualItemRect(list->currentItem());
    QVERIFY2(list->viewport()->rect().contains(row), qPrintable(QStringLiteral("row %1..%2 in a view of %3 px")
                                                                    .arg(row.top())
                                                                    .arg(row.bottom())
                                                                    .arg(list->viewport()->height())));
    // ... and its text is drawn in a colour that stands out from the row's background.
    const QImage image = list->viewport()->grab(row).toImage();
    const QColor background = image.pixelColor(image.width() - 2, 1);
    int textPixels = 0;
    for (int y = 0; y < image.height() - 2; ++y)  // the row's bottom border left out
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = std::abs(pixel.red() - background.red()) +
                                 std::abs(pixel.green() - background.green()) +
                                 std::abs(pixel.blue() - background.blue());
            if (distance > 150) ++textPixels;
        }
    QVERIFY2(textPixels > 20, qPrintable(QStringLiteral("%1 text pixels").arg(textPixels)));
}

void KeywordSearchWindowTest::suggestionPanelPagesAndKeys() {
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    Named<QLineEdit>(*window, "keywordEdit")->setFocus();
    QTest::keyClicks(Named<QLineEdit>(*window, "keywordEdit"), QStringLiteral("a"));
    QVERIFY(Named<QFrame>(*window, "suggestionPanel")->isVisible());
    // The panel's bottom edge meets the keyword box's top edge, at its left edge.
    const QPoint box = Named<QLineEdit>(*window, "keywordEdit")->mapTo(window.get(), QPoint(0, 0));
    QCOMPARE(Named<QFrame>(*window, "suggestionPanel")->geometry().bottom() + 1, box.y());
    QCOMPARE(Named<QFrame>(*window, "suggestionPanel")->x(), box.x());
    const QString caption = Named<QLabel>(*window, "suggestionCaptionLabel")->text();
    QVERIFY(caption.startsWith(QStringLiteral("1/")));
    QVERIFY(caption.endsWith(QStringLiteral("  Please use a comma to separate keywords. For example: gas, Abdomen")));
    const QString firstCell = Named<QTableWidget>(*window, "suggestionGrid")->item(0, 0)->text();
    QVERIFY(!firstCell.isEmpty() && !Named<QTableWidget>(*window, "suggestionGrid")->item(9, 3)->text().isEmpty());
    Named<QPushButton>(*window, "nextSuggestionsButton")->click();
    QVERIFY(Named<QLabel>(*window, "suggestionCaptionLabel")->text().startsWith(QStringLiteral("2/")));
    QVERIFY(Named<QTableWidget>(*window, "suggestionGrid")->item(0, 0)->text() != firstCell);
    Named<QPushButton>(*window, "priorSuggestionsButton")->click();
    Named<QPushButton>(*window, "priorSuggestionsButton")->click();  // stays on the first page
    QVERIFY(Named<QLabel>(*window, "suggestionCaptionLabel")->text().startsWith(QStringLiteral("1/")));
    QCOMPARE(Named<QTableWidget>(*window, "suggestionGrid")->item(0, 0)->text(), firstCell);

    // Arrow up moves into the grid; Enter released there chooses the cell.
    QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Up);
    QCOMPARE(Named<QTableWidget>(*window, "suggestionGrid")->currentRow(), 0);
    QCOMPARE(Named<QTableWidget>(*window, "suggestionGrid")->currentColumn(), 0);
    QTest::keyClick(Named<QTableWidget>(*window, "suggestionGrid"), Qt::Key_Return);
    QCOMPARE(Named<QLineEdit>(*window, "keywordEdit")->text(), firstCell + QStringLiteral(","));
    QVERIFY(!Named<QFrame>(*window, "suggestionPanel")->isVisible());
    // Enter in the grid presses no button of the window (it once opened the history panel).
    QVERIFY(!Named<QFrame>(*window, "historyPanel")->isVisible());
    for (QPushButton* button : window->findChildren<QPushButton*>()) QVERIFY(!button->autoDefault());
    QVERIFY(Named<QLabel>(*window, "combinedCountLabel")->text().trimmed().toInt() > 0);

    // The comma hides the panel; an unknown word leaves the grid empty and the caption as it was.
    QTest::keyClicks(Named<QLineEdit>(*window, "keywordEdit"), QStringLiteral("zqx"));
    QVERIFY(Named<QFrame>(*window, "suggestionPanel")->isVisible());
    QVERIFY(Named<QTableWidget>(*window, "suggestionGrid")->item(0, 0)->text().isEmpty());
    QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Comma);
    QVERIFY(!Named<QFrame>(*window, "suggestionPanel")->isVisible());
    // Focus on the code text hides the panel as well.
    QTest::keyClicks(Named<QLineEdit>(*window, "keywordEdit"), QStringLiteral("t"));
    QVERIFY(Named<QFrame>(*window, "suggestionPanel")->isVisible());
    Named<QTextEdit>(*window, "codeText")->setFocus();
    QVERIFY(!Named<QFrame>(*window, "suggestionPanel")->isVisible());
}

void KeywordSearchWindowTest::pageGeometryFitsTheViewAndTooSmallKeepsIt() {
    auto window = OpenWindow(Category("A01"), TTabularOpening::Code);
    const TCodeTextPager& pager = window->Pager();
    // The code text needs a fixed-pitch family whatever is installed (Courier New or its stand-in).
    QVERIFY(QFontInfo(Named<QTextEdit>(*window, "codeText")->font()).fixedPitch());
    const QFontMetricsF metrics(Named<QTextEdit>(*window, "codeText")->font());
    const QRect view = Named<QTextEdit>(*window, "codeText")->viewport()->rect();
    // A full line plus the spare column fits across, and a full page fits down.
    QVERIFY(metrics.horizontalAdvance(QString(pager.FWordsPerLine + 1, QLatin1Char('M'))) <= view.width());
    QVERIFY(pager.FLinePerPage * metrics.lineSpacing() <= view.height());
    QVERIFY(pager.FWordsPerLine > 80);
    QVERIFY(pager.FLinePerPage >= 12);
    // The designed line height (19 px at 96 dpi: 25 px) sets the rows: 14 in the designed view.
    if (Named<QTextEdit>(*window, "codeText")->logicalDpiY() == 96 && metrics.lineSpacing() <= 25)
        QCOMPARE(pager.FLinePerPage, 14);
    // No page shows more lines than fit.
    QCOMPARE(window->ViewText().split(QLatin1Char('\n')).size(), pager.FLinePerPage);
    // The lines are spaced at the row height the page was measured with, so a full page fills the
    // view down to its last row instead of leaving rows empty below it.
    const double rowHeight = double(view.height()) / pager.FLinePerPage;
    const double pageHeight = Named<QTextEdit>(*window, "codeText")->document()->size().height();
    QVERIFY2(pageHeight > (pager.FLinePerPage - 1) * rowHeight && pageHeight <= view.height() + rowHeight,
             qPrintable(QStringLiteral("page %1 px in a view of %2 px").arg(pageHeight).arg(view.height())));

    const int words = pager.FWordsPerLine;
    const int lines = pager.FLinePerPage;
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(300, 420);
    QCOMPARE(pager.FWordsPerLine, words);
    QCOMPARE(pager.FLinePerPage, lines);
    QCOMPARE(Named<QTextEdit>(*window, "codeText")->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    // Growing again re-lays out and keeps the place (the page still holds the top line's text).
    QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_PageDown);
    const QString topLine = window->ViewText().section(QLatin1Char('\n'), 0, 0).trimmed();
    window->resize(1400, 900);
    QCOMPARE(Named<QTextEdit>(*window, "codeText")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(pager.FWordsPerLine > words);
    QVERIFY(window->ViewText().contains(topLine.left(20)));
}

// Opened while the Tabular List loads, the window shows nothing and its panels take no input until
// the list has settled; a search asked for while the code keywords load runs once they have.
void KeywordSearchWindowTest::actsOnceTheDataSetsHaveSettled() {
    TfrmKeyWordSearch window;
    window.FInitType = TTabularOpening::Code;
    window.FInitObject = Category("A01");
    LoadedData().Status[TDataSet::Tabular].store(TLoadState::Loading);
    window.show();
    const bool waited = IsEmptyObject(window.CurrentObject()) && !Named<QTextEdit>(window, "codeText")->isEnabled();
    LoadedData().Status[TDataSet::Tabular].store(TLoadState::Done);
    QVERIFY(waited);
    QTRY_COMPARE(ShownCode(window), QStringLiteral("A01"));
    QVERIFY(Named<QTextEdit>(window, "codeText")->isEnabled());

    LoadedData().Status[TDataSet::CodeKeywords].store(TLoadState::Loading);
    Named<QLineEdit>(window, "keywordEdit")->setText(QStringLiteral("cholera"));
    Named<QPushButton>(window, "searchButton")->click();
    const QString shownWhileLoading = ShownCode(window);
    LoadedData().Status[TDataSet::CodeKeywords].store(TLoadState::Done);
    QCOMPARE(shownWhileLoading, QStringLiteral("A01"));
    QTRY_COMPARE(ShownCode(window), QStringLiteral("A00"));
}

QTEST_MAIN(KeywordSearchWindowTest)
void KeywordSearchWindowTest::smallerThanDesignedKeepsEveryButtonWholeAndShowsText() {
    // 900 x 600 (a window fitted to a small or scaled screen): the page buttons do not fit in one
    // row; each keeps its whole caption inside the bar, and the code text still shows.
    auto window = OpenWindow(Category("S72"), TTabularOpening::Code);
    window->setMinimumSize(0, 0);
    window->resize(900, 600);
    QVERIFY(!window->ViewText().isEmpty());
    const QList<QPushButton*> buttons = {
        Named<QPushButton>(*window, "firstPageButton"), Named<QPushButton>(*window, "priorPageButton"),
        Named<QPushButton>(*window, "nextPageButton"),  Named<QPushButton>(*window, "lastPageButton"),
        Named<QPushButton>(*window, "backButton"),      Named<QPushButton>(*window, "reviewButton"),
        Named<QPushButton>(*window, "priorCodeButton"), Named<QPushButton>(*window, "nextCodeButton")};
    for (QPushButton* button : buttons) {
        const QRect bar(QPoint(0, 0), button->parentWidget()->size());
        QVERIFY2(bar.contains(button->geometry()), qPrintable(button->text()));
        QVERIFY2(button->width() >= CaptionWidth(*button), qPrintable(button->text()));
    }
    QVERIFY(Named<QPushButton>(*window, "nextCodeButton")->y() >
            Named<QPushButton>(*window, "firstPageButton")->y());  // a second row
    QVERIFY(Named<QTextEdit>(*window, "codeText")->geometry().bottom() <
            Named<QPushButton>(*window, "firstPageButton")->parentWidget()->y());
}

#include "KeywordSearchWindowTest.moc"
