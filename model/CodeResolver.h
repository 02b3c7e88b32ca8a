// The one answer to "what is this code text?". Every path that turns a text into a code (go to
// code, the copy commands, the Select Code list, the seventh-character dialog, the index, table and
// chapter windows, the command-line front, favourite lists) asks a TCodeResolver and shows its
// answer. It indexes every node and every reportable code of the Tabular List once, in tabular
// order, so each question is one hash look-up.
//
// "Reportable" means exactly: a code that the order-file listing of the model (GetAllNodeAndCodes)
// flags with 1. Texts may be written in any letter case and with or without the dot ("s52521a").
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/GlobalDef.h"

enum class TCodeVerdict : std::uint8_t {
    Reportable,             // a valid final code; FDesc is its long description
    NotReportable,          // a node that needs more characters; its completions are the valid codes below
    SeventhCharNotAllowed,  // a seventh-character code whose character does not apply to FNode
    NotInEdition,           // a code text this edition does not have (FCategory set when the category exists)
    NotACodeText,           // not a code text at all
};

// One word per verdict, for listings: "reportable", "not-reportable", "seventh-not-allowed",
// "not-in-edition", "not-a-code".
const char* VerdictWord(TCodeVerdict AVerdict);

// The dotted upper-case form of a code text: blanks and control characters around it are dropped,
// letters are upper-cased, a dot is put after the third character of an undotted code that starts
// with a letter and a digit ("s52521a" -> "S52.521A"), and what ParseCodeText drops goes
// ("A00." -> "A00", "C79.8-" -> "C79.8"). nullopt when the text is no code text.
std::optional<std::string> NormalizeCodeText(std::string_view AText);

// A dotted code text held without allocation (a code text has at most eight characters).
struct TCodeText {
    char FChars[8] = {};
    std::uint8_t FLength = 0;
    std::string_view View() const { return {FChars, FLength}; }
};
bool NormalizeCodeText(std::string_view AText, TCodeText& ACode);

struct TCodeResolution {
    TCodeVerdict FVerdict = TCodeVerdict::NotACodeText;
    std::string FCode;               // the dotted form ("S52.521A"); empty when not a code text
    std::string FDesc;               // Reportable: long description; NotReportable: the node's description
    TCodeInfo* FCategory = nullptr;  // the category, whenever the edition has it
    // Reportable and NotReportable: the tree node the code is shown at (for a seventh-character code
    // the code it belongs to); SeventhCharNotAllowed: the code it would belong to; else null.
    TCodeInfo* FNode = nullptr;
    bool FSeventhCharacter = false;  // Reportable: completed with a seventh character of FNode's definition

    bool IsReportable() const { return FVerdict == TCodeVerdict::Reportable; }
    // The part after the dot of the node shown ("521" for S52.521A): what the text view underlines.
    std::string NodeSubCode() const;
};

// The resolution without copies, for checking many texts: FDesc points into the resolver or the model.
struct TCodeAnswer {
    TCodeVerdict FVerdict = TCodeVerdict::NotACodeText;
    TCodeText FCode;
    const std::string* FDesc = nullptr;  // Reportable and NotReportable only
    TCodeInfo* FCategory = nullptr;
    TCodeInfo* FNode = nullptr;
    bool FSeventhCharacter = false;
};

class TCodeResolver {
public:
    // Indexes the given Tabular List; the resolver points into it and must not outlive it.
    explicit TCodeResolver(const TChapterList& AChapters);

    TCodeResolution Resolve(std::string_view AText) const;
    TCodeAnswer Answer(std::string_view AText) const;
    bool IsReportable(std::string_view AText) const;

    // The valid codes a resolution stands for, in tabular order, with their long descriptions:
    // the code itself when it is reportable, every reportable code below the node when it is not,
    // nothing otherwise. Appended to the lists.
    void Completions(const TCodeResolution& AResolution, TStringList& ACodeList, TStringList& ADescList) const;
    std::size_t CompletionCount(const TCodeResolution& AResolution) const;

    std::size_t ReportableCount() const { return FReportable.size(); }
    std::size_t EntryCount() const { return FEntries.size(); }

private:
    struct TEntry {
        std::string FCode;
        TCodeInfo* FNode = nullptr;    // the node itself, or the code a seventh-character code belongs to
        std::uint32_t FDescIndex = 0;  // seventh-character codes: index into FSeventhDescs
        std::uint32_t FFirst = 0;      // nodes: their reportable codes, FReportable[FFirst, FLast)
        std::uint32_t FLast = 0;
        bool FReportable = false;
        bool FSeventhCharacter = false;
        bool FNeedsSeventh = false;  // a leaf that takes a seventh character
    };

    void AddNode(TCodeInfo& ANode);
    std::uint32_t AddEntry(TEntry AEntry);
    void BuildIndex();
    const TEntry* Find(std::string_view ACode) const;
    const std::string& DescOf(const TEntry& AEntry) const;

    std::vector<TEntry> FEntries;            // in tabular order
    std::vector<std::uint32_t> FReportable;  // indexes of the reportable entries, in tabular order
    std::vector<std::string> FSeventhDescs;
    // Open addressing over the packed dotted code (eight bytes at most, so the key is exact):
    // a slot holds the key and the entry index + 1 (0 when free), side by side for one memory read.
    struct TSlot {
        std::uint64_t FKey = 0;
        std::uint32_t FEntry = 0;
    };
    std::vector<TSlot> FSlots;
    std::size_t FSlotMask = 0;
};
