// Running the project's own command-line programs from tests: locating them in the build tree,
// capturing their output and exit code, and private temporary folders.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace testing_support {

// The build tree: ZENDRA_BINARY_DIR as CTest sets it, else two levels above the test binary.
inline std::filesystem::path BinaryDir() {
    if (const char* dir = std::getenv("ZENDRA_BINARY_DIR"); dir && *dir) return dir;
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
}

// The source tree: ZENDRA_SOURCE_DIR as CTest sets it, else the folder this header lives in.
inline std::filesystem::path SourceDir() {
    if (const char* dir = std::getenv("ZENDRA_SOURCE_DIR"); dir && *dir) return dir;
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}

struct TRunResult {
    int exitCode = -1;
    std::string output;  // stdout, and stderr too when asked for
};

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell command line and captures its stdout (and stderr with withErrors).
inline TRunResult RunCommand(const std::string& commandLine, bool withErrors = false) {
    TRunResult result;
    const std::string full = commandLine + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) return result;
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A fresh folder under the system temporary folder, removed with the object.
class TTempFolder {
public:
    TTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zendra-data-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) FPath = pattern;
    }
    ~TTempFolder() {
        std::error_code ignored;
        if (!FPath.empty()) std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

}  // namespace testing_support
