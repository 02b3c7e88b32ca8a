// The code view of the Tabular Search window as a coder reads it: the underline stays on the chosen
// code, every line of every page is inside the view whatever the window size, band and full-screen
// setting, Clear and a search without result leave nothing to page through, the first PgDn pages
// at once, wide pages scroll sideways and the page never scrolls away from its first line.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>
#include <memory>

#include "model/CodeLookup.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/KeywordSearchTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KeywordSearch.h"
#include "userdata/Config.h"

class KeywordSearchCodeViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void cleanup() { UserData().Settings.FullScreen = 0; }
    void underlineMarksOnlyTheChosenCode();
    void everyLineOfEveryPageIsInsideTheView();
    void viewTooSmallForAPageStillShowsTheObjectOpenedOn();
    void clearAndSearchWithoutResultLeaveNothingToPage();
    void firstPageDownOfAnOpenedWindowPagesAtOnce();
    void pageWiderThanTheViewScrollsSideways();
    void ctrlEndKeepsTheFirstLineInPlace();
};

namespace {

// The texts of the underlined runs of the view, in order.
QStringList UnderlinedRuns(QTextEdit* edit) {
    QStringList runs;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().fontUnderline()) runs << it.fragment().text();
    return runs;
}

// Empty when every line of every page of the object shown lies fully inside the view's viewport
// (or, in a view too small for a page, which keeps its old page length and shows scroll bars, can
// be scrolled fully into it); otherwise where the first line outside it is.
QString LineOutsideTheView(TfrmKeyWordSearch& window) {
    TCodeTextPager& pager = window.Pager();
    QTextEdit* edit = Named<QTextEdit>(window, "codeText");
    const int lineCount = static_cast<int>(pager.FContentStringList.size());
    for (int page = 1; page <= pager.FPageNumber; ++page) {
        window.ShowPage(page);
        const int linesOnPage = std::min(pager.FLinePerPage, lineCount - (page - 1) * pager.FLinePerPage);
        const QRect viewport = edit->viewport()->rect();
        const QPointF scrolled(edit->horizontalScrollBar()->value(), edit->verticalScrollBar()->value());
        QTextBlock block = edit->document()->begin();
        for (int line = 1; line <= linesOnPage; ++line, block = block.next()) {
            if (!block.isValid()) return QStringLiteral("page %1 holds fewer than %2 lines").arg(page).arg(linesOnPage);
            const QRectF rect = edit->document()->documentLayout()->blockBoundingRect(block).translated(-scrolled);
            const bool inside = rect.top() >= 0 && rect.bottom() <= viewport.height();
            const QScrollBar* vertical = edit->verticalScrollBar();
            const bool reachable = vertical->isVisible() && rect.height() <= viewport.height() &&
                                   rect.bottom() + scrolled.y() - viewport.height() <= vertical->maximum();
            if (!inside && !reachable)
                return QStringLiteral("page %1/%2 line %3 of %4 at %5..%6 in a view of %7 px (window %8x%9)")
                    .arg(page)
                    .arg(pager.FPageNumber)
                    .arg(line)
                    .arg(linesOnPage)
                    .arg(rect.top())
                    .arg(rect.bottom())
                    .arg(viewport.height())
                    .arg(window.width())
                    .arg(window.height());
        }
    }
    return QString();
}

QTreeWidgetItem* TreeNode(QTreeWidget* tree, const QString& code) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0).trimmed() == code) return tree->topLevelItem(i);
    return nullptr;
}

}  // namespace

void KeywordSearchCodeViewTest::underlineMarksOnlyTheChosenCode() {
    TRecordingMessages messages;
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    QTextEdit* edit = Named<QTextEdit>(*window, "codeText");
    // A00 stands at the very start of its first page.
    QVERIFY(window->GoToCode(QStringLiteral("A00"), true));
    QCOMPARE(UnderlinedRuns(edit), QStringList{QStringLiteral("A00")});
    QTest::keyClick(edit, Qt::Key_F9);
    QCOMPARE(UnderlinedRuns(edit), QStringList{QStringLiteral("A01")});
    QVERIFY(window->GoToCode(QStringLiteral("S72"), true));
    QTest::keyClick(edit, Qt::Key_PageDown);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
    QCOMPARE(UnderlinedRuns(edit), QStringList{});
    QTest::keyClick(edit, Qt::Key_F3);
    QCOMPARE(UnderlinedRuns(edit), QStringList{QStringLiteral("A01")});
    // A search shows its first result with nothing chosen.
    Named<QLineEdit>(*window, "keywordEdit")->setText(QStringLiteral("cholera"));
    Named<QPushButton>(*window, "searchButton")->click();
    QCOMPARE(window->ViewText().left(3), QStringLiteral("A00"));
    QCOMPARE(UnderlinedRuns(edit), QStringList{});
}

