#include "index/AlphaSearchLogic.h"

#include <algorithm>
#include <cmath>

#include "model/CodeLookup.h"
#include "services/TextUtil.h"

std::string AlphaFilterKey(std::string_view AText) {
    return TermFilterKey(AText);
}

bool AlphaTitleMatches(std::string_view ATitle, std::string_view AKey) {
    return TermTitleMatches(ATitle, AKey);
}

std::vector<TTerm*> AlphaFillItemList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey) {
    // The main terms a key lists are those of the letter group named by its first character.
    const TAlphaLetter* group = nullptr;
    const std::string_view first = FirstCharacter(AKey);
    for (const auto& letter : ALetters) {
        if (letter->FLetter == first) {
            group = letter.get();
            break;
        }
    }
    return FillTermList(ALetters, ACurItem, AKey, group);
}

int32_t TAlphaPaging::Resize(int32_t AClientHeight, int32_t ARowHeight, int32_t ASelectedRow) {
    const int32_t rows = ARowHeight > 0 ? AClientHeight / ARowHeight : 0;
    const int32_t row = ResizeKeeping(rows, FirstIndex() + std::max(ASelectedRow, 0) + 1);
    return row > 0 ? row - 1 : -1;
}

int32_t AlphaRowHeight(int32_t ACharHeight, int32_t APixelsPerInch) {
    const double exact = static_cast<double>(ACharHeight) * APixelsPerInch / 72.0;
    return static_cast<int32_t>(std::nearbyint(exact)) + 1;  // the default rounding mode ties to even
}

std::string AlphaLevelCaption(const TTerm* ACurItem) {
    return LevelCaption(ACurItem, "Main Term:  ");
}

std::string AlphaRecordsCaption(int32_t ACount) {
    return RecordsCaption(ACount);
}

std::string AlphaPageCaption(const TAlphaPaging& APaging) {
    return PageCaption(APaging);
}

std::string AlphaMarker(const TTerm& ATerm) {
    return ATerm.FSubTermList.empty() ? " " : "+";
}

std::string AlphaWindowTitle(TDataSet AIndex) {
    if (AIndex == TDataSet::DiseaseIndex) return "Disease && Injury Alphabetical Search";
    if (AIndex == TDataSet::ExternalIndex) return "External Causes of Injury Alphabetical Search";
    return {};
}

std::vector<const TTerm*> AlphaTermPath(const TTerm* ATerm) {
    return TermPath(ATerm);
}

const std::string& AlphaCodeField(const TTerm& ATerm, TAlphaCodeKind AKind) {
    switch (AKind) {
        case TAlphaCodeKind::Manifest:
            return ATerm.FManifest;
        case TAlphaCodeKind::SeeCategory:
            return ATerm.FSeeCat;
        case TAlphaCodeKind::SeeSubcategory:
            return ATerm.FSubCat;
        case TAlphaCodeKind::Code:
            break;
    }
    return ATerm.FCode;
}

std::optional<std::string> AlphaInitCode(std::string_view AField) {
    return CodeToOpen(AField);
}
