// Loading data sets for the command-line commands straight from the edition in use (the embedded
// one unless --edition or a date of service chose another), on the calling thread, without the start-up and its six
// loader threads: a command loads only what it needs. Each function fills the shared globals
// (LoadedData().Tabular.Chapters, the letter lists) and drives their load status as the loader threads would; loader
// messages go to the installed message handler (stderr by default). A data set that has loaded completely is not read
// again in the same process.
#pragma once

#include <memory>
#include <string_view>

#include "editions/Editions.h"
#include "services/DataSets.h"
#include "services/Resources.h"
#include "startup/EditionInUse.h"

// Makes AEdition the edition every later load reads (the edition in use, startup/EditionInUse.h), as
// chosen on the command line. Call before the first load. Throws std::runtime_error when an
// installed edition's files cannot be read.
void SelectEdition(const TEditionInfo& AEdition);
// True once SelectEdition has chosen an edition.
bool EditionChosen();
// Without a choice on the command line: the edition chosen in the desktop program (the same
// setting, read from the user's settings file), else the embedded one. Returns why a kept choice
// could not be followed (empty when it was, or when there was none).
std::string UseKeptEdition();

// The installed editions (the embedded one first).
std::vector<TEditionInfo> InstalledEditions();

// An inflating stream over one data set of the edition in use ("Tabular", "DIndex", ...); null
// when it has no resource of that name.
std::unique_ptr<TResourceStream> OpenEmbeddedDataSet(std::string_view AName);

// Loads the Tabular List into LoadedData().Tabular.Chapters and Introduction. True when its load status ends Done.
bool LoadEmbeddedTabular();

// Loads one alphabetic data set (the indexes and tables) into its global letter list (and
// LoadedData().Index.DiseaseIndexEdition for the disease index). True when its status ends Done.
bool LoadEmbeddedIndex(TDataSet ASet);

// Loads the Tabular List and the four alphabetic sets side by side on worker threads and waits
// for all of them. True when all five end at 2.
bool LoadEmbeddedTabularAndIndexes();
