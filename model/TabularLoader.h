// Reads the ICD-10-CM Tabular List XML into the model of GlobalDef.h (chapters, sections, the code
// tree, notes, seventh-character definitions, the visual impairment table).
//
// Status protocol: the load moves its status 0 -> 1 itself only when it is still 0, checks it
// before each child of the root, "introduction", "chapter", "section" and "diag" and stops as soon
// as it is no longer 1 (a cancel sets -2), and at the end moves 1 -> 2 only. Errors show
// "Load Tabular File Fail1!" and leave -1; what was read so far stays. No exception escapes.
#pragma once

#include <cstdint>
#include <istream>

#include "model/GlobalDef.h"
#include "model/TabularData.h"
#include "services/DataSets.h"

// Loads a Tabular List document from a stream into the given containers (cleared first) and
// returns the final status (2, -1 or -2).
TLoadState LoadTabularFromStream(std::istream& source, TChapterList& chapters, TIntroduction& introduction,
                                 TLoadStatus& status);

// The same into the Tabular List of an edition, counting the load there so its resolver is
// built again.
TLoadState LoadTabularFromStream(std::istream& source, TTabularData& tabular, TLoadStatus& status);

// Loader thread body of the Tabular List: takes the "Tabular" resource stream and fills ATabular
// and AStatus.
void LoadTabularFile(TTabularData& ATabular, TLoadStatus& AStatus);
