// Model of the alphabetic indexes and tables: letter groups holding trees of terms.
// The four letter lists (TIndexData) are filled by the index loader (IndexLoader.h) on their loader
// threads and only read afterwards, once their load has settled.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "services/DataSets.h"

class TTerm;
class TAlphaLetter;

// Common base of the two things a term can hang from: a letter group (main terms) or another
// term (sub-terms). Lets a caller walk up the parent chain while the parent is a term.
class TIndexNode {
public:
    virtual ~TIndexNode() = default;
    virtual TTerm* AsTerm() { return nullptr; }
    virtual const TTerm* AsTerm() const { return nullptr; }
    virtual TAlphaLetter* AsLetter() { return nullptr; }
    virtual const TAlphaLetter* AsLetter() const { return nullptr; }

protected:
    TIndexNode() = default;
    TIndexNode(const TIndexNode&) = default;
    TIndexNode& operator=(const TIndexNode&) = default;
};

using TTermList = std::vector<std::unique_ptr<TTerm>>;

// One main term, one sub-term or one table row.
class TTerm : public TIndexNode {
public:
    // Table columns that carry codes; column 1 of a table is the title.
    static constexpr int FirstCellColumn = 2;
    static constexpr int LastCellColumn = 7;

    TTerm(TIndexNode* AParent, int32_t ALevel);
    TTerm(const TTerm&) = delete;
    TTerm& operator=(const TTerm&) = delete;

    TTerm* AsTerm() override { return this; }
    const TTerm* AsTerm() const override { return this; }

    std::string FTitle;     // composed from the title element, never trimmed
    std::string FSee;       // "see" cross-reference
    std::string FSeeAlso;   // "see also" cross-reference
    std::string FManifest;  // manifestation code, printed in brackets after the code
    std::string FCode;      // index files only
    std::string FSeeCat;    // index files only: a category to look at
    std::string FSubCat;    // index files only: a sub-category to look at
    // Table files only: the code cells of columns 2 to 7, stored at [column - 2]; use Cell().
    // Texts as read: codes, "--" or "-" for "no code", empty when the row has no such cell.
    std::array<std::string, 6> FCodesInCell;
    TTermList FSubTermList;
    TIndexNode* FParent;  // the letter for a main term, the enclosing term otherwise; not owned
    int32_t FLevel;       // 0 for a main term, one more per nesting step

    // The cell of a table column (2 to 7); an empty text for any other column.
    const std::string& Cell(int ACol) const;
    // The enclosing term, or null for a main term.
    TTerm* ParentTerm() const { return FParent ? FParent->AsTerm() : nullptr; }
    // The letter group the term belongs to (walks up the parent chain), or null.
    TAlphaLetter* Letter() const;

    // Title followed by the cross-references and, when AShowManif, the manifestation in brackets.
    std::string GetFullTitle(bool AShowManif) const;
    // The full title after one "-" per level and a blank ("-- " for a level-2 term).
    std::string GetLevelTitle(bool AShowManif) const;
    // Number of terms in the subtree, this term included.
    int GetTextLines() const;
};

// One letter group of a file: "A" to "Z", or "#" for drug names that begin with a digit.
class TAlphaLetter : public TIndexNode {
public:
    TAlphaLetter() = default;
    TAlphaLetter(const TAlphaLetter&) = delete;
    TAlphaLetter& operator=(const TAlphaLetter&) = delete;

    TAlphaLetter* AsLetter() override { return this; }
    const TAlphaLetter* AsLetter() const override { return this; }

    std::string FLetter;
    TTermList FMainTermList;
};

using TAlphaLetterList = std::vector<std::unique_ptr<TAlphaLetter>>;

// The four alphabetic data sets of one edition, in file order. Each list is written only by its
// loader while its status is Loading.
struct TIndexData {
    TAlphaLetterList DiseaseIndex;   // Index to Diseases and Injuries
    TAlphaLetterList ExternalIndex;  // Index to External Causes
    TAlphaLetterList DrugTable;      // Table of Drugs and Chemicals
    TAlphaLetterList NeoplasmTable;  // Table of Neoplasms
    // Text of the disease index file's "version" element (its fiscal year, e.g. "2017" for a
    // stand-in edition), so the program can tell the user which edition it shows. Written by the
    // disease index loader; read it once that load has settled. Empty when the file has no version.
    std::string DiseaseIndexEdition;

    // The letter list of an alphabetic data set; throws std::invalid_argument for the others.
    TAlphaLetterList& LettersOf(TDataSet ASet);
    const TAlphaLetterList& LettersOf(TDataSet ASet) const;
    void Clear();
};
