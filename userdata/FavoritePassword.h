// The password line of a favourite file. New and changed passwords are stored as an Argon2id hash
// in libsodium's self-describing text form ("$argon2id$v=19$m=65536,t=2,p=1$<salt>$<hash>"): salted
// and slow, so a reader of the file learns nothing usable about the password. Files written before
// hold the older form, the Base64 of the password reversed; it still opens, and the line is
// replaced by a hash the next time the list is saved.
#pragma once

#include <string>
#include <string_view>

enum class TPasswordLineKind {
    Hashed,     // "$argon2id$..." within the cost limits this program accepts
    Legacy,     // reversed Base64 (an empty line is the empty password)
    Malformed,  // neither: the line cannot be opened by any password
};

// What kind of line ALine (already trimmed) is.
TPasswordLineKind PasswordLineKind(std::string_view ALine);

// A hash line for a password, with a fresh random salt. Empty only when the hash could not be
// computed (out of memory).
std::string HashedPasswordLine(std::string_view APlainPassword);

// The older form: the Base64 of the password's bytes, reversed, on one line.
std::string LegacyPasswordLine(std::string_view APlainPassword);

// True when APlainPassword opens ALine (trimmed; either form). The comparison takes the same time
// wherever the texts differ.
bool PasswordMatches(std::string_view ALine, std::string_view APlainPassword);

// True for a line that opened but should be rewritten: the older form, or a hash made with lower
// costs than new hashes get.
bool PasswordLineNeedsUpgrade(std::string_view ALine);
