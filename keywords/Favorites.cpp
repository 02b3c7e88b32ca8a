#include "Favorites.h"

#include "FileUtil.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "TextUtil.h"

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

TFavoriteList FavoriteList;

namespace {

constexpr std::string_view Base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t Base64LineLength = 76;
constexpr std::string_view FavoriteExtension = ".fvxml";

// Base64 without any line break.
std::string EncodeBase64Flat(std::string_view text) {
    std::string out;
    out.reserve((text.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= text.size(); i += 3) {
        const unsigned group = static_cast<unsigned char>(text[i]) << 16 |
                               static_cast<unsigned char>(text[i + 1]) << 8 | static_cast<unsigned char>(text[i + 2]);
        out += Base64Alphabet[group >> 18 & 63];
        out += Base64Alphabet[group >> 12 & 63];
        out += Base64Alphabet[group >> 6 & 63];
        out += Base64Alphabet[group & 63];
    }
    const std::size_t rest = text.size() - i;
    if (rest > 0) {
        unsigned group = static_cast<unsigned char>(text[i]) << 16;
        if (rest == 2) group |= static_cast<unsigned char>(text[i + 1]) << 8;
        out += Base64Alphabet[group >> 18 & 63];
        out += Base64Alphabet[group >> 12 & 63];
        out += rest == 2 ? Base64Alphabet[group >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

int Base64Value(char c) {
    const std::size_t position = Base64Alphabet.find(c);
    return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

bool EndsWithExtension(const std::string& name) {
    if (name.size() < FavoriteExtension.size()) return false;
    return AsciiLower(std::string_view(name).substr(name.size() - FavoriteExtension.size())) == FavoriteExtension;
}

std::string WithSeparator(std::string_view folder) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    return path;
}

// Reads a whole regular file; null when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) return std::nullopt;
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string content;
    std::array<char, 16384> buffer;
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) content.append(buffer.data(), count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return content;
}

}  // namespace

std::string EncodeBase64(std::string_view text) {
    const std::string flat = EncodeBase64Flat(text);
    std::string out;
    out.reserve(flat.size() + flat.size() / Base64LineLength * 2);
    for (std::size_t start = 0; start < flat.size(); start += Base64LineLength) {
        if (start > 0) out += "\r\n";
        out.append(flat, start, Base64LineLength);
    }
    return out;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    std::string symbols;
    symbols.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n') symbols += c;
    }
    if (symbols.size() % 4 != 0) return std::nullopt;
    std::string out;
    out.reserve(symbols.size() / 4 * 3);
    for (std::size_t i = 0; i < symbols.size(); i += 4) {
        const bool last = i + 4 == symbols.size();
        int padding = 0;
        if (last && symbols[i + 3] == '=') padding = symbols[i + 2] == '=' ? 2 : 1;
        unsigned group = 0;
        for (int k = 0; k < 4 - padding; ++k) {
            const int value = Base64Value(symbols[i + static_cast<std::size_t>(k)]);
            if (value < 0) return std::nullopt;  // also a "=" anywhere but the final padding
            group |= static_cast<unsigned>(value) << (18 - 6 * k);
        }
        // Only the canonical form is accepted: the bits below the last full byte must be zero.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) return std::nullopt;
        out += static_cast<char>(group >> 16 & 0xFF);
        if (padding < 2) out += static_cast<char>(group >> 8 & 0xFF);
        if (padding < 1) out += static_cast<char>(group & 0xFF);
    }
    return out;
}

std::string PasswordLine(std::string_view APlainPassword) {
    // Without line breaks: a reversed CR LF inside the line would split it when the file is read
    // back, and a password longer than 57 bytes could never be checked again. Passwords up to 57
    // bytes give the same line either way.
    std::string line = EncodeBase64Flat(APlainPassword);
    return std::string(line.rbegin(), line.rend());
}

std::string FavoriteFileName(std::string_view AUserName) {
    return EncodeBase64(AUserName) + std::string(FavoriteExtension);
}

TFavoriteKW::TFavoriteKW(std::string AUserName, std::string AFileName)
    : FUserName(std::move(AUserName)), FFileName(std::move(AFileName)) {}

TFavoriteKW::TFavoriteKW(std::string AUserName, std::string_view APlainPassword, std::string_view AFilePath)
    : FUserName(std::move(AUserName)) {
    const std::string name = FavoriteFileName(FUserName);
    // A "/" or a line break cannot stand in a file name: such a user gets no file name at all
    // rather than a path into some other folder.
    if (name.find_first_of("/\r\n") == std::string::npos) FFileName = WithSeparator(AFilePath) + name;
    FFavoriteCodes.push_back(PasswordLine(APlainPassword));
}

bool TFavoriteKW::CanSave() const {
    return !FFileName.empty();
}

void TFavoriteKW::GetFavoriteList(std::string_view AFilePath,
                                  std::vector<std::unique_ptr<TFavoriteKW>>& AFovoriteInfoList) {
    const std::string folder = WithSeparator(AFilePath);
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) return;
    for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (error) break;
        std::error_code typeError;
        if (!entries->is_regular_file(typeError)) continue;
        const std::string name = entries->path().filename().string();
        if (!EndsWithExtension(name)) continue;
        const std::optional<std::string> userName =
            DecodeBase64(std::string_view(name).substr(0, name.size() - FavoriteExtension.size()));
        if (!userName) continue;  // not a name this store wrote
        AFovoriteInfoList.push_back(std::make_unique<TFavoriteKW>(*userName, folder + name));
    }
}

bool TFavoriteKW::LoadKWs(std::string_view APlainPassword) {
    if (FFavoriteCodes.empty()) {
        if (FFileName.empty()) return false;
        const std::optional<std::string> content = ReadWholeFile(FFileName);
        if (!content) return false;
        FFavoriteCodes = SplitLines(*content);
        if (FFavoriteCodes.empty()) return false;
    }
    if (TrimControls(FFavoriteCodes.front()) == PasswordLine(APlainPassword)) return true;
    FFavoriteCodes.clear();
    return false;
}

bool TFavoriteKW::SaveKWs() const {
    if (!CanSave()) return false;
    std::string content;
    for (const std::string& entry : FFavoriteCodes) {
        // A line break inside an entry would turn it into several entries when read back.
        if (entry.find_first_of("\r\n") != std::string::npos) return false;
        content += entry;
        content += "\r\n";
    }
    return ReplaceFileContents(FFileName, content);
}
