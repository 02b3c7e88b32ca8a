// Edition constants, data folders and the load statuses of the six data sets. A loader is the
// only writer of its container until its status leaves 1; readers look at a container only after
// that (see services/LoadStatus.h for waiting).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

inline constexpr const char* EditionYear = "2021";
// The embedded Tabular List and order file: the FY2021 release, in effect from October 1, 2020,
// with the addenda in effect from January 1, 2021 (the six codes below were added then).
inline constexpr const char* EditionEffectiveDate = "Oct 1 2020";
inline constexpr const char* EditionAddendaDate = "Jan 1 2021";
inline constexpr const char* EditionAddendaCodes = "J12.82, M35.81, M35.89, Z11.52, Z20.822, Z86.16";
inline constexpr const char* WindowTitle = "ICD-10 (2021), Provided by Kelvora";

// Base names of the data files behind the eight embedded resources.
inline constexpr const char* TabularFileBase = "icd10cm_tabular_2021";
inline constexpr const char* DIndexFileBase = "icd10cm_index_2021";
inline constexpr const char* EIndexFileBase = "icd10cm_eindex_2021";
inline constexpr const char* DrugFileBase = "icd10cm_drug_2021";
inline constexpr const char* NeoplasmFileBase = "icd10cm_neoplasm_2021";
inline constexpr const char* KeywordFileBase = "CodeKeywords2021";
inline constexpr const char* PluralFileBase = "SpecialKWs2021";
inline constexpr const char* ShortDescFileBase = "ReportableCodesShort2021";

// Load status values.
inline constexpr int32_t StatusNotStarted = 0;
inline constexpr int32_t StatusLoading = 1;
inline constexpr int32_t StatusDone = 2;
inline constexpr int32_t StatusFailed = -1;
inline constexpr int32_t StatusCancelled = -2;

using TLoadStatus = std::atomic<int32_t>;

extern TLoadStatus TabularStatus;
extern TLoadStatus DIndexStatus;
extern TLoadStatus EIndexStatus;
extern TLoadStatus TableOfDrugsStatus;
extern TLoadStatus TableOfNeoplasmsStatus;
extern TLoadStatus CodeKeywordsStatus;

// Folders, each ending in "/". Set by the start-up (Folders.h).
extern std::string ProgramDir;
extern std::string SharedDataDir;
extern std::string UserDataDir;
