// Data pipeline operations used at build time (zendra-datatool) and by the administrator tool:
// compressing data sets for embedding, deriving the Tabular List with its seventh-character
// exception rules, and regenerating the committed derived data files from the published ones.
// Every failure throws std::runtime_error with a message that names the file or the code.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "admin/ExceptionRules.h"

// The largest data file read (the published files are below 16 MB unpacked).
inline constexpr std::size_t MaxDataFileBytes = 256 * 1024 * 1024;

// Reads a whole regular file of at most MaxDataFileBytes; a name ending in ".gz" is gunzipped (and
// its unpacked text held to the same bound).
std::string ReadDataFile(const std::string& fileName);

// Writes bytes to a file through a temporary file that then replaces it.
void WriteDataFile(const std::string& fileName, std::string_view bytes);

// Compresses bytes into one zlib stream at the highest level (header 0x78 0xDA).
std::string CompressBytes(std::string_view bytes);

// Writes the whole source file (plain or .gz) as one zlib stream at the highest level.
void CompressFile(const std::string& sourceFile, const std::string& targetFile);

// The administrator's "Zip Resource Files": for each data file of the program folder ADir (the five
// XML files, then CodeKeywords2021, SpecialKWs2021 and ReportableCodesShort2021 ".txt"),
// CompressFile into a file of the same name with the extension ".dzip". A file that is missing
// or cannot be compressed is skipped silently. Returns the number of files written.
int ZipResourceFiles(const std::string& ADir);

// The reportable codes (flag "1") of an order-file text, with their dots.
std::set<std::string> ListedCodesOfOrderFile(std::string_view orderText);

// Returns the Tabular List text with an "exception" attribute added to every seventh-character
// extension whose completions the order file does not list; every other byte stays as it was.
// Throws when the text does not load, already carries exception rules, or when no
// position:character rule set explains what the order file leaves out. With AReport (tolerant,
// see DeriveTabularExceptions) a leaf no rule set describes gets a "sevenChrDef" of its own after
// its "desc", copied from its owner's with only the characters the order file lists for it.
std::string AddExceptionAttributes(const std::string& tabularText, std::string_view orderText,
                                   TExceptionReport* AReport = nullptr);

// AddExceptionAttributes on files (inputs plain or .gz).
void WriteTabularWithExceptions(const std::string& tabularFile, const std::string& orderFile,
                                const std::string& outputFile);

// The hand-written lists the keyword generator reads from the data folder.
inline constexpr const char* KeywordStopWordsFileName = "KeywordStopWords.txt";
inline constexpr const char* KeywordAbbreviationsFileName = "KeywordAbbreviations.txt";

// The committed data files that RegenerateDerivedFiles rewrites, by file name.
const std::vector<std::string>& DerivedDataFileNames();

// The published texts (plain, not gzipped) the derived data sets come from, and our two lists.
struct TPipelineInputs {
    std::string TabularText;  // without exception rules, as published
    std::string OrderText;
    std::string DiseaseIndexText;
    std::string ExternalIndexText;
    std::string StopWordsText;
    std::string AbbreviationsText;
};

// What the program embeds besides the published texts.
struct TDerivedDataSets {
    std::string TabularText;   // with its seventh-character exception rules
    std::string ShortCodes;    // ReportableCodesShort: the short reportable-code file
    std::string CodeKeywords;  // CodeKeywords: the keyword set
};

// The whole derivation (strict without AReport, tolerant with it; see AddExceptionAttributes).
TDerivedDataSets DeriveDataSets(const TPipelineInputs& AInputs, TExceptionReport* AReport = nullptr);

// Rewrites every derived data file in outputDir from the published files in dataDir:
// ReportableCodesShort2021.txt (the short reportable-code file of the order file) and
// CodeKeywords2021.txt (the keyword generator on the Tabular List as the program embeds it, with
// its exception rules, the disease and external-cause indexes, KeywordStopWords.txt and
// KeywordAbbreviations.txt).
void RegenerateDerivedFiles(const std::string& dataDir, const std::string& outputDir);
