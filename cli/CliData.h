// Loading data sets for the command-line commands straight from the embedded resources, on the
// calling thread, without the start-up and its six loader threads: a command loads only what it
// needs. Each function fills the shared globals (ChapterList, the letter lists) and drives their
// load status as the loader threads would; loader messages go to the installed message handler
// (stderr by default). A data set that has loaded completely is not read again in the same process.
#pragma once

#include <memory>
#include <string_view>

#include "services/DataSets.h"
#include "services/Resources.h"

// An inflating stream over one embedded data set ("Tabular", "DIndex", ...); null when the
// program carries no resource of that name.
std::unique_ptr<TResourceStream> OpenEmbeddedDataSet(std::string_view AName);

// Loads the Tabular List into ChapterList and Introduction. True when TabularStatus ends at 2.
bool LoadEmbeddedTabular();

// Loads one alphabetic data set (the indexes and tables) into its global letter list (and
// DIndexEdition for the disease index). True when its status ends Done.
bool LoadEmbeddedIndex(TDataSet ASet);

// Loads the Tabular List and the four alphabetic sets side by side on worker threads and waits
// for all of them. True when all five end at 2.
bool LoadEmbeddedTabularAndIndexes();
