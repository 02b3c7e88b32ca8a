#include "editions/ZipMembers.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

namespace {

struct TArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct TFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string Megabytes(std::size_t bytes) {
    return std::to_string(bytes / (1024 * 1024)) + " MB";
}

}  // namespace

bool UnsafeMemberName(std::string_view AName) {
    if (AName.empty() || AName.front() == '/' || AName.front() == '\\') return true;
    if (AName.size() >= 2 && AName[1] == ':') return true;
    std::size_t start = 0;
    while (start <= AName.size()) {
        std::size_t end = AName.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = AName.size();
        if (AName.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

std::vector<TZipMember> ReadZipMembers(std::string_view AZipBytes, const std::string& AZipName,
                                       const std::function<bool(std::string_view)>& AWanted,
                                       const TZipLimits& ALimits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(AZipBytes.data(), AZipBytes.size(), 0, &error);
    if (source == nullptr) {
        const std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw std::runtime_error(AZipName + ": " + why);
    }
    std::unique_ptr<zip_t, TArchiveCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zip_source_free(source);
        const std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw std::runtime_error(AZipName + " is not a readable zip file (" + why + ")");
    }
    zip_error_fini(&error);

    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    if (entries < 0 || static_cast<std::size_t>(entries) > ALimits.MaxEntries) {
        throw std::runtime_error(AZipName + " holds more than " + std::to_string(ALimits.MaxEntries) +
                                 " entries; it is not a release file");
    }
    std::vector<TZipMember> members;
    std::string chunk(64 * 1024, '\0');
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(entries); ++index) {
        const char* stored = zip_get_name(archive.get(), index, ZIP_FL_ENC_GUESS);
        if (stored == nullptr) throw std::runtime_error(AZipName + ": entry " + std::to_string(index) + " has no name");
        const std::string name = stored;
        if (UnsafeMemberName(name)) {
            throw std::runtime_error(AZipName + ": the member name \"" + name +
                                     "\" points outside the archive; the file is refused");
        }
        if (name.ends_with('/') || !AWanted(name)) continue;
        std::unique_ptr<zip_file_t, TFileCloser> file(zip_fopen_index(archive.get(), index, 0));
        if (!file) {
            throw std::runtime_error(AZipName + ": cannot read " + name + " (" + zip_strerror(archive.get()) + ")");
        }
        TZipMember member{name, {}};
        for (;;) {
            const zip_int64_t got = zip_fread(file.get(), chunk.data(), chunk.size());
            if (got < 0) {
                throw std::runtime_error(AZipName + ": " + name + " is damaged (" + zip_file_strerror(file.get()) +
                                         ")");
            }
            if (got == 0) break;
            if (member.Bytes.size() + static_cast<std::size_t>(got) > ALimits.MaxMemberBytes) {
                throw std::runtime_error(AZipName + ": " + name + " unpacks to more than " +
                                         Megabytes(ALimits.MaxMemberBytes) + "; it is not a release file");
            }
            member.Bytes.append(chunk.data(), static_cast<std::size_t>(got));
        }
        members.push_back(std::move(member));
    }
    return members;
}
