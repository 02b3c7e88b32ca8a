// Counting and listing operations of the administrator tool: the statistics of the loaded data
// sets, the generated order file, and the six derived files of the published order file.
// Plain functions on paths and containers; text files are written with CR LF line ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "index/IndexModel.h"
#include "model/GlobalDef.h"
#include "services/DataSets.h"

// The six files derived from the published order file, as texts.
struct TOrderFileOutputs {
    std::string ShortWithoutFlag;  // code field of 10 columns, short description from column 11
    std::string LongWithoutFlag;   // code field of 9 columns, long description from column 10
    std::string ShortWithFlag;     // code field of 9 columns, flag in column 10, short from column 12
    std::string LongWithFlag;      // the same with the long description
    std::string ShortCodes;        // ShortWithoutFlag reduced to reportable codes (short-description set)
    std::string LongCodes;         // LongWithoutFlag reduced to reportable codes
};

// Derives the six texts from an order-file text and returns the memo line
// "Total: %d, Valide Code: %d" (lines of 16 or more characters, and those with flag "1").
std::string StatisticsOrderFileText(std::string_view AOrderText, TOrderFileOutputs& AOutputs);

// The same on files (the order file may be gzipped). When the order file cannot be read or an
// output cannot be created, no line is written (outputs created before the failing one are left
// empty) and false is returned; otherwise AMemoLine gets the memo line.
bool StatisticsOrderFile(const std::string& AOrderFile, const std::string& ANewShortFileWithoutFlag,
                         const std::string& ANewLongFileWithoutFlag, const std::string& ANewShortFileWithFlag,
                         const std::string& ANewLongFileWithFlag, const std::string& ACodeFile,
                         const std::string& ACodeLongFile, std::string& AMemoLine);

// One line of a generated order file: the code padded with blanks to 9 characters, the flag
// ("1" valid code, "0" node that is not a code by itself), a blank and the description.
std::string OrderLine(std::string_view ACode, std::string_view AFlag, std::string_view ADesc);

// Appends the order lines of every node and valid code at or below ACategory (GetAllNodeAndCodes),
// each followed by ALineEnd.
void AppendOrderLines(const TCodeInfo& ACategory, std::string& AText, std::string_view ALineEnd);

// The two memo lines of the statistics of the loaded data.
struct TStatisticsLines {
    // "DLines : %d, ELines: %d, DTLines: %d, NTLines: %d, Total: %d " (terms of the four
    // alphabetic sets).
    std::string IndexLine;
    // "ChpNum : %d, ChpLines: %d, SubChpNum: %d, ..., 7 codes: %d, total: %d" (chapters, sections,
    // code tree levels and valid codes by length).
    std::string TabularLine;
};

// Counts the given data sets. With AGenerateOrderFile set, the order lines of every category
// (AppendOrderLines, CR LF) are written to AFileName and the valid codes are counted from them;
// nullopt when that file cannot be written.
std::optional<TStatisticsLines> Statistics(const TChapterList& AChapters, const TAlphaLetterList& ADiseaseIndex,
                                           const TAlphaLetterList& AExternalIndex, const TAlphaLetterList& ADrugs,
                                           const TAlphaLetterList& ANeoplasms, bool AGenerateOrderFile,
                                           const std::string& AFileName);

// Statistics on the data sets of the edition in use, after waiting (quietly) while any of the five
// AStatuses names is loading.
std::optional<TStatisticsLines> StatisticsOfLoadedData(const TChapterList& AChapters, const TIndexData& AIndex,
                                                       const TLoadStatuses& AStatuses, bool AGenerateOrderFile,
                                                       const std::string& AFileName);
