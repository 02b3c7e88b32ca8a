// A window's key table as actions: the key texts read as sequences, one named action per row, and
// a key of the table triggering its action in the active window.
#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <array>

#include "ui/WindowActions.h"
#include "ui/WindowKeys.h"

class WindowActionsTest : public QObject {
    Q_OBJECT
private slots:
    void keyTextsReadAsSequences_data();
    void keyTextsReadAsSequences();
    void tableRowsBecomeNamedActionsTriggeredByTheirKeys();
    void everyWindowTableHasNamedReadableDistinctKeys();
};

void WindowActionsTest::keyTextsReadAsSequences_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<QKeySequence>>("sequences");
    QTest::newRow("one") << "F7" << QList<QKeySequence>{QKeySequence(Qt::Key_F7)};
    QTest::newRow("two") << "Ctrl+PgDown; Return"
                         << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                                                QKeySequence(Qt::Key_Return)};
    QTest::newRow("none") << "" << QList<QKeySequence>{};
}

void WindowActionsTest::keyTextsReadAsSequences() {
    QFETCH(QString, keys);
    QFETCH(QList<QKeySequence>, sequences);
    const QByteArray text = keys.toUtf8();
    QCOMPARE(KeySequencesOf(TWindowKey{"action", text.constData(), "help"}), sequences);
}

void WindowActionsTest::tableRowsBecomeNamedActionsTriggeredByTheirKeys() {
    static constexpr std::array<TWindowKey, 2> table{
        {{"backAction", "F3", "goes back"}, {"quitAction", "F12; Ctrl+Q", "asks whether to quit"}}};
    QWidget window;
    const QHash<QString, QAction*> actions = AddWindowActions(&window, table);
    QCOMPARE(actions.size(), 2);
    QCOMPARE(window.actions().size(), 2);
    QAction* quit = actions.value(QStringLiteral("quitAction"));
    QVERIFY(quit != nullptr);
    QCOMPARE(quit->objectName(), QStringLiteral("quitAction"));
    QCOMPARE(quit->toolTip(), QStringLiteral("asks whether to quit"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy quitSpy(quit, &QAction::triggered);
    QSignalSpy backSpy(actions.value(QStringLiteral("backAction")), &QAction::triggered);
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_F12);
    QCOMPARE(quitSpy.count(), 2);
    QCOMPARE(backSpy.count(), 0);
}

// A key text Qt cannot read gives no shortcut, and a key twice in one window gives an ambiguous
// one: either way the key silently does nothing.
void WindowActionsTest::everyWindowTableHasNamedReadableDistinctKeys() {
    for (const TWindowKeyTable& table : AllWindowKeyTables()) {
        QSet<QString> names;
        QSet<QKeySequence> keys;
        for (const TWindowKey& key : table.Keys) {
            const QString where =
                QStringLiteral("%1: %2").arg(QString::fromUtf8(table.Window), QString::fromUtf8(key.Name));
            QVERIFY2(!names.contains(QString::fromUtf8(key.Name)), qPrintable(where));
            names.insert(QString::fromUtf8(key.Name));
            QVERIFY2(QString::fromUtf8(key.Help).size() > 0, qPrintable(where));
            const QList<QKeySequence> sequences = KeySequencesOf(key);
            QVERIFY2(sequences.size() == QString::fromUtf8(key.Keys).split(QLatin1Char(';')).size(), qPrintable(where));
            for (const QKeySequence& sequence : sequences) {
                QVERIFY2(!keys.contains(sequence), qPrintable(where + QStringLiteral(" ") + sequence.toString()));
                keys.insert(sequence);
            }
        }
    }
}

QTEST_MAIN(WindowActionsTest)
#include "WindowActionsTest.moc"
