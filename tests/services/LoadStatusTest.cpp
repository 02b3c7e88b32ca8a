// Waiting for a data set quietly and cancelling the loaders.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "services/LoadStatus.h"

namespace {

TEST(LoadStatus, QuietWaitReturnsAtOnceUnlessLoadingThenTheFinalState) {
    TLoadStatus status;
    for (TLoadState value : {TLoadState::NotStarted, TLoadState::Done, TLoadState::Failed, TLoadState::Cancelled}) {
        status.store(value);
        EXPECT_EQ(WaitForDataSetQuietly(status), value);
    }
    status.store(TLoadState::Loading);
    std::thread loader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        status.store(TLoadState::Done);
    });
    EXPECT_EQ(WaitForDataSetQuietly(status), TLoadState::Done);
    loader.join();
}

TEST(LoadStatus, CancelTurnsOnlyLoadingXmlSetsIntoCancelled) {
    TLoadStatuses statuses;
    statuses[TDataSet::Tabular] = TLoadState::Loading;
    statuses[TDataSet::DiseaseIndex] = TLoadState::Loading;
    statuses[TDataSet::ExternalIndex] = TLoadState::Done;
    statuses[TDataSet::DrugTable] = TLoadState::Failed;
    statuses[TDataSet::NeoplasmTable] = TLoadState::NotStarted;
    statuses[TDataSet::CodeKeywords] = TLoadState::Loading;
    CancelLoading(statuses);
    EXPECT_EQ(statuses[TDataSet::Tabular].load(), TLoadState::Cancelled);
    EXPECT_EQ(statuses[TDataSet::DiseaseIndex].load(), TLoadState::Cancelled);
    EXPECT_EQ(statuses[TDataSet::ExternalIndex].load(), TLoadState::Done);
    EXPECT_EQ(statuses[TDataSet::DrugTable].load(), TLoadState::Failed);
    EXPECT_EQ(statuses[TDataSet::NeoplasmTable].load(), TLoadState::NotStarted);
    EXPECT_EQ(statuses[TDataSet::CodeKeywords].load(), TLoadState::Loading);
}

TEST(LoadStatus, EachDataSetHasItsOwnStatusAndName) {
    TLoadStatuses statuses;
    const struct {
        TDataSet set;
        const char* name;
    } cases[] = {{TDataSet::Tabular, "Tabular"},
                 {TDataSet::DiseaseIndex, "DIndex"},
                 {TDataSet::ExternalIndex, "EIndex"},
                 {TDataSet::DrugTable, "TableOfDrugs"},
                 {TDataSet::NeoplasmTable, "TableOfNeoplasms"},
                 {TDataSet::CodeKeywords, "CodeKeywords"}};
    for (const auto& c : cases) {
        statuses[c.set] = TLoadState::Done;
        for (TDataSet other : AllDataSets)
            EXPECT_EQ(statuses[other].load() == TLoadState::Done, other == c.set) << c.name;
        statuses[c.set] = TLoadState::NotStarted;
        EXPECT_STREQ(DataSetName(c.set), c.name);
        EXPECT_EQ(AllDataSets[DataSetIndex(c.set)], c.set) << c.name;
    }
    EXPECT_THROW(statuses[static_cast<TDataSet>(6)], std::out_of_range);
}

}  // namespace
