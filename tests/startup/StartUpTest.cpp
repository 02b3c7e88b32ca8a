// Start-up order, the status hand-over to the loader threads, failures inside loaders and
// cancellation, with fake loaders and with the real Tabular List loader.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "data/EmbeddedResources.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "model/TabularData.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "startup/Boot.h"
#include "startup/LoadedData.h"
#include "startup/StartUp.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "userdata/FavoritePassword.h"
#include "userdata/Favorites.h"

namespace {

using namespace std::chrono_literals;

// A provider whose resources are empty byte runs; records the order of look-ups.
class TFakeProvider : public TResourceProvider {
public:
    explicit TFakeProvider(std::set<std::string> missing = {}) : FMissing(std::move(missing)) {}

    std::optional<TResourceBytes> Find(std::string_view name) const override {
        std::lock_guard lock(FMutex);
        FLookups.emplace_back(name);
        if (FMissing.count(std::string(name))) return std::nullopt;
        return TResourceBytes{&FByte, 0};
    }
    std::vector<std::string> Lookups() const {
        std::lock_guard lock(FMutex);
        return FLookups;
    }

private:
    std::set<std::string> FMissing;
    mutable std::mutex FMutex;
    mutable std::vector<std::string> FLookups;
    unsigned char FByte = 0;
};

// Holds loader threads until the test lets them go.
class TGate {
public:
    void Open() {
        std::lock_guard lock(FMutex);
        FOpen = true;
        FChanged.notify_all();
    }
    void Wait() {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return FOpen; });
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FOpen = false;
};

// Ends a load the way a loader does: 1 -> 2 only.
// The status of the data set loaded by the loader at position type of TStartUpLoaders::Loaders.
TLoadStatus& StatusAt(int type) {
    return LoadedData().Status[AllDataSets.at(static_cast<std::size_t>(type))];
}

void FinishLoad(int type) {
    TLoadState expected = TLoadState::Loading;
    StatusAt(type).compare_exchange_strong(expected, TLoadState::Done);
}

// A loader that reads "elements" while its status is 1, like the XML loaders do.
void LoadUntilCancelled(int type, std::atomic<int>& elements) {
    while (StatusAt(type).load() == TLoadState::Loading && elements.load() < 100000) {
        ++elements;
        std::this_thread::sleep_for(1ms);
    }
    FinishLoad(type);
}

// Points the data folders at a temporary folder and makes sure no loader thread outlives a test.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        FRoot =
            std::filesystem::temp_directory_path() / ("zendra-startup-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(FRoot / "shared");
        std::filesystem::create_directories(FRoot / "user");
        for (const char* name : {"ProgramData", "AppData"}) {
            const char* value = std::getenv(name);
            FSavedEnvironment.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("ProgramData", (FRoot / "shared").c_str(), 1);
        setenv("AppData", (FRoot / "user").c_str(), 1);
    }

    void TearDown() override {
        CancelLoading(LoadedData().Status);
        FGate.Open();
        JoinLoaders();
        for (const auto& [name, value] : FSavedEnvironment) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(FRoot, ignored);
    }

    static std::array<int32_t, 6> Statuses() {
        std::array<int32_t, 6> values{};
        for (int type = 0; type < 6; ++type) values[type] = static_cast<int32_t>(StatusAt(type).load());
        return values;
    }

    std::filesystem::path FRoot;
    std::vector<std::pair<std::string, std::optional<std::string>>> FSavedEnvironment;
    TGate FGate;
};

