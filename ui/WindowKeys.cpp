#include "ui/WindowKeys.h"

#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/EditionChanges.h"
#include "ui/EditionsDialog.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"

std::vector<TWindowKeyTable> AllWindowKeyTables() {
    return {
        {"the launcher", TfrmMain::KeyTable()},
        {"the chapter browser", TfrmChapterSearch::KeyTable()},
        {"the Tabular Search window", TfrmKeyWordSearch::KeyTable()},
        {"the index windows", TfrmAlphaSearch::KeyTable()},
        {"the drug and neoplasm tables", TfrmDrugNeopSearch::KeyTable()},
        {"the Editions window", TfrmEditions::KeyTable()},
        {"the What Changed window", TfrmEditionChanges::KeyTable()},
    };
}
