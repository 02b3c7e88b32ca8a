// The published ICD-10-CM order file: one line per Tabular List node in tabular order, with fixed
// columns (1-5 order number, 7-13 code without its dot, 15 flag "1" for a reportable code and
// "0" for a header, 17-76 short description, 78- long description).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "services/TextUtil.h"  // TrimBlanks

struct TOrderFileEntry {
    std::string Code;       // with its dot after the third character: "A00.0"
    char Flag = '0';        // '1' reportable code, '0' header
    std::string ShortDesc;  // columns 17-76, blanks trimmed
    std::string LongDesc;   // column 78 to the end of the line
};

// Calls AOnLine for every line of AText without its line end (LF or CR LF; a last line without
// a line end counts too).
template <typename TOnLine>
void ForEachLine(std::string_view AText, TOnLine&& AOnLine) {
    std::size_t start = 0;
    while (start < AText.size()) {
        std::size_t end = AText.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? AText.size() : end + 1;
        if (end == std::string_view::npos) end = AText.size();
        std::string_view line = AText.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        AOnLine(line);
        start = next;
    }
}

// "A000" -> "A00.0", "A00" -> "A00": the dot goes after the third character of a longer code.
std::string DottedCode(std::string_view ACodeWithoutDot);

// Parses one order-file line. Lines shorter than 16 characters are not entries (false).
bool ParseOrderFileLine(std::string_view ALine, TOrderFileEntry& AEntry);

// Every entry of a whole order file, in file order.
std::vector<TOrderFileEntry> ParseOrderFile(std::string_view AText);