TEST_F(StartUpTest, EveryStatusIsLoadingBeforeAnyLoaderRunsAndResourcesOpenInTableOrder) {
    TFakeProvider provider;
    LoadedData().Tabular.Chapters.push_back(std::make_unique<TChapter>());
    std::array<std::array<int32_t, 6>, 6> seenAtEntry{};
    std::atomic<int> cleared{0};
    std::size_t lookupsWhenCleared = 99;
    bool chaptersEmptyWhenCleared = false;
    std::atomic<int> afterStart{0};
    std::atomic<int> entered{0};

    TStartUpLoaders loaders;
    for (int type = 0; type < 6; ++type) {
        loaders.Loaders[type] = [&, type] {
            seenAtEntry[type] = Statuses();
            ++entered;
            FGate.Wait();
            FinishLoad(type);
        };
    }
    loaders.ClearContainers = [&] {
        ++cleared;
        lookupsWhenCleared = provider.Lookups().size();
        chaptersEmptyWhenCleared = LoadedData().Tabular.Chapters.empty();
    };
    loaders.AfterStart = [&] { ++afterStart; };

    StartUp(provider, loaders);
    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{1, 1, 1, 1, 1, 1}));
    while (entered < 6) std::this_thread::sleep_for(1ms);  // no loader can finish before this
    FGate.Open();
    JoinLoaders();

    for (int type = 0; type < 6; ++type) {
        EXPECT_EQ(seenAtEntry[type], (std::array<int32_t, 6>{1, 1, 1, 1, 1, 1})) << "loader type " << type;
    }
    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{2, 2, 2, 2, 2, 2}));
    // The resources are opened in the order of the resource table: the three text sets in the
    // order loader 5 reads them.
    EXPECT_EQ(provider.Lookups(),
              (std::vector<std::string>{"Tabular", "DIndex", "EIndex", "TableOfDrugs", "TableOfNeoplasms", "SpecialKWs",
                                        "Spellings", "CodeKeywords", "ShortDesc"}));
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(lookupsWhenCleared, 0u);
    EXPECT_TRUE(chaptersEmptyWhenCleared);
    EXPECT_EQ(afterStart, 1);

    EXPECT_EQ(UserData().Folders.SharedData, (FRoot / "shared").string() + "/Zendra ICD10 2021/");
    EXPECT_EQ(UserData().Folders.UserData, (FRoot / "user").string() + "/Zendra ICD10 2021/");
    EXPECT_TRUE(std::filesystem::is_directory(UserData().Folders.SharedData));
    EXPECT_TRUE(std::filesystem::is_directory(UserData().Folders.UserData));
}

TEST_F(StartUpTest, MissingResourceStopsStartUpBeforeAnyLoaderStarts) {
    TFakeProvider provider({"ShortDesc"});
    std::atomic<int> ran{0};
    std::atomic<int> afterStart{0};
    TStartUpLoaders loaders;
    for (int type = 0; type < 6; ++type) loaders.Loaders[type] = [&] { ++ran; };
    loaders.AfterStart = [&] { ++afterStart; };

    std::string error;
    try {
        StartUp(provider, loaders);
    } catch (const std::runtime_error& exception) {
        error = exception.what();
    }
    JoinLoaders();
    EXPECT_NE(error.find("ShortDesc"), std::string::npos) << error;
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(afterStart, 0);
    // Nobody would wait for ever on a data set that never starts.
    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{0, 0, 0, 0, 0, 0}));
}

TEST_F(StartUpTest, LoaderFailuresAreReportedAndNeverLeaveStatusAtLoading) {
    TRecordingMessages messages;
    TFakeProvider provider;
    TStartUpLoaders loaders;
    loaders.Loaders[0] = [] { throw std::runtime_error("broken XML"); };
    loaders.Loaders[1] = [] { throw 42; };
    loaders.Loaders[2] = [] {};  // gives up silently, status still 1
    loaders.Loaders[3] = [] {
        LoadedData().Status[TDataSet::DrugTable] = TLoadState::Cancelled;
        throw std::runtime_error("late failure");
    };
    loaders.Loaders[4] = [] { FinishLoad(4); };
    loaders.Loaders[5] = [] { FinishLoad(5); };

    StartUp(provider, loaders);
    JoinLoaders();

    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{-1, -1, -1, -2, 2, 2}));
    const auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 3u);
    std::set<std::string> texts(shown.begin(), shown.end());
    EXPECT_TRUE(texts.count("Loading the data set \"Tabular\" failed: broken XML"));
    EXPECT_TRUE(texts.count("Loading the data set \"DIndex\" failed."));
    EXPECT_TRUE(texts.count("Loading the data set \"TableOfDrugs\" failed: late failure"));
}

