#include "ui/WindowKeys.h"

#include "ui/ChapterSearch.h"
#include "ui/Main.h"

std::vector<TWindowKeyTable> AllWindowKeyTables() {
    return {
        {"the launcher", TfrmMain::KeyTable()},
        {"the chapter browser", TfrmChapterSearch::KeyTable()},
    };
}
