#include "userdata/Favorites.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>

#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "services/FileUtil.h"
#include "services/TextUtil.h"
#include "userdata/FavoritePassword.h"

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
    FFavoriteCodes.push_back(HashedPasswordLine(APlainPassword));
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
        // A folder or FIFO of such a name is listed too: opening it then says it cannot be read,
        // instead of the user silently missing (FavoriteFilesNotice tells at start).
        const std::string name = entries->path().filename().string();
        if (!EndsWithExtension(name)) continue;
        const std::optional<std::string> userName =
            DecodeBase64(std::string_view(name).substr(0, name.size() - FavoriteExtension.size()));
        if (!userName) continue;  // not a name this store wrote
        AFovoriteInfoList.push_back(std::make_unique<TFavoriteKW>(*userName, folder + name));
    }
}

namespace {

// Saves the list; on failure puts the codes back as they were.
TFavoriteEditResult SaveOrRestore(TFavoriteKW& favorite, std::vector<std::string> before, std::string code) {
    if (favorite.SaveKWs()) return {TFavoriteEdit::Done, std::move(code)};
    favorite.FFavoriteCodes = std::move(before);
    return {TFavoriteEdit::SaveFailed, std::move(code)};
}

// The codes, canonical, separated by ", ".
std::string JoinCodes(const std::vector<std::string>& codes) {
    std::string text;
    for (const std::string& code : codes) text += (text.empty() ? "" : ", ") + CanonicalFavoriteCode(code);
    return text;
}

bool IsOpen(const TFavoriteKW& favorite) {
    return !favorite.FFavoriteCodes.empty() && favorite.FDamage.empty();
}

}  // namespace

TFavoriteOpen TFavoriteKW::Open(std::string_view APlainPassword) {
    if (FFavoriteCodes.empty()) {
        FDamage.clear();
        if (FFileName.empty()) return TFavoriteOpen::Unreadable;
        std::string bytes;
        const TFileRead read = ReadRegularFile(FFileName, bytes, MaxFavoriteFileBytes);
        if (read == TFileRead::TooLarge) {
            FDamage = "the file is larger than " + std::to_string(MaxFavoriteFileBytes / 1024 / 1024) + " MB";
            return TFavoriteOpen::Damaged;
        }
        if (read != TFileRead::Read) return TFavoriteOpen::Unreadable;
        std::vector<std::string> lines = SplitLines(bytes);
        if (lines.empty()) {
            FDamage = "the file is empty";
            return TFavoriteOpen::Damaged;
        }
        lines.front() = TrimControls(lines.front());
        if (PasswordLineKind(lines.front()) == TPasswordLineKind::Malformed) {
            FDamage = "its first line is not a password line";
            return TFavoriteOpen::Damaged;
        }
        // The password first: a wrong one learns nothing about the rest of the file.
        if (!PasswordMatches(lines.front(), APlainPassword)) return TFavoriteOpen::WrongPassword;
        std::vector<std::string> codes{lines.front()};
        for (std::size_t index = 1; index < lines.size(); ++index) {
            const std::string line = TrimControls(lines[index]);
            if (line.empty()) continue;
            // Any form the code resolver reads ("a00.1", "A001") is a code, kept as it writes it
            // (and so written back by the next save).
            std::optional<std::string> code = NormalizeCodeText(line);
            if (!code) {
                FDamage = "line " + std::to_string(index + 1) + " is not a code";
                return TFavoriteOpen::Damaged;
            }
            // Two forms of one code ("a00.1", "A001") list it once.
            if (std::find(codes.begin() + 1, codes.end(), *code) == codes.end()) codes.push_back(std::move(*code));
        }
        FFavoriteCodes = std::move(codes);
    } else if (!PasswordMatches(TrimControls(FFavoriteCodes.front()), APlainPassword)) {
        FFavoriteCodes.clear();
        return TFavoriteOpen::WrongPassword;
    }
    if (PasswordLineNeedsUpgrade(TrimControls(FFavoriteCodes.front()))) {
        // Rewritten in the hashed form by the next save; kept as it is if hashing fails.
        if (std::string hashed = HashedPasswordLine(APlainPassword); !hashed.empty())
            FFavoriteCodes.front() = std::move(hashed);
    }
    return TFavoriteOpen::Opened;
}

bool TFavoriteKW::LoadKWs(std::string_view APlainPassword) {
    return Open(APlainPassword) == TFavoriteOpen::Opened;
}

