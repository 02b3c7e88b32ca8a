#include "DataSets.h"

TLoadStatus TabularStatus{StatusNotStarted};
TLoadStatus DIndexStatus{StatusNotStarted};
TLoadStatus EIndexStatus{StatusNotStarted};
TLoadStatus TableOfDrugsStatus{StatusNotStarted};
TLoadStatus TableOfNeoplasmsStatus{StatusNotStarted};
TLoadStatus CodeKeywordsStatus{StatusNotStarted};

TChapterList ChapterList;
std::atomic<std::uint64_t> TabularLoadCount{0};
TIntroduction Introduction;

std::string ProgramDir;
std::string SharedDataDir;
std::string UserDataDir;
