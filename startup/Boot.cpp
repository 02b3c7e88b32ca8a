#include "startup/Boot.h"

#include "index/IndexLoader.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "userdata/Favorites.h"
#include "userdata/SearchHistory.h"

TStartUpLoaders RealLoaders() {
    TStartUpLoaders loaders;
    loaders.Loaders[DataSetIndex(TDataSet::Tabular)] = [] {
        LoadTabularFile(LoadedData().Tabular, LoadedData().Status[TDataSet::Tabular]);
    };
    for (TDataSet set : IndexDataSets)
        loaders.Loaders[DataSetIndex(set)] = [set] {
            LoadIndexFile(LoadedData().Index, set, LoadedData().Status[set]);
        };
    loaders.Loaders[DataSetIndex(TDataSet::CodeKeywords)] = [] {
        LoadKeywordDataSets(LoadedData().Keywords, LoadedData().Status[TDataSet::CodeKeywords]);
    };
    loaders.ClearContainers = [] {
        LoadedData().Index.Clear();
        LoadedData().Keywords.Clear();
        UserData().History = TSearchHistory{};
        UserData().Unlocked = nullptr;
        UserData().Favorites.clear();
    };
    loaders.AfterStart = [] { TFavoriteKW::GetFavoriteList(UserData().Folders.SharedData, UserData().Favorites); };
    return loaders;
}

void StartDataLoading(const TResourceProvider& provider) {
    StartUp(provider, RealLoaders());
}

void LoadAllDataNow(const TResourceProvider& provider) {
    StartDataLoading(provider);
    // Every loader leaves its status off 1 before its thread ends (the thread guard sees to it),
    // so once all are joined every data set is done, failed or cancelled.
    JoinLoaders();
}

void ShutDownLoading(const std::function<void()>& AWhileWaiting) {
    CancelLoading(LoadedData().Status);
    JoinLoaders(AWhileWaiting);
}
