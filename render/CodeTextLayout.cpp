#include "render/CodeTextLayout.h"

#include <initializer_list>

#include "services/TextUtil.h"

int ContinuationKind(int AKind) {
    int next = AKind < 8 ? AKind + 8 : AKind;
    if (next == 10 || next == 11) next = 9;
    return next;
}

char KindDigit(int AKind) {
    return "0123456789ABCDEF"[AKind & 0xF];
}

int KindOfDigit(char ADigit) {
    if (ADigit >= '0' && ADigit <= '9') return ADigit - '0';
    if (ADigit >= 'A' && ADigit <= 'F') return ADigit - 'A' + 10;
    return -1;
}

bool IsOriginalLineDigit(char ADigit) {
    return ADigit >= '0' && ADigit < '5';
}

std::u32string LevelIndent(int ALevel, bool ADeep) {
    static constexpr int plain[] = {0, 2, 4, 6, 8};
    static constexpr int deep[] = {0, 6, 10, 13, 16};
    if (ALevel <= 0) return {};
    const int index = ALevel >= 4 ? 4 : ALevel;
    return std::u32string(static_cast<std::size_t>(ADeep ? deep[index] : plain[index]), U' ');
}

std::u32string PadText(int AWidth, char32_t AFill, const std::u32string& AText, int AAlign) {
    const int length = static_cast<int>(AText.size());
    if (length >= AWidth) return AText;
    const auto fill = static_cast<std::size_t>(AWidth - length);
    if (AAlign == -1) return AText + std::u32string(fill, AFill);
    if (AAlign == 0) {
        const std::size_t before = fill / 2;
        return std::u32string(before, AFill) + AText + std::u32string(fill - before, AFill);
    }
    return std::u32string(fill, AFill) + AText;
}

void WrapTextLine(const std::u32string& AText, int AWidth, const std::u32string& APrefix, int AKind,
                  TLayoutLines& ALines, std::string& AKinds) {
    std::u32string text = AText;
    int kind = AKind;
    const std::size_t width = AWidth < 0 ? 0 : static_cast<std::size_t>(AWidth);
    const std::size_t prefixLength = APrefix.size();
    for (;;) {
        if (text.size() <= width) break;
        // pos runs over the 1-based positions width+1 down to prefixLength+1; the prefix is never searched.
        std::size_t found = std::u32string::npos;
        for (std::size_t pos = width + 1; pos > prefixLength; --pos) {
            if (text[pos - 1] == U' ') {
                found = pos - 1;
                break;
            }
        }
        if (found == std::u32string::npos) break;
        ALines.push_back(text.substr(0, found));
        AKinds.push_back(KindDigit(kind));
        text = APrefix + text.substr(found + 1);
        kind = ContinuationKind(kind);
    }
    ALines.push_back(std::move(text));
    AKinds.push_back(KindDigit(kind));
}

void AddTypeWord(TTypeWordList& ATypeWords, const std::u32string& AWord) {
    if (AWord.empty()) return;
    for (const auto& word : ATypeWords) {
        if (word == AWord) return;
    }
    ATypeWords.push_back(AWord);
}

bool OnSamePage(int ALineA, int ALineB, int ALinesPerPage) {
    if (ALinesPerPage <= 0) return true;
    // Ceiling division for positive line numbers.
    const auto page = [ALinesPerPage](int line) { return (line + ALinesPerPage - 1) / ALinesPerPage; };
    return page(ALineA) == page(ALineB);
}

