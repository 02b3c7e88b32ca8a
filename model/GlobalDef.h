// In-memory model of the ICD-10-CM Tabular List: chapters, sections, the code tree below each
// section, and the notes, seventh-character definitions and visual impairment table hanging on them.
// Built once by the tabular loader on its own thread, read-only afterwards.
//
// Text is UTF-8 in std::string. Code columns and widths are counted in characters by the layout
// code (see TextUtil.h), never in bytes.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

class TChapter;
class TSubChapter;
class TCodeInfo;

using TStringList = std::vector<std::string>;

// What an item of an item list is; lets walkers pick items without dynamic_cast.
enum class TItemKind {
    Note,              // a TNoteBase descendant (FKind tells which)
    SevenCharDef,      // TSevenCharDef
    VisualImpairment,  // TVisualImpairment
};

// Base of everything that can stand in a node's item list (notes, seventh-character definitions,
// the visual impairment table). Polymorphic only so that owning lists can hold mixed items.
class TModelItem {
public:
    virtual ~TModelItem() = default;

    TItemKind FItemKind;

protected:
    explicit TModelItem(TItemKind AItemKind) : FItemKind(AItemKind) {}
};

// Which note class a TNoteBase is; lets walkers test the kind without dynamic_cast.
enum class TNoteKind {
    Includes,
    InclusionTerm,
    CodeFirst,
    CodeAlso,
    UseAdditionalCode,
    Excludes1,
    Excludes2,
    Notes,
    SevenCharNote,
    Instruction,
};

class TNoteBase : public TModelItem {
public:
    explicit TNoteBase(TNoteKind kind);

    TNoteKind FKind;
    std::string FTypeWord;  // heading word printed before the first note
    std::string FIndent;    // blanks before every further note (one longer than the type word)
    TStringList FNoteList;  // one entry per "note" element, text as read
};

class TIncludes : public TNoteBase {
public:
    TIncludes();
};
class TInclusionTerm : public TNoteBase {
public:
    TInclusionTerm();
};
class TCodeFirst : public TNoteBase {
public:
    TCodeFirst();
};
class TCodeAlso : public TNoteBase {
public:
    TCodeAlso();
};
class TUseAdditionalCode : public TNoteBase {
public:
    TUseAdditionalCode();
};
class TExcludes1 : public TNoteBase {
public:
    TExcludes1();
};
class TExcludes2 : public TNoteBase {
public:
    TExcludes2();
};
class TNotes : public TNoteBase {
public:
    TNotes();
};
class TSevenCharNote : public TNoteBase {
public:
    TSevenCharNote();
};
// An instruction section of the introduction; FTypeWord is the section's title (set by the loader).
class TInstruction : public TNoteBase {
public:
    TInstruction();
};

// One exception rule: the seventh character does not apply to codes with FCodeVal at FCodePos
// (position counted from 1 without the dot; 4, 5 or 6).
class TCharDefExcption {
public:
    int FCodePos = 0;
    char FCodeVal = 0;
};

// One allowed seventh character.
class TCharDef {
public:
    std::string FChar;  // one letter or digit
    std::string FDesc;  // its meaning
    std::vector<std::unique_ptr<TCharDefExcption>> FDefExceptionList;

    // Fills the exception rules from an "exception" attribute text such as "6:7;6:8" (TabularLoader.cpp).
    // Items split like a delimited list (";" or blanks separate, double quotes group); a rule is kept
    // only for position 4, 5 or 6 and exactly one character. Throws std::runtime_error when a position
    // is not an integer (fails the tabular load).
    void SetException(const std::string& AExceptionDesc);
    // True when a rule excludes this character for the dotted code text ACode.
    bool InExceptionRule(const std::string& ACode) const;
};

class TSevenCharDef : public TModelItem {
public:
    TSevenCharDef() : TModelItem(TItemKind::SevenCharDef) {}

    std::vector<std::unique_ptr<TCharDef>> FDefList;
};

class TVisRange {
public:
    std::string FVisMax;
    std::string FVisMin;
};

class TVisCategory {
public:
    int FValue = 0;
    std::array<std::unique_ptr<TVisRange>, 3> VisRanges;  // slots without a range are null
};

class TVisualImpairment : public TModelItem {
public:
    TVisualImpairment() : TModelItem(TItemKind::VisualImpairment) {}

    std::vector<std::unique_ptr<TVisCategory>> FVisCategoryList;
    int GetTextLines() const { return 18; }
};

using TItemList = std::vector<std::unique_ptr<TModelItem>>;

// Name, code range and notes of a chapter or section.
class TChapterInfo {
public:
    std::string FName;    // title without the range
    std::string FScope;   // "(A00-A09)" or empty
    TItemList FItemList;  // TNoteBase descendants only
};

class TCodeInfo {
public:
    TCodeInfo(TSubChapter* ASubChapter, TCodeInfo* AParent, int ALevel);

    std::string FCode;  // with its dot: "S52.521"
    std::string FDesc;
    bool FPlaceHolder = false;
    TItemList FItemList;  // notes, at most one TSevenCharDef, the TVisualImpairment
    TSubChapter* FSubChapter;
    TCodeInfo* FParent;
    std::vector<std::unique_ptr<TCodeInfo>> FSubCodeList;
    int FLevel;

    int GetTextLines() const;

    // Look-ups and seventh-character rules (CodeLookup.cpp).
    bool IsFinalCode() const;
    TSevenCharDef* GetSelf7CharDef() const;
    TSevenCharDef* GetParent7CharDef() const;
    TSevenCharDef* Get7CharDef() const;
    void GetAllValideCodes(TStringList& ACodeList, TStringList& ADescList) const;
    void GetAllNodeAndCodes(TStringList& ACodeNodeList, TStringList& AFlagList, TStringList& ADescList) const;
};

class TChapter {
public:
    TChapterInfo FInfo;
    std::vector<std::unique_ptr<TSubChapter>> FSubList;

    void SetInfoByString(const std::string& AStr);
    int GetTextLines() const;
};

class TSubChapter {
public:
    explicit TSubChapter(TChapter* AChapter) : FChapter(AChapter) {}

    TChapterInfo FInfo;
    TChapter* FChapter;
    std::vector<std::unique_ptr<TCodeInfo>> FCodeList;  // categories

    void SetInfoByString(const std::string& AStr);
    int GetTextLines() const;
};

class TIntroduction {
public:
    std::string FTitle;
    std::string FSubTitle;
    std::vector<std::unique_ptr<TInstruction>> FInstructionList;
};

using TChapterList = std::vector<std::unique_ptr<TChapter>>;

// Sum of the note counts of every note list in an item list (GetTextLines helper).
int CountNoteLines(const TItemList& items);
