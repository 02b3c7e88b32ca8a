// What the launcher says once at start about the user's files (settings, search history, favourite
// lists) that exist but could not be read: each is left as it is, and the user hears why.
#pragma once

#include <string>

// One sentence per file, separated by line breaks; empty when every file could be read or is
// missing. Call after LoadUserConfig, LoadSearchHistory and the scan of the favourite lists.
std::string UserFilesNotice();