TEST_F(StartUpTest, CancelStopsXmlLoadersButNotKeywordsAndJoinReturns) {
    TFakeProvider provider;
    std::array<std::atomic<int>, 5> elements{};
    TStartUpLoaders loaders;
    for (int type = 0; type < 5; ++type)
        loaders.Loaders[type] = [&, type] { LoadUntilCancelled(type, elements[type]); };
    loaders.Loaders[5] = [&] {
        FGate.Wait();
        FinishLoad(5);
    };
    StartUp(provider, loaders);
    while (elements[0] == 0) std::this_thread::sleep_for(1ms);

    CancelLoading(LoadedData().Status);
    EXPECT_EQ(LoadedData().Status[TDataSet::CodeKeywords].load(), TLoadState::Loading);
    FGate.Open();
    JoinLoaders();

    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{-2, -2, -2, -2, -2, 2}));
    EXPECT_LT(elements[0], 100000);
}

TEST_F(StartUpTest, SecondStartUpEndsEarlierLoadersBeforeClearingTheirContainers) {
    TFakeProvider provider;
    std::atomic<int> elements{0};
    std::atomic<bool> firstEnded{false};
    TStartUpLoaders first;
    first.Loaders[0] = [&] {
        LoadUntilCancelled(0, elements);
        firstEnded = true;
    };
    StartUp(provider, first);
    while (elements == 0) std::this_thread::sleep_for(1ms);

    bool firstEndedWhenCleared = false;
    TStartUpLoaders second;
    for (int type = 0; type < 6; ++type) second.Loaders[type] = [type] { FinishLoad(type); };
    second.ClearContainers = [&] { firstEndedWhenCleared = firstEnded; };
    StartUp(provider, second);
    JoinLoaders();

    EXPECT_TRUE(firstEndedWhenCleared);
    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{2, 2, 2, 2, 2, 2}));
}

// A handler that, like a desktop front, hands each message to the "UI" thread and blocks the
// loader until that thread has shown it.
class TDeliveredOnCallerMessages : public TMessageHandler {
public:
    TDeliveredOnCallerMessages() { FPrevious = SetMessageHandler(this); }
    ~TDeliveredOnCallerMessages() override { SetMessageHandler(FPrevious); }

    void ShowMessage(const std::string& text) override {
        std::unique_lock lock(FMutex);
        FPending.push_back(text);
        FChanged.wait(lock, [&] { return FPending.empty(); });
    }
    bool AskYesNo(const std::string&, const std::string&, bool defaultYes) override { return defaultYes; }

    // Called on the "UI" thread: shows every pending message and releases its loader.
    void Deliver() {
        std::lock_guard lock(FMutex);
        FShown.insert(FShown.end(), FPending.begin(), FPending.end());
        FPending.clear();
        FChanged.notify_all();
    }
    std::vector<std::string> Shown() {
        std::lock_guard lock(FMutex);
        return FShown;
    }

private:
    TMessageHandler* FPrevious = nullptr;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<std::string> FPending;
    std::vector<std::string> FShown;
};

TEST_F(StartUpTest, JoinKeepsDeliveringMessagesOfLoadersThatWaitForTheCaller) {
    TDeliveredOnCallerMessages messages;
    TFakeProvider provider;
    TStartUpLoaders loaders;
    loaders.Loaders[0] = [] {
        ShowMessage("Load Tabular File Fail1!");
        TLoadState expected = TLoadState::Loading;
        LoadedData().Status[TDataSet::Tabular].compare_exchange_strong(expected, TLoadState::Failed);
    };
    for (int type = 1; type < 6; ++type) loaders.Loaders[type] = [type] { FinishLoad(type); };
    StartUp(provider, loaders);

    CancelLoading(LoadedData().Status);
    JoinLoaders([&] { messages.Deliver(); });

    EXPECT_EQ(messages.Shown(), std::vector<std::string>{"Load Tabular File Fail1!"});
    // Cancelled before the loader got to its failure, or failed before the cancel: never 1 or 2.
    const TLoadState tabular = LoadedData().Status[TDataSet::Tabular].load();
    EXPECT_TRUE(tabular == TLoadState::Failed || tabular == TLoadState::Cancelled) << tabular;
}

