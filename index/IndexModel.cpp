#include "index/IndexModel.h"

#include <stdexcept>

TAlphaLetterList& TIndexData::LettersOf(TDataSet ASet) {
    switch (ASet) {
        case TDataSet::DiseaseIndex:
            return DiseaseIndex;
        case TDataSet::ExternalIndex:
            return ExternalIndex;
        case TDataSet::DrugTable:
            return DrugTable;
        case TDataSet::NeoplasmTable:
            return NeoplasmTable;
        default:
            throw std::invalid_argument(std::string("not an alphabetic data set: ") + DataSetName(ASet));
    }
}

const TAlphaLetterList& TIndexData::LettersOf(TDataSet ASet) const {
    return const_cast<TIndexData*>(this)->LettersOf(ASet);
}

void TIndexData::Clear() {
    DiseaseIndex.clear();
    ExternalIndex.clear();
    DrugTable.clear();
    NeoplasmTable.clear();
    DiseaseIndexEdition.clear();
}

TTerm::TTerm(TIndexNode* AParent, int32_t ALevel) : FParent(AParent), FLevel(ALevel) {}

const std::string& TTerm::Cell(int ACol) const {
    static const std::string empty;
    if (ACol < FirstCellColumn || ACol > LastCellColumn) return empty;
    return FCodesInCell[static_cast<std::size_t>(ACol - FirstCellColumn)];
}

TAlphaLetter* TTerm::Letter() const {
    TIndexNode* node = FParent;
    while (node != nullptr) {
        if (TTerm* term = node->AsTerm()) {
            node = term->FParent;
        } else {
            return node->AsLetter();
        }
    }
    return nullptr;
}

std::string TTerm::GetFullTitle(bool AShowManif) const {
    std::string text = FTitle;
    if (!FSee.empty()) text += " --see " + FSee;
    if (!FSeeAlso.empty()) text += " --see also " + FSeeAlso;
    if (AShowManif && !FManifest.empty()) text += " [" + FManifest + "]";
    if (!FSeeCat.empty()) text += " --see category " + FSeeCat;
    if (!FSubCat.empty()) text += " --see subcategory " + FSubCat;
    return text;
}

std::string TTerm::GetLevelTitle(bool AShowManif) const {
    std::string text(static_cast<std::size_t>(FLevel > 0 ? FLevel : 0), '-');
    if (!text.empty()) text += ' ';
    return text + GetFullTitle(AShowManif);
}

int TTerm::GetTextLines() const {
    int lines = 1;
    for (const auto& sub : FSubTermList) lines += sub->GetTextLines();
    return lines;
}
