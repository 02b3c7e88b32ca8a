// Small text helpers shared by every library: UTF-8 <-> UTF-32 conversion (layout counts
// characters, not bytes), ASCII-only case mapping and trimming.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Invalid UTF-8 bytes decode to U+FFFD, so a damaged byte still counts as one character.
std::u32string Utf8ToU32(std::string_view text);
std::string U32ToUtf8(std::u32string_view text);
std::size_t Utf8Length(std::string_view text);

// Only "a"-"z" / "A"-"Z" change; every other byte, including UTF-8 sequences, is kept.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
std::u32string AsciiUpper(std::u32string_view text);

// Removes leading and trailing blanks (space only).
std::string TrimBlanks(std::string_view text);
// Removes leading and trailing characters <= ' ' (blanks and control characters).
std::string TrimControls(std::string_view text);

// Splits at a single delimiter; every piece is kept, empty ones included.
std::vector<std::string> SplitAt(std::string_view text, char delimiter);

// Reads a whole text into lines, accepting CR LF, LF or a lone CR as line ends; a final line
// without an end is kept, an end at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);
