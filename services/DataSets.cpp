#include "services/DataSets.h"

TLoadStatus TabularStatus{StatusNotStarted};
TLoadStatus DIndexStatus{StatusNotStarted};
TLoadStatus EIndexStatus{StatusNotStarted};
TLoadStatus TableOfDrugsStatus{StatusNotStarted};
TLoadStatus TableOfNeoplasmsStatus{StatusNotStarted};
TLoadStatus CodeKeywordsStatus{StatusNotStarted};

std::string ProgramDir;
std::string SharedDataDir;
std::string UserDataDir;
