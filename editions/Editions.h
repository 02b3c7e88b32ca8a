// The editions of the classification the program can use: the one it embeds and those imported
// into the editions folder (one folder per edition, named by its id), which edition is in effect
// on a date of service, and the data sets of an installed edition as a resource provider the
// loaders read like the embedded ones.
#pragma once

#include <compare>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/Resources.h"

struct TDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    auto operator<=>(const TDate&) const = default;
};

// "2021-06-30" (also "06/30/2021", as US claims write it); nullopt for anything else or a day that
// does not exist.
std::optional<TDate> ParseDate(std::string_view AText);
std::string FormatDate(const TDate& ADate);  // "2021-06-30"

struct TEditionInfo {
    std::string Id;                   // "2022"; a mid-year update "2024-04"
    int Year = 0;                     // the fiscal year: October 1 of the year before to September 30
    TDate EffectiveFrom;              // October 1 of the year before; a mid-year update its own date
    std::string Addenda;              // addenda in effect later in the year, where known
    std::string DiseaseIndexEdition;  // the "version" of its Index to Diseases and Injuries
    bool Embedded = false;
    std::string Folder;              // an installed edition's folder, ending in "/"
    std::string Sources;             // the published files it was imported from
    std::vector<std::string> Notes;  // what the import did beyond the plain derivation

    TDate EffectiveTo() const { return {Year, 9, 30}; }
    // "FY2022 (effective 2021-10-01)" plus the addenda where known.
    std::string Title() const;
};

// The embedded edition.
TEditionInfo EmbeddedEdition();

// The folder imported editions live in: "Editions/" under the user's data folder.
std::string EditionsFolder();

// The manifest every installed edition folder holds, written last by an import.
inline constexpr const char* EditionManifestName = "edition.ini";
std::string FormatManifest(const TEditionInfo& AEdition);
// Reads a manifest; nullopt when it is damaged.
std::optional<TEditionInfo> ParseManifest(std::string_view AText);

// The embedded edition, then every installed one (folders whose manifest reads), by effective
// date. An installed edition with the embedded one's id stands in for it: both are listed, and
// FindEdition returns the installed one.
std::vector<TEditionInfo> ListEditions(const std::string& AEditionsRoot);
std::optional<TEditionInfo> FindEdition(const std::vector<TEditionInfo>& AEditions, std::string_view AId);

// The edition in effect on ADate: the one with the latest effective date on or before it, as long
// as ADate is inside its fiscal year. nullopt when no edition covers the date.
std::optional<TEditionInfo> EditionInEffect(const std::vector<TEditionInfo>& AEditions, const TDate& ADate);
// "no installed edition covers 2019-05-01; installed: FY2021 (2020-10-01 to 2021-09-30), ..."
std::string NoEditionMessage(const std::vector<TEditionInfo>& AEditions, const TDate& ADate);

// The data sets of an installed edition: its compressed files, read into memory when opened; the
// lists that do not change with the edition (SpecialKWs, Spellings, the keyword generator's
// lists) come from AProgram. The embedded edition is AProgram itself.
class TEditionResources : public TResourceProvider {
public:
    // Throws std::runtime_error naming the file that is missing or cannot be read.
    TEditionResources(const TEditionInfo& AEdition, const TResourceProvider& AProgram);
    std::optional<TResourceBytes> Find(std::string_view AName) const override;

private:
    const TResourceProvider& FProgram;
    std::map<std::string, std::string, std::less<>> FFiles;
};

// The data sets an installed edition stores (resource names; each one zlib stream, "NAME.dzip").
const std::vector<std::string>& EditionResourceNames();

// The provider of AEdition: AProgram itself for the embedded edition.
std::unique_ptr<TResourceProvider> OpenEditionResources(const TEditionInfo& AEdition,
                                                        const TResourceProvider& AProgram);

// The published order file of an edition, inflated. Throws std::runtime_error when it is missing.
std::string EditionOrderText(const TResourceProvider& AResources);

// Removes an installed edition's folder. The embedded edition cannot be removed. Returns an
// empty text on success, else why not.
std::string RemoveEdition(const std::string& AEditionsRoot, std::string_view AId);
