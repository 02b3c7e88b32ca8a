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

#include "entry/CodeEntry.h"
#include "index/IndexModel.h"
#include "index/TableSearchLogic.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/KeywordSearchTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/FavoriteUser.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"
#include "userdata/FavoritePassword.h"
#include "userdata/Favorites.h"
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

// A keyword search typed into the keyword box and run with Enter; the focus stays in the box.
void Search(TfrmKeyWordSearch& window, const QString& keywords) {
    Named<QLineEdit>(window, "keywordEdit")->setFocus();
    Type(keywords);
    Press(Qt::Key_Return);
}

QString ShownCategory(const TfrmKeyWordSearch& window) {
    const TTabularObject shown = window.CurrentObject();
    auto* const* code = std::get_if<TCodeInfo*>(&shown);
    return code != nullptr ? QString::fromStdString((*code)->FCode) : QString();
}

// Closes whatever modal window is still open when the guard's test has not closed it by then, so
// that a key opening the wrong window fails the test instead of hanging it.
void CloseStrayModalsAfter(QObject* guard, int milliseconds = 4000) {
    QTimer::singleShot(milliseconds, guard, [] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(2);
            else
                break;
        }
    });
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
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(dialog, "filterEdit")));
        Type(QStringLiteral("1"));
        QCOMPARE(Named<QLineEdit>(dialog, "filterEdit")->text(), QStringLiteral("1"));
        QVERIFY(Named<QTreeWidget>(dialog, "codeList")->topLevelItemCount() > 2);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        QTreeWidgetItem* second = Named<QTreeWidget>(dialog, "codeList")->topLevelItem(1);
        QVERIFY(second->isSelected());
        Press(Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QGuiApplication::clipboard()->text(), second->text(0) + QStringLiteral("  ") + second->text(1));
        QCOMPARE(QString::fromStdString(dialog.FSelectedCode), second->text(0));
    }

    void escClosesTheSuggestionAndHistoryListsOnly() {
        TScopedDataFolders folders;
        UserData().History.FItems = {"gas", "typhoid"};
        TfrmKeyWordSearch window;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "keywordEdit")));
        Type(QStringLiteral("typ"));
        QVERIFY(Named<QFrame>(window, "suggestionPanel")->isVisible());
        // From the keyword box Esc closes the open list only; the keywords stay.
        Press(Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!Named<QFrame>(window, "suggestionPanel")->isVisible());
        QCOMPARE(Named<QLineEdit>(window, "keywordEdit")->text(), QStringLiteral("typ"));
        Type(QStringLiteral("h"));
        QVERIFY(Named<QFrame>(window, "suggestionPanel")->isVisible());
        Press(Qt::Key_Up);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QTableWidget>(window, "suggestionGrid")));
        Press(Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!Named<QFrame>(window, "suggestionPanel")->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "keywordEdit")));

        Named<QPushButton>(window, "historyButton")->setFocus();
        Press(Qt::Key_Space);
        QVERIFY(Named<QFrame>(window, "historyPanel")->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QTreeWidget>(window, "historyList")));
        Press(Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!Named<QFrame>(window, "historyPanel")->isVisible());
        // Enter takes the selected entry (the newest) into the keyword box.
        Named<QPushButton>(window, "historyButton")->setFocus();
        Press(Qt::Key_Space);
        Press(Qt::Key_Up);
        Press(Qt::Key_Return);
        QVERIFY(!Named<QFrame>(window, "historyPanel")->isVisible());
        QCOMPARE(Named<QLineEdit>(window, "keywordEdit")->text(), QStringLiteral("gas"));
        // Esc in the keyword box itself still closes the window.
        Press(Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), 2);
    }

    // ---- Tabular Search window ----

    void navigationKeysInTheKeywordBoxNeverOpenTheSuggestions() {
        TScopedDataFolders folders;
        TfrmKeyWordSearch window;
        ShowActive(window);
        Search(window, QStringLiteral("torus"));
        QVERIFY(Named<QTreeWidget>(window, "codeTree")->topLevelItemCount() > 0);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "keywordEdit")));
        for (Qt::Key key : {Qt::Key_F2, Qt::Key_F1, Qt::Key_F9, Qt::Key_F3, Qt::Key_F4, Qt::Key_F8}) {
            Press(key);
            QVERIFY2(!Named<QFrame>(window, "suggestionPanel")->isVisible(), qPrintable(QKeySequence(key).toString()));
        }
        Press(Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(!Named<QFrame>(window, "suggestionPanel")->isVisible());
    }

    // A key that reaches a control without a shortcut firing (no window active, as under the
    // offscreen platform after a nested modal window closed) runs the same action there; a key of
    // the text view alone does nothing in the keyword box.
    void tabularKeysReachingAControlRunTheirActions() {
        TScopedDataFolders folders;
        TRecordingMessages messages;
        TfrmKeyWordSearch window;
        window.FInitObject = Category("S52");
        window.FInitType = TTabularOpening::Code;
        ShowActive(window);
        const int last = window.Pager().FPageNumber;
        QVERIFY(last > 2);
        auto send = [&](const char* control, Qt::Key key) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(Named<QWidget>(window, control), &press);
        };
        const struct {
            const char* Control;
            Qt::Key Key;
            int Page;
        } steps[] = {{"codeText", Qt::Key_PageDown, 2},
                     {"codeTree", Qt::Key_F2, last},
                     {"keywordEdit", Qt::Key_PageUp, last - 1},
                     {"codeEdit", Qt::Key_F1, 1},
                     {"keywordEdit", Qt::Key_F5, 1}};
        for (const auto& step : steps) {
            send(step.Control, step.Key);
            QCOMPARE(window.Pager().FCurPageIndex, step.Page);
        }
        QVERIFY(messages.Messages().empty());
        send("keywordEdit", Qt::Key_Escape);
        QCOMPARE(window.result(), 2);
    }

    void f7SelectsTheKeywordsSoTypingReplacesThem() {
        TScopedDataFolders folders;
        TfrmKeyWordSearch window;
        ShowActive(window);
        Search(window, QStringLiteral("asthma"));
        Named<QTextEdit>(window, "codeText")->setFocus();
        Press(Qt::Key_F7);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "keywordEdit")));
        Type(QStringLiteral("chf"));
        QCOMPARE(Named<QLineEdit>(window, "keywordEdit")->text(), QStringLiteral("chf"));
    }

    void hitKeysGoToThePagesWithHighlightedKeywords() {
        TScopedDataFolders folders;
        TfrmKeyWordSearch window;
        ShowActive(window);
        Search(window, QStringLiteral("Torus Fracture,Radius"));
        QCOMPARE(ShownCategory(window), QStringLiteral("S52"));
        const std::vector<int> hits = window.Pager().KeywordHitPages();
        QVERIFY(!hits.empty());
        QVERIFY(hits.front() > 1);
        QCOMPARE(window.Pager().FCurPageIndex, 1);
        QVERIFY2(Named<QLabel>(window, "hitPagesLabel")->text().contains(QString::number(hits.front())),
                 qPrintable(Named<QLabel>(window, "hitPagesLabel")->text()));
        // From the keyword box and from the text view alike.
        Press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(window.Pager().FCurPageIndex, hits.front());
        QVERIFY(!RunsInColour(Named<QTextEdit>(window, "codeText"), Fuchsia).isEmpty());
        Named<QTextEdit>(window, "codeText")->setFocus();
        Press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(window.Pager().FCurPageIndex, hits.size() > 1 ? hits[1] : hits.front());
        Press(Qt::Key_F2);
        const int last = window.Pager().FPageNumber;
        Press(Qt::Key_PageUp, Qt::ControlModifier);
        int priorHit = last;
        for (int page : hits)
            if (page < last) priorHit = page;
        QCOMPARE(window.Pager().FCurPageIndex, priorHit);
        QVERIFY(Named<QPushButton>(window, "nextPageButton")->toolTip().contains(QStringLiteral("Ctrl+PgDn")));
        QVERIFY(Named<QPushButton>(window, "priorPageButton")->toolTip().contains(QStringLiteral("Ctrl+PgUp")));
    }

    void seventhCharacterRefusalNamesTheCharacterAndTheAllowedOnes() {
        TScopedDataFolders folders;
        TRecordingMessages messages;
        TfrmKeyWordSearch window;
        window.FInitType = TTabularOpening::CodeSearch;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "codeEdit")));
        messages.QueueAnswer(true);
        Type(QStringLiteral("S061X7D"));
        Press(Qt::Key_Return);
        QCOMPARE(messages.Questions().size(), std::size_t(1));
        const std::string question = messages.Questions().front();
        QVERIFY2(question.starts_with(std::string(MsgSeventhCharCaption) + ": S06.1X7D: the seventh character D is not "
                                                                           "allowed for S06.1X7"),
                 question.c_str());
        QVERIFY2(question.find("\n    A  initial encounter") != std::string::npos, question.c_str());
        QVERIFY(question.find("view the code text of S06?") != std::string::npos);
        QCOMPARE(ShownCategory(window), QStringLiteral("S06"));
        QCOMPARE(window.Pager().FCurPageIndex, 1);
    }

    void copyWithoutACodeSaysSo() {
        TScopedDataFolders folders;
        TRecordingMessages messages;
        TfrmKeyWordSearch window;
        window.FInitObject = Category("A01");
        window.FInitType = TTabularOpening::Code;
        ShowActive(window);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        Named<QTextEdit>(window, "codeText")->setFocus();
        Press(Qt::Key_F11);
        QCOMPARE(messages.Messages(), std::vector<std::string>{MsgNoCodeToCopy});
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    }

    void goToACodeSelectsItsCategoryInTheList() {
        TScopedDataFolders folders;
        TfrmKeyWordSearch window;
        ShowActive(window);
        Search(window, QStringLiteral("torus"));
        QVERIFY(Named<QTreeWidget>(window, "codeTree")->topLevelItemCount() > 1);
        QTreeWidgetItem* other = Named<QTreeWidget>(window, "codeTree")->topLevelItem(1);
        const QString category = other->text(0).trimmed();
        Named<QLineEdit>(window, "codeEdit")->setFocus();
        Type(category + QStringLiteral("0"));
        Press(Qt::Key_Return);
        QCOMPARE(ShownCategory(window), category);
        QCOMPARE(Named<QTreeWidget>(window, "codeTree")->currentItem(), other);
        // A category the list does not hold leaves the list as it is.
        Named<QLineEdit>(window, "codeEdit")->setFocus();
        Type(QStringLiteral("A000"));
        Press(Qt::Key_Return);
        QCOMPARE(ShownCategory(window), QStringLiteral("A00"));
        QCOMPARE(Named<QTreeWidget>(window, "codeTree")->currentItem(), other);
        QVERIFY(Named<QTreeWidget>(window, "codeTree")->topLevelItemCount() > 1);
    }

    // ---- Index and table windows ----

    void indexAndTableFilterBoxesTakeTheButtonsKeys() {
        {
            TfrmAlphaSearch window;
            window.FType = TDataSet::DiseaseIndex;
            ShowActive(window);
            Type(QStringLiteral("a"));
            QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "filterEdit")));
            const QString page = Named<QLabel>(window, "pageLabel")->text();
            Press(Qt::Key_PageDown);
            QVERIFY2(Named<QLabel>(window, "pageLabel")->text() != page, qPrintable(page));
            Press(Qt::Key_PageUp);
            QCOMPARE(Named<QLabel>(window, "pageLabel")->text(), page);
            Type(QStringLiteral("b"));
            QCOMPARE(Named<QLineEdit>(window, "filterEdit")->text(), QStringLiteral("Ab"));
            Press(Qt::Key_Escape);
            QVERIFY(!window.isVisible());
            QCOMPARE(window.result(), 2);
        }
        TfrmDrugNeopSearch window;
        window.FType = TDataSet::DrugTable;
        ShowActive(window);
        Type(QStringLiteral("a"));
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "filterEdit")));
        const QString page = Named<QLabel>(window, "pageLabel")->text();
        Press(Qt::Key_PageDown);
        QVERIFY2(Named<QLabel>(window, "pageLabel")->text() != page, qPrintable(page));
        Press(Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), 2);
    }

    void tableEnterOnACodeCellOpensTheCode() {
        // A term with sub-terms and a code in its first code cell.
        const TTerm* parent = nullptr;
        for (const auto& letter : LoadedData().Index.DrugTable) {
            for (const auto& term : letter->FMainTermList)
                if (!term->FSubTermList.empty() && TableCellInitCode(1, 2, term->Cell(2)) &&
                    term->FTitle.find_first_of("()[],") == std::string::npos && term->FTitle.size() > 3 &&
                    letter->FLetter.size() == 1 && term->FTitle[0] == letter->FLetter[0]) {
                    parent = term.get();
                    break;
                }
            if (parent != nullptr) break;
        }
        QVERIFY(parent != nullptr);
        TfrmDrugNeopSearch window;
        window.FType = TDataSet::DrugTable;
        ShowActive(window);
        Type(QString::fromStdString(parent->FTitle).toLower());
        QCOMPARE(window.FItemList.front(), parent);
        Press(Qt::Key_Down);
        Press(Qt::Key_Right);
        Press(Qt::Key_Right);
        QCOMPARE(window.findChild<QTableView*>(QStringLiteral("termGrid"))->currentIndex().column(), 2);
        QObject guard;
        CloseStrayModalsAfter(&guard);
        QString opened;
        WhenWindowShown<TfrmKeyWordSearch>([&](TfrmKeyWordSearch* search) {
            opened = ShownCategory(*search);
            search->done(2);
        });
        Press(Qt::Key_Return);
        QCOMPARE(opened, QString::fromStdString(*TableCellInitCode(1, 2, parent->Cell(2))).left(3));
    }

    // ---- Chapter browser ----

    void chapterBrowserEnterOpensTheCurrentNode() {
        TfrmChapterSearch window;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QTreeWidget>(window, "chapterTree")));
        Press(Qt::Key_Down);
        QVERIFY(Named<QTreeWidget>(window, "chapterTree")->currentItem() != nullptr);
        QObject guard;
        CloseStrayModalsAfter(&guard);
        QString title;
        WhenWindowShown<TfrmKeyWordSearch>([&](TfrmKeyWordSearch* search) {
            title = Named<QLabel>(*search, "titleLabel")->text();
            search->done(2);
        });
        Press(Qt::Key_Return);
        QCOMPARE(title, QStringLiteral("Chapter Information"));
        QVERIFY(window.isVisible());
    }

    // ---- Favourite codes window ----

    void favoriteCodesCopyRemoveUndoAndCompleteFromTheKeyboard() {
        TScopedDataFolders folders;
        QTemporaryDir shared;
        TFavoriteKW favorite("ann", shared.filePath(QStringLiteral("YW5u.fvxml")).toStdString());
        favorite.FFavoriteCodes = {LegacyPasswordLine("pw"), "A00.1", "S52.521A"};
        QVERIFY(favorite.SaveKWs());
        UserData().Unlocked = &favorite;
        {
            TfrmKeyWordSearch window;
            window.FInitType = TTabularOpening::FavoriteCodes;
            ShowActive(window);
            QCOMPARE(Focused(), static_cast<QWidget*>(Named<QTreeWidget>(window, "codeTree")));
            Press(Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("A00.1"));
            Press(Qt::Key_F11);
            QCOMPARE(QApplication::clipboard()->text(),
                     QStringLiteral("A00.1  Cholera due to Vibrio cholerae 01, biovar eltor"));
            Press(Qt::Key_Delete);
            QCOMPARE(favorite.Codes(), std::vector<std::string>{"S52.521A"});
            Press(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(favorite.Codes(), (std::vector<std::string>{"A00.1", "S52.521A"}));
            QCOMPARE(Named<QTreeWidget>(window, "codeTree")->currentItem()->text(0).trimmed(), QStringLiteral("A00.1"));
            TFavoriteKW reader("ann", favorite.FFileName);
            QCOMPARE(reader.Open("pw"), TFavoriteOpen::Opened);
            QCOMPARE(reader.Codes(), favorite.Codes());
        }
        {
            // Ctrl+D on a code that needs more characters offers its completions.
            TfrmKeyWordSearch window;
            window.FInitType = TTabularOpening::CodeSearch;
            ShowActive(window);
            Type(QStringLiteral("S5252"));
            Press(Qt::Key_Return);
            QStringList offered;
            const TModalRunner old = SetModalRunner([&](QDialog& dialog) {
                auto* select = qobject_cast<TfrmSelectCode*>(&dialog);
                if (select == nullptr) return int(QDialog::Rejected);
                for (const std::string& code : select->FCodeList) offered << QString::fromStdString(code);
                Named<QTreeWidget>(*select, "codeList")
                    ->setCurrentItem(Named<QTreeWidget>(*select, "codeList")->topLevelItem(0));
                select->CopySelected(TCopyKind::Code);
                return int(QDialog::Accepted);
            });
            Named<QTextEdit>(window, "codeText")->setFocus();
            Press(Qt::Key_D, Qt::ControlModifier);
            SetModalRunner(old);
            QVERIFY(offered.size() > 1);
            for (const QString& code : offered) QVERIFY2(code.startsWith(QStringLiteral("S52.52")), qPrintable(code));
            QCOMPARE(favorite.Codes().back(), offered.front().toStdString());
        }
        {
            // An empty list says how codes are added.
            favorite.FFavoriteCodes.resize(1);
            TfrmKeyWordSearch window;
            window.FInitType = TTabularOpening::FavoriteCodes;
            ShowActive(window);
            QVERIFY2(Named<QTextEdit>(window, "codeText")->placeholderText().contains(QStringLiteral("Ctrl+D")),
                     qPrintable(Named<QTextEdit>(window, "codeText")->placeholderText()));
        }
        UserData().Unlocked = nullptr;
    }

    void creatingAFavoriteUserShowsTheBusyCursorAtOnce() {
        QTemporaryDir shared;
        const std::string oldShared = UserData().Folders.SharedData;
        UserData().Folders.SharedData = shared.path().toStdString() + "/";
        TfrmFavoriteNewUser dialog;
        ShowActive(dialog);
        Named<QLineEdit>(dialog, "userNameEdit")->setFocus();
        Type(QStringLiteral("bob"));
        Named<QLineEdit>(dialog, "passwordEdit")->setFocus();
        Type(QStringLiteral("pw"));
        Named<QLineEdit>(dialog, "passwordAgainEdit")->setFocus();
        Type(QStringLiteral("pw"));
        // The first event handled once the work has begun sees the busy cursor.
        Qt::CursorShape seen = Qt::BlankCursor;
        QTimer::singleShot(0, &dialog, [&] {
            const QCursor* cursor = QApplication::overrideCursor();
            seen = cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
        });
        Press(Qt::Key_Return);
        QCOMPARE(seen, Qt::WaitCursor);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        UserData().Folders.SharedData = oldShared;
        UserData().Favorites.clear();
    }

    void indexWindowTypingFiltersAndEnterOpensALeafCode() {
        TRecordingMessages messages;
        const TTerm* leaf =
            FirstLeafWithCode(LoadedData().Index.DiseaseIndex, [](const TTerm& term) { return term.FCode; });
        QVERIFY(leaf != nullptr);
        TfrmAlphaSearch window;
        window.FType = TDataSet::DiseaseIndex;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.findChild<QTreeView*>(QStringLiteral("termList"))));
        // Typed on the list, the title lands in the filter box (first letter a capital).
        Type(QString::fromStdString(leaf->FTitle).toLower());
        QCOMPARE(Named<QLineEdit>(window, "filterEdit")->text().toUpper(),
                 QString::fromStdString(leaf->FTitle).toUpper());
        QCOMPARE(window.FItemList.front(), leaf);
        // Down leaves the filter box for the list's first row.
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLineEdit>(window, "filterEdit")));
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.findChild<QTreeView*>(QStringLiteral("termList"))));
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
        const TTerm* leaf =
            FirstLeafWithCode(LoadedData().Index.DrugTable, [](const TTerm& term) { return term.Cell(2); });
        QVERIFY(leaf != nullptr);
        TfrmDrugNeopSearch window;
        window.FType = TDataSet::DrugTable;
        ShowActive(window);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.findChild<QTableView*>(QStringLiteral("termGrid"))));
        Type(QString::fromStdString(leaf->FTitle).toLower());
        QCOMPARE(window.FItemList.front(), leaf);
        // Down leaves the filter box for the first term row; the arrows reach the code cell.
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), static_cast<QWidget*>(window.findChild<QTableView*>(QStringLiteral("termGrid"))));
        QCOMPARE(window.findChild<QTableView*>(QStringLiteral("termGrid"))->currentIndex().row(), 1);
        Press(Qt::Key_Right);
        Press(Qt::Key_Right);
        QCOMPARE(window.findChild<QTableView*>(QStringLiteral("termGrid"))->currentIndex().column(), 2);
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
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLabel>(main, "diseaseLauncher")));
        QCOMPARE(Named<QLabel>(main, "diseaseLauncher")->palette().color(QPalette::WindowText), Fuchsia);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLabel>(main, "keywordsLauncher")));
        QCOMPARE(Named<QLabel>(main, "diseaseLauncher")->palette().color(QPalette::WindowText), Navy);
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
        Named<QLabel>(main, "keywordsLauncher")->setFocus();
        Press(Qt::Key_Tab);
        QCOMPARE(Focused(), static_cast<QWidget*>(Named<QLabel>(main, "chaptersLauncher")));
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