namespace {

std::u32string Spaces(std::size_t count) {
    return std::u32string(count, U' ');
}

// The note kinds laid out as inclusion text (kind 4) rather than as notes (kind 0).
bool IsInclusionNote(TNoteKind AKind) {
    return AKind == TNoteKind::SevenCharNote || AKind == TNoteKind::Includes || AKind == TNoteKind::InclusionTerm;
}

// Lines of one note list: first text after the type word, later ones after the indent.
void AppendNoteLines(const TNoteBase& ANote, const std::u32string& APrefix, int AWidth, int AKind, TLayoutLines& ALines,
                     std::string& AKinds, TTypeWordList& ATypeWords) {
    const std::u32string typeWord = Utf8ToU32(ANote.FTypeWord);
    const std::u32string indent = Utf8ToU32(ANote.FIndent);
    const std::u32string continuationPrefix = APrefix + indent;
    for (std::size_t index = 0; index < ANote.FNoteList.size(); ++index) {
        const std::u32string text = Utf8ToU32(ANote.FNoteList[index]);
        std::u32string line;
        if (index == 0) {
            line = typeWord.empty() ? APrefix + text : APrefix + typeWord + U" " + text;
            AddTypeWord(ATypeWords, typeWord);
        } else {
            line = APrefix + indent + text;
        }
        WrapTextLine(line, AWidth, continuationPrefix, AKind, ALines, AKinds);
    }
}

void AppendInfoText(const TChapterInfo& AInfo, int AWidth, std::string& AKinds, TTypeWordList& ATypeWords,
                    TLayoutLines& ALines) {
    const std::u32string scope = Utf8ToU32(AInfo.FScope);
    const std::u32string hanging = Spaces(scope.size() + 1);
    WrapTextLine(scope + U" " + Utf8ToU32(AInfo.FName), AWidth, hanging, lkHeading, ALines, AKinds);
    for (const auto& item : AInfo.FItemList) {
        if (const auto* note = dynamic_cast<const TNoteBase*>(item.get())) {
            AppendNoteLines(*note, hanging, AWidth, lkNote, ALines, AKinds, ATypeWords);
        }
    }
}

// Text after the dot of a code: its characters after the first four (empty for a category).
std::string CodeTail(const std::string& ACode) {
    return ACode.size() <= 4 ? std::string() : ACode.substr(4);
}

}  // namespace

void AppendCodeText(const TCodeInfo& ACode, int AWidth, int ALinesPerPage, const std::string& ASelectedTail,
                    int& ASelectedLine, std::string& AKinds, TTypeWordList& ATypeWords, TLayoutLines& ALines) {
    const int first = static_cast<int>(ALines.size()) + 1;
    const int level = ACode.FLevel;
    const std::u32string code = Utf8ToU32(ACode.FCode);
    const std::u32string plainIndent = LevelIndent(level, false);
    const std::u32string hanging = Spaces(plainIndent.size() + code.size() + 1);

    std::string selectedTail = ASelectedTail;
    bool selectedHere = false;
    if (!selectedTail.empty() && CodeTail(ACode.FCode) == selectedTail) {
        ASelectedLine = first;
        selectedHere = true;
        selectedTail.clear();
    }

    int kind = lkHeaderCode;
    if (ACode.IsFinalCode()) {
        kind = lkFinalCode;
    } else if (ACode.FSubCodeList.empty() && ACode.Get7CharDef() != nullptr) {
        kind = lkSevenCharCode;
    }
    WrapTextLine(plainIndent + code + U" " + Utf8ToU32(ACode.FDesc), AWidth, hanging, kind, ALines, AKinds);

    const std::u32string deepChildIndent = LevelIndent(level + 1, true);
    for (const auto& item : ACode.FItemList) {
        if (const auto* sevenChar = dynamic_cast<const TSevenCharDef*>(item.get())) {
            for (const auto& def : sevenChar->FDefList) {
                WrapTextLine(deepChildIndent + Utf8ToU32(def->FChar) + U" - " + Utf8ToU32(def->FDesc), AWidth,
                             deepChildIndent, lkInclusion, ALines, AKinds);
            }
        } else if (const auto* table = dynamic_cast<const TVisualImpairment*>(item.get())) {
            AppendVisualImpairmentTable(*table, ALines, AKinds);
        } else if (const auto* note = dynamic_cast<const TNoteBase*>(item.get())) {
            std::u32string prefix;
            if (note->FKind == TNoteKind::InclusionTerm) {
                prefix = deepChildIndent;
            } else if (note->FTypeWord.empty()) {
                prefix = hanging;
            } else {
                prefix = plainIndent + Spaces(4);
            }
            AppendNoteLines(*note, prefix, AWidth, IsInclusionNote(note->FKind) ? lkInclusion : lkNote, ALines, AKinds,
                            ATypeWords);
        }
    }

    // Keep a block that fits on one page from straddling a page boundary.
    const int count = static_cast<int>(ALines.size());
    if (ALinesPerPage > 0 && !OnSamePage(first, count, ALinesPerPage) && count - first < ALinesPerPage) {
        const int fill = ALinesPerPage - ((first - 1) % ALinesPerPage);
        ALines.insert(ALines.begin() + (first - 1), static_cast<std::size_t>(fill), std::u32string());
        AKinds.insert(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(fill), KindDigit(lkSevenCharCode));
        if (selectedHere) ASelectedLine += fill;
    }

    for (const auto& subCode : ACode.FSubCodeList) {
        AppendCodeText(*subCode, AWidth, ALinesPerPage, selectedTail, ASelectedLine, AKinds, ATypeWords, ALines);
    }
}

