// The typical request from the launcher to the end of the program: keyword suggestions, search,
// paged coloured text with highlights, tree navigation, Back and Review, and quitting with F12.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "userdata/SearchHistory.h"

class KeywordSearchJourneyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void typhoidMeningitisFromLauncherToQuit();
};

static QTableWidgetItem* FindCell(QTableWidget* grid, const QString& text) {
    for (int row = 0; row < grid->rowCount(); ++row)
        for (int column = 0; column < grid->columnCount(); ++column)
            if (grid->item(row, column)->text() == text) return grid->item(row, column);
    return nullptr;
}

void KeywordSearchJourneyTest::typhoidMeningitisFromLauncherToQuit() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    UserData().History.FItems.clear();
    TfrmMain main;
    main.show();
    QSignalSpy ended(&main, &TfrmMain::ProgramEnded);

    bool driven = false;
    WhenWindowShown<TfrmKeyWordSearch>([&](TfrmKeyWordSearch* window) {
        driven = true;
        QVERIFY(!main.isVisible());
        QCOMPARE(Named<QLabel>(*window, "titleLabel")->text(), QStringLiteral("Tabular Search"));
        QCOMPARE(Named<QLabel>(*window, "listKindLabel")->text(), QStringLiteral("Search"));

        // Suggestions for the word after the comma come from the categories that carry "Typhoid".
        QTest::keyClicks(Named<QLineEdit>(*window, "keywordEdit"), QStringLiteral("typhoid,men"));
        QVERIFY(Named<QFrame>(*window, "suggestionPanel")->isVisible());
        QTableWidgetItem* meningitis =
            FindCell(Named<QTableWidget>(*window, "suggestionGrid"), QStringLiteral("Meningitis"));
        QVERIFY(meningitis != nullptr);
        QVERIFY(FindCell(Named<QTableWidget>(*window, "suggestionGrid"), QStringLiteral("Menstruation")) == nullptr);
        QTest::mouseClick(Named<QTableWidget>(*window, "suggestionGrid")->viewport(), Qt::LeftButton, {},
                          Named<QTableWidget>(*window, "suggestionGrid")->visualItemRect(meningitis).center());
        QVERIFY(!Named<QFrame>(*window, "suggestionPanel")->isVisible());
        QCOMPARE(Named<QLineEdit>(*window, "keywordEdit")->text(), QStringLiteral("typhoid,Meningitis,"));
        const QString combined = Named<QLabel>(*window, "combinedCountLabel")->text().trimmed();
        QVERIFY(combined.toInt() >= 1);
        // Counts stand under their keywords: the second count starts where "Meningitis" starts.
        QCOMPARE(Named<QLineEdit>(*window, "keywordCountsEdit")
                     ->text()
                     .indexOf(QRegularExpression(QStringLiteral("\\d+ *$"))),
                 8);

        QTest::keyClick(Named<QLineEdit>(*window, "keywordEdit"), Qt::Key_Return);
        const int found = Named<QTreeWidget>(*window, "codeTree")->topLevelItemCount();
        QCOMPARE(QString::number(found), combined);
        QCOMPARE(Named<QLabel>(*window, "codeCountLabel")->text(), combined);
        QCOMPARE(Named<QLabel>(*window, "combinedCountLabel")->text(), combined);
        QCOMPARE(Named<QTreeWidget>(*window, "codeTree")->topLevelItem(0)->text(0), QStringLiteral("A01"));
        auto* shown = std::get_if<TCodeInfo*>(&window->Pager().FCurCode);
        QVERIFY(shown != nullptr);
        QCOMPARE(QString::fromStdString((*shown)->FCode), QStringLiteral("A01"));
        QVERIFY(window->ViewText().startsWith(QStringLiteral("A01 Typhoid and paratyphoid fevers")));
        QCOMPARE(ColourAt(Named<QTextEdit>(*window, "codeText"), 0), QColor(0xFF, 0x00, 0x00));  // header code red
        const QStringList highlighted = RunsInColour(Named<QTextEdit>(*window, "codeText"), QColor(0xFF, 0x00, 0xFF));
        QVERIFY(highlighted.contains(QStringLiteral("Typhoid")));
        QVERIFY(highlighted.filter(QStringLiteral("meningitis"), Qt::CaseInsensitive).size() > 0 ||
                window->Pager().FPageNumber > 1);

        // Paging with the keys of the text view.
        const int pages = window->Pager().FPageNumber;
        QVERIFY(pages >= 2);
        Named<QTextEdit>(*window, "codeText")->setFocus();
        QCOMPARE(window->PageCounterText(), QStringLiteral("1/%1").arg(pages));
        QVERIFY(!Named<QPushButton>(*window, "firstPageButton")->isEnabled());
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_PageDown);
        QCOMPARE(window->PageCounterText(), QStringLiteral("2/%1").arg(pages));
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F2);
        QCOMPARE(window->PageCounterText(), QStringLiteral("%1/%1").arg(pages));
        QVERIFY(!Named<QPushButton>(*window, "nextPageButton")->isEnabled() &&
                Named<QPushButton>(*window, "priorPageButton")->isEnabled());
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F1);
        QCOMPARE(window->PageCounterText(), QStringLiteral("1/%1").arg(pages));
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_PageDown);
        QVERIFY(!Named<QPushButton>(*window, "backButton")->isEnabled());

        // A click on another node shows that category; Back returns to A01 at page 2, Review goes forward.
        QTreeWidgetItem* other = nullptr;
        if (found >= 2) {
            other = Named<QTreeWidget>(*window, "codeTree")->topLevelItem(1);
        } else {
            // Only A01 was found: list the section's categories to have a second node to click.
            window->FillCodeTree((*shown)->FSubChapter);
            other = Named<QTreeWidget>(*window, "codeTree")->topLevelItem(2);
        }
        const QString otherCode = other->text(0).trimmed();
        QTest::mouseClick(Named<QTreeWidget>(*window, "codeTree")->viewport(), Qt::LeftButton, {},
                          Named<QTreeWidget>(*window, "codeTree")->visualItemRect(other).center());
        auto* now = std::get_if<TCodeInfo*>(&window->Pager().FCurCode);
        QVERIFY(now != nullptr);
        QCOMPARE(QString::fromStdString((*now)->FCode), otherCode);
        QCOMPARE(window->Pager().FCurPageIndex, 1);
        QVERIFY(Named<QPushButton>(*window, "backButton")->isEnabled());
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F3);
        QCOMPARE(QString::fromStdString((*std::get_if<TCodeInfo*>(&window->Pager().FCurCode))->FCode),
                 QStringLiteral("A01"));
        QCOMPARE(window->PageCounterText(), QStringLiteral("2/%1").arg(pages));
        QVERIFY(Named<QPushButton>(*window, "reviewButton")->isEnabled());
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F4);
        QCOMPARE(QString::fromStdString((*std::get_if<TCodeInfo*>(&window->Pager().FCurCode))->FCode), otherCode);

        // F12: No keeps the window, Yes ends the program.
        messages.QueueAnswer(false);
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F12);
        QVERIFY(window->isVisible());
        messages.QueueAnswer(true);
        QTest::keyClick(Named<QTextEdit>(*window, "codeText"), Qt::Key_F12);
    });
    main.lbKeyWordsClick();

    QVERIFY(driven);
    QCOMPARE(messages.Questions().size(), std::size_t{2});
    QCOMPARE(messages.Questions().back(), std::string("Exit Program: Do you want to quit this program?"));
    QCOMPARE(ended.count(), 1);
    QVERIFY(!main.isVisible());
    QFile history(folders.File(QStringLiteral("SearchHistory.txt")));
    QVERIFY(history.open(QIODevice::ReadOnly));
    QCOMPARE(history.readAll(), QByteArray("typhoid,Meningitis,\r\n"));
}

QTEST_MAIN(KeywordSearchJourneyTest)
#include "KeywordSearchJourneyTest.moc"
