#include "admin/KeywordFiles.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "admin/DataPipeline.h"
#include "model/CodeLookup.h"
#include "services/FileUtil.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "services/TextUtil.h"

namespace {

constexpr std::string_view Indent = "         ";  // 9 blanks

bool ReadLines(const std::string& AFileName, std::vector<std::string>& ALines) {
    std::string text;
    if (ReadRegularFile(AFileName, text, MaxDataFileBytes) != TFileRead::Read) return false;
    ALines = SplitLines(text);
    return true;
}

bool WriteText(std::ofstream& AOut, const std::string& AText) {
    AOut.write(AText.data(), static_cast<std::streamsize>(AText.size()));
    AOut.close();
    return !AOut.fail();
}

// Items of a keyword list, each with its runs of TABs and blanks made one blank and trimmed;
// empty items dropped.
std::vector<std::string> CleanItems(std::string_view AText) {
    std::vector<std::string> items;
    for (const std::string& raw : SplitAt(AText, ',')) {
        std::string item;
        bool inRun = false;
        for (char c : raw) {
            if (c == ' ' || c == '\t') {
                inRun = true;
                continue;
            }
            if (inRun && !item.empty()) item += ' ';
            inRun = false;
            item += c;
        }
        if (!item.empty()) items.push_back(std::move(item));
    }
    return items;
}

void AppendItems(std::string& ALine, const std::vector<std::string>& AItems) {
    for (std::size_t i = 0; i < AItems.size(); ++i) {
        if (i > 0) ALine += ' ';
        ALine += AItems[i];
        ALine += ',';
    }
}

std::string InvalidCodeLineMessage(int ALineNumber, const std::string& ALine) {
    return "Invalid line " + std::to_string(ALineNumber) + " (error code definition): " + ALine;
}

bool LoadKeywordFileIntoTables(const std::string& AKeywordFile, bool ACategoryOnly, bool AMultiWordOnly,
                               bool ACapitalize, TKeywordTables& ATables, TLoadStatus& AStatus) {
    WaitForDataSetQuietly(AStatus);
    std::string bytes;
    if (ReadRegularFile(AKeywordFile, bytes, MaxDataFileBytes) != TFileRead::Read) return false;
    std::istringstream in(std::move(bytes));
    ATables.ClearCodes();
    LoadCodeKeywords(in, ACategoryOnly, AMultiWordOnly, ACapitalize, ATables, AStatus);
    return true;
}

struct TKeywordLess {
    bool operator()(const std::string& A, const std::string& B) const { return CompareKeywordText(A, B) < 0; }
};

}  // namespace

bool NormalizeKeywordFile(const std::string& AFileName) {
    std::vector<std::string> lines;
    if (!ReadLines(AFileName, lines)) return false;
    std::ofstream out(AFileName + "-New.txt", std::ios::binary | std::ios::trunc);
    if (!out) return false;
    std::string text;
    int lineNumber = 0;
    for (const std::string& line : lines) {
        ++lineNumber;
        if (line.empty()) continue;
        std::string output;
        if (line[0] == '\t' || line[0] == ' ') {
            const auto items = CleanItems(line);
            if (!items.empty()) output = std::string(Indent);
            AppendItems(output, items);
        } else {
            const std::size_t blank = line.find(' ');
            if (blank == std::string::npos || blank + 1 <= 3) continue;
            if (blank + 1 > 4 && line[3] != '.') {
                ShowMessage(InvalidCodeLineMessage(lineNumber, line));
                continue;
            }
            output = line.substr(0, blank);
            output.append(Indent.size() > blank ? Indent.size() - blank : 0, ' ');
            AppendItems(output, CleanItems(std::string_view(line).substr(blank + 1)));
        }
        if (!output.empty()) text += output + "\r\n";
    }
    return WriteText(out, text);
}

