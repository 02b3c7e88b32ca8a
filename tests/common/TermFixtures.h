// Hand-made letter groups for the tests of the index and table logic: main terms by letter group
// (a title written "/title" is a sub-term of the main term before it), and look-ups by title.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "index/IndexModel.h"

inline TAlphaLetterList Letters(const std::vector<std::pair<std::string, std::vector<std::string>>>& groups) {
    TAlphaLetterList letters;
    for (const auto& [name, titles] : groups) {
        letters.push_back(std::make_unique<TAlphaLetter>());
        TAlphaLetter& letter = *letters.back();
        letter.FLetter = name;
        for (const auto& title : titles) {
            if (title.starts_with("/")) {
                TTerm& parent = *letter.FMainTermList.back();
                parent.FSubTermList.push_back(std::make_unique<TTerm>(&parent, 1));
                parent.FSubTermList.back()->FTitle = title.substr(1);
                continue;
            }
            letter.FMainTermList.push_back(std::make_unique<TTerm>(&letter, 0));
            letter.FMainTermList.back()->FTitle = title;
        }
    }
    return letters;
}

template <class Term>
std::vector<std::string> Titles(const std::vector<Term*>& terms) {
    std::vector<std::string> titles;
    for (const TTerm* term : terms) titles.push_back(term->FTitle);
    return titles;
}

inline const TTerm* MainTerm(const TAlphaLetterList& letters, const std::string& title) {
    for (const auto& letter : letters)
        for (const auto& term : letter->FMainTermList)
            if (term->FTitle == title) return term.get();
    return nullptr;
}
