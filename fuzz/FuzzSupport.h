// Shared by the libFuzzer targets: a message handler that stays silent, and splitting one fuzz
// input into several texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "services/Messages.h"

class TSilentMessages : public TMessageHandler {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&, bool defaultYes) override { return defaultYes; }
};

inline void InstallSilentMessages() {
    static TSilentMessages silent;
    SetMessageHandler(&silent);
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The parts of a text separated by ASeparator (an empty text gives one empty part).
inline std::vector<std::string> SplitAt(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// A private folder for targets that must go through real files, emptied for every input.
std::string FuzzFolder();
void EmptyFuzzFolder();
