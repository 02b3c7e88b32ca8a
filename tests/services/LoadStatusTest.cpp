// Waiting for a data set quietly and cancelling the loaders.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "services/LoadStatus.h"

namespace {

// Saves the six statuses and puts them back, so tests can set whatever they need.
class LoadStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (TDataSet set : AllDataSets) FSaved[DataSetIndex(set)] = LoadStatusOf(set).load();
    }
    void TearDown() override {
        for (TDataSet set : AllDataSets) LoadStatusOf(set).store(FSaved[DataSetIndex(set)]);
    }
    std::array<TLoadState, DataSetCount> FSaved{};
};

TEST_F(LoadStatusTest, QuietWaitReturnsAtOnceUnlessLoadingThenTheFinalState) {
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

TEST_F(LoadStatusTest, CancelTurnsOnlyLoadingXmlSetsIntoCancelled) {
    TabularStatus = TLoadState::Loading;
    DIndexStatus = TLoadState::Loading;
    EIndexStatus = TLoadState::Done;
    TableOfDrugsStatus = TLoadState::Failed;
    TableOfNeoplasmsStatus = TLoadState::NotStarted;
    CodeKeywordsStatus = TLoadState::Loading;
    CancelLoading();
    EXPECT_EQ(TabularStatus.load(), TLoadState::Cancelled);
    EXPECT_EQ(DIndexStatus.load(), TLoadState::Cancelled);
    EXPECT_EQ(EIndexStatus.load(), TLoadState::Done);
    EXPECT_EQ(TableOfDrugsStatus.load(), TLoadState::Failed);
    EXPECT_EQ(TableOfNeoplasmsStatus.load(), TLoadState::NotStarted);
    EXPECT_EQ(CodeKeywordsStatus.load(), TLoadState::Loading);
}

TEST_F(LoadStatusTest, EachDataSetHasItsOwnStatusAndName) {
    const struct {
        TDataSet set;
        const TLoadStatus* status;
        const char* name;
    } cases[] = {{TDataSet::Tabular, &TabularStatus, "Tabular"},
                 {TDataSet::DiseaseIndex, &DIndexStatus, "DIndex"},
                 {TDataSet::ExternalIndex, &EIndexStatus, "EIndex"},
                 {TDataSet::DrugTable, &TableOfDrugsStatus, "TableOfDrugs"},
                 {TDataSet::NeoplasmTable, &TableOfNeoplasmsStatus, "TableOfNeoplasms"},
                 {TDataSet::CodeKeywords, &CodeKeywordsStatus, "CodeKeywords"}};
    for (const auto& c : cases) {
        EXPECT_EQ(&LoadStatusOf(c.set), c.status) << c.name;
        EXPECT_STREQ(DataSetName(c.set), c.name);
        EXPECT_EQ(AllDataSets[DataSetIndex(c.set)], c.set) << c.name;
    }
    EXPECT_THROW(LoadStatusOf(static_cast<TDataSet>(6)), std::out_of_range);
}

}  // namespace
