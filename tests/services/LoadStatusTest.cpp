// Waiting for a data set and cancelling the loaders.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "services/LoadStatus.h"

namespace {

// Counts the hook calls of one wait; restores the previous hooks afterwards.
class TCountingHooks {
public:
    TCountingHooks() {
        FPrevious = SetWaitHooks({[this] { ++FShown; }, [this] { ++FPolled; }, [this] { ++FHidden; }});
    }
    ~TCountingHooks() { SetWaitHooks(FPrevious); }

    std::atomic<int> FShown{0};
    std::atomic<int> FPolled{0};
    std::atomic<int> FHidden{0};

private:
    TWaitHooks FPrevious;
};

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

TEST_F(LoadStatusTest, WaitReturnsAtOnceWithoutWindowUnlessLoading) {
    TCountingHooks hooks;
    TLoadStatus status;
    for (TLoadState value : {TLoadState::NotStarted, TLoadState::Done, TLoadState::Failed, TLoadState::Cancelled}) {
        status.store(value);
        EXPECT_EQ(WaitForDataSet(status), value);
        EXPECT_EQ(WaitForDataSetQuietly(status), value);
    }
    EXPECT_EQ(hooks.FShown, 0);
    EXPECT_EQ(hooks.FPolled, 0);
    EXPECT_EQ(hooks.FHidden, 0);
}

TEST_F(LoadStatusTest, WaitShowsWindowWhileLoadingAndReturnsFinalStatus) {
    TCountingHooks hooks;
    TLoadStatus status{TLoadState::Loading};
    std::atomic<bool> finished{false};
    std::thread loader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        finished = true;
        status.store(TLoadState::Failed);
    });
    EXPECT_EQ(WaitForDataSet(status), TLoadState::Failed);
    EXPECT_TRUE(finished);
    loader.join();
    EXPECT_EQ(hooks.FShown, 1);
    EXPECT_GE(hooks.FPolled, 1);
    EXPECT_EQ(hooks.FHidden, 1);
}

TEST_F(LoadStatusTest, QuietWaitPollsWithoutWindow) {
    TCountingHooks hooks;
    TLoadStatus status{TLoadState::Loading};
    std::thread loader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        status.store(TLoadState::Done);
    });
    EXPECT_EQ(WaitForDataSetQuietly(status), TLoadState::Done);
    loader.join();
    EXPECT_EQ(hooks.FShown + hooks.FPolled + hooks.FHidden, 0);
}

TEST_F(LoadStatusTest, WindowIsHiddenWhenPollThrows) {
    int hidden = 0;
    const TWaitHooks previous =
        SetWaitHooks({nullptr, [] { throw std::runtime_error("poll failed"); }, [&] { ++hidden; }});
    TLoadStatus status{TLoadState::Loading};
    EXPECT_THROW(WaitForDataSet(status), std::runtime_error);
    SetWaitHooks(previous);
    EXPECT_EQ(hidden, 1);
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
