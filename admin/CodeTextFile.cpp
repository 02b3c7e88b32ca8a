#include "admin/CodeTextFile.h"

#include <fstream>

namespace {

constexpr std::string_view Indent = "         ";  // 9 blanks: the keyword column of the code-text layout

std::string PaddedCode(const std::string& ACode) {
    std::string field = ACode;
    if (field.size() < Indent.size()) field.append(Indent.size() - field.size(), ' ');
    return field;
}

// A text as it goes into the file, counted as one line or as the pieces it was joined into.
std::string CountedText(const std::string& AText, bool AAddComma, int& ATotalWordNum) {
    if (!AAddComma) {
        ++ATotalWordNum;
        return AText;
    }
    int pieces = 0;
    std::string joined = JoinWordsWithCommas(AText, pieces);
    ATotalWordNum += pieces;
    return joined;
}

bool SaveLines(const TStringList& ALines, const std::string& AFileName) {
    std::ofstream out(AFileName, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    std::string text;
    for (const auto& line : ALines) {
        text += line;
        text += "\r\n";
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

template <typename TVisit>
void ForEachCategory(const TChapterList& AChapters, TVisit&& AVisit) {
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) AVisit(*category);
        }
    }
}

}  // namespace

std::string JoinWordsWithCommas(std::string_view AText, int& APieces) {
    std::string result;
    APieces = 0;
    std::size_t at = 0;
    while (at < AText.size()) {
        const std::size_t start = AText.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        std::size_t end = AText.find(' ', start);
        if (end == std::string_view::npos) end = AText.size();
        const std::string_view piece = AText.substr(start, end - start);
        if (result.empty()) {
            result = piece;
            APieces = 1;
        } else if (result.back() == ',') {
            result += ' ';
            result += piece;
        } else {
            result += ", ";
            result += piece;
            ++APieces;
        }
        at = end;
    }
    return result;
}

void AppendTitle(const TCodeInfo& ACodeInfo, TStringList& AStringList, int& ATotalWordNum, bool AAddComma) {
    AStringList.push_back(PaddedCode(ACodeInfo.FCode) + CountedText(ACodeInfo.FDesc, AAddComma, ATotalWordNum));
    for (const auto& item : ACodeInfo.FItemList) {
        if (item->FItemKind == TItemKind::SevenCharDef) {
            for (const auto& character : static_cast<const TSevenCharDef&>(*item).FDefList) {
                AStringList.push_back(std::string(Indent) + character->FChar + " - " + character->FDesc);
                ++ATotalWordNum;
            }
            continue;
        }
        if (item->FItemKind != TItemKind::Note) continue;
        const auto& note = static_cast<const TNoteBase&>(*item);
        if (note.FKind != TNoteKind::SevenCharNote && note.FKind != TNoteKind::Includes &&
            note.FKind != TNoteKind::InclusionTerm) {
            continue;
        }
        if (!note.FTypeWord.empty()) AStringList.push_back(std::string(Indent) + note.FTypeWord);
        for (const auto& line : note.FNoteList) {
            AStringList.push_back(std::string(Indent) + CountedText(line, AAddComma, ATotalWordNum));
        }
    }
    for (const auto& child : ACodeInfo.FSubCodeList) AppendTitle(*child, AStringList, ATotalWordNum, AAddComma);
}

bool GenerateCodeTextFile(const TChapterList& AChapters, bool AAddComma, const std::string& AFileName,
                          int& ATotalWordNum) {
    TStringList lines;
    ATotalWordNum = 0;
    ForEachCategory(AChapters,
                    [&](const TCodeInfo& category) { AppendTitle(category, lines, ATotalWordNum, AAddComma); });
    return SaveLines(lines, AFileName);
}

bool GenerateAllCodeText(const TChapterList& AChapters, const std::string& AFileName) {
    TStringList lines;
    ForEachCategory(AChapters, [&](const TCodeInfo& category) {
        TStringList codes;
        TStringList descriptions;
        category.GetAllValideCodes(codes, descriptions);
        for (std::size_t i = 0; i < codes.size(); ++i) lines.push_back(PaddedCode(codes[i]) + descriptions[i]);
    });
    return SaveLines(lines, AFileName);
}
