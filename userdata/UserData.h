// What the program keeps for its user between runs, in one place: the folders it is kept in, the
// settings, the favourite lists and the search history. The fronts take it from UserData()
// (startup/LoadedData.h) and hand each library function the part it works on.
#pragma once

#include <string>

#include "services/Folders.h"
#include "userdata/Config.h"
#include "userdata/Favorites.h"
#include "userdata/SearchHistory.h"

struct TUserData {
    TFolders Folders;
    TSettings Settings;
    TFavoriteList Favorites;
    // The list the desktop program's user has unlocked this session (an entry of Favorites), or
    // null. Codes can be added to it from every Tabular Search window.
    TFavoriteKW* Unlocked = nullptr;
    TSearchHistory History;
};

// What the launcher says once at start about the user's files (settings, search history, favourite
// lists) that exist but could not be read: each is left as it is, and the user hears why. One
// sentence per file, separated by line breaks; empty when every file could be read or is missing.
// Call after LoadUserConfig, LoadSearchHistory and the scan of the favourite lists.
std::string UserFilesNotice(const TUserData& AUser);
