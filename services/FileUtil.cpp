#include "services/FileUtil.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>

namespace {

bool WriteAll(int descriptor, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

// The same limit the kernel applies to a chain of links.
constexpr int MaxLinkHops = 40;

// Opens AFileName for reading without waiting; Read when it is a regular file of at most AMaxBytes
// (then *descriptor is open and the caller closes it).
TFileRead OpenRegularFile(const std::string& fileName, std::size_t maxBytes, int* descriptor) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for ever.
    *descriptor = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (*descriptor < 0) return errno == ENOENT || errno == ENOTDIR ? TFileRead::Missing : TFileRead::Unreadable;
    struct stat info {};
    TFileRead result = TFileRead::Read;
    if (fstat(*descriptor, &info) != 0 || !S_ISREG(info.st_mode))
        result = TFileRead::Unreadable;
    else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        result = TFileRead::TooLarge;
    if (result != TFileRead::Read) close(*descriptor);
    return result;
}

std::string ByteCount(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) return std::to_string(bytes / 1024 / 1024) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

TFileRead ReadRegularFile(const std::string& AFileName, std::string& ABytes, std::size_t AMaxBytes) {
    ABytes.clear();
    int descriptor = -1;
    TFileRead result = OpenRegularFile(AFileName, AMaxBytes, &descriptor);
    if (result != TFileRead::Read) return result;
    std::array<char, 16384> buffer;
    for (;;) {
        const ssize_t count = read(descriptor, buffer.data(), buffer.size());
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            result = TFileRead::Unreadable;
            break;
        }
        if (ABytes.size() + static_cast<std::size_t>(count) > AMaxBytes) {
            result = TFileRead::TooLarge;
            break;
        }
        ABytes.append(buffer.data(), static_cast<std::size_t>(count));
    }
    close(descriptor);
    if (result != TFileRead::Read) std::string().swap(ABytes);
    return result;
}

TFileRead ProbeRegularFile(const std::string& AFileName, std::size_t AMaxBytes) {
    int descriptor = -1;
    const TFileRead result = OpenRegularFile(AFileName, AMaxBytes, &descriptor);
    if (result == TFileRead::Read) close(descriptor);
    return result;
}

std::string FileReadProblem(TFileRead ARead, std::size_t AMaxBytes) {
    switch (ARead) {
        case TFileRead::Unreadable:
            return "it is not a regular file or cannot be read";
        case TFileRead::TooLarge:
            return "it is larger than " + ByteCount(AMaxBytes);
        case TFileRead::Read:
        case TFileRead::Missing:
            break;
    }
    return {};
}

std::string ResolveLinks(const std::string& AFileName) {
    std::string path = AFileName;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::array<char, PATH_MAX> target;
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return AFileName;
        std::string next(target.data(), static_cast<std::size_t>(length));
        if (next.front() != '/') {
            const auto slash = path.rfind('/');
            if (slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        }
        path = std::move(next);
    }
    return AFileName;
}

bool ReplaceFileContents(const std::string& fileName, std::string_view bytes, bool AOwnerOnly) {
    // Renaming over a link would replace the link itself; the link's target is the user's file.
    const std::string target = ResolveLinks(fileName);
    std::random_device seed;
    const std::string temporary = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(seed());
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, AOwnerOnly ? 0600 : 0644);
    if (descriptor < 0) return false;
    bool ok = WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
    struct stat old {};
    if (ok && AOwnerOnly)
        ok = fchmod(descriptor, 0600) == 0;
    else if (ok && stat(target.c_str(), &old) == 0)
        (void)fchmod(descriptor, old.st_mode & 07777);
    ok = close(descriptor) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}