std::vector<std::string> TFavoriteKW::Codes() const {
    if (FFavoriteCodes.size() < 2) return {};
    return std::vector<std::string>(FFavoriteCodes.begin() + 1, FFavoriteCodes.end());
}

bool TFavoriteKW::SaveKWs() const {
    // Without its password line the file could never be opened again.
    if (!CanSave() || !FDamage.empty() || FFavoriteCodes.empty()) return false;
    std::string content;
    for (const std::string& entry : FFavoriteCodes) {
        // A line break inside an entry would turn it into several entries when read back.
        if (entry.find_first_of("\r\n") != std::string::npos) return false;
        content += entry;
        content += "\r\n";
    }
    return ReplaceFileContents(FFileName, content, true);
}

std::string CanonicalFavoriteCode(std::string_view AText) {
    // A code text is written as the code resolver writes it; anything else is kept as typed
    // (upper case), so a refusal message can quote it.
    if (std::optional<std::string> code = NormalizeCodeText(AText)) return *code;
    return AsciiUpper(TrimControls(AText));
}

bool MayAddFavoriteCode(const TCodeResolver& AResolver, std::string_view ACode) {
    const std::optional<std::string> code = NormalizeCodeText(ACode);
    if (!code || *code != ACode) return false;
    // Any category of the edition, else a code a claim may carry, as the code resolver decides it
    // for every other path.
    if (code->size() == 3) return AResolver.Resolve(*code).FCategory != nullptr;
    return AResolver.IsReportable(*code);
}

TFavoriteEditResult AddFavoriteCodes(const TCodeResolver& AResolver, TFavoriteKW& AFavorite,
                                     const std::vector<std::string>& ACodes) {
    if (!IsOpen(AFavorite)) return {TFavoriteEdit::NotOpen, JoinCodes(ACodes)};
    std::vector<std::string> before = AFavorite.FFavoriteCodes;
    std::vector<std::string> added;
    for (const std::string& text : ACodes) {
        const std::string code = CanonicalFavoriteCode(text);
        if (!MayAddFavoriteCode(AResolver, code)) {
            AFavorite.FFavoriteCodes = std::move(before);
            return {TFavoriteEdit::NotAllowed, code};
        }
        const auto& list = AFavorite.FFavoriteCodes;
        if (std::find(list.begin() + 1, list.end(), code) != list.end()) continue;
        AFavorite.FFavoriteCodes.push_back(code);
        added.push_back(code);
    }
    if (added.empty()) return {TFavoriteEdit::AlreadyListed, JoinCodes(ACodes)};
    return SaveOrRestore(AFavorite, std::move(before), JoinCodes(added));
}

TFavoriteEditResult RemoveFavoriteCodes(TFavoriteKW& AFavorite, const std::vector<std::string>& ACodes) {
    if (!IsOpen(AFavorite)) return {TFavoriteEdit::NotOpen, JoinCodes(ACodes)};
    std::vector<std::string> before = AFavorite.FFavoriteCodes;
    for (const std::string& text : ACodes) {
        const std::string code = CanonicalFavoriteCode(text);
        auto& list = AFavorite.FFavoriteCodes;
        const auto found = std::find(list.begin() + 1, list.end(), code);
        if (found == list.end()) {
            AFavorite.FFavoriteCodes = std::move(before);
            return {TFavoriteEdit::NotListed, code};
        }
        list.erase(found);
    }
    return SaveOrRestore(AFavorite, std::move(before), JoinCodes(ACodes));
}

TFavoriteEditResult RestoreFavoriteCode(const TCodeResolver& AResolver, TFavoriteKW& AFavorite,
                                        const std::string& ACode, std::size_t APosition) {
    if (!IsOpen(AFavorite)) return {TFavoriteEdit::NotOpen, CanonicalFavoriteCode(ACode)};
    const std::string code = CanonicalFavoriteCode(ACode);
    if (!MayAddFavoriteCode(AResolver, code)) return {TFavoriteEdit::NotAllowed, code};
    auto& list = AFavorite.FFavoriteCodes;
    if (std::find(list.begin() + 1, list.end(), code) != list.end()) return {TFavoriteEdit::AlreadyListed, code};
    std::vector<std::string> before = list;
    const std::size_t position = std::min(APosition, list.size() - 1);
    list.insert(list.begin() + 1 + static_cast<std::ptrdiff_t>(position), code);
    return SaveOrRestore(AFavorite, std::move(before), code);
}

