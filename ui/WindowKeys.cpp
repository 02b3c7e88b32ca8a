#include "ui/WindowKeys.h"

std::vector<TWindowKeyTable> AllWindowKeyTables() {
    return {};
}
