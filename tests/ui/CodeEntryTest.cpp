// Code entry in the Tabular Search window on the real data: the code box, Go with every branch and
// message, the seventh-character dialog, opening with a code, and the code copies with and without
// the Select Code dialog.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "keywords/KeywordData.h"
#include "model/CodeLookup.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/InfoOf7Code.h"
#include "ui/KeywordSearch.h"
#include "ui/SelectCode.h"

namespace {

QString Clipboard() {
    return QGuiApplication::clipboard()->text();
}

// The code box as its eight places, an empty place as a blank.
QString BoxText(const TfrmKeyWordSearch& window) {
    return Named<QLineEdit>(window, "codeEdit")->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
}

QString Underlined(TfrmKeyWordSearch& window) {
    const TRenderPlan& plan = window.Pager().FLastPlan;
    if (!plan.HasUnderline) return {};
    return QString::fromStdU32String(plan.Text.substr(plan.Underline.Start, plan.Underline.Length));
}

TCodeInfo* Shown(TfrmKeyWordSearch& window) {
    auto* const* code = std::get_if<TCodeInfo*>(&window.Pager().FCurCode);
    return code ? *code : nullptr;
}

void TypeAndGo(TfrmKeyWordSearch& window, const char* text) {
    window.ResetCodeBox();
    QTest::keyClicks(Named<QLineEdit>(window, "codeEdit"), text);
    QTest::keyClick(Named<QLineEdit>(window, "codeEdit"), Qt::Key_Return);
}

bool SelectInView(TfrmKeyWordSearch& window, const QString& text) {
    QTextCursor cursor =
        Named<QTextEdit>(window, "codeText")->document()->find(text, 0, QTextDocument::FindCaseSensitively);
    if (cursor.isNull()) return false;
    Named<QTextEdit>(window, "codeText")->setTextCursor(cursor);
    return true;
}

// Gives ACode a short description distinct from its long one, keeping the rest of the table.
std::string SetShortDesc(const std::string& ACode, const std::string& AText) {
    auto map = std::make_shared<TShortDescMap>();
    if (auto snapshot = LoadedData().Keywords.ShortDescs.Snapshot()) *map = *snapshot;
    (*map)[ACode] = AText;
    LoadedData().Keywords.ShortDescs.Publish(map);
    return AText;
}

// A window opened for code search, shown and laid out.
struct TWindow {
    TWindow(TTabularOpening initType = TTabularOpening::CodeSearch, const QString& initCode = {}) {
        window.FInitType = initType;
        window.FInitCode = initCode;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    ~TWindow() {
        SetModalRunner({});
        SetCtrlKeyProbe({});
    }
    TfrmKeyWordSearch window;
};

}  // namespace

class CodeEntryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }

    void typedCodeIsUpperCasedAndGoUnderlinesIt() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        QCOMPARE(BoxText(window), QStringLiteral("   .    "));
        QTest::keyClicks(Named<QLineEdit>(window, "codeEdit"), "a00.1");
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->text(), QStringLiteral("A00.1"));
        QTest::keyClick(Named<QLineEdit>(window, "codeEdit"), Qt::Key_Return);
        QVERIFY(Shown(window) != nullptr);
        QCOMPARE(Shown(window)->FCode, std::string("A00"));
        QCOMPARE(Underlined(window), QStringLiteral("A00.1"));
        QCOMPARE(window.Pager().FCurPageIndex, 1);
        QCOMPARE(BoxText(window), QStringLiteral("   .    "));
        // Code search mode refills the tree with the category alone, without a leading blank.
        QCOMPARE(Named<QTreeWidget>(window, "codeTree")->topLevelItemCount(), 1);
        QCOMPARE(Named<QTreeWidget>(window, "codeTree")->topLevelItem(0)->text(0), QStringLiteral("A00"));
        QCOMPARE(Named<QLabel>(window, "codeCountLabel")->text(), QStringLiteral("1"));
        QVERIFY(window.FPriorStack.empty());  // nothing was shown before

        for (const char* text : {"A00", "a00."}) {
            const std::size_t before = window.FPriorStack.size();
            TypeAndGo(window, text);
            QCOMPARE(Underlined(window), QStringLiteral("A00"));
            QCOMPARE(window.Pager().FSelectedCode, std::string("A00"));
            QCOMPARE(window.FPriorStack.size(), before + 1);
            QCOMPARE(window.FPriorStack.back().FSelectedCode, before == 0 ? std::string("A00.1") : std::string("A00"));
        }

        // A code deep on a long category is shown on the page that holds it.
        TypeAndGo(window, "s72.92");
        QCOMPARE(Underlined(window), QStringLiteral("S72.92"));
        QVERIFY(window.Pager().FCurPageIndex > 1);

        // Four characters after the dot naming a complete code: no dialog, no question.
        TRecordingMessages messages;
        int dialogs = 0;
        SetModalRunner([&](QDialog&) {
            ++dialogs;
            return int(QDialog::Rejected);
        });
        TypeAndGo(window, "c44.1021");
        QCOMPARE(dialogs, 0);
        QVERIFY(messages.Questions().empty());
        QCOMPARE(Shown(window)->FCode, std::string("C44"));
        QCOMPARE(Underlined(window), QStringLiteral("C44.1021"));
    }

    void firstCharacterMovesToTheStartAndClickPutsCaretAfterTyping() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        Named<QLineEdit>(window, "codeEdit")->setFocus();
        Named<QLineEdit>(window, "codeEdit")->setCursorPosition(5);
        QTest::keyClicks(Named<QLineEdit>(window, "codeEdit"), "b");
        QCOMPARE(BoxText(window), QStringLiteral("B  .    "));
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->selectionStart(), 1);
        QTest::keyClicks(Named<QLineEdit>(window, "codeEdit"), "2");
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->text(), QStringLiteral("B2."));

        QTest::mouseClick(Named<QLineEdit>(window, "codeEdit"), Qt::LeftButton, {},
                          QPoint(Named<QLineEdit>(window, "codeEdit")->width() - 4, 10));
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->selectionStart(), 2);
        QTest::keyClicks(Named<QLineEdit>(window, "codeEdit"), "0");
        QTest::mouseClick(Named<QLineEdit>(window, "codeEdit"), Qt::LeftButton, {}, QPoint(4, 10));
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->selectionStart(), 4);  // the full stop is skipped
        QTest::keyClicks(Named<QLineEdit>(window, "codeEdit"), "1");
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->text(), QStringLiteral("B20.1"));
    }

    void failuresTellTheUserAndResetTheBox() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        TRecordingMessages messages;
        TypeAndGo(window, "a00.1");
        const std::size_t pushed = window.FPriorStack.size();

        TypeAndGo(window, "");
        TypeAndGo(window, "zz9");
        QCOMPARE(messages.Messages(),
                 (std::vector<std::string>{"Please select correct code in the text box!", "Code is not exist!"}));
        QCOMPARE(BoxText(window), QStringLiteral("   .    "));
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->selectionStart(), 0);
        QCOMPARE(Named<QLineEdit>(window, "codeEdit")->selectedText().size(), 1);
        QCOMPARE(Underlined(window), QStringLiteral("A00.1"));  // view unchanged
        QCOMPARE(window.FPriorStack.size(), pushed);

        // Category found, sub-code not: No leaves the view, Yes shows the category at page 1 with
        // nothing underlined.
        messages.QueueAnswer(false);
        QVERIFY(!window.GoToCode(QStringLiteral("Z99.5"), false));
        QCOMPARE(messages.Questions(),
                 (std::vector<std::string>{"Sub-Category not found!: Code found but Sub-Category is not correct, would "
                                           "you like continue to view code text?"}));
        QCOMPARE(Shown(window)->FCode, std::string("A00"));
        QCOMPARE(BoxText(window), QStringLiteral("   .    "));
        messages.QueueAnswer(true);
        QVERIFY(window.GoToCode(QStringLiteral("Z99.5"), false));
        QCOMPARE(Shown(window)->FCode, std::string("Z99"));
        QCOMPARE(window.Pager().FCurPageIndex, 1);
        QVERIFY(!window.Pager().FLastPlan.HasUnderline);
        QCOMPARE(window.FPriorStack.size(), pushed + 1);

        // A seventh character that does not apply (S06.1X7D): its own question, never the
        // seventh-character dialog.
        int dialogs = 0;
        SetModalRunner([&](QDialog&) {
            ++dialogs;
            return int(QDialog::Accepted);
        });
        messages.QueueAnswer(false);
        QVERIFY(!window.GoToCode(QStringLiteral("S06.1X7D"), false));
        QCOMPARE(dialogs, 0);
        QCOMPARE(messages.Questions().size(), std::size_t(3));
    }

    void sevenCharacterCodeGoesThroughItsDialog() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        QString code, belongTo, description;
        int answer = QDialog::Accepted;
        SetModalRunner([&](QDialog& dialog) {
            auto* info = qobject_cast<TfrmInfoOf7Code*>(&dialog);
            if (info == nullptr) return int(QDialog::Rejected);
            code = Named<QLineEdit>(*info, "codeEdit")->text();
            belongTo = Named<QLineEdit>(*info, "belongToEdit")->text();
            description = Named<QPlainTextEdit>(*info, "descriptionView")->toPlainText();
            return answer;
        });
        TypeAndGo(window, "s52.521a");
        QCOMPARE(code, QStringLiteral("S52.521A"));
        QCOMPARE(belongTo, QStringLiteral("S52.521"));
        const TCodeInfo* header = FindNode("S52.521");
        QVERIFY(header != nullptr);
        QCOMPARE(description, QString::fromStdString(header->FDesc + ", initial encounter for closed fracture"));
        QCOMPARE(Shown(window)->FCode, std::string("S52"));
        QCOMPARE(Underlined(window), QStringLiteral("S52.521"));
        QCOMPARE(BoxText(window), QStringLiteral("   .    "));

        // "Close And Search Another": the view stays, the box is reset.
        answer = QDialog::Rejected;
        TypeAndGo(window, "t07.xxxd");
        QCOMPARE(code, QStringLiteral("T07.XXXD"));
        QCOMPARE(belongTo, QStringLiteral("T07"));
        QCOMPARE(Underlined(window), QStringLiteral("S52.521"));
        QCOMPARE(BoxText(window), QStringLiteral("   .    "));

        // The real modal run of the run's one dialog instance.
        SetModalRunner({});
        QTimer::singleShot(0, &window, [] { Named<QPushButton>(frmInfoOf7Code(), "viewCodeButton")->click(); });
        QVERIFY(window.GoToCode(QStringLiteral("T07.XXXA"), false));
        QCOMPARE(Shown(window)->FCode, std::string("T07"));
        QCOMPARE(Underlined(window), QStringLiteral("T07"));
    }

    void openingWithACodeGoesToIt() {
        TWindow w(TTabularOpening::Code, QStringLiteral("A01.01"));
        TfrmKeyWordSearch& window = w.window;
        QCOMPARE(Shown(window)->FCode, std::string("A01"));
        QCOMPARE(Underlined(window), QStringLiteral("A01.01"));
        QCOMPARE(Named<QTreeWidget>(window, "codeTree")->topLevelItem(0)->text(0), QStringLiteral("A01"));
        QCOMPARE(Named<QLabel>(window, "titleLabel")->text(), QStringLiteral("Tabular Section"));
        QVERIFY(window.FInitCode.isEmpty());
    }

    void copyCodeCopiesCompleteCodesAtOnce() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        int dialogs = 0;
        SetModalRunner([&](QDialog&) {
            ++dialogs;
            return int(QDialog::Rejected);
        });
        TypeAndGo(window, "A00");
        QVERIFY(SelectInView(window, QStringLiteral("A00.0")));
        QTest::keyClick(Named<QTextEdit>(window, "codeText"), Qt::Key_F10);
        QCOMPARE(Clipboard(), QStringLiteral("A00.0"));
        QCOMPARE(Named<QLineEdit>(window, "selectedCodeEdit")->text(), QStringLiteral("A00.0"));

        QTest::keyClick(Named<QTextEdit>(window, "codeText"), Qt::Key_F11);
        QCOMPARE(Clipboard(), QStringLiteral("A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae"));

        // One completion only: that completion is the code copied.
        window.ShowAvailableCodes(QStringLiteral("S06.1X7"), false);
        QCOMPARE(Clipboard(), QStringLiteral("S06.1X7A"));
        QCOMPARE(Named<QLineEdit>(window, "selectedCodeEdit")->text(), QStringLiteral("S06.1X7A"));

        // Not a code text: nothing happens.
        window.ShowAvailableCodes(QStringLiteral("Cholera"), true);
        QCOMPARE(Clipboard(), QStringLiteral("S06.1X7A"));
        QCOMPARE(dialogs, 0);

        // A code the edition does not have is refused in the window's words; nothing is copied.
        TRecordingMessages messages;
        window.ShowAvailableCodes(QStringLiteral("S06.1X7D"), true);
        QCOMPARE(Clipboard(), QStringLiteral("S06.1X7A"));
        QCOMPARE(messages.Messages(), std::vector<std::string>{"Code is not exist!"});
    }

    void copyCodeWithSeveralCompletionsOpensSelectCode() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        bool ctrl = false;
        SetCtrlKeyProbe([&] { return ctrl; });
        QStringList listed;
        QString totals;
        QString header;
        const char* button = "copyCodeButton";
        SetModalRunner([&](QDialog& dialog) {
            auto* select = qobject_cast<TfrmSelectCode*>(&dialog);
            if (select == nullptr) return int(QDialog::Rejected);
            select->show();
            header = Named<QLineEdit>(*select, "codeHeaderEdit")->text();
            listed.clear();
            for (int i = 0; i < Named<QTreeWidget>(*select, "codeList")->topLevelItemCount(); ++i)
                listed << Named<QTreeWidget>(*select, "codeList")->topLevelItem(i)->text(0);
            totals = Named<QLabel>(*select, "totalsLabel")->text();
            Named<QTreeWidget>(*select, "codeList")
                ->setCurrentItem(Named<QTreeWidget>(*select, "codeList")->topLevelItem(1));
            Named<QPushButton>(*select, button)->click();
            if (select->isVisible()) Named<QPushButton>(*select, "closeButton")->click();
            return select->result();
        });
        TypeAndGo(window, "A00.1");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QVERIFY(SelectInView(window, QStringLiteral("A00")));
        QTest::keyClick(Named<QTextEdit>(window, "codeText"), Qt::Key_F10);
        QCOMPARE(header, QStringLiteral("A00."));
        QCOMPARE(listed, (QStringList{"A00.0", "A00.1", "A00.9"}));
        QVERIFY(totals.startsWith(QStringLiteral("Total: 3    (4 chars code: 3    ")));
        // Copied without Ctrl, then closed: the copy stands but "Selected:" is left alone.
        QCOMPARE(Clipboard(), QStringLiteral("A00.1"));
        QCOMPARE(Named<QLineEdit>(window, "selectedCodeEdit")->text(), QString());

        // With Ctrl the copy closes the dialog with OK and the window shows the code.
        ctrl = true;
        button = "copyCodeAndLongButton";
        window.ShowAvailableCodes(QStringLiteral("T07"), true);
        QCOMPARE(listed, (QStringList{"T07.XXXA", "T07.XXXD", "T07.XXXS"}));
        QCOMPARE(Clipboard(), QStringLiteral("T07.XXXD  Unspecified multiple injuries, subsequent encounter"));
        QCOMPARE(Named<QLineEdit>(window, "selectedCodeEdit")->text(), QStringLiteral("T07.XXXD"));

        window.ShowAvailableCodes(QStringLiteral("E08.37"), false);
        QCOMPARE(listed, (QStringList{"E08.37X1", "E08.37X2", "E08.37X3", "E08.37X9"}));
        QCOMPARE(Named<QLineEdit>(window, "selectedCodeEdit")->text(), QStringLiteral("E08.37X2"));
    }

    void ctrlF11CopiesTheShortDescriptionAndTheMenuItemWithoutCtrlTheLong() {
        TWindow w;
        TfrmKeyWordSearch& window = w.window;
        const std::string shortDesc = SetShortDesc("A00.0", "Cholera d/t Vibrio cholerae 01, biovar cholerae");
        TypeAndGo(window, "A00");
        QVERIFY(SelectInView(window, QStringLiteral("A00.0")));
        // Ctrl as the keyboard reports it at that moment.
        QTest::keyClick(Named<QTextEdit>(window, "codeText"), Qt::Key_F11, Qt::ControlModifier);
        QCOMPARE(Clipboard(), QStringLiteral("A00.0  ") + QString::fromStdString(shortDesc));
        // Ctrl let go, the menu item named for the short description copies the long one.
        QTest::keyRelease(Named<QTextEdit>(window, "codeText"), Qt::Key_Control, Qt::NoModifier);
        Named<QAction>(window, "copyCodeShortDescAction")->trigger();
        QCOMPARE(Clipboard(), QStringLiteral("A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae"));
    }
};

QTEST_MAIN(CodeEntryTest)
#include "CodeEntryTest.moc"
#include "startup/LoadedData.h"
