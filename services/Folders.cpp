#include "services/Folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "services/DataSets.h"

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/tmp";
}

// The variable's folder, else the XDG variable's, else the home-relative default.
std::string BaseFolder(const char* variable, const char* xdgVariable, const char* homeRelative) {
    std::string base = EnvironmentValue(variable);
    if (base.empty()) base = EnvironmentValue(xdgVariable);
    if (base.empty()) base = WithSlash(HomeFolder()) + homeRelative;
    return WithSlash(base) + DataFolderName();
}

}  // namespace

std::string DataFolderName() {
    return std::string("Zendra ICD10 ") + EditionYear + "/";
}

std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            const auto slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string SharedDataFolder() {
    return BaseFolder("ProgramData", "XDG_DATA_HOME", ".local/share");
}

std::string UserDataFolder() {
    return BaseFolder("AppData", "XDG_CONFIG_HOME", ".config");
}

// The XDG base folders may be missing on a fresh account; the desktop's rules say a program
// creates them (mode 0700) before writing. Only used when the folder does not come from
// "ProgramData"/"AppData", whose folders are the caller's to provide.
static void CreateXdgBase(const char* variable, const std::string& dataFolder) {
    if (!EnvironmentValue(variable).empty()) return;
    // dataFolder ends in "<name>/"; its parent is the XDG base.
    const std::string base = dataFolder.substr(0, dataFolder.size() - DataFolderName().size());
    std::string partial;
    for (std::size_t i = 0; i < base.size(); ++i) {
        partial += base[i];
        if (base[i] == '/' && partial.size() > 1) (void)mkdir(partial.c_str(), 0700);
    }
}

TFolders SetUpFolders() {
    TFolders folders{ExecutableFolder(), SharedDataFolder(), UserDataFolder()};
    CreateXdgBase("ProgramData", folders.SharedData);
    CreateXdgBase("AppData", folders.UserData);
    // Single-level creation: an existing folder or a missing parent is not an error.
    (void)mkdir(folders.SharedData.c_str(), 0777);
    (void)mkdir(folders.UserData.c_str(), 0777);
    return folders;
}

namespace {

// Set by the build from the install folders (bin relative to share): "../share/zendra-icd10/".
#ifndef ZENDRA_INSTALLED_DATA_DIR
#define ZENDRA_INSTALLED_DATA_DIR "../share/zendra-icd10/"
#endif
constexpr const char* kInstalledDataDir = ZENDRA_INSTALLED_DATA_DIR;
constexpr const char* kConfigSubPath = "zendra-icd10/config.ini";

bool IsDirectory(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

std::string CurrentFolder() {
    std::error_code failed;
    const auto current = std::filesystem::current_path(failed);
    return failed ? std::string() : WithSlash(current.string());
}

}  // namespace

TProgramFiles LocateProgramFiles(const std::string& AProgramDir, const std::vector<std::string>& AConfigDirs) {
    TProgramFiles files;
    const std::string installedData =
        std::filesystem::path(AProgramDir + kInstalledDataDir).lexically_normal().string();
    files.FInstalled = !AProgramDir.empty() && IsDirectory(installedData);
    if (!files.FInstalled) {
        files.FDataDir = files.FWorkDir = AProgramDir;
        files.FConfigFile = AProgramDir + "config.ini";
        return files;
    }
    files.FDataDir = installedData;
    files.FWorkDir = CurrentFolder();
    for (const auto& folder : AConfigDirs) {
        if (IsFile(folder + kConfigSubPath)) {
            files.FConfigFile = folder + kConfigSubPath;
            break;
        }
    }
    if (files.FConfigFile.empty() && !AConfigDirs.empty()) files.FConfigFile = AConfigDirs.front() + kConfigSubPath;
    return files;
}

std::vector<std::string> SystemConfigFolders() {
    std::vector<std::string> folders{"/etc/"};
    const std::string list = EnvironmentValue("XDG_CONFIG_DIRS");
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t colon = std::min(list.find(':', start), list.size());
        // Relative entries are invalid in the XDG list and are skipped.
        if (colon > start && list[start] == '/') folders.push_back(WithSlash(list.substr(start, colon - start)));
        start = colon + 1;
    }
    if (folders.size() == 1) folders.push_back("/etc/xdg/");
    return folders;
}

TProgramFiles ProgramFiles(const TFolders& AFolders) {
    return LocateProgramFiles(AFolders.Program, SystemConfigFolders());
}
