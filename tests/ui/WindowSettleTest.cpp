// The rule every real-screen program waits by: a window is judged only once it is shown, framed
// and still for the quiet period; one that never gets there is reported with what was seen.
#include <QWidget>
#include <QtTest>
#include <string>
#include <vector>

#include "tests/ui/WindowSettle.h"

namespace {

// A 400x300 client area at (x, y) at a time; framed ones have a title bar and thin borders.
TWindowSample At(qint64 atMs, int x, int y, bool framed = true, bool shown = true) {
    TWindowSample sample;
    sample.FAtMs = atMs;
    sample.FShown = shown;
    sample.FClient = QRect(x, y, 400, 300);
    sample.FFrame = framed ? sample.FClient.adjusted(-4, -30, 4, 4) : sample.FClient;
    return sample;
}

// Samples every 50 ms from AFrom to ATo of a window standing at (x, y).
std::vector<TWindowSample> Still(qint64 fromMs, qint64 toMs, int x, int y, bool framed = true, bool shown = true) {
    std::vector<TWindowSample> samples;
    for (qint64 at = fromMs; at <= toMs; at += 50) samples.push_back(At(at, x, y, framed, shown));
    return samples;
}

std::vector<TWindowSample> Joined(std::initializer_list<std::vector<TWindowSample>> parts) {
    std::vector<TWindowSample> samples;
    for (const auto& part : parts) samples.insert(samples.end(), part.begin(), part.end());
    return samples;
}

}  // namespace

class WindowSettleTest : public QObject {
    Q_OBJECT

private slots:
    void SettlesOnlyWhenFramedAndStillForTheQuietPeriod() {
        TSettleRules noFrame;
        noFrame.FNeedsFrame = false;
        std::vector<TWindowSample> restless;
        for (qint64 at = 0; at <= 30000; at += 100) restless.push_back(At(at, static_cast<int>(at / 100), 40));
        struct TCase {
            const char* FName;
            TSettleRules FRules;
            std::vector<TWindowSample> FSamples;
            TSettleState FState;
            qint64 FDecidedAtMs;  // the sample that brought the verdict
            const char* FReportHolds;
        };
        const std::vector<TCase> cases = {
            {"framed at once and still",
             {},
             Still(0, 2000, 100, 100),
             TSettleState::Settled,
             1000,
             "still for 1000 ms"},
            {"framed late: the quiet period counts from the frame",
             {},
             Joined({Still(0, 1500, 100, 100, false), Still(1550, 3000, 100, 100)}),
             TSettleState::Settled,
             2550,
             "2550 ms after showing"},
            // The race that failed the check: framed, then moved back to the centre by the program.
            {"moved after framing: judged after the move",
             {},
             Joined({Still(0, 850, 100, 89), Still(900, 3000, 100, 100)}),
             TSettleState::Settled,
             1900,
             "framed and still"},
            {"shown late",
             {},
             Joined({Still(0, 400, 0, 0, false, false), Still(450, 2000, 50, 50)}),
             TSettleState::Settled,
             1450,
             "framed"},
            {"never framed",
             {},
             Still(0, 31000, 100, 100, false),
             TSettleState::TimedOut,
             30000,
             "did not settle within 30000 ms: never framed (is a window manager running?); seen: 0 ms shown unframed "
             "client 100,100 400x300"},
            {"never shown", {}, Still(0, 31000, 0, 0, false, false), TSettleState::TimedOut, 30000, "never shown"},
            {"never still",
             {},
             restless,
             TSettleState::TimedOut,
             30000,
             "still moving; seen: 0 ms shown frame -4,10 408x334 client 0,40 400x300;"},
            {"frameless: shown and still is enough", noFrame, Still(0, 2000, 10, 10, false), TSettleState::Settled,
             1000, "shown and still for 1000 ms"},
        };
        for (const TCase& item : cases) {
            TSettleWatch watch(item.FRules);
            qint64 decidedAt = -1;
            for (const TWindowSample& sample : item.FSamples)
                if (watch.Add(sample) != TSettleState::Waiting) {
                    decidedAt = sample.FAtMs;
                    break;
                }
            const std::string report = watch.Report();
            QVERIFY2(watch.State() == item.FState, item.FName);
            QVERIFY2(
                decidedAt == item.FDecidedAtMs,
                qPrintable(QStringLiteral("%1: decided at %2 ms").arg(QString::fromLatin1(item.FName)).arg(decidedAt)));
            QVERIFY2(report.find(item.FReportHolds) != std::string::npos,
                     (item.FName + std::string(": ") + report).c_str());
        }
    }

    void ReportOfARestlessWindowKeepsTheFirstAndLastChanges() {
        TSettleWatch watch;
        for (qint64 at = 0; at <= 30000; at += 100) watch.Add(At(at, static_cast<int>(at / 100), 40));
        const QString report = QString::fromStdString(watch.Report());
        QVERIFY2(report.contains(QStringLiteral("... 283 more; 29500 ms")), qPrintable(report));
        QVERIFY2(report.endsWith(QStringLiteral("30000 ms shown frame 296,10 408x334 client 300,40 400x300")),
                 qPrintable(report));
    }

    // On the offscreen platform a decorated window has a frame at once: it settles once still, and
    // a move while it waits starts the quiet period again. A window never shown is waited for in
    // vain, and said so.
    void WaitsForTheWindowItself() {
        TSettleRules rules;
        rules.FQuietMs = 300;
        rules.FLimitMs = 3000;
        QWidget window;
        window.resize(200, 100);
        window.show();
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(200, &window, [&window] { window.move(window.pos() + QPoint(40, 0)); });
        const TSettleResult moved = WaitUntilSettled(window, rules);
        QVERIFY2(moved.FSettled, moved.FReport.c_str());
        QVERIFY2(clock.elapsed() >= 500, moved.FReport.c_str());

        QWidget hidden;
        rules.FLimitMs = 400;
        const TSettleResult never = WaitUntilSettled(hidden, rules);
        QVERIFY(!never.FSettled);
        QVERIFY2(never.FReport.find("never shown") != std::string::npos, never.FReport.c_str());
    }
};

QTEST_MAIN(WindowSettleTest)
#include "WindowSettleTest.moc"
