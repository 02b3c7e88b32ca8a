#include "cli/CliData.h"

#include <array>
#include <future>
#include <string>

#include "data/EmbeddedResources.h"
#include "index/IndexLoader.h"
#include "model/TabularData.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "services/Folders.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "userdata/Config.h"

namespace {

bool chosen = false;

}  // namespace

void SelectEdition(const TEditionInfo& AEdition) {
    UseEdition(AEdition, EmbeddedResources());
    chosen = true;
}

bool EditionChosen() {
    return chosen;
}

std::string UseKeptEdition() {
    // The command line sets up no folders: it only reads the user's settings where the desktop keeps them.
    if (UserData().Folders.UserData.empty()) UserData().Folders.UserData = UserDataFolder();
    LoadUserConfig(UserData().Settings, UserData().Folders);
    std::string notice;
    const TEditionInfo edition = ChosenOrEmbedded(UserData().Settings.Edition, EditionsFolder(), notice);
    try {
        UseEdition(edition, EmbeddedResources());
    } catch (const std::exception& error) {
        notice = std::string(error.what()) + "; the embedded edition " + EmbeddedEdition().Id + " is used.";
        UseEdition(EmbeddedEdition(), EmbeddedResources());
    }
    return notice;
}

std::vector<TEditionInfo> InstalledEditions() {
    return ListEditions(EditionsFolder());
}

std::unique_ptr<TResourceStream> OpenEmbeddedDataSet(std::string_view AName) {
    const auto bytes = EditionData().Find(AName);
    if (!bytes) return nullptr;
    return std::make_unique<TResourceStream>(*bytes);
}

bool LoadEmbeddedTabular() {
    // Loaded once per process: a front that runs several commands reads the data set once.
    if (LoadedData().Status[TDataSet::Tabular].load() == TLoadState::Done) return true;
    auto stream = OpenEmbeddedDataSet("Tabular");
    if (!stream) {
        ShowMessage("The edition in use has no \"Tabular\" data set.");
        LoadedData().Status[TDataSet::Tabular] = TLoadState::Failed;
        return false;
    }
    LoadedData().Status[TDataSet::Tabular] = TLoadState::NotStarted;
    return LoadTabularFromStream(*stream, LoadedData().Tabular, LoadedData().Status[TDataSet::Tabular]) ==
           TLoadState::Done;
}

bool LoadEmbeddedIndex(TDataSet ASet) {
    const char* name = IndexResourceName(ASet);
    if (!name) return false;
    TAlphaLetterList& letters = LoadedData().Index.LettersOf(ASet);
    TLoadStatus& status = LoadedData().Status[ASet];
    if (status.load() == TLoadState::Done) return true;
    auto stream = OpenEmbeddedDataSet(name);
    if (!stream) {
        ShowMessage(std::string("The edition in use has no \"") + name + "\" data set.");
        status = TLoadState::Failed;
        return false;
    }
    status = TLoadState::NotStarted;
    return LoadIndexFromStream(*stream, ASet, letters, status,
                               ASet == TDataSet::DiseaseIndex ? &LoadedData().Index.DiseaseIndexEdition : nullptr) ==
           TLoadState::Done;
}

bool LoadEmbeddedTabularAndIndexes() {
    // Each set has its own containers and status, so the five loads may run side by side.
    std::array<std::future<bool>, 4> indexes;
    for (std::size_t i = 0; i < IndexDataSets.size(); ++i)
        indexes[i] = std::async(std::launch::async, LoadEmbeddedIndex, IndexDataSets[i]);
    bool loaded = LoadEmbeddedTabular();
    for (auto& index : indexes) loaded = index.get() && loaded;
    return loaded;
}
