#include "userdata/IniFile.h"

#include <charconv>
#include <optional>

#include "services/FileUtil.h"
#include "services/TextEncoding.h"

namespace {

// The file's lines without their line ends, as UTF-8, and how the file was stored; nullopt when
// it is missing (*missing true) or cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& fileName, TTextEncoding& encoding,
                                                  bool* missing = nullptr) {
    std::string bytes;
    const TFileRead read = ReadRegularFile(fileName, bytes, MaxIniFileBytes);
    if (missing != nullptr) *missing = read == TFileRead::Missing;
    encoding = TTextEncoding::Utf8;
    if (read != TFileRead::Read) return std::nullopt;
    const std::string text = DecodeText(bytes, encoding);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The section name of a "[Name]" line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    line = Trim(line);
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// Key and value of a "Key=Value" line.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    if (IsComment(line)) return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const auto key = Trim(line.substr(0, equals));
    if (key.empty()) return std::nullopt;
    return std::make_pair(key, Trim(line.substr(equals + 1)));
}

std::optional<int32_t> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    int64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size() || magnitude < 0) return std::nullopt;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

namespace {

// The value of the first AKey line in ASection; nullopt when the file, the section or the key is missing.
std::optional<std::string> ReadValue(const std::string& fileName, const std::string& ASection,
                                     const std::string& AKey) {
    TTextEncoding encoding{};
    const auto lines = ReadLines(fileName, encoding);
    if (!lines) return std::nullopt;
    bool inSection = false;
    for (const std::string& line : *lines) {
        if (const auto section = SectionName(line)) {
            inSection = SameName(*section, ASection);
        } else if (inSection) {
            if (const auto pair = KeyValue(line); pair && SameName(pair->first, AKey)) return std::string(pair->second);
        }
    }
    return std::nullopt;
}

}  // namespace

int32_t TIniFile::ReadInteger(const std::string& ASection, const std::string& AKey, int32_t ADefault) const {
    const auto value = ReadValue(FFileName, ASection, AKey);
    return value ? ParseInteger(*value).value_or(ADefault) : ADefault;
}

std::string TIniFile::ReadString(const std::string& ASection, const std::string& AKey,
                                 const std::string& ADefault) const {
    return ReadValue(FFileName, ASection, AKey).value_or(ADefault);
}

bool TIniFile::WriteIntegers(const std::string& ASection, const std::vector<std::pair<std::string, int32_t>>& AValues) {
    std::vector<std::pair<std::string, std::string>> values;
    values.reserve(AValues.size());
    for (const auto& [key, value] : AValues) values.emplace_back(key, std::to_string(value));
    return WriteStrings(ASection, values);
}

bool TIniFile::WriteStrings(const std::string& ASection,
                            const std::vector<std::pair<std::string, std::string>>& AValues) {
    for (const auto& value : AValues)
        if (value.second.find_first_of("\r\n") != std::string::npos) return false;
    std::vector<std::string> lines;
    bool fileMissing = false;
    TTextEncoding encoding{};
    if (auto existing = ReadLines(FFileName, encoding, &fileMissing)) {
        lines = std::move(*existing);
    } else if (!fileMissing) {
        // An existing file we cannot read must not be replaced by one holding only our keys.
        return false;
    }

    std::vector<bool> written(AValues.size(), false);
    std::vector<std::string> result;
    result.reserve(lines.size() + AValues.size() + 2);
    bool inSection = false;
    bool sectionFound = false;
    // Where keys missing from the section go: after its last non-blank line.
    std::size_t insertAt = 0;

    auto addMissing = [&](std::size_t position) {
        std::vector<std::string> missing;
        for (std::size_t i = 0; i < AValues.size(); ++i) {
            if (!written[i]) {
                missing.push_back(AValues[i].first + "=" + AValues[i].second);
                written[i] = true;
            }
        }
        result.insert(result.begin() + static_cast<std::ptrdiff_t>(position), missing.begin(), missing.end());
    };

    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (const auto section = SectionName(line)) {
            if (inSection) addMissing(insertAt);
            inSection = SameName(*section, ASection);
            sectionFound = sectionFound || inSection;
            result.push_back(lines[index]);
            insertAt = result.size();
            continue;
        }
        if (inSection) {
            if (const auto pair = KeyValue(line)) {
                bool replaced = false;
                for (std::size_t i = 0; i < AValues.size(); ++i) {
                    if (SameName(pair->first, AValues[i].first)) {
                        // Only the first occurrence counts when reading; later duplicates stay as they are.
                        if (!written[i]) {
                            result.push_back(std::string(pair->first) + "=" + AValues[i].second);
                            written[i] = true;
                            replaced = true;
                        }
                        break;
                    }
                }
                if (!replaced) result.push_back(lines[index]);
            } else {
                result.push_back(lines[index]);
            }
            if (!Trim(line).empty()) insertAt = result.size();
            continue;
        }
        result.push_back(lines[index]);
    }
    if (inSection) addMissing(insertAt);
    if (!sectionFound) {
        result.push_back("[" + ASection + "]");
        addMissing(result.size());
    }

    std::string text;
    for (const auto& line : result) text += line + "\r\n";
    return ReplaceFileContents(FFileName, EncodeText(text, encoding));
}
