// Builds small Tabular List trees by hand for the keyword tests.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "model/GlobalDef.h"

struct TKeywordTestModel {
    TChapterList chapters;

    TSubChapter& AddSection() {
        if (chapters.empty()) chapters.push_back(std::make_unique<TChapter>());
        auto& chapter = *chapters.back();
        chapter.FSubList.push_back(std::make_unique<TSubChapter>(&chapter));
        return *chapter.FSubList.back();
    }

    TCodeInfo& AddCategory(const std::string& code, const std::string& desc) {
        if (chapters.empty() || chapters.back()->FSubList.empty()) AddSection();
        auto& section = *chapters.back()->FSubList.back();
        section.FCodeList.push_back(std::make_unique<TCodeInfo>(&section, nullptr, 0));
        auto& category = *section.FCodeList.back();
        category.FCode = code;
        category.FDesc = desc;
        return category;
    }

    static TCodeInfo& AddSubCode(TCodeInfo& parent, const std::string& code, const std::string& desc) {
        parent.FSubCodeList.push_back(std::make_unique<TCodeInfo>(parent.FSubChapter, &parent, parent.FLevel + 1));
        auto& child = *parent.FSubCodeList.back();
        child.FCode = code;
        child.FDesc = desc;
        return child;
    }

    template <typename TNote>
    static TNote& AddNote(TCodeInfo& code, std::initializer_list<const char*> lines) {
        auto note = std::make_unique<TNote>();
        for (const char* line : lines) note->FNoteList.emplace_back(line);
        TNote& result = *note;
        code.FItemList.push_back(std::move(note));
        return result;
    }
};
