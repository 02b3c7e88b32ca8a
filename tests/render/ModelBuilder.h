// Tiny hand-built Tabular List pieces for the layout and paging tests.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "model/GlobalDef.h"
#include "services/TextUtil.h"

// Adds a child node under AParent (or a category when AParent is null, kept in ARoot).
inline TCodeInfo& AddCode(std::unique_ptr<TCodeInfo>& ARoot, TCodeInfo* AParent, const std::string& ACode,
                          const std::string& ADesc) {
    const int level = AParent ? AParent->FLevel + 1 : 0;
    auto node = std::make_unique<TCodeInfo>(nullptr, AParent, level);
    node->FCode = ACode;
    node->FDesc = ADesc;
    TCodeInfo& result = *node;
    if (AParent) {
        AParent->FSubCodeList.push_back(std::move(node));
    } else {
        ARoot = std::move(node);
    }
    return result;
}

template <typename TNote>
TNote& AddNote(TItemList& AItems, std::initializer_list<const char*> ATexts) {
    auto note = std::make_unique<TNote>();
    for (const char* text : ATexts) note->FNoteList.emplace_back(text);
    TNote& result = *note;
    AItems.push_back(std::move(note));
    return result;
}

inline TSevenCharDef& AddSevenCharDef(TCodeInfo& ACode,
                                      std::initializer_list<std::pair<const char*, const char*>> ADefs) {
    auto definition = std::make_unique<TSevenCharDef>();
    for (const auto& [character, desc] : ADefs) {
        auto def = std::make_unique<TCharDef>();
        def->FChar = character;
        def->FDesc = desc;
        definition->FDefList.push_back(std::move(def));
    }
    TSevenCharDef& result = *definition;
    ACode.FItemList.push_back(std::move(definition));
    return result;
}

inline std::u32string U32(const std::string& AText) {
    return Utf8ToU32(AText);
}
inline std::string Utf8(const std::u32string& AText) {
    return U32ToUtf8(AText);
}
