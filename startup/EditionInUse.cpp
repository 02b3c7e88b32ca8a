#include "startup/EditionInUse.h"

#include <array>
#include <memory>
#include <stdexcept>
#include <utility>

#include "index/IndexSearch.h"
#include "services/DataSets.h"
#include "services/Folders.h"
#include "startup/Boot.h"
#include "startup/LoadedData.h"
#include "userdata/Config.h"

namespace {

TEditionInUse& InUse() {
    return LoadedData().InUse;
}

void Replace(const TEditionInfo& AEdition, const TResourceProvider& AProgram,
             std::unique_ptr<TResourceProvider> AData) {
    InUse().Edition = AEdition;
    InUse().Program = &AProgram;
    InUse().Data = std::move(AData);
}

std::unique_ptr<TResourceProvider> OpenFiles(const TEditionInfo& AEdition, const TResourceProvider& AProgram) {
    if (AEdition.Embedded) return nullptr;
    return std::make_unique<TEditionResources>(AEdition, AProgram);
}

}  // namespace

const TEditionInfo& EditionInUse() {
    return InUse().Edition;
}

const TResourceProvider* ProgramResources() {
    return InUse().Program;
}

const TResourceProvider& EditionData() {
    if (InUse().Data) return *InUse().Data;
    if (InUse().Program == nullptr) throw std::logic_error("no edition has been put in use");
    return *InUse().Program;
}

void UseEdition(const TEditionInfo& AEdition, const TResourceProvider& AProgram) {
    Replace(AEdition, AProgram, OpenFiles(AEdition, AProgram));
}

void StartEditionLoading(const TEditionInfo& AEdition, const TResourceProvider& AProgram,
                         const std::function<void()>& AWhileWaiting) {
    // The files are opened first, so a failure leaves the edition in use and its loaders as they were.
    auto data = OpenFiles(AEdition, AProgram);
    // The loaders read the provider's bytes while they run: none may be left when it goes.
    ShutDownLoading(AWhileWaiting);
    Replace(AEdition, AProgram, std::move(data));
    StartDataLoading(EditionData());
}

TEditionInfo ChosenOrEmbedded(const std::string& AChosenId, const std::string& AEditionsRoot, std::string& ANotice) {
    ANotice.clear();
    if (AChosenId.empty()) return EmbeddedEdition();
    if (auto edition = FindEdition(ListEditions(AEditionsRoot), AChosenId)) return *edition;
    ANotice = "The edition " + AChosenId + " chosen before is no longer installed; the embedded edition " +
              EmbeddedEdition().Id + " is used.";
    return EmbeddedEdition();
}

std::string StartKeptEdition(const TResourceProvider& AProgram) {
    TUserData& user = UserData();
    user.Folders = SetUpFolders();
    LoadUserConfig(user.Settings, user.Folders);
    std::string notice;
    const TEditionInfo edition = ChosenOrEmbedded(user.Settings.Edition, EditionsFolder(), notice);
    try {
        StartEditionLoading(edition, AProgram);
    } catch (const std::runtime_error& error) {
        if (edition.Embedded) throw;
        notice = std::string(error.what()) + "; the embedded edition " + EmbeddedEdition().Id + " is used.";
        StartEditionLoading(EmbeddedEdition(), AProgram);
    }
    InUse().StartNotice = notice;
    return notice;
}

const std::string& StartNotice() {
    return InUse().StartNotice;
}

TEditionFacts EditionFactsOf(const TEditionInfo& AEdition) {
    static constexpr std::array<const char*, 12> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    TEditionFacts facts;
    facts.Year = std::to_string(AEdition.Year);
    const int month = AEdition.EffectiveFrom.Month;
    facts.EffectiveMonthDay = (month >= 1 && month <= 12 ? std::string(months[month - 1]) + " " : std::string()) +
                              std::to_string(AEdition.EffectiveFrom.Day);
    facts.EffectiveYear = std::to_string(AEdition.EffectiveFrom.Year);
    // The embedded edition writes "effective Jan 1 2021: J12.82, ..."; an imported one may name its addenda plainly.
    std::string addenda = AEdition.Addenda;
    if (addenda.starts_with("effective ")) addenda = addenda.substr(10, addenda.find(':') - 10);
    if (!addenda.empty()) facts.AddendaLine = "with the addenda of " + addenda;
    facts.WindowTitle = "ICD-10 (" + (AEdition.Id.size() > 4 ? AEdition.Id : facts.Year) + "), Provided by Kelvora";
    return facts;
}

TEditionFacts EditionFacts() {
    return EditionFactsOf(EditionInUse());
}

std::string DiseaseIndexNote(std::string_view ALoadedVersion) {
    return DIndexEditionNote(ALoadedVersion, EditionFacts().Year);
}
