// The windows used from the keyboard alone: every key goes to whichever widget has the focus, as
// it would from a real keyboard. Select Code (filter, Up/Down, Enter), Esc on the suggestion and
// history lists, typing and Enter in the index and table windows, and the launcher's launchers.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "index/IndexModel.h"
#include "services/DataSets.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"
#include "userdata/SearchHistory.h"

namespace {

QWidget* Focused() {
    return QApplication::focusWidget();
}

// Presses each key on the widget that has the focus at that moment.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = Focused();
    QVERIFY2(target != nullptr, "nothing has the keyboard focus");
    QTest::keyClick(target, key, modifiers);
}

void Type(const QString& text) {
    for (const QChar c : text) {
        QWidget* target = Focused();
        QVERIFY2(target != nullptr, "nothing has the keyboard focus");
        QTest::keyClicks(target, QString(c));
    }
}

// The first main term, in index order, without sub-terms whose code (as ACode gives it) opens,
// and whose title is plain enough to type.
const TTerm* FirstLeafWithCode(const TAlphaLetterList& letters, std::string (*code)(const TTerm&)) {
    for (const auto& letter : letters)
        for (const auto& term : letter->FMainTermList) {
            const std::string text = code(*term);
            if (term->FSubTermList.empty() && text.size() >= 3 && text[0] >= 'A' && text[0] <= 'Z' &&
                term->FTitle.find_first_of("()[],") == std::string::npos && term->FTitle.size() > 3 &&
                letter->FLetter.size() == 1 && term->FTitle[0] == letter->FLetter[0])
                return term.get();
        }
    return nullptr;
}

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }

    void selectCodeTakesFilterArrowsAndEnter() {
        TfrmSelectCode dialog;
        dialog.SetCodeHeader("S72.00");
        QVERIFY(dialog.GetAllAvailableCodes() > 10);
        ShowActive(dialog);
        QCOMPARE(Focused(), static_cast<QWidget*>(dialog.Edit2));
        Type(QStringLiteral("1"));
        QCOMPARE(dialog.Edit2->text(), QStringLiteral("1"));
        QVERIFY(dialog.ListView1->topLevelItemCount() > 2);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        QTreeWidgetItem* second = dialog.ListView1->topLevelItem(1);
        QVERIFY(second->isSelected());
        Press(Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QGuiApplication::clipboard()->text(), second->text(0) + QStringLiteral("  ") + second->text(1));
        QCOMPARE(QString::fromStdString(dialog.FSelectedCode), second->text(0));
    }

    void escClosesTheSuggestionAndHistoryListsOnly() {
        TScopedDataFolders folders;
        SearchHistory.FItems = {"gas", "typhoid"};
        TfrmKeyWordSearch window;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.edtKeyWord));
        Type(QStringLiteral("typ"));
        QVERIFY(window.plPrompt->isVisible());
        Press(Qt::Key_Up);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.StringGrid1));
        Press(Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!window.plPrompt->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(window.edtKeyWord));

        window.btnHistory->setFocus();
        Press(Qt::Key_Space);
        QVERIFY(window.plHistory->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(window.ListView1));
        Press(Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!window.plHistory->isVisible());
        // Enter takes the selected entry (the newest) into the keyword box.
        window.btnHistory->setFocus();
        Press(Qt::Key_Space);
        Press(Qt::Key_Up);
        Press(Qt::Key_Return);
        QVERIFY(!window.plHistory->isVisible());
        QCOMPARE(window.edtKeyWord->text(), QStringLiteral("gas"));
        // Esc in the keyword box itself still closes the window.
        Press(Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), 2);
    }

    void indexWindowTypingFiltersAndEnterOpensALeafCode() {
        TRecordingMessages messages;
        const TTerm* leaf = FirstLeafWithCode(DIndexLetters, [](const TTerm& term) { return term.FCode; });
        QVERIFY(leaf != nullptr);
        TfrmAlphaSearch window;
        window.FType = 1;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.ListView1));
        // Typed on the list, the title lands in the filter box (first letter a capital).
        Type(QString::fromStdString(leaf->FTitle).toLower());
        QCOMPARE(window.edtMain->text().toUpper(), QString::fromStdString(leaf->FTitle).toUpper());
        QCOMPARE(window.FItemList.front(), leaf);
        // Down leaves the filter box for the list's first row.
        QCOMPARE(Focused(), static_cast<QWidget*>(window.edtMain));
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.ListView1));
        QCOMPARE(window.SelectedTerm(), leaf);
        QString opened;
        WhenWindowShown<TfrmKeyWordSearch>([&](TfrmKeyWordSearch* search) {
            opened = search->ViewText();
            search->done(2);
        });
        Press(Qt::Key_Return);
        QVERIFY2(opened.contains(QString::fromStdString(leaf->FCode).left(3)), qPrintable(opened));
    }

    void tableWindowTypingFiltersAndEnterOpensALeafCode() {
        const TTerm* leaf = FirstLeafWithCode(TableOfDrugsLetters, [](const TTerm& term) { return term.Cell(2); });
        QVERIFY(leaf != nullptr);
        TfrmDrugNeopSearch window;
        window.FType = TableTypeDrugs;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.StringGrid1));
        Type(QString::fromStdString(leaf->FTitle).toLower());
        QCOMPARE(window.FItemList.front(), leaf);
        // Down leaves the filter box for the first term row; the arrows reach the code cell.
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.StringGrid1));
        QCOMPARE(window.StringGrid1->currentRow(), 1);
        Press(Qt::Key_Right);
        Press(Qt::Key_Right);
        QCOMPARE(window.StringGrid1->currentColumn(), 2);
        QString opened;
        WhenWindowShown<TfrmKeyWordSearch>([&](TfrmKeyWordSearch* search) {
            opened = search->ViewText();
            search->done(2);
        });
        Press(Qt::Key_Enter);
        QVERIFY2(opened.contains(QString::fromStdString(leaf->Cell(2)).left(3)), qPrintable(opened));
    }

    void launcherOpensEveryLauncherFromTheKeyboard() {
        TScopedDataFolders folders;
        TfrmMain main;
        ShowActive(main);
        // Nothing is highlighted until a key is pressed.
        for (QLabel* label : main.Launchers()) QVERIFY(label->palette().color(QPalette::WindowText) != Fuchsia);
        Press(Qt::Key_Tab);
        QCOMPARE(Focused(), static_cast<QWidget*>(main.lbDisease));
        QCOMPARE(main.lbDisease->palette().color(QPalette::WindowText), Fuchsia);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), static_cast<QWidget*>(main.lbKeyWords));
        QCOMPARE(main.lbDisease->palette().color(QPalette::WindowText), Navy);
        bool keywordWindow = false;
        WhenWindowShown<TfrmKeyWordSearch>([&](TfrmKeyWordSearch* window) {
            keywordWindow = true;
            window->done(2);
        });
        Press(Qt::Key_Return);
        QVERIFY(keywordWindow);
        QVERIFY(main.isVisible());
        // Tab reaches the chapter browser; Space opens it.
        ShowActive(main);
        main.lbKeyWords->setFocus();
        Press(Qt::Key_Tab);
        QCOMPARE(Focused(), static_cast<QWidget*>(main.lbChapters));
        bool chapterWindow = false;
        WhenWindowShown<TfrmChapterSearch>([&](TfrmChapterSearch* window) {
            chapterWindow = true;
            window->done(2);
        });
        Press(Qt::Key_Space);
        QVERIFY(chapterWindow);
    }
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
