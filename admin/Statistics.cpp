#include "admin/Statistics.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>

#include "admin/DataPipeline.h"
#include "admin/OrderFile.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/LoadStatus.h"

namespace {

constexpr const char* LineEnd = "\r\n";

void AppendLine(std::string& AText, std::string_view APrefix, std::string_view ATail) {
    AText += APrefix;
    AText += ATail;
    AText += LineEnd;
}

}  // namespace

std::string StatisticsOrderFileText(std::string_view AOrderText, TOrderFileOutputs& AOutputs) {
    int total = 0;
    int valid = 0;
    ForEachLine(AOrderText, [&](std::string_view line) {
        if (line.size() < 16) return;
        ++total;
        const char flag = line[14];
        if (flag == '1') ++valid;
        const std::string_view category = line.substr(6, 3);
        const std::string_view rest = line.substr(9, 5);
        const std::string shortDesc = TrimBlanks(line.size() > 16 ? line.substr(16, 60) : std::string_view());
        const std::string_view longDesc = line.size() > 77 ? line.substr(77) : std::string_view();
        const std::string flagField = std::string(1, flag) + " ";

        // A category fills its 9-column code field with blanks; a longer code is the category, the
        // dot and the five following columns as they stand, which also makes 9 columns.
        const bool isCategory = TrimBlanks(rest).empty();
        const std::string codeField =
            isCategory ? std::string(category) + std::string(6, ' ') : std::string(category) + "." + std::string(rest);
        AppendLine(AOutputs.ShortWithoutFlag, codeField + " ", shortDesc);
        AppendLine(AOutputs.LongWithoutFlag, codeField, longDesc);
        AppendLine(AOutputs.ShortWithFlag, codeField + flagField, shortDesc);
        AppendLine(AOutputs.LongWithFlag, codeField + flagField, longDesc);
        if (flag == '1') {
            AppendLine(AOutputs.ShortCodes, codeField + " ", shortDesc);
            AppendLine(AOutputs.LongCodes, codeField, longDesc);
        }
    });
    char memo[96];
    std::snprintf(memo, sizeof memo, "Total: %d, Valide Code: %d", total, valid);
    return memo;
}

bool StatisticsOrderFile(const std::string& AOrderFile, const std::string& ANewShortFileWithoutFlag,
                         const std::string& ANewLongFileWithoutFlag, const std::string& ANewShortFileWithFlag,
                         const std::string& ANewLongFileWithFlag, const std::string& ACodeFile,
                         const std::string& ACodeLongFile, std::string& AMemoLine) {
    std::string orderText;
    try {
        orderText = ReadDataFile(AOrderFile);
    } catch (const std::exception&) {
        return false;
    }
    const std::array<const std::string*, 6> names = {&ANewShortFileWithoutFlag,
                                                     &ANewLongFileWithoutFlag,
                                                     &ANewShortFileWithFlag,
                                                     &ANewLongFileWithFlag,
                                                     &ACodeFile,
                                                     &ACodeLongFile};
    // Every output is opened before anything is written, so a bad name leaves no partial output.
    std::array<std::unique_ptr<std::ofstream>, 6> files;
    for (std::size_t i = 0; i < names.size(); ++i) {
        files[i] = std::make_unique<std::ofstream>(*names[i], std::ios::binary | std::ios::trunc);
        if (!*files[i]) return false;
    }
    TOrderFileOutputs outputs;
    AMemoLine = StatisticsOrderFileText(orderText, outputs);
    const std::array<const std::string*, 6> texts = {&outputs.ShortWithoutFlag, &outputs.LongWithoutFlag,
                                                     &outputs.ShortWithFlag,    &outputs.LongWithFlag,
                                                     &outputs.ShortCodes,       &outputs.LongCodes};
    bool written = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i]->write(texts[i]->data(), static_cast<std::streamsize>(texts[i]->size()));
        files[i]->close();
        written = written && !files[i]->fail();
    }
    return written;
}

std::string OrderLine(std::string_view ACode, std::string_view AFlag, std::string_view ADesc) {
    std::string line(ACode);
    if (line.size() < 9) line.append(9 - line.size(), ' ');
    line += AFlag;
    line += ' ';
    line += ADesc;
    return line;
}

void AppendOrderLines(const TCodeInfo& ACategory, std::string& AText, std::string_view ALineEnd) {
    TStringList codes;
    TStringList flags;
    TStringList descriptions;
    ACategory.GetAllNodeAndCodes(codes, flags, descriptions);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        AText += OrderLine(codes[i], flags[i], descriptions[i]);
        AText += ALineEnd;
    }
}

