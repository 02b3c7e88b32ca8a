#include "editions/ReleaseFiles.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <pugixml.hpp>
#include <regex>
#include <stdexcept>

#include "editions/ZipMembers.h"
#include "services/FileUtil.h"
#include "services/TextUtil.h"

namespace {

constexpr std::array<const char*, MemberKindCount> KindWords = {"tabular", "index",    "eindex",
                                                                "drug",    "neoplasm", "order"};

int MonthNumber(std::string word) {
    static constexpr std::array<const char*, 12> months = {"jan", "feb", "mar", "apr", "may", "jun",
                                                           "jul", "aug", "sep", "oct", "nov", "dec"};
    static constexpr std::array<const char*, 12> fullMonths = {"january",   "february", "march",    "april",
                                                               "may",       "june",     "july",     "august",
                                                               "september", "october",  "november", "december"};
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    for (std::size_t i = 0; i < months.size(); ++i) {
        if (word == months[i] || word == fullMonths[i]) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string BaseName(std::string_view APath) {
    const std::size_t slash = APath.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? APath : APath.substr(slash + 1));
}

std::string Gunzip(const std::string& ABytes, const std::string& ASource, std::size_t AMaxBytes) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) throw std::runtime_error(ASource + ": cannot unpack");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(ABytes.data()));
    stream.avail_in = static_cast<uInt>(ABytes.size());
    std::string text;
    std::string chunk(1 << 16, '\0');
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = chunk.size() - stream.avail_out;
        if (text.size() + produced > AMaxBytes) {
            inflateEnd(&stream);
            throw std::runtime_error(ASource + " unpacks to more than " + std::to_string(AMaxBytes / (1024 * 1024)) +
                                     " MB; it is not a release file");
        }
        text.append(chunk.data(), produced);
        if (result == Z_BUF_ERROR && stream.avail_in == 0) break;
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error(ASource + " is damaged or cut short (gzip data)");
    return text;
}

void AddMember(std::vector<TReleaseMember>& AFound, TReleaseMember AMember) {
    for (const auto& found : AFound) {
        if (found.Name.Kind == AMember.Name.Kind) {
            throw std::runtime_error("more than one release: " + found.Source + " and " + AMember.Source +
                                     " are both a " + MemberKindName(AMember.Name.Kind));
        }
    }
    AFound.push_back(std::move(AMember));
}

void ReadMemberFile(const std::string& APath, const TMemberName& AName, std::vector<TReleaseMember>& AFound,
                    const TReleaseLimits& ALimits) {
    std::string bytes;
    const std::size_t limit = AName.Gzipped ? ALimits.MaxZipBytes : ALimits.MaxMemberBytes;
    const TFileRead read = ReadRegularFile(APath, bytes, limit);
    if (read == TFileRead::TooLarge) {
        throw std::runtime_error(APath + " is larger than " + std::to_string(limit / (1024 * 1024)) +
                                 " MB; it is not a release file");
    }
    if (read != TFileRead::Read) throw std::runtime_error("cannot read " + APath);
    if (AName.Gzipped) bytes = Gunzip(bytes, APath, ALimits.MaxMemberBytes);
    AddMember(AFound, {AName, APath, std::move(bytes)});
}

void CollectFolder(const std::filesystem::path& AFolder, int ADepth, std::vector<TReleaseMember>& AFound,
                   const TReleaseLimits& ALimits) {
    std::error_code error;
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(AFolder, error)) entries.push_back(entry.path());
    if (error) throw std::runtime_error("cannot list " + AFolder.string() + ": " + error.message());
    std::sort(entries.begin(), entries.end());
    for (const auto& path : entries) {
        if (std::filesystem::is_directory(path, error)) {
            if (ADepth > 0) CollectFolder(path, ADepth - 1, AFound, ALimits);
        } else if (const auto name = ParseMemberName(path.filename().string())) {
            ReadMemberFile(path.string(), *name, AFound, ALimits);
        }
    }
}

std::string Edition(const TMemberName& AName) {
    std::string text = "FY" + std::to_string(AName.Year);
    if (AName.Month != 0) text += " (update of month " + std::to_string(AName.Month) + ")";
    return text;
}

