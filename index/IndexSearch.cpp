#include "index/IndexSearch.h"

#include "services/TextUtil.h"

char32_t FoldLatinCase(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c < 0x100 || c > 0x17E) return c;
    // Latin Extended-A pairs each capital with the next code point, starting on an even code
    // point, except in U+0139..U+0148 and U+0179..U+017E, where they start on an odd one.
    // U+0130/U+0131 (dotted/dotless i), U+0138 and U+0149 have no simple pair; U+0178 is Y diaeresis.
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) return c;
    if (c == 0x178) return 0xFF;
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    const bool isCapital = (c % 2 == 1) == oddCapitals;
    return isCapital ? c + 1 : c;
}

namespace {

std::u32string Folded(std::string_view text) {
    std::u32string folded = Utf8ToU32(text);
    for (char32_t& c : folded) c = FoldLatinCase(c);
    return folded;
}

}  // namespace

std::vector<const TTerm*> FindMainTermsByPrefix(const TAlphaLetterList& ALetters, std::string_view APrefix) {
    const std::u32string prefix = Folded(APrefix);
    std::vector<const TTerm*> found;
    for (const auto& letter : ALetters) {
        for (const auto& term : letter->FMainTermList) {
            const std::u32string title = Folded(term->FTitle);
            if (title.size() >= prefix.size() && title.compare(0, prefix.size(), prefix) == 0) {
                found.push_back(term.get());
            }
        }
    }
    return found;
}

std::string TermLine(const TTerm& ATerm, bool ATable) {
    std::string line = ATerm.GetFullTitle(true);
    if (!ATable) {
        line += '\t';
        line += ATerm.FCode;
        return line;
    }
    for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column) {
        line += '\t';
        line += ATerm.Cell(column);
    }
    return line;
}

std::string DIndexEditionNote(std::string_view AVersion, std::string_view AProgramEdition) {
    if (AVersion == AProgramEdition) return {};
    if (AVersion.empty()) {
        return "Note: the disease index file names no edition; the rest of the data is the FY" +
               std::string(AProgramEdition) + " edition.";
    }
    return "Note: the disease index is the FY" + std::string(AVersion) + " edition, not FY" +
           std::string(AProgramEdition) + ".";
}
