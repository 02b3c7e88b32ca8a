// Loading data sets for the command-line commands straight from the edition in use (the embedded
// one unless --edition or a date of service chose another), on the calling thread, without the start-up and its six
// loader threads: a command loads only what it needs. Each function fills the shared globals (ChapterList, the letter
// lists) and drives their load status as the loader threads would; loader messages go to the installed message handler
// (stderr by default). A data set that has loaded completely is not read again in the same process.
#pragma once

#include <memory>
#include <string_view>

#include "editions/Editions.h"
#include "services/DataSets.h"
#include "services/Resources.h"

// Makes AEdition the edition every later load reads. Call before the first load. Throws
// std::runtime_error when an installed edition's files cannot be read.
void UseEdition(const TEditionInfo& AEdition);
// True once UseEdition has chosen an edition.
bool EditionChosen();
// The edition in use and its data sets.
const TEditionInfo& EditionInUse();
const TResourceProvider& EditionData();

// The installed editions (the embedded one first).
std::vector<TEditionInfo> InstalledEditions();

// An inflating stream over one data set of the edition in use ("Tabular", "DIndex", ...); null
// when it has no resource of that name.
std::unique_ptr<TResourceStream> OpenEmbeddedDataSet(std::string_view AName);

// Loads the Tabular List into ChapterList and Introduction. True when TabularStatus ends at 2.
bool LoadEmbeddedTabular();

// Loads one alphabetic data set (the indexes and tables) into its global letter list (and
// DIndexEdition for the disease index). True when its status ends Done.
bool LoadEmbeddedIndex(TDataSet ASet);

// Loads the Tabular List and the four alphabetic sets side by side on worker threads and waits
// for all of them. True when all five end at 2.
bool LoadEmbeddedTabularAndIndexes();
