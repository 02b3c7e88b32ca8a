// Integer and text settings in an INI file: "[Section]" lines, then "Key=Value" lines. Section and key
// names match without regard to ASCII case. Every call opens the file, does its work and closes
// it; any error is swallowed (reads yield the default, a failed write changes nothing). The file
// may be UTF-8 (with or without a byte order mark), 8-bit or UTF-16 with a byte order mark
// (services/TextEncoding.h); it is written back in the encoding it had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A larger file is not read and never written over.
inline constexpr std::size_t MaxIniFileBytes = 1024 * 1024;

class TIniFile {
public:
    explicit TIniFile(std::string AFileName) : FFileName(std::move(AFileName)) {}

    const std::string& FileName() const { return FFileName; }

    // The value of the key, or ADefault when the file, the section or the key is missing or the
    // value is not a whole number in range (decimal, or hexadecimal with "$" or "0x").
    int32_t ReadInteger(const std::string& ASection, const std::string& AKey, int32_t ADefault) const;
    // The value of the key as written (trimmed), or ADefault when the file, the section or the key is missing.
    std::string ReadString(const std::string& ASection, const std::string& AKey, const std::string& ADefault) const;

    // Sets keys of one section. Every other line of the file (keys, sections, comments, blank
    // lines) is kept; missing keys are added at the end of their section, a missing section at
    // the end of the file. The new content goes to a temporary file in the same folder that then
    // replaces the old one, so the file is either the old or the new one, never half written.
    // Lines end in CR LF; the file keeps its encoding and byte order mark, and in a UTF-8 or 8-bit
    // file every other line keeps its bytes. Returns false (file unchanged) when anything fails.
    bool WriteIntegers(const std::string& ASection, const std::vector<std::pair<std::string, int32_t>>& AValues);
    // The same for values written as given (a value holds no line end).
    bool WriteStrings(const std::string& ASection, const std::vector<std::pair<std::string, std::string>>& AValues);
    bool WriteInteger(const std::string& ASection, const std::string& AKey, int32_t AValue) {
        return WriteIntegers(ASection, {{AKey, AValue}});
    }

private:
    std::string FFileName;
};