TFavoriteCreate CreateFavoriteUser(std::string_view AUserName, std::string_view APlainPassword,
                                   std::string_view AFolder, TFavoriteList& AList, TFavoriteKW*& ACreated) {
    ACreated = nullptr;
    const std::string name = TrimBlanks(AUserName);
    if (name.empty()) return TFavoriteCreate::EmptyName;
    for (const auto& favorite : AList)
        if (favorite->FUserName == name) return TFavoriteCreate::NameTaken;
    auto created = std::make_unique<TFavoriteKW>(name, APlainPassword, AFolder);
    if (!created->CanSave()) return TFavoriteCreate::NameUnusable;
    std::error_code error;
    // A file of that name made since the start-up scan is somebody's list: never written over.
    if (std::filesystem::exists(created->FFileName, error) || error) return TFavoriteCreate::NameTaken;
    if (created->FFavoriteCodes.front().empty() || !created->SaveKWs()) return TFavoriteCreate::SaveFailed;
    ACreated = created.get();
    AList.push_back(std::move(created));
    return TFavoriteCreate::Created;
}

std::string FavoriteOpenMessage(TFavoriteOpen AOpen, const TFavoriteKW& AFavorite) {
    switch (AOpen) {
        case TFavoriteOpen::Unreadable:
            return "The favorite list of \"" + AFavorite.FUserName + "\" could not be read: " + AFavorite.FFileName;
        case TFavoriteOpen::Damaged:
            return "The favorite list of \"" + AFavorite.FUserName + "\" is damaged (" + AFavorite.FDamage +
                   "). It is shown as an empty list, and the file is left as it was: " + AFavorite.FFileName;
        case TFavoriteOpen::Opened:
        case TFavoriteOpen::WrongPassword:
            break;
    }
    return {};
}

std::string FavoriteFilesNotice(const TFavoriteList& AList) {
    std::string notice;
    for (const auto& favorite : AList) {
        if (favorite->FFileName.empty()) continue;
        struct stat info {};
        if (stat(favorite->FFileName.c_str(), &info) != 0) continue;
        std::string problem;
        if (!S_ISREG(info.st_mode)) {
            problem = "it is not a regular file";
        } else if (info.st_uid == geteuid()) {
            // Another account's list in a shared folder is unreadable by design: not worth a notice.
            const TFileRead read = ProbeRegularFile(favorite->FFileName, MaxFavoriteFileBytes);
            problem = FileReadProblem(read, MaxFavoriteFileBytes);
        }
        if (problem.empty()) continue;
        notice += (notice.empty() ? "" : " ") + std::string("The favorite list of \"") + favorite->FUserName +
                  "\" cannot be opened: " + favorite->FFileName + " (" + problem + ").";
    }
    return notice;
}

std::string FavoriteEditMessage(const TFavoriteEditResult& AResult, const TFavoriteKW& AFavorite, bool AAdding) {
    const std::string& code = AResult.FCode;
    const std::string owner = "the favorite codes of " + AFavorite.FUserName;
    switch (AResult.FOutcome) {
        case TFavoriteEdit::Done:
            return (AAdding ? "Added to " : "Removed from ") + owner + ": " + code + ".";
        case TFavoriteEdit::AlreadyListed:
            return "Already in " + owner + ": " + code + ".";
        case TFavoriteEdit::NotListed:
            return code + " is not in " + owner + ".";
        case TFavoriteEdit::NotAllowed:
            return "\"" + code + "\" is neither a category nor a reportable code; only those can be favorite codes.";
        case TFavoriteEdit::SaveFailed:
            return std::string("The favorite list could not be saved, so nothing was ") +
                   (AAdding ? "added" : "removed") + ": " + AFavorite.FFileName;
        case TFavoriteEdit::NotOpen:
            if (!AFavorite.FDamage.empty())
                return "The favorite list of \"" + AFavorite.FUserName +
                       "\" is damaged and is left as it was; it cannot be changed: " + AFavorite.FFileName;
            return "The favorite list of \"" + AFavorite.FUserName + "\" is not unlocked.";
    }
    return {};
}

std::string FavoriteCreateMessage(TFavoriteCreate ACreate, std::string_view AUserName) {
    const std::string name(AUserName);
    switch (ACreate) {
        case TFavoriteCreate::EmptyName:
            return "Please enter a user name.";
        case TFavoriteCreate::NameTaken:
            return "A favorite list for \"" + name + "\" exists already.";
        case TFavoriteCreate::NameUnusable:
            return "The name \"" + name + "\" cannot be used for a favorite list file; please choose another name.";
        case TFavoriteCreate::SaveFailed:
            return "The favorite list for \"" + name + "\" could not be saved.";
        case TFavoriteCreate::Created:
            break;
    }
    return {};
}
