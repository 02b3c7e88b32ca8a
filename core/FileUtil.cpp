#include "FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

bool ReplaceFileContents(const std::string& fileName, std::string_view bytes) {
    std::random_device seed;
    const std::string temporary = fileName + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(seed());
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) return false;
    bool ok = WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
    struct stat old {};
    if (ok && stat(fileName.c_str(), &old) == 0) (void)fchmod(descriptor, old.st_mode & 07777);
    ok = close(descriptor) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), fileName.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}
