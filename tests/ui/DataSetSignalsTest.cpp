// Call backs when a data set settles: at once for a settled set, once and queued on the UI thread
// for a loading one (also when a loader thread settles it), nothing for a destroyed context, and
// the waiting window wanted only while a call back is pending.
#include <QTest>
#include <QThread>
#include <memory>
#include <thread>

#include "services/LoadStatus.h"
#include "startup/LoadedData.h"
#include "ui/DataSetSignals.h"

class DataSetSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void settledSetIsCalledBackAtOnce();
    void loadingSetIsCalledBackOnceQueuedOnTheUiThread();
    void destroyedContextGetsNothing();
};

namespace {
struct TCalls {
    int Count = 0;
    TLoadState State = TLoadState::NotStarted;
    QThread* Thread = nullptr;
    std::function<void(TLoadState)> Recorder() {
        return [this](TLoadState AState) {
            ++Count;
            State = AState;
            Thread = QThread::currentThread();
        };
    }
};
}  // namespace

void DataSetSignalsTest::settledSetIsCalledBackAtOnce() {
    QObject context;
    for (TLoadState state : {TLoadState::Done, TLoadState::Failed, TLoadState::Cancelled}) {
        LoadedData().Status[TDataSet::DiseaseIndex].store(state);
        TCalls calls;
        WhenDataSetSettled(&context, TDataSet::DiseaseIndex, calls.Recorder());
        QCOMPARE(calls.Count, 1);
        QCOMPARE(calls.State, state);
        QVERIFY(!TDataSetSignals::Instance().WaitingShown());
    }
}

void DataSetSignalsTest::loadingSetIsCalledBackOnceQueuedOnTheUiThread() {
    QObject context;
    TCalls calls;
    int both = 0;
    LoadedData().Status[TDataSet::DrugTable].store(TLoadState::Loading);
    WhenDataSetSettled(&context, TDataSet::DrugTable, calls.Recorder());
    WhenDataSetsSettled(&context, {TDataSet::Tabular, TDataSet::DrugTable}, [&] { ++both; });
    QVERIFY(TDataSetSignals::Instance().WaitingShown());
    std::thread loader([] { LoadedData().Status[TDataSet::DrugTable].store(TLoadState::Failed); });
    loader.join();
    QCOMPARE(calls.Count, 0);  // never from the loader thread
    QTRY_COMPARE(calls.Count, 1);
    QCOMPARE(calls.State, TLoadState::Failed);
    QCOMPARE(calls.Thread, QThread::currentThread());
    QCOMPARE(both, 1);
    QVERIFY(!TDataSetSignals::Instance().WaitingShown());
    // A later load of the same set calls nobody again.
    LoadedData().Status[TDataSet::DrugTable].store(TLoadState::Loading);
    LoadedData().Status[TDataSet::DrugTable].store(TLoadState::Done);
    QTest::qWait(20);
    QCOMPARE(calls.Count, 1);
}

void DataSetSignalsTest::destroyedContextGetsNothing() {
    TCalls calls;
    LoadedData().Status[TDataSet::ExternalIndex].store(TLoadState::Loading);
    auto context = std::make_unique<QObject>();
    WhenDataSetSettled(context.get(), TDataSet::ExternalIndex, calls.Recorder(), TWaitDisplay::Quietly);
    QVERIFY(!TDataSetSignals::Instance().WaitingShown());
    context.reset();
    LoadedData().Status[TDataSet::ExternalIndex].store(TLoadState::Done);
    QTest::qWait(20);
    QCOMPARE(calls.Count, 0);
}

QTEST_MAIN(DataSetSignalsTest)
#include "DataSetSignalsTest.moc"