bool ArrangeCodeKeyword(const TCodeKeywordsList& ACodeList, const std::string& AArrangedFile,
                        const std::string& ADistinctFile) {
    std::ofstream arranged(AArrangedFile, std::ios::binary | std::ios::trunc);
    if (!arranged) return false;
    std::set<std::string, TKeywordLess> distinct;
    std::string text;
    for (const auto& record : ACodeList) {
        std::string line;
        for (std::size_t i = 0; i < record->FKeywords.size(); ++i) {
            const std::string& keyword = record->FKeywords[i];
            distinct.insert(keyword);
            if (i == 0) {
                line = record->FCode;
                if (line.size() < 8) line.append(8 - line.size(), ' ');
            } else if (i % 4 == 0) {
                line = std::string(8, ' ');
            }
            line += " " + keyword + ",";
            if (i % 4 == 3) {
                text += line + "\r\n";
                line.clear();
            }
        }
        if (!line.empty()) text += line + "\r\n";
    }
    if (!WriteText(arranged, text)) return false;

    std::ofstream distinctFile(ADistinctFile, std::ios::binary | std::ios::trunc);
    if (!distinctFile) return false;
    std::string distinctText;
    for (const auto& keyword : distinct) distinctText += keyword + "\r\n";
    return WriteText(distinctFile, distinctText);
}

bool ArrangeKeywordFile(const std::string& AKeywordFile, bool ACategoryOnly, bool AMultiWordOnly, bool ACapitalize,
                        const std::string& AArrangedFile, const std::string& ADistinctFile, TKeywordTables& ATables,
                        TLoadStatus& AStatus) {
    if (!LoadKeywordFileIntoTables(AKeywordFile, ACategoryOnly, AMultiWordOnly, ACapitalize, ATables, AStatus))
        return false;
    return ArrangeCodeKeyword(ATables.Codes, AArrangedFile, ADistinctFile);
}

bool ExtractKeywordsForVerify(const std::string& AKeywordFile, const std::string& AKeywordListFile, bool ACapitalize,
                              TKeywordTables& ATables, TLoadStatus& AStatus) {
    if (!LoadKeywordFileIntoTables(AKeywordFile, false, false, ACapitalize, ATables, AStatus)) return false;
    std::ofstream out(AKeywordFile + "-Verify.txt", std::ios::binary | std::ios::trunc);
    std::vector<std::string> keywords;
    if (!out || !ReadLines(AKeywordListFile, keywords)) return false;

    std::string text;
    for (const std::string& keyword : keywords) {
        text += keyword + "\r\n";
        const std::string wanted = AsciiUpper(keyword);
        std::string line;
        int onLine = 0;
        for (const auto& record : ATables.Codes) {
            bool carries = false;
            for (const auto& own : record->FKeywords) {
                if (SameHyphenBlank(AsciiUpper(own), wanted)) {
                    carries = true;
                    break;
                }
            }
            if (!carries) continue;
            line += (onLine == 0 ? std::string(Indent) : std::string(", ")) + record->FCode;
            if (++onLine == 5) {
                text += line + "\r\n";
                line.clear();
                onLine = 0;
            }
        }
        if (onLine > 0) text += line + "\r\n";
    }
    return WriteText(out, text);
}

std::optional<std::string> StatisticsDistinctKW(const std::string& ADistinctKWFile) {
    std::vector<std::string> lines;
    if (!ReadLines(ADistinctKWFile, lines)) return std::nullopt;
    int counts[5] = {};
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        int words = 0;
        std::istringstream pieces(line);
        for (std::string word; pieces >> word;) ++words;
        if (words >= 1 && words <= 4) {
            ++counts[words];
        } else if (words > 4) {
            ShowMessage(line);
        }
    }
    char memo[128];
    std::snprintf(memo, sizeof memo, "Total: %d, 1: %d, 2: %d, 3: %d, 4: %d",
                  counts[1] + counts[2] + counts[3] + counts[4], counts[1], counts[2], counts[3], counts[4]);
    return std::string(memo);
}