void CheckOrderFile(const TReleaseMember& AMember) {
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    const std::string_view text = AMember.Text;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const bool digits = line.size() >= 16 &&
                            std::all_of(line.begin(), line.begin() + 5, [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || line[5] != ' ' || (line[14] != '0' && line[14] != '1') || line[13] != ' ') {
            throw std::runtime_error(AMember.Source + ": line " + std::to_string(lineNumber) +
                                     " is not an order-file line (order number, code, flag 0 or 1, descriptions)");
        }
    }
    if (lineNumber == 0) throw std::runtime_error(AMember.Source + " is empty");
}

}  // namespace

const char* MemberKindName(TMemberKind AKind) {
    static constexpr std::array<const char*, MemberKindCount> names = {"Tabular List",
                                                                       "Index to Diseases and Injuries",
                                                                       "Index to External Causes",
                                                                       "Table of Drugs and Chemicals",
                                                                       "Table of Neoplasms",
                                                                       "order file"};
    return names[static_cast<std::size_t>(AKind)];
}

const char* MemberPattern(TMemberKind AKind) {
    static constexpr std::array<const char*, MemberKindCount> patterns = {
        "icd10cm_tabular_YYYY.xml", "icd10cm_index_YYYY.xml",    "icd10cm_eindex_YYYY.xml",
        "icd10cm_drug_YYYY.xml",    "icd10cm_neoplasm_YYYY.xml", "icd10cm_order_YYYY.txt"};
    return patterns[static_cast<std::size_t>(AKind)];
}

std::optional<TMemberName> ParseMemberName(std::string_view AFileName) {
    // icd10cm, the kind, then the year with an optional month (and day) before or after it.
    static const std::regex pattern(
        R"(icd10cm[_-](tabular|index|eindex|drug|neoplasm|order)[_-]+(?:([a-z]+)[_-]?\d{0,2}[_-]+)?(\d{4})(?:[_-]+([a-z]+)[_-]?\d{0,2})?\.(xml|txt)(\.gz)?)",
        std::regex::icase | std::regex::optimize);
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_match(AFileName.begin(), AFileName.end(), match, pattern)) return std::nullopt;
    std::string kind = match[1].str();
    std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char c) { return std::tolower(c); });
    TMemberName name;
    const auto word = std::find(KindWords.begin(), KindWords.end(), kind);
    name.Kind = static_cast<TMemberKind>(word - KindWords.begin());
    name.Year = std::stoi(match[3].str());
    const std::string monthWord = match[2].matched ? match[2].str() : match[4].str();
    if (!monthWord.empty()) {
        name.Month = MonthNumber(monthWord);
        if (name.Month == 0) return std::nullopt;  // an addenda or other side file
    }
    std::string extension = match[5].str();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if ((name.Kind == TMemberKind::Order) != (extension == "txt")) return std::nullopt;
    name.Gzipped = match[6].matched;
    return name;
}

void CollectZipMembers(std::string_view AZipBytes, const std::string& AZipName, std::vector<TReleaseMember>& AFound,
                       const TReleaseLimits& ALimits) {
    TZipLimits limits;
    limits.MaxMemberBytes = ALimits.MaxMemberBytes;
    const auto wanted = [](std::string_view name) { return ParseMemberName(BaseName(name)).has_value(); };
    for (auto& member : ReadZipMembers(AZipBytes, AZipName, wanted, limits)) {
        const TMemberName name = *ParseMemberName(BaseName(member.Name));
        const std::string source = AZipName + ":" + member.Name;
        std::string text =
            name.Gzipped ? Gunzip(member.Bytes, source, ALimits.MaxMemberBytes) : std::move(member.Bytes);
        AddMember(AFound, {name, source, std::move(text)});
    }
}

