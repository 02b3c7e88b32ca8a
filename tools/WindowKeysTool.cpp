// Writes the key lists of the desktop program's manual page from the windows' key tables
// (ui/WindowKeys.h) to standard output, in roff: the page lists the keys the windows have.
#include <cstdio>
#include <string>
#include <string_view>

#include "ui/WindowKeys.h"

namespace {

// Backslashes and dashes escaped; a line never starts with a control character.
std::string Roff(std::string_view AText) {
    std::string text;
    for (const char character : AText) {
        if (character == '\\')
            text += "\\e";
        else if (character == '-')
            text += "\\-";
        else
            text += character;
    }
    if (!text.empty() && (text.front() == '.' || text.front() == '\'')) text.insert(0, "\\&");
    return text;
}

// "Return; Enter" as "Return, Enter".
std::string KeyList(std::string_view AKeys) {
    std::string keys;
    while (!AKeys.empty()) {
        const std::size_t end = AKeys.find(';');
        std::string_view key = AKeys.substr(0, end);
        while (!key.empty() && key.front() == ' ') key.remove_prefix(1);
        while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
        if (!keys.empty()) keys += ", ";
        keys += key;
        AKeys = end == std::string_view::npos ? std::string_view() : AKeys.substr(end + 1);
    }
    return keys;
}

}  // namespace

int main() {
    bool first = true;
    for (const TWindowKeyTable& table : AllWindowKeyTables()) {
        std::printf("%sIn %s:\n", first ? "" : ".PP\n", Roff(table.Window).c_str());
        first = false;
        for (const TWindowKey& key : table.Keys)
            std::printf(".TP\n.B \"%s\"\n%s\n", Roff(KeyList(key.Keys)).c_str(), Roff(key.Help).c_str());
    }
    return 0;
}
