// Reading members of a zip file held in memory, through libzip: nothing is ever written to disk,
// so a member's name cannot place a file anywhere. Every member name is checked (no absolute
// names, no ".." step) and every member read is held to a size bound, whatever its header claims.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TZipLimits {
    std::size_t MaxMemberBytes = 64 * 1024 * 1024;  // unpacked; the published files are below 16 MB
    std::size_t MaxEntries = 10000;
};

struct TZipMember {
    std::string Name;  // as stored in the zip ("Code Tables/icd10cm_tabular_2022.xml")
    std::string Bytes;
};

// The members AWanted accepts (by stored name), read whole, in zip order. Throws
// std::runtime_error naming AZipName (and the member) when the zip cannot be read, holds a name
// with ".." or an absolute name, holds too many entries, a member unpacks to more than the bound,
// or a member is damaged (its CRC is checked).
std::vector<TZipMember> ReadZipMembers(std::string_view AZipBytes, const std::string& AZipName,
                                       const std::function<bool(std::string_view)>& AWanted,
                                       const TZipLimits& ALimits = {});

// True when a stored member name could leave the folder it is unpacked into: an absolute name, a
// drive letter, or a ".." step (with "/" or "\" as separator).
bool UnsafeMemberName(std::string_view AName);
