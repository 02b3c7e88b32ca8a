// Edition constants and the load statuses of the six data sets. A loader is the
// only writer of its container until its status leaves 1; readers look at a container only after
// that (see services/LoadStatus.h for waiting).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <iosfwd>
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

// The six data sets, each loaded by its own thread. The numbers are the order of the loaders and
// of the resource table.
enum class TDataSet : std::int32_t {
    Tabular = 0,        // Tabular List
    DiseaseIndex = 1,   // Index to Diseases and Injuries
    ExternalIndex = 2,  // Index to External Causes
    DrugTable = 3,      // Table of Drugs and Chemicals
    NeoplasmTable = 4,  // Table of Neoplasms
    CodeKeywords = 5,   // keyword tables of the keyword search
};
inline constexpr std::size_t DataSetCount = 6;
inline constexpr std::array<TDataSet, DataSetCount> AllDataSets = {TDataSet::Tabular,       TDataSet::DiseaseIndex,
                                                                   TDataSet::ExternalIndex, TDataSet::DrugTable,
                                                                   TDataSet::NeoplasmTable, TDataSet::CodeKeywords};
constexpr std::size_t DataSetIndex(TDataSet ASet) {
    return static_cast<std::size_t>(ASet);
}
// "Tabular", "DIndex", "EIndex", "TableOfDrugs", "TableOfNeoplasms", "CodeKeywords".
const char* DataSetName(TDataSet ASet);
std::ostream& operator<<(std::ostream& AStream, TDataSet ASet);

// Where the load of a data set stands. Only Loading means "not readable yet"; after it the
// container is complete (Done) or holds what was read before a failure or a cancel.
enum class TLoadState : std::int32_t { NotStarted = 0, Loading = 1, Done = 2, Failed = -1, Cancelled = -2 };

// "not started", "loading", "done", "failed", "cancelled".
const char* LoadStateName(TLoadState AState);
std::ostream& operator<<(std::ostream& AStream, TLoadState AState);

// The load state of one data set, shared by its loader thread and every reader. Every change wakes
// the threads that wait for a data set (services/LoadStatus.h), so a wait never polls.
class TLoadStatus {
public:
    constexpr TLoadStatus() = default;
    constexpr explicit TLoadStatus(TLoadState AState) : FState(AState) {}
    TLoadStatus(const TLoadStatus&) = delete;
    TLoadStatus& operator=(const TLoadStatus&) = delete;

    TLoadState load() const { return FState.load(std::memory_order_acquire); }
    void store(TLoadState AState);
    TLoadState exchange(TLoadState AState);
    // Stores ADesired only while the state is AExpected; otherwise AExpected receives the state.
    bool compare_exchange_strong(TLoadState& AExpected, TLoadState ADesired);
    TLoadStatus& operator=(TLoadState AState) {
        store(AState);
        return *this;
    }

private:
    std::atomic<TLoadState> FState{TLoadState::NotStarted};
};

// The load statuses of the six data sets, one each, indexed by the set.
class TLoadStatuses {
public:
    TLoadStatus& operator[](TDataSet ASet) { return FStatuses.at(DataSetIndex(ASet)); }
    const TLoadStatus& operator[](TDataSet ASet) const { return FStatuses.at(DataSetIndex(ASet)); }

private:
    std::array<TLoadStatus, DataSetCount> FStatuses;
};
