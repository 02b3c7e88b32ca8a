// Finding the files of a published release: by their published names whatever the year
// ("icd10cm_tabular_2022.xml", "icd10cm-tabular-2024.xml", "icd10cm-order-April-2024.txt"), in
// the release's zip files, in a folder of unpacked files (plain or gzipped) or given one by one,
// and checking that each is the kind of file its name says, of the edition its name says.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TMemberKind { Tabular, DiseaseIndex, ExternalIndex, Drugs, Neoplasms, Order };
inline constexpr std::size_t MemberKindCount = 6;

// "Tabular List", "Index to Diseases and Injuries", ...
const char* MemberKindName(TMemberKind AKind);
// "icd10cm_tabular_YYYY.xml", ...: the published name, for messages.
const char* MemberPattern(TMemberKind AKind);

struct TMemberName {
    TMemberKind Kind = TMemberKind::Tabular;
    int Year = 0;
    int Month = 0;  // a mid-year update names its month ("April"); 0 for the October release
    bool Gzipped = false;
};

// The kind, year and month a file's base name gives, any letter case; nullopt for any other file.
std::optional<TMemberName> ParseMemberName(std::string_view AFileName);

// One file of the release, read into memory (unpacked when gzipped).
struct TReleaseMember {
    TMemberName Name;
    std::string Source;  // where it came from: "FILE.zip:MEMBER" or the path
    std::string Text;
};

struct TReleaseLimits {
    std::size_t MaxMemberBytes = 64 * 1024 * 1024;  // any file, unpacked
    std::size_t MaxZipBytes = 256 * 1024 * 1024;
};

// The members of the paths (zip files, folders searched three levels deep, single files), in
// kind order. AProgress is called with each path as it is read. Throws std::runtime_error naming
// the file: a path that is none of these, a damaged file or zip, a member over the bound, two
// files of one kind (two releases), a kind missing.
std::array<TReleaseMember, MemberKindCount> CollectRelease(const std::vector<std::string>& APaths,
                                                           const std::function<void(const std::string&)>& AProgress,
                                                           const TReleaseLimits& ALimits = {});

// The members of one zip file's bytes (AZipName for messages), added to AFound; a second member
// of a kind already found throws.
void CollectZipMembers(std::string_view AZipBytes, const std::string& AZipName, std::vector<TReleaseMember>& AFound,
                       const TReleaseLimits& ALimits = {});

// Checks that a member is the kind of file its name says and names its edition in its content
// (the XML files' "version" element must equal the year of the name). Throws std::runtime_error
// naming the member's source.
void CheckMemberContent(const TReleaseMember& AMember);