std::array<TReleaseMember, MemberKindCount> CollectRelease(const std::vector<std::string>& APaths,
                                                           const std::function<void(const std::string&)>& AProgress,
                                                           const TReleaseLimits& ALimits) {
    std::vector<TReleaseMember> found;
    for (const std::string& path : APaths) {
        if (AProgress) AProgress(path);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            CollectFolder(path, 3, found, ALimits);
            continue;
        }
        if (const auto name = ParseMemberName(BaseName(path))) {
            ReadMemberFile(path, *name, found, ALimits);
            continue;
        }
        std::string bytes;
        const TFileRead read = ReadRegularFile(path, bytes, ALimits.MaxZipBytes);
        if (read == TFileRead::Missing) throw std::runtime_error(path + " does not exist");
        if (read == TFileRead::TooLarge) throw std::runtime_error(path + " is too large for a release file");
        if (read != TFileRead::Read) throw std::runtime_error("cannot read " + path);
        if (!bytes.starts_with("PK")) {
            throw std::runtime_error(path + " is neither a zip file, a folder nor a release file named like " +
                                     MemberPattern(TMemberKind::Tabular));
        }
        CollectZipMembers(bytes, path, found, ALimits);
    }

    std::array<TReleaseMember, MemberKindCount> release;
    std::array<bool, MemberKindCount> present{};
    for (auto& member : found) {
        const auto kind = static_cast<std::size_t>(member.Name.Kind);
        present[kind] = true;
        release[kind] = std::move(member);
    }
    std::string missing;
    for (std::size_t kind = 0; kind < MemberKindCount; ++kind) {
        if (present[kind]) continue;
        if (!missing.empty()) missing += ", ";
        missing += std::string(MemberKindName(static_cast<TMemberKind>(kind))) + " (" +
                   MemberPattern(static_cast<TMemberKind>(kind)) + ")";
    }
    if (!missing.empty()) throw std::runtime_error("the release is incomplete: no " + missing + " found");

    // One release: every file of the same edition, except that the disease index may be an earlier
    // edition standing in for the release's own (as the embedded edition's does).
    const TReleaseMember& tabular = release[0];
    for (const auto& member : release) {
        const bool same = member.Name.Year == tabular.Name.Year && member.Name.Month == tabular.Name.Month;
        const bool standIn = member.Name.Kind == TMemberKind::DiseaseIndex && member.Name.Year < tabular.Name.Year;
        if (!same && !standIn) {
            throw std::runtime_error("more than one release: " + tabular.Source + " is " + Edition(tabular.Name) +
                                     ", " + member.Source + " is " + Edition(member.Name));
        }
    }
    return release;
}

void CheckMemberContent(const TReleaseMember& AMember) {
    if (AMember.Name.Kind == TMemberKind::Order) {
        CheckOrderFile(AMember);
        return;
    }
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(AMember.Text.data(), AMember.Text.size(), pugi::parse_minimal, pugi::encoding_utf8);
    if (!parsed) {
        throw std::runtime_error(AMember.Source + " is damaged or cut short: " + parsed.description() + " at byte " +
                                 std::to_string(parsed.offset));
    }
    const pugi::xml_node root = document.document_element();
    const bool tabular = AMember.Name.Kind == TMemberKind::Tabular;
    const std::string_view rootName = root.name();
    const bool table = AMember.Name.Kind == TMemberKind::Drugs || AMember.Name.Kind == TMemberKind::Neoplasms;
    const std::string_view firstHead = root.child("indexHeading").child("head").child_value();
    bool rightKind = rootName == (tabular ? "ICD10CM.tabular" : "ICD10CM.index");
    if (rightKind && !tabular) rightKind = table == static_cast<bool>(root.child("indexHeading"));
    if (rightKind && AMember.Name.Kind == TMemberKind::Drugs) rightKind = firstHead == "Substance";
    if (rightKind && AMember.Name.Kind == TMemberKind::Neoplasms) rightKind = firstHead == "Neoplasm";
    if (rightKind && AMember.Name.Kind == TMemberKind::ExternalIndex) {
        rightKind = AsciiUpper(root.child_value("title")).find("EXTERNAL") != std::string::npos;
    }
    if (rightKind && AMember.Name.Kind == TMemberKind::DiseaseIndex) {
        rightKind = AsciiUpper(root.child_value("title")).find("DISEASES") != std::string::npos;
    }
    if (!rightKind) {
        throw std::runtime_error(AMember.Source + " is not a " + MemberKindName(AMember.Name.Kind) +
                                 " (its content is another kind of file)");
    }
    const std::string version = TrimBlanks(root.child_value("version"));
    if (version != std::to_string(AMember.Name.Year)) {
        throw std::runtime_error(AMember.Source + " names edition \"" + version + "\" in its version element, not " +
                                 std::to_string(AMember.Name.Year) + " as its file name says");
    }
}
