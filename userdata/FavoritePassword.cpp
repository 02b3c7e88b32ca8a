#include "userdata/FavoritePassword.h"

#include <sodium.h>

#include <charconv>
#include <cstdint>
#include <optional>

#include "userdata/Favorites.h"

namespace {

constexpr std::string_view HashPrefix = "$argon2id$v=19$m=";
// Costs of new hashes: libsodium's "interactive" level (64 MiB, two passes), about a tenth of a
// second per check. A line asking for more than the upper limits is not attempted: a crafted file
// must not make the program allocate gigabytes or run for minutes.
constexpr unsigned long long HashPasses = crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE;
constexpr std::size_t HashMemory = crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE;
constexpr std::uint64_t MaxMemoryKiB = 256 * 1024;
constexpr std::uint64_t MaxPasses = 16;

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

bool IsBase64Symbol(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Reads "name=<number>" at the front of text; the rest follows.
std::optional<std::uint64_t> ReadSetting(std::string_view& text, std::string_view name) {
    if (text.substr(0, name.size()) != name) return std::nullopt;
    text.remove_prefix(name.size());
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

bool IsWellFormedHash(std::string_view line) {
    if (line.size() >= crypto_pwhash_STRBYTES || line.substr(0, HashPrefix.size()) != HashPrefix) return false;
    std::string_view rest = line.substr(HashPrefix.size() - 2);  // from "m="
    const auto memory = ReadSetting(rest, "m=");
    const auto passes = ReadSetting(rest, ",t=");
    const auto lanes = ReadSetting(rest, ",p=");
    if (!memory || !passes || !lanes || *memory == 0 || *memory > MaxMemoryKiB || *passes == 0 || *passes > MaxPasses ||
        *lanes != 1)
        return false;
    // "$<salt>$<hash>", both unpadded Base64.
    int parts = 0;
    while (!rest.empty()) {
        if (rest.front() != '$') return false;
        rest.remove_prefix(1);
        std::size_t length = 0;
        while (length < rest.size() && IsBase64Symbol(rest[length])) ++length;
        if (length == 0) return false;
        rest.remove_prefix(length);
        ++parts;
    }
    return parts == 2;
}

bool IsLegacyLine(std::string_view line) {
    // Reversed back, the line must be Base64 exactly as this store writes it.
    const std::string forward(line.rbegin(), line.rend());
    if (forward.find_first_of("\r\n") != std::string::npos) return false;
    return DecodeBase64(forward).has_value();
}

}  // namespace

TPasswordLineKind PasswordLineKind(std::string_view ALine) {
    if (IsWellFormedHash(ALine)) return TPasswordLineKind::Hashed;
    if (IsLegacyLine(ALine)) return TPasswordLineKind::Legacy;
    return TPasswordLineKind::Malformed;
}

std::string HashedPasswordLine(std::string_view APlainPassword) {
    if (!SodiumReady()) return {};
    char line[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_argon2id_str(line, APlainPassword.data(), APlainPassword.size(), HashPasses, HashMemory) != 0)
        return {};
    return line;
}

std::string LegacyPasswordLine(std::string_view APlainPassword) {
    // On one line: a reversed CR LF inside the line would split it when the file is read back.
    std::string line;
    for (char c : EncodeBase64(APlainPassword))
        if (c != '\r' && c != '\n') line += c;
    return std::string(line.rbegin(), line.rend());
}

bool PasswordMatches(std::string_view ALine, std::string_view APlainPassword) {
    switch (PasswordLineKind(ALine)) {
        case TPasswordLineKind::Hashed: {
            if (!SodiumReady()) return false;
            const std::string line(ALine);  // the library wants a terminated string
            return crypto_pwhash_argon2id_str_verify(line.c_str(), APlainPassword.data(), APlainPassword.size()) == 0;
        }
        case TPasswordLineKind::Legacy: {
            const std::string expected = LegacyPasswordLine(APlainPassword);
            if (expected.size() != ALine.size()) return false;
            return expected.empty() || sodium_memcmp(expected.data(), ALine.data(), expected.size()) == 0;
        }
        case TPasswordLineKind::Malformed:
            break;
    }
    return false;
}

bool PasswordLineNeedsUpgrade(std::string_view ALine) {
    if (PasswordLineKind(ALine) != TPasswordLineKind::Hashed || !SodiumReady()) return true;
    const std::string line(ALine);
    return crypto_pwhash_argon2id_str_needs_rehash(line.c_str(), HashPasses, HashMemory) != 0;
}