void KeywordSearchCodeViewTest::everyLineOfEveryPageIsInsideTheView() {
    // Client sizes of the designed window, of maximised windows on common screens and of small ones.
    const QSize sizes[] = {{1167, 691}, {800, 600}, {1024, 700}, {1366, 705}, {1366, 768}, {1920, 1017}, {900, 520}};
    TChapter* chapter = Category("S72")->FSubChapter->FChapter;
    for (const int fullScreen : {0, 1}) {
        UserData().Settings.FullScreen = fullScreen;
        for (const QSize& size : sizes) {
            // Opened on the chapter, as the chapter browser does; the size changes while it is shown.
            auto window = OpenWindow(chapter, TTabularOpening::Chapter);
            QCOMPARE(window->isMaximized(), fullScreen == 1);
            QString outside = LineOutsideTheView(*window);
            QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("chapter as opened: ") + outside));
            window->setMinimumSize(0, 0);
            window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            window->resize(size);
            const QString where =
                QStringLiteral("FullScreen=%1 %2x%3 ").arg(fullScreen).arg(size.width()).arg(size.height());
            outside = LineOutsideTheView(*window);
            QVERIFY2(outside.isEmpty(), qPrintable(where + QStringLiteral("chapter: ") + outside));
            // Band of 122 px: a category chosen in the tree.
            QTreeWidgetItem* node = TreeNode(Named<QTreeWidget>(*window, "codeTree"), QStringLiteral("S72"));
            QVERIFY(node != nullptr);
            Named<QTreeWidget>(*window, "codeTree")->scrollToItem(node);
            QTest::mouseClick(Named<QTreeWidget>(*window, "codeTree")->viewport(), Qt::LeftButton, {},
                              Named<QTreeWidget>(*window, "codeTree")->visualItemRect(node).center());
            QCOMPARE(Named<QWidget>(*window, "chapterBand")->height(), 122);
            outside = LineOutsideTheView(*window);
            QVERIFY2(outside.isEmpty(), qPrintable(where + QStringLiteral("category: ") + outside));
            // Band of 62 px: the section; then no band: the chapter; then the category again.
            window->GoUpToSection();
            QCOMPARE(Named<QWidget>(*window, "chapterBand")->height(), 62);
            outside = LineOutsideTheView(*window);
            QVERIFY2(outside.isEmpty(), qPrintable(where + QStringLiteral("section: ") + outside));
            window->GoUpToChapter();
            QVERIFY(!Named<QWidget>(*window, "chapterBand")->isVisible());
            outside = LineOutsideTheView(*window);
            QVERIFY2(outside.isEmpty(), qPrintable(where + QStringLiteral("chapter again: ") + outside));
            QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
            QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
            QVERIFY(std::holds_alternative<TCodeInfo*>(window->CurrentObject()));
            outside = LineOutsideTheView(*window);
            QVERIFY2(outside.isEmpty(), qPrintable(where + QStringLiteral("category after Back: ") + outside));
        }
    }
}

void KeywordSearchCodeViewTest::viewTooSmallForAPageStillShowsTheObjectOpenedOn() {
    // 900 x 420 leaves the code view fewer than 4 rows under the full band and the page buttons.
    auto window = std::make_unique<TfrmKeyWordSearch>();
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(900, 420);
    window->FInitType = TTabularOpening::Code;
    window->FInitObject = Category("S72");
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(Named<QTextEdit>(*window, "codeText")->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(std::holds_alternative<TCodeInfo*>(window->CurrentObject()));
    QVERIFY(window->ViewText().startsWith(QStringLiteral("S72 ")));
    QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount(), 1);
}