void AppendSectionText(const TSubChapter& ASection, int AWidth, std::string& AKinds, TTypeWordList& ATypeWords,
                       TLayoutLines& ALines) {
    AppendInfoText(ASection.FInfo, AWidth, AKinds, ATypeWords, ALines);
}

void AppendChapterText(const TChapter& AChapter, int AWidth, TLayoutLines& ALines, std::string& AKinds,
                       TTypeWordList& ATypeWords) {
    AppendInfoText(AChapter.FInfo, AWidth, AKinds, ATypeWords, ALines);
}

namespace {

// "|" cell "|" cell ... "|"
std::u32string TableRow(std::initializer_list<std::u32string> ACells) {
    std::u32string row(1, U'|');
    for (const auto& cell : ACells) {
        row += cell;
        row += U'|';
    }
    return row;
}

}  // namespace

void AppendVisualImpairmentTable(const TVisualImpairment& ATable, TLayoutLines& ALines, std::string& AKinds) {
    const std::u32string prefix(2, U' ');
    const auto row = [&](const std::u32string& text, int kind) {
        WrapTextLine(text, 90, prefix, kind, ALines, AKinds);
    };
    const auto centre = [](const std::string& text, int width) { return PadText(width, U' ', Utf8ToU32(text), 0); };
    const auto dashes = [](int width) { return std::u32string(static_cast<std::size_t>(width), U'-'); };
    const auto blanks = [](int width) { return std::u32string(static_cast<std::size_t>(width), U' '); };
    const std::u32string separator = TableRow({dashes(17), dashes(34), dashes(35)});

    row(dashes(90), lkNote);
    row(TableRow({centre("Category of", 17), centre("Visual acuity with best possible correction", 70)}), lkHeading);
    row(TableRow({blanks(17), dashes(70)}), lkNote);
    row(TableRow({centre("visual impairment", 17), centre("Maximum less than", 34),
                  centre("Minimum equal to or better than", 35)}),
        lkHeading);
    row(separator, lkNote);

    const auto& categories = ATable.FVisCategoryList;
    for (std::size_t index = 0; index < categories.size(); ++index) {
        const TVisCategory& category = *categories[index];
        const TVisRange* first = category.VisRanges[0].get();
        if (first == nullptr) continue;
        row(TableRow({blanks(17), centre(first->FVisMax, 34), centre(first->FVisMin, 35)}), lkNote);
        // Further ranges stand one column to the left of the first, as the printed table has them.
        for (std::size_t slot = 1; slot < 3; ++slot) {
            const TVisRange* range = category.VisRanges[slot].get();
            if (range == nullptr) continue;
            row(TableRow({dashes(17), dashes(34), blanks(35)}), lkNote);
            row(TableRow({centre(range->FVisMax, 17), centre(range->FVisMin, 34), blanks(35)}), lkNote);
        }
        if (index + 1 < categories.size()) row(separator, lkNote);
    }
    row(dashes(90), lkNote);
}