namespace {

int TermLines(const TAlphaLetterList& ALetters) {
    int lines = 0;
    for (const auto& letter : ALetters) {
        for (const auto& term : letter->FMainTermList) lines += term->GetTextLines();
    }
    return lines;
}

// Valid codes by length: a dotted text of 3, 5, 6, 7 or 8 characters is a code of 3 to 7 characters.
struct TCodeCounts {
    std::array<int, 5> byLength{};

    void Count(const std::string& ACode) {
        if (ACode.size() == 3) {
            ++byLength[0];
        } else if (ACode.size() >= 5 && ACode.size() <= 8) {
            ++byLength[ACode.size() - 4];
        }
    }
    int Total() const { return byLength[0] + byLength[1] + byLength[2] + byLength[3] + byLength[4]; }
};

}  // namespace

std::optional<TStatisticsLines> Statistics(const TChapterList& AChapters, const TAlphaLetterList& ADiseaseIndex,
                                           const TAlphaLetterList& AExternalIndex, const TAlphaLetterList& ADrugs,
                                           const TAlphaLetterList& ANeoplasms, bool AGenerateOrderFile,
                                           const std::string& AFileName) {
    std::ofstream orderFile;
    if (AGenerateOrderFile) {
        orderFile.open(AFileName, std::ios::binary | std::ios::trunc);
        if (!orderFile) return std::nullopt;
    }

    TStatisticsLines lines;
    const int diseaseLines = TermLines(ADiseaseIndex);
    const int externalLines = TermLines(AExternalIndex);
    const int drugLines = TermLines(ADrugs);
    const int neoplasmLines = TermLines(ANeoplasms);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "DLines : %d, ELines: %d, DTLines: %d, NTLines: %d, Total: %d ", diseaseLines,
                  externalLines, drugLines, neoplasmLines, diseaseLines + externalLines + drugLines + neoplasmLines);
    lines.IndexLine = buffer;

    int chapterCount = 0, chapterLines = 0, sectionCount = 0, sectionLines = 0, codeLines = 0;
    int node3 = 0, node4 = 0, node5 = 0, node6 = 0;
    TCodeCounts codes;
    std::string orderText;
    for (const auto& chapter : AChapters) {
        ++chapterCount;
        chapterLines += chapter->GetTextLines();
        for (const auto& section : chapter->FSubList) {
            ++sectionCount;
            sectionLines += section->GetTextLines();
            for (const auto& category : section->FCodeList) {
                ++node3;
                codeLines += category->GetTextLines();
                for (const auto& level1 : category->FSubCodeList) {
                    ++node4;
                    for (const auto& level2 : level1->FSubCodeList) {
                        ++node5;
                        node6 += static_cast<int>(level2->FSubCodeList.size());
                    }
                }
                TStringList codeList;
                TStringList descriptions;
                if (AGenerateOrderFile) {
                    TStringList flags;
                    category->GetAllNodeAndCodes(codeList, flags, descriptions);
                    for (std::size_t i = 0; i < codeList.size(); ++i) {
                        orderText += OrderLine(codeList[i], flags[i], descriptions[i]);
                        orderText += LineEnd;
                        if (flags[i] == "1") codes.Count(codeList[i]);
                    }
                } else {
                    category->GetAllValideCodes(codeList, descriptions);
                    for (const auto& code : codeList) codes.Count(code);
                }
            }
        }
    }
    if (AGenerateOrderFile) {
        orderFile.write(orderText.data(), static_cast<std::streamsize>(orderText.size()));
        orderFile.close();
        if (!orderFile) return std::nullopt;
    }
    std::snprintf(buffer, sizeof buffer,
                  "ChpNum : %d, ChpLines: %d, SubChpNum: %d, SubChpLines: %d, CodesLines: %d, Node3: %d, Node4: %d, "
                  "Node5: %d, Node6: %d, Total: %d, 3 codes: %d, 4 codes: %d, 5 codes: %d, 6 codes: %d, 7 codes: %d, "
                  "total: %d",
                  chapterCount, chapterLines, sectionCount, sectionLines, codeLines, node3, node4, node5, node6,
                  node3 + node4 + node5 + node6, codes.byLength[0], codes.byLength[1], codes.byLength[2],
                  codes.byLength[3], codes.byLength[4], codes.Total());
    lines.TabularLine = buffer;
    return lines;
}

std::optional<TStatisticsLines> StatisticsOfLoadedData(const TChapterList& AChapters, const TIndexData& AIndex,
                                                       const TLoadStatuses& AStatuses, bool AGenerateOrderFile,
                                                       const std::string& AFileName) {
    for (TDataSet set : AllDataSets) {
        if (set != TDataSet::CodeKeywords) WaitForDataSetQuietly(AStatuses[set]);
    }
    return Statistics(AChapters, AIndex.DiseaseIndex, AIndex.ExternalIndex, AIndex.DrugTable, AIndex.NeoplasmTable,
                      AGenerateOrderFile, AFileName);
}