TEST_F(StartUpTest, ShutDownWhileRealLoadersRunLeavesNoSetLoading) {
    TRecordingMessages messages;
    StartDataLoading(EmbeddedResources());
    ShutDownLoading();
    for (int type = 0; type < 5; ++type) {
        const TLoadState status = StatusAt(type).load();
        EXPECT_TRUE(status == TLoadState::Cancelled || status == TLoadState::Done) << "type " << type << ": " << status;
    }
    // The keyword sets cannot be cancelled; they finish.
    EXPECT_EQ(LoadedData().Status[TDataSet::CodeKeywords].load(), TLoadState::Done);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(StartUpTest, RealDataIsLoadedAgainAfterAnotherStartUpEmptiedIt) {
    TFakeProvider provider;
    TStartUpLoaders fakes;
    for (int type = 0; type < 6; ++type) fakes.Loaders[type] = [type] { FinishLoad(type); };
    StartUp(provider, fakes);
    JoinLoaders();
    ASSERT_TRUE(LoadedData().Tabular.Chapters.empty());

    EnsureRealDataLoaded();
    const uint64_t startUps = StartUpCount();
    EXPECT_EQ(Statuses(), (std::array<int32_t, 6>{2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(LoadedData().Tabular.Chapters.size(), 22u);
    EXPECT_FALSE(LoadedData().Index.DiseaseIndex.empty());
    EXPECT_FALSE(LoadedData().Index.NeoplasmTable.empty());
    EXPECT_FALSE(LoadedData().Keywords.Codes.empty());
    EXPECT_FALSE(LoadedData().Keywords.Specials.empty());
    EXPECT_TRUE(LoadedData().Keywords.ShortDescs.Ready());

    EnsureRealDataLoaded();
    EXPECT_EQ(StartUpCount(), startUps);
}

TEST_F(StartUpTest, FavouriteListsOfTheSharedFolderAreScannedOncePerStartUp) {
    const std::filesystem::path shared = FRoot / "shared" / "Zendra ICD10 2021";
    std::filesystem::create_directories(shared);
    std::ofstream(shared / FavoriteFileName("alice"), std::ios::binary)
        << LegacyPasswordLine("secret") << "\r\nA00.0\r\n";

    LoadAllDataNow(EmbeddedResources());
    LoadAllDataNow(EmbeddedResources());  // a second start-up does not add the file twice

    ASSERT_EQ(UserData().Favorites.size(), 1u);
    EXPECT_EQ(UserData().Favorites[0]->FUserName, "alice");
}

// The real Tabular List loader honours a cancel, whether it comes before the loader has read
// anything or while it reads; the status ends -2, never 2, and no failure is reported.
class StartUpRealTabularTest : public StartUpTest, public ::testing::WithParamInterface<int> {};

TEST_P(StartUpRealTabularTest, CancelWhileLoadingLeavesCancelled) {
    TRecordingMessages messages;
    TStartUpLoaders loaders;
    loaders.Loaders[0] = [] { LoadTabularFile(LoadedData().Tabular, LoadedData().Status[TDataSet::Tabular]); };
    for (int type = 1; type < 6; ++type) loaders.Loaders[type] = [type] { FinishLoad(type); };

    StartUp(EmbeddedResources(), loaders);
    std::this_thread::sleep_for(std::chrono::milliseconds(GetParam()));
    CancelLoading(LoadedData().Status);
    JoinLoaders();

    EXPECT_EQ(LoadedData().Status[TDataSet::Tabular].load(), TLoadState::Cancelled);
    EXPECT_TRUE(messages.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(DelayMs, StartUpRealTabularTest, ::testing::Values(0, 5, 20));

}  // namespace
