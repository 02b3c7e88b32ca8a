// The Select Code dialog and the seventh-character dialog on the real data: lists, filter, totals,
// every copy button, Ctrl closing, double-click, Close, and the dialogs' modal runs.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "keywords/KeywordData.h"
#include "model/CodeLookup.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/InfoOf7Code.h"
#include "ui/Main.h"
#include "ui/SelectCode.h"
#include "ui/WindowPlacement.h"

namespace {

QString Clipboard() {
    return QGuiApplication::clipboard()->text();
}

QStringList ListedCodes(const TfrmSelectCode& dialog) {
    QStringList codes;
    for (int i = 0; i < Named<QTreeWidget>(dialog, "codeList")->topLevelItemCount(); ++i)
        codes << Named<QTreeWidget>(dialog, "codeList")->topLevelItem(i)->text(0);
    return codes;
}

// Gives ACode a short description distinct from its long one, keeping the rest of the table.
std::string SetShortDesc(const std::string& ACode, const std::string& AText) {
    auto map = std::make_shared<TShortDescMap>();
    if (auto snapshot = LoadedData().Keywords.ShortDescs.Snapshot()) *map = *snapshot;
    (*map)[ACode] = AText;
    LoadedData().Keywords.ShortDescs.Publish(map);
    return AText;
}

void SelectRow(TfrmSelectCode& dialog, const QString& code) {
    const QList<QTreeWidgetItem*> found = Named<QTreeWidget>(dialog, "codeList")->findItems(code, Qt::MatchExactly, 0);
    QVERIFY2(found.size() == 1, qPrintable(code));
    Named<QTreeWidget>(dialog, "codeList")->setCurrentItem(found.front());
}

// Restores the Ctrl probe and the modal runner when a test ends.
struct TSeams {
    TSeams() = default;
    ~TSeams() {
        SetCtrlKeyProbe({});
        SetModalRunner({});
    }
    bool FCtrl = false;
    void Install() {
        SetCtrlKeyProbe([this] { return FCtrl; });
    }
};

}  // namespace

class SelectCodeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }

    void listsEveryCompletionOnceWithTotals() {
        TfrmSelectCode dialog;
        dialog.SetCodeHeader("A00");
        QCOMPARE(Named<QLineEdit>(dialog, "codeHeaderEdit")->text(), QStringLiteral("A00."));
        QCOMPARE(dialog.GetAllAvailableCodes(), 3);
        // Filled once: a second call changes nothing.
        QCOMPARE(dialog.GetAllAvailableCodes(), 0);
        QCOMPARE(dialog.FCodeList.size(), 3u);
        dialog.show();
        QCOMPARE(ListedCodes(dialog), (QStringList{"A00.0", "A00.1", "A00.9"}));
        QCOMPARE(
            Named<QLabel>(dialog, "totalsLabel")->text(),
            QStringLiteral("Total: 3    (4 chars code: 3    5 chars code: 0    6 chars code: 0    7 chars code: 0)"));
        QTreeWidgetItem* first = Named<QTreeWidget>(dialog, "codeList")->topLevelItem(0);
        QCOMPARE(first->text(1), QStringLiteral("Cholera due to Vibrio cholerae 01, biovar cholerae"));
        QCOMPARE(first->foreground(0).color(), QColor(0, 128, 0));
        QCOMPARE(first->foreground(1).color(), QColor(Qt::black));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Please Select Reportable Code "));
        QCOMPARE(dialog.size(), QSize(1062, 457));

        TfrmSelectCode none;
        none.SetCodeHeader("Z99.5");
        QCOMPARE(none.GetAllAvailableCodes(), 0);
    }

    void completesSeventhCharactersWithPlaceholders() {
        struct TCase {
            const char* header;
            QStringList first;
            int count;
        };
        const TCase cases[] = {
            {"S52.521", {"S52.521A", "S52.521D"}, 6},
            {"S52.531", {"S52.531A", "S52.531B", "S52.531C"}, 16},
            {"S06.1X7", {"S06.1X7A"}, 1},
            {"T07", {"T07.XXXA", "T07.XXXD", "T07.XXXS"}, 3},
            {"E08.37", {"E08.37X1", "E08.37X2", "E08.37X3", "E08.37X9"}, 4},
        };
        for (const TCase& c : cases) {
            TfrmSelectCode dialog;
            dialog.SetCodeHeader(c.header);
            QCOMPARE(dialog.GetAllAvailableCodes(), c.count);
            dialog.FillCodeList();
            const QStringList listed = ListedCodes(dialog);
            QCOMPARE(listed.mid(0, c.first.size()), c.first);
        }
        // Each seventh-character code is described as its header's title and the character's meaning.
        TfrmSelectCode dialog;
        dialog.SetCodeHeader("S52.531");
        dialog.GetAllAvailableCodes();
        dialog.FillCodeList();
        const TCodeInfo* header = FindNode("S52.531");
        QVERIFY(header != nullptr);
        QCOMPARE(Named<QTreeWidget>(dialog, "codeList")->topLevelItem(15)->text(0), QStringLiteral("S52.531S"));
        QCOMPARE(Named<QTreeWidget>(dialog, "codeList")->topLevelItem(15)->text(1),
                 QString::fromStdString(header->FDesc + ", sequela"));
    }

    void filterIsUpperCasedAndRefillsTheList() {
        TfrmSelectCode dialog;
        dialog.SetCodeHeader("S72.");
        const int all = dialog.GetAllAvailableCodes();
        dialog.show();
        QCOMPARE(Named<QTreeWidget>(dialog, "codeList")->topLevelItemCount(), all);
        QTest::keyClicks(Named<QLineEdit>(dialog, "filterEdit"), "1");
        const QStringList ones = ListedCodes(dialog);
        QVERIFY(!ones.isEmpty());
        QVERIFY(ones.size() < all);
        for (const QString& code : ones) QVERIFY2(code.startsWith(QStringLiteral("S72.1")), qPrintable(code));
        QVERIFY(
            Named<QLabel>(dialog, "totalsLabel")->text().startsWith(QStringLiteral("Total: %1    ").arg(ones.size())));

        QTest::keyClicks(Named<QLineEdit>(dialog, "filterEdit"), "11a");
        QCOMPARE(Named<QLineEdit>(dialog, "filterEdit")->text(), QStringLiteral("111A"));
        QCOMPARE(ListedCodes(dialog), (QStringList{"S72.111A"}));
        QCOMPARE(
            Named<QLabel>(dialog, "totalsLabel")->text(),
            QStringLiteral("Total: 1    (4 chars code: 0    5 chars code: 0    6 chars code: 0    7 chars code: 1)"));

        Named<QLineEdit>(dialog, "filterEdit")->clear();
        QCOMPARE(Named<QTreeWidget>(dialog, "codeList")->topLevelItemCount(), all);
    }

    void copyButtonsPutTheTextsOnTheClipboard() {
        TSeams seams;
        seams.Install();
        TRecordingMessages messages;
        const std::string shortDesc = SetShortDesc("A00.1", "Cholera d/t Vibrio cholerae 01, biovar eltor");
        const QString longDesc = QStringLiteral("Cholera due to Vibrio cholerae 01, biovar eltor");
        TfrmSelectCode dialog;
        dialog.SetCodeHeader("A00");
        dialog.GetAllAvailableCodes();
        dialog.show();

        // Nothing selected: every copy button only says so.
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        for (QPushButton* button :
             {Named<QPushButton>(dialog, "copyCodeButton"), Named<QPushButton>(dialog, "copyLongButton"),
              Named<QPushButton>(dialog, "copyCodeAndLongButton"), Named<QPushButton>(dialog, "copyShortButton"),
              Named<QPushButton>(dialog, "copyCodeAndShortButton")})
            QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 5u);
        QCOMPARE(messages.Messages().front(), std::string("Please select code first!"));
        QCOMPARE(Clipboard(), QStringLiteral("untouched"));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.FSelectedCode.empty());

        SelectRow(dialog, QStringLiteral("A00.1"));
        QCOMPARE(Named<QLineEdit>(dialog, "selectedCodeEdit")->text(),
                 QStringLiteral("A00.1  ") + QString::fromStdString(shortDesc));
        const QString shortText = QString::fromStdString(shortDesc);
        const std::pair<QPushButton*, QString> expected[] = {
            {Named<QPushButton>(dialog, "copyCodeButton"), QStringLiteral("A00.1")},
            {Named<QPushButton>(dialog, "copyLongButton"), longDesc},
            {Named<QPushButton>(dialog, "copyCodeAndLongButton"), QStringLiteral("A00.1  ") + longDesc},
            {Named<QPushButton>(dialog, "copyShortButton"), shortText},
            {Named<QPushButton>(dialog, "copyCodeAndShortButton"), QStringLiteral("A00.1  ") + shortText},
        };
        for (const auto& [button, text] : expected) {
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(Clipboard(), text);
            QVERIFY(dialog.isVisible());  // without Ctrl the dialog stays for further copies
        }
        QCOMPARE(dialog.FSelectedCode, std::string("A00.1"));

        // A code the short table does not know falls back to its long description.
        SelectRow(dialog, QStringLiteral("A00.9"));
        QTest::mouseClick(Named<QPushButton>(dialog, "copyShortButton"), Qt::LeftButton);
        QCOMPARE(Clipboard(), QStringLiteral("Cholera, unspecified"));

        seams.FCtrl = true;
        SelectRow(dialog, QStringLiteral("A00.0"));
        QTest::mouseClick(Named<QPushButton>(dialog, "copyCodeButton"), Qt::LeftButton);
        QCOMPARE(Clipboard(), QStringLiteral("A00.0"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.FSelectedCode, std::string("A00.0"));
        QCOMPARE(messages.Messages().size(), 5u);
    }

    void doubleClickCopiesCodeAndLongDescriptionAndCloseCancels() {
        TfrmSelectCode dialog;
        dialog.SetCodeHeader("T07");
        dialog.GetAllAvailableCodes();
        dialog.show();
        QTreeWidgetItem* row = Named<QTreeWidget>(dialog, "codeList")->topLevelItem(1);
        QCOMPARE(row->text(0), QStringLiteral("T07.XXXD"));
        const QRect rect = Named<QTreeWidget>(dialog, "codeList")->visualItemRect(row);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // An item view takes a double-click only on the row its press selected.
        QTest::mouseClick(Named<QTreeWidget>(dialog, "codeList")->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(Named<QTreeWidget>(dialog, "codeList")->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(Clipboard(), QStringLiteral("T07.XXXD  Unspecified multiple injuries, subsequent encounter"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.FSelectedCode, std::string("T07.XXXD"));

        TfrmSelectCode closing;
        closing.SetCodeHeader("T07");
        closing.GetAllAvailableCodes();
        QTimer::singleShot(0, &closing, [&closing] { Named<QPushButton>(closing, "closeButton")->click(); });
        QCOMPARE(closing.exec(), int(QDialog::Rejected));
        QVERIFY(closing.FSelectedCode.empty());
    }

    void everyDescriptionIsShownWholeInItsRow() {
        // Seventh characters of S72.001 differ only in their last words ("... with routine healing").
        const struct {
            const char* filter;
            QSize size;
        } cases[] = {{"", QSize(1062, 457)}, {"D", QSize(1062, 457)}, {"", QSize(640, 457)}};
        for (const auto& c : cases) {
            TfrmSelectCode dialog;
            dialog.SetCodeHeader("S72.001");
            dialog.GetAllAvailableCodes();
            dialog.resize(c.size);
            dialog.show();
            QTest::keyClicks(Named<QLineEdit>(dialog, "filterEdit"), c.filter);
            QTreeWidget* list = Named<QTreeWidget>(dialog, "codeList");
            QVERIFY(list->topLevelItemCount() > 0);
            const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QRect cell = list->visualRect(list->model()->index(row, 1));
                const QString text = list->topLevelItem(row)->text(1);
                const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, cell.width() - 2 * margin, 10000),
                                                                      Qt::TextWordWrap, text);
                QVERIFY2(
                    needed.height() <= cell.height() && needed.width() <= cell.width() - 2 * margin,
                    qPrintable(
                        QStringLiteral("%1: %2 px high, needs %3").arg(text).arg(cell.height()).arg(needed.height())));
            }
        }
    }

    void dialogIsCentredOnTheLauncherWindowNotOnItsOpener() {
        TScopedDataFolders folders;
        InstallWindowPlacement(*qApp);  // as the program does at start
        TfrmMain launcher;              // hidden, as while a search window runs
        launcher.move(40, 30);
        QWidget opener;
        opener.setGeometry(700, 500, 300, 200);
        opener.show();
        TfrmSelectCode dialog(&opener);
        dialog.SetCodeHeader("A00");
        dialog.GetAllAvailableCodes();
        dialog.show();
        // A few pixels of window frame and rounding aside, the two centres coincide.
        // Centred on the launcher as far as the screen allows.
        const QRect expected = FitFrame(dialog.frameGeometry().size(), launcher.frameGeometry().center(),
                                        dialog.screen()->availableGeometry());
        const QPoint offset = dialog.frameGeometry().center() - expected.center();
        QVERIFY2(offset.manhattanLength() <= 6, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    void seventhCharacterDialogIsOneInstanceAndAnswersWithItsButtons() {
        TfrmInfoOf7Code& info = frmInfoOf7Code();
        QCOMPARE(&frmInfoOf7Code(), &info);
        QCOMPARE(info.windowTitle(), QStringLiteral("7 Characters Code Information"));
        QCOMPARE(info.size(), QSize(560, 213));
        info.SetCodeInfo(QStringLiteral("T07.XXXA"), QStringLiteral("T07"),
                         QStringLiteral("Unspecified multiple injuries, initial encounter"));
        QVERIFY(Named<QLineEdit>(info, "codeEdit")->isReadOnly() &&
                Named<QLineEdit>(info, "belongToEdit")->isReadOnly() &&
                Named<QPlainTextEdit>(info, "descriptionView")->isReadOnly());
        QCOMPARE(Named<QPlainTextEdit>(info, "descriptionView")->toPlainText(),
                 QStringLiteral("Unspecified multiple injuries, initial encounter"));

        QTimer::singleShot(0, &info, [&info] { Named<QPushButton>(info, "viewCodeButton")->click(); });
        QCOMPARE(RunModalDialog(info), int(QDialog::Accepted));
        QTimer::singleShot(0, &info, [&info] { Named<QPushButton>(info, "searchAnotherButton")->click(); });
        QCOMPARE(RunModalDialog(info), int(QDialog::Rejected));
        // The system menu's close counts as "Close And Search Another".
        QTimer::singleShot(0, &info, [&info] { info.close(); });
        QCOMPARE(RunModalDialog(info), int(QDialog::Rejected));
    }
};

QTEST_MAIN(SelectCodeTest)
#include "SelectCodeTest.moc"
#include "startup/LoadedData.h"
