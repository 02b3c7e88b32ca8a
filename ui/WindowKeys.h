// Every window's key table in one list: the manual page's key section is written from it at build
// time (tools/WindowKeysTool.cpp), and a test checks every table.
#pragma once

#include <span>
#include <vector>

#include "ui/WindowActions.h"

struct TWindowKeyTable {
    const char* Window;  // how the manual page names the window ("the launcher")
    std::span<const TWindowKey> Keys;
};

// In the order the manual page lists them.
std::vector<TWindowKeyTable> AllWindowKeyTables();
