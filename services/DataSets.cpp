#include "services/DataSets.h"

TLoadStatus TabularStatus{TLoadState::NotStarted};
TLoadStatus DIndexStatus{TLoadState::NotStarted};
TLoadStatus EIndexStatus{TLoadState::NotStarted};
TLoadStatus TableOfDrugsStatus{TLoadState::NotStarted};
TLoadStatus TableOfNeoplasmsStatus{TLoadState::NotStarted};
TLoadStatus CodeKeywordsStatus{TLoadState::NotStarted};

std::string ProgramDir;
std::string SharedDataDir;
std::string UserDataDir;
