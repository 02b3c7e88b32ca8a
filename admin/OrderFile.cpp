#include "admin/OrderFile.h"

std::string DottedCode(std::string_view ACodeWithoutDot) {
    std::string code(ACodeWithoutDot.substr(0, 3));
    if (ACodeWithoutDot.size() > 3) {
        code += '.';
        code += ACodeWithoutDot.substr(3);
    }
    return code;
}

namespace {

// Columns are 1-based and inclusive; a range past the end of the line is cut short.
std::string_view Columns(std::string_view ALine, std::size_t AFirst, std::size_t ALast) {
    if (ALine.size() < AFirst) return {};
    return ALine.substr(AFirst - 1, ALast - AFirst + 1);
}

}  // namespace

bool ParseOrderFileLine(std::string_view ALine, TOrderFileEntry& AEntry) {
    if (ALine.size() < 16) return false;
    AEntry.Code = DottedCode(TrimBlanks(Columns(ALine, 7, 13)));
    AEntry.Flag = ALine[14];
    AEntry.ShortDesc = TrimBlanks(Columns(ALine, 17, 76));
    AEntry.LongDesc = std::string(Columns(ALine, 78, std::string_view::npos));
    return true;
}

std::vector<TOrderFileEntry> ParseOrderFile(std::string_view AText) {
    std::vector<TOrderFileEntry> entries;
    ForEachLine(AText, [&](std::string_view line) {
        TOrderFileEntry entry;
        if (ParseOrderFileLine(line, entry)) entries.push_back(std::move(entry));
    });
    return entries;
}
