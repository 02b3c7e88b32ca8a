// Code entry without the toolkit: the rules of the masked code box, the decision of what "go to
// code" does with a text, the completions offered by the Select Code dialog with their filter and
// totals line, and every clipboard text of the copy commands. The windows (KeywordSearch,
// SelectCode, InfoOf7Code) show what these functions decide.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/GlobalDef.h"

class TCodeResolver;
struct TCodeResolution;

// ---- Messages of code entry ----------------------------------------------------------------

inline constexpr const char* MsgSelectCorrectCode = "Please select correct code in the text box!";
inline constexpr const char* MsgCodeNotExist = "Code is not exist!";
inline constexpr const char* MsgSubCategoryQuestion =
    "Code found but Sub-Category is not correct, would you like continue to view code text?";
inline constexpr const char* MsgSubCategoryCaption = "Sub-Category not found!";
inline constexpr const char* MsgSelectCodeFirst = "Please select code first!";
inline constexpr const char* MsgSeventhCharCaption = "Seventh character not allowed";
// A copy command that finds no code text in the selection.
inline constexpr const char* MsgNoCodeToCopy = "No code is selected: double-click a code in the text first.";

// ---- Clipboard texts ----------------------------------------------------------------------

// Looks up the short description of a dotted code ("A01.00"); nullopt when the table has none.
using TShortDescLookup = std::function<std::optional<std::string>(const std::string& ACode)>;

// Code, two blanks, description; never a line break at the end.
std::string CodeWithDescription(std::string_view ACode, std::string_view ADesc);
// The short description of ACode when the lookup has one, else ALongDesc.
std::string ShortOrLongDescription(const TShortDescLookup& ALookup, const std::string& ACode,
                                   const std::string& ALongDesc);

// The five copy buttons of the Select Code dialog.
enum class TCopyKind { Code, LongDescription, CodeAndLongDescription, ShortDescription, CodeAndShortDescription };
std::string CopyText(TCopyKind AKind, const std::string& ACode, const std::string& ALongDesc,
                     const TShortDescLookup& ALookup);

// ---- Select Code dialog -------------------------------------------------------------------

// The header shown in the dialog: a bare category gets its full stop ("A00" -> "A00.").
std::string CodeHeaderText(std::string_view AHeader);

// Every valid reportable code at or below the code named by AHeaderText (a code text such as
// "S52.521" or "A00."), with its long description, in tree order; a reportable code lists itself.
// Both lists stay empty when the text names nothing the edition has.
void CollectValidCodes(const TCodeResolver& AResolver, std::string_view AHeaderText, TStringList& ACodeList,
                       TStringList& ADescList);

// The rows the dialog lists for a filter, and the counts of its totals line.
struct TCodeListSelection {
    std::vector<std::size_t> FRows;  // indexes into the code list, in list order
    int FCount4 = 0;                 // "4 chars code": five characters with the full stop
    int FCount5 = 0;
    int FCount6 = 0;
    int FCount7 = 0;
};
// With AFilter blank every code is listed; otherwise only the codes that begin, ignoring letter
// case, with AHeaderText + AFilter (trimmed). A code shorter than that prefix is not listed.
TCodeListSelection FilterCodeList(const TStringList& ACodeList, std::string_view AHeaderText, std::string_view AFilter);
// "Total: %d    (4 chars code: %d    5 chars code: %d    6 chars code: %d    7 chars code: %d)"
std::string FormatCodeTotals(const TCodeListSelection& ASelection);

// ---- Copy Code / Copy Code + Desc from the text view -------------------------------------------

// What a copy command does with a selected code text.
struct TCopyPlan {
    bool FValid = false;    // false: the selection is no code text, nothing happens
    std::string FHeader;    // category + "." + sub-code: the Select Code dialog's header
    TStringList FCodeList;  // the valid completions
    TStringList FDescList;
    bool FShowDialog = false;        // two or more completions: the user chooses in the dialog
    std::string FCode;               // otherwise: the code copied (shown in "Selected:")
    std::string FLongDesc;           // and its long description
    const char* FRefusal = nullptr;  // set when the edition has no such code: the message shown, nothing copied
};
TCopyPlan PlanCopy(const TCodeResolver& AResolver, std::string_view ASelection);
// The clipboard text of a copy that needs no dialog.
std::string DirectCopyText(const TCopyPlan& APlan, bool APlusDesc, bool ACtrlHeld, const TShortDescLookup& ALookup);

// ---- Go to code --------------------------------------------------------------------------

enum class TGoToCodeStep {
    InvalidText,         // "Please select correct code in the text box!"
    NoCategory,          // "Code is not exist!"
    SevenCharCode,       // a reportable seventh-character code: show the seventh-character dialog,
                         // then FCategory at FSubCode
    SeventhCharRefused,  // a seventh character the code does not take: ask FQuestion; Yes shows
                         // FCategory at page 1 with nothing underlined
    SubCategoryMissing,  // ask the Sub-Category question; Yes shows FCategory at page 1, FSubCode
                         // (not in the tree) underlining nothing
    Show,                // show FCategory with FSubCode underlined
};
struct TGoToCodePlan {
    TGoToCodeStep FStep = TGoToCodeStep::InvalidText;
    TCodeInfo* FCategory = nullptr;
    std::string FSubCode;          // tail passed to ShowCodeAt ("" for the category itself)
    TCodeInfo* FHeader = nullptr;  // seventh-character code: the code it belongs to
    std::string FFullDesc;         // and its full description
    std::string FQuestion;         // SeventhCharRefused: what is wrong, what is allowed, view anyway?
};
// Texts in any letter case, with or without the dot.
TGoToCodePlan PlanGoToCode(const TCodeResolver& AResolver, std::string_view AText);

// ---- Seventh characters that do not apply -----------------------------------------------------

// What both fronts say about a code whose seventh character its code does not take (verdict
// SeventhCharNotAllowed): FReason names the character and the code ("S06.1X7D: the seventh
// character D is not allowed for S06.1X7"), FAllowed lists the characters that are, each with its
// meaning ("A  initial encounter"), in tabular order.
struct TSeventhCharRefusal {
    std::string FReason;
    std::vector<std::string> FAllowed;
};
TSeventhCharRefusal SeventhCharRefusal(const TCodeResolver& AResolver, const TCodeResolution& ACode);
// The desktop question: the reason, the allowed characters, and whether to read the category anyway.
std::string SeventhCharQuestion(const TSeventhCharRefusal& ARefusal, const std::string& ACategory);

// ---- The masked code box -----------------------------------------------------------------
// The box text is always eight characters, three places, a fixed full stop, four places; an
// empty place reads as a blank.

inline constexpr const char* EmptyCodeBoxText = "   .    ";
inline constexpr int CodeBoxLength = 8;

struct TCodeBoxState {
    std::string FText;
    int FSelStart = 0;
    int FSelLength = 0;
};
// Key released: when the box holds exactly one letter or digit and it is not in the first place,
// the box is rewritten with it in the first place and the caret after it.
std::optional<TCodeBoxState> CodeBoxAfterKeyUp(std::string_view ABoxText);
// Left button released: the start of the one-character selection right after what has been typed,
// skipping the full stop (8, the end of the box, when all seven places are filled).
int CodeBoxCaretAfterClick(std::string_view ABoxText);
// The text "Go" works on: trimmed and upper-cased.
std::string CodeBoxEntry(std::string_view ABoxText);
