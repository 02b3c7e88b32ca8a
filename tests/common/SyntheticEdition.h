// Release files for the edition tests, in the published formats: the unchanged 2021 files of
// data/, and a synthetic FY2022 release made from them by the written list of changes below.
//
// The FY2022 changes:
//  - every "version" element and file name says 2022 (the disease index too: the stand-in's
//    2017 becomes 2022);
//  - new category U10 "Quorvalitis" after U07: U10.1 "Acute quorvalitis" with a seventh-character
//    definition (A, D, S) over U10.11 (right side) and U10.12 (left side), whose "S" the order
//    file does not list, and U10.9 "Quorvalitis, unspecified";
//  - deleted: code A00.1 and category A65 (a reportable three-character code);
//  - revised titles: A00.9 "Cholera, unspecified type", A01.00 "Typhoid fever, unspecified site";
//  - R05 "Cough" gains children R05.1 "Acute cough" and R05.9 "Cough, unspecified" and so stops
//    being reportable;
//  - the disease index gains the main term "Quorvalitis" (U10.9), the drug table the row
//    "Quovirasol" (T50.991 to T50.996).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct TReleaseFile {
    std::string Name;  // the published name ("icd10cm_tabular_2022.xml")
    std::string Text;
};

// The six published 2021 files of ADataDir, unpacked (the disease index is the FY2017 stand-in).
std::vector<TReleaseFile> Published2021Files(const std::filesystem::path& ADataDir);

// The synthetic FY2022 release.
std::vector<TReleaseFile> Synthetic2022Files(const std::filesystem::path& ADataDir);

// What `diff 2021 2022` gives for the synthetic release: the list above, as diff lines.
inline constexpr const char* Synthetic2022Diff =
    "category-added\tU10\t\tQuorvalitis\n"
    "category-deleted\tA65\tNonvenereal syphilis\t\n"
    "added\tR05.1\t\tAcute cough\n"
    "added\tR05.9\t\tCough, unspecified\n"
    "added\tU10.11XA\t\tAcute quorvalitis, right side, initial encounter\n"
    "added\tU10.11XD\t\tAcute quorvalitis, right side, subsequent encounter\n"
    "added\tU10.11XS\t\tAcute quorvalitis, right side, sequela\n"
    "added\tU10.12XA\t\tAcute quorvalitis, left side, initial encounter\n"
    "added\tU10.12XD\t\tAcute quorvalitis, left side, subsequent encounter\n"
    "added\tU10.9\t\tQuorvalitis, unspecified\n"
    "deleted\tA00.1\tCholera due to Vibrio cholerae 01, biovar eltor\t\n"
    "deleted\tA65\tNonvenereal syphilis\t\n"
    "deleted\tR05\tCough\t\n"
    "revised\tA00.9\tCholera, unspecified\tCholera, unspecified type\n"
    "revised\tA01.00\tTyphoid fever, unspecified\tTyphoid fever, unspecified site\n";

// Writes the files into AFolder (created when missing).
void WriteReleaseFiles(const std::filesystem::path& AFolder, const std::vector<TReleaseFile>& AFiles);

// Writes the files as members of a zip file (stored under their names as given).
void WriteReleaseZip(const std::filesystem::path& AZipFile, const std::vector<TReleaseFile>& AFiles);
