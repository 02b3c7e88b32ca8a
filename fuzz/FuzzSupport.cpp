#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

void RemoveFuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FuzzFolder(), ignored);
}

}  // namespace

std::string FuzzFolder() {
    // Never destroyed: the exit handler below still needs it after static destruction began.
    static const std::string* folder = [] {
        const auto path = std::filesystem::temp_directory_path() / ("zendra-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit(RemoveFuzzFolder);
        return new std::string(path.string() + "/");
    }();
    return *folder;
}

void EmptyFuzzFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(FuzzFolder(), ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}
