// The edition whose data sets the program has loaded, the facts every window shows about it, and
// changing it. One place: the launcher's labels, the window titles, the disease-index note and the
// command line all read the edition in use from here.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editions/Editions.h"
#include "services/Resources.h"

// The edition in use: the embedded one until another is chosen.
const TEditionInfo& EditionInUse();
// Its data sets (the program's own resources for the embedded edition, or before any choice).
const TResourceProvider& EditionData();
// The program's own resources, as given to the last UseEdition (null before).
const TResourceProvider* ProgramResources();

// Makes AEdition the edition in use without loading anything (the command line loads what a
// command needs). AProgram gives the embedded edition and the lists that do not change with the
// edition, and must outlive every later use. Throws std::runtime_error naming the file when an
// installed edition's files cannot be read; the edition in use is then unchanged.
void UseEdition(const TEditionInfo& AEdition, const TResourceProvider& AProgram);

// Switches the loaded data to AEdition: the loader threads of the edition before are cancelled
// and joined (AWhileWaiting as in ShutDownLoading), its files are opened, then the start-up loads
// the new edition's data sets in the background (StartDataLoading). Throws like UseEdition, with
// nothing stopped when the files cannot be read.
void StartEditionLoading(const TEditionInfo& AEdition, const TResourceProvider& AProgram,
                         const std::function<void()>& AWhileWaiting = {});

// The installed edition AChosenId names, else the embedded one. ANotice says why a choice was not
// followed (no longer installed); empty otherwise.
TEditionInfo ChosenOrEmbedded(const std::string& AChosenId, const std::string& AEditionsRoot, std::string& ANotice);

// The desktop program's start: the edition kept in the user's settings (LoadUserConfig), else the
// embedded one, loaded in the background. An edition that cannot be read falls back to the
// embedded one. Returns what the coder should be told (empty when the kept choice was followed);
// StartNotice() keeps it for the launcher.
std::string StartKeptEdition(const TResourceProvider& AProgram);
const std::string& StartNotice();

// What the windows show of an edition.
struct TEditionFacts {
    std::string Year;               // "2022"
    std::string EffectiveMonthDay;  // "Oct 1"
    std::string EffectiveYear;      // "2021"
    std::string AddendaLine;        // "with the addenda of Jan 1 2021"; empty where the edition names none
    std::string WindowTitle;        // "ICD-10 (2022), Provided by Kelvora"
};
TEditionFacts EditionFactsOf(const TEditionInfo& AEdition);
// The facts of the edition in use.
TEditionFacts EditionFacts();
// The note the disease-index window shows when the loaded index (ALoadedVersion) is not the
// edition in use (the embedded edition's FY2017 stand-in); empty otherwise.
std::string DiseaseIndexNote(std::string_view ALoadedVersion);