void KeywordSearchCodeViewTest::clearAndSearchWithoutResultLeaveNothingToPage() {
    TRecordingMessages messages;
    auto window = OpenWindow(std::monostate{}, TTabularOpening::KeywordSearch);
    const QString noMatch = QStringLiteral("No category matches the keywords.");
    auto clear = [&] { Named<QPushButton>(*window, "clearAllButton")->click(); };
    auto searchUnknownWord = [&] {
        Named<QLineEdit>(*window, "keywordEdit")->setText(QStringLiteral("zqxwv"));
        Named<QPushButton>(*window, "searchButton")->click();
        QCOMPARE(Named<QLabel>(*window, "combinedCountLabel")->text().trimmed(), QStringLiteral("0"));
    };
    for (const bool cleared : {true, false}) {
        QVERIFY(window->GoToCode(QStringLiteral("S72"), true));
        QVERIFY(Named<QPushButton>(*window, "nextPageButton")->isEnabled());
        if (cleared)
            clear();
        else
            searchUnknownWord();
        const QString what = cleared ? QStringLiteral("after Clear") : QStringLiteral("after no result");
        for (const int key : {0, int(Qt::Key_PageDown), int(Qt::Key_F2), int(Qt::Key_F9)}) {
            if (key != 0) QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key(key));
            QVERIFY2(IsEmptyObject(window->CurrentObject()), qPrintable(what));
            QVERIFY2(window->ViewText().isEmpty(), qPrintable(what));
            QCOMPARE(window->PageCounterText(), QStringLiteral("0/0"));
            for (QPushButton* button :
                 {Named<QPushButton>(*window, "firstPageButton"), Named<QPushButton>(*window, "priorPageButton"),
                  Named<QPushButton>(*window, "nextPageButton"), Named<QPushButton>(*window, "lastPageButton")})
                QVERIFY2(!button->isEnabled(), qPrintable(what + QStringLiteral(": ") + button->text()));
            // The band as the window first opened: no chapter, no section.
            QCOMPARE(Named<QTextEdit>(*window, "chapterScopeText")->toPlainText(), QStringLiteral("Chapter   :"));
            QCOMPARE(Named<QTextEdit>(*window, "sectionScopeText")->toPlainText(), QStringLiteral("Subchapter:"));
            QVERIFY(Named<QTextEdit>(*window, "chapterNameText")->toPlainText().isEmpty());
            QVERIFY(Named<QTextEdit>(*window, "sectionNameText")->toPlainText().isEmpty());
        }
        // The empty view tells why it is empty after a search, and nothing after Clear.
        QCOMPARE(Named<QTextEdit>(*window, "codeText")->placeholderText(), cleared ? QString() : noMatch);
    }
    // Showing a code again takes the words away.
    QVERIFY(window->GoToCode(QStringLiteral("A00"), true));
    QVERIFY(Named<QTextEdit>(*window, "codeText")->placeholderText().isEmpty());
}

void KeywordSearchCodeViewTest::firstPageDownOfAnOpenedWindowPagesAtOnce() {
    // As the chapter browser opens it: on a category, the focus where the window puts it.
    auto window = OpenWindow(Category("S72"), TTabularOpening::Code);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr && window->isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_PageDown);
    QCOMPARE(window->Pager().FCurPageIndex, 2);
    QVERIFY(window->FPriorStack.empty());
    QVERIFY(!Named<QPushButton>(*window, "backButton")->isEnabled());
    QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Tabular Section"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(window->Pager().FCurPageIndex, 3);
}

void KeywordSearchCodeViewTest::pageWiderThanTheViewScrollsSideways() {
    // Maximised on the 800-pixel-wide test screen the view is narrower than a 90-character chapter line.
    UserData().Settings.FullScreen = 1;
    auto window = OpenWindow(Category("S72")->FSubChapter->FChapter, TTabularOpening::Chapter);
    QVERIFY(window->isMaximized());
    QTextEdit* edit = Named<QTextEdit>(*window, "codeText");
    const QStringList lines = window->ViewText().split(QLatin1Char('\n'));
    int longest = 0;
    for (int i = 1; i < lines.size(); ++i)
        if (lines[i].size() > lines[longest].size()) longest = i;
    QCOMPARE(lines[longest].size(), 90);
    QVERIFY(window->Pager().FWordsPerLine < 90);
    QScrollBar* bar = edit->horizontalScrollBar();
    QVERIFY(bar->isVisible());
    bar->setValue(bar->maximum());
    QTextCursor end(edit->document()->findBlockByNumber(longest));
    end.movePosition(QTextCursor::EndOfBlock);
    const QRect lineEnd = edit->cursorRect(end);
    QVERIFY2(
        lineEnd.left() >= 0 && lineEnd.left() <= edit->viewport()->width(),
        qPrintable(QStringLiteral("line end at x %1 in %2 px").arg(lineEnd.left()).arg(edit->viewport()->width())));
}

void KeywordSearchCodeViewTest::ctrlEndKeepsTheFirstLineInPlace() {
    auto window = OpenWindow(Category("S72"), TTabularOpening::Code);
    QTextEdit* edit = Named<QTextEdit>(*window, "codeText");
    QVERIFY(window->Pager().FPageNumber > 1);
    const QTextBlock first = edit->document()->begin();
    const QRectF before = edit->document()->documentLayout()->blockBoundingRect(first);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(edit->verticalScrollBar()->value(), 0);
    QCOMPARE(edit->document()->documentLayout()->blockBoundingRect(first), before);
}

QTEST_MAIN(KeywordSearchCodeViewTest)
#include "KeywordSearchCodeViewTest.moc"
