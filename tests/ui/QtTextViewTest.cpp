// The Qt code text view: renderer positions are characters, Qt's are UTF-16 units; colours and
// underline land exactly where the render plan puts them, on the real A00 example too.
#include <QTest>
#include <QTextEdit>

#include "model/CodeLookup.h"
#include "model/TabularData.h"
#include "render/CodeTextPager.h"
#include "services/DataSets.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QtTextView.h"

class QtTextViewTest : public QObject {
    Q_OBJECT
private slots:
    void positionsCountCharactersNotUtf16Units();
    void paintingSuspendedDuringARender();
    void workedExampleColoursAndUnderline();
};

void QtTextViewTest::positionsCountCharactersNotUtf16Units() {
    QTextEdit edit;
    TQtTextView view(&edit);
    // "é", a character outside the basic plane (two UTF-16 units), then "ab".
    view.SetText(U"\u00E9\U0001D4B3ab\n");
    QCOMPARE(view.QtPosition(2), 3);
    QCOMPARE(view.QtPosition(4), 5);
    view.SetColour(0, 5, 0x404040);
    view.SetColour(2, 2, 0xFF0000);
    view.AddUnderline(3, 1);
    QCOMPARE(ColourAt(&edit, 3), QColor(0xFF, 0, 0));  // "a"
    QCOMPARE(ColourAt(&edit, 4), QColor(0xFF, 0, 0));  // "b"
    QCOMPARE(ColourAt(&edit, 0), QColor(0x40, 0x40, 0x40));
    QVERIFY(!UnderlinedAt(&edit, 3));
    QVERIFY(UnderlinedAt(&edit, 4));
    QCOMPARE(ColourAt(&edit, 4), QColor(0xFF, 0, 0));  // underline keeps the colour
    view.SetSelection(2, 2);
    QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("ab"));
    // Ranges beyond the text are clamped, not an error.
    view.SetColour(3, 100, 0x00FF00);
    QCOMPARE(ColourAt(&edit, 4), QColor(0, 0xFF, 0));
}

void QtTextViewTest::paintingSuspendedDuringARender() {
    QTextEdit edit;
    TQtTextView view(&edit);
    view.BeginUpdate();
    view.BeginUpdate();
    QVERIFY(!edit.updatesEnabled());
    view.EndUpdate();
    QVERIFY(!edit.updatesEnabled());
    view.EndUpdate();
    QVERIFY(edit.updatesEnabled());
    view.EndUpdate();  // an unmatched end changes nothing
    QVERIFY(edit.updatesEnabled());
}

void QtTextViewTest::workedExampleColoursAndUnderline() {
    EnsureRealDataLoaded();
    QTextEdit edit;
    TQtTextView view(&edit);
    TCodeTextPager pager(&view, nullptr);
    pager.FWordsPerLine = 40;
    pager.FLinePerPage = 16;
    pager.ShowCodeAt(FindNode(LoadedData().Tabular.Chapters, "A00"), "1");
    const QString text = edit.toPlainText();
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines[0], QStringLiteral("A00 Cholera"));
    auto position = [&](const QString& token) { return static_cast<int>(text.indexOf(token)); };
    QCOMPARE(ColourAt(&edit, position(QStringLiteral("A00 "))), QColor(0xFF, 0, 0));
    QCOMPARE(ColourAt(&edit, position(QStringLiteral("A00.0"))), QColor(0, 0x80, 0));
    QCOMPARE(ColourAt(&edit, position(QStringLiteral("Cholera due"))), QColor(0, 0, 0));
    QCOMPARE(ColourAt(&edit, position(QStringLiteral("Classical"))), QColor(0x40, 0x40, 0x40));
    const int a001 = position(QStringLiteral("A00.1"));
    for (int i = 0; i < 5; ++i) QVERIFY(UnderlinedAt(&edit, a001 + i));
    QVERIFY(!UnderlinedAt(&edit, a001 + 5));
    QVERIFY(!UnderlinedAt(&edit, position(QStringLiteral("A00.0"))));
    QCOMPARE(edit.textCursor().position(), 0);
    QVERIFY(!edit.textCursor().hasSelection());
}

QTEST_MAIN(QtTextViewTest)
#include "QtTextViewTest.moc"
#include "startup/LoadedData.h"
