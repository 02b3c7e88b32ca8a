// Loader of the four alphabetic files (disease index, external cause index, drug table,
// neoplasm table), which share one XML vocabulary (root element "ICD10CM.index").
//
// Status protocol: the loader moves its status 0 -> 1 itself if start-up has not done so, reads
// only while the status is 1 (checked before every node, so a cancel turning 1 into -2 stops it
// soon and -2 stays), sets -1 after showing "Load Alpha Search File Fail1!" on any failure, and
// 1 -> 2 at a normal end. No exception leaves a loader.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "index/IndexModel.h"
#include "services/DataSets.h"

// The four alphabetic data sets: the two indexes and the two tables.
inline constexpr std::array<TDataSet, 4> IndexDataSets = {TDataSet::DiseaseIndex, TDataSet::ExternalIndex,
                                                          TDataSet::DrugTable, TDataSet::NeoplasmTable};
constexpr bool IsTableDataSet(TDataSet ASet) {
    return ASet == TDataSet::DrugTable || ASet == TDataSet::NeoplasmTable;
}

// Resource name of an alphabetic data set ("DIndex", "EIndex", "TableOfDrugs", "TableOfNeoplasms");
// null for the others.
const char* IndexResourceName(TDataSet ASet);

// Reads one index or table file from a text stream into ALetters (cleared first) and returns the
// final status (2, -1 or -2). AVersion, when given, receives the text of the "version" element.
TLoadState LoadIndexFromStream(std::istream& source, TDataSet ASet, TAlphaLetterList& ALetters, TLoadStatus& AStatus,
                               std::string* AVersion = nullptr);

// Loader thread body of an alphabetic data set: takes its resource stream (TakeResourceStream) and
// fills its letter list in AData and its status (and the edition note for the disease index). The
// other data sets do nothing.
void LoadIndexFile(TIndexData& AData, TDataSet ASet, TLoadStatus& AStatus);

// Term readers: read a "mainTerm" or "term" element with its whole subtree. Reading stops early
// when AStatus is no longer 1. Unknown children are reported with "Unhandled node type: %s".
// A "cell" whose "col" is not a decimal number, or terms (or elements inside a term's texts)
// nested more than 32 levels deep, throw std::runtime_error.
std::unique_ptr<TTerm> ReadIndexTerm(pugi::xml_node ANode, TIndexNode* AParent, int32_t ALevel,
                                     const TLoadStatus& AStatus);
std::unique_ptr<TTerm> ReadTableTerm(pugi::xml_node ANode, TIndexNode* AParent, int32_t ALevel,
                                     const TLoadStatus& AStatus);

// The title text of a "title" element: text nodes as they are, each "nemod" element as
// " " + text + " ", other elements ignored; nothing trimmed.
std::string ComposeTitle(pugi::xml_node ATitle);
