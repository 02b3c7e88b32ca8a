#include "tests/common/TestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "data/EmbeddedResources.h"
#include "model/CodeResolver.h"
#include "model/TabularData.h"
#include "startup/Boot.h"
#include "startup/LoadedData.h"
#include "startup/StartUp.h"

namespace {

TCodeInfo* NodeNamedBy(const TCodeResolution& resolution) {
    const bool node =
        resolution.FVerdict == TCodeVerdict::Reportable || resolution.FVerdict == TCodeVerdict::NotReportable;
    return node && !resolution.FSeventhCharacter ? resolution.FNode : nullptr;
}

std::string privateFolder;

void RemovePrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(privateFolder, ignored);
}

void UsePrivateDataFoldersIfUnset() {
    const char* programData = std::getenv("ProgramData");
    const char* appData = std::getenv("AppData");
    if (programData && *programData && appData && *appData) return;
    std::string pattern = "/tmp/zendra-test-data-XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    privateFolder = pattern;
    std::atexit(RemovePrivateFolder);
    if (!programData || !*programData) setenv("ProgramData", pattern.c_str(), 1);
    if (!appData || !*appData) setenv("AppData", pattern.c_str(), 1);
}

}  // namespace

void EnsureRealDataLoaded() {
    static std::mutex mutex;
    static bool loaded = false;
    static uint64_t loadedBy = 0;
    std::lock_guard lock(mutex);
    if (loaded && StartUpCount() == loadedBy) return;
    UsePrivateDataFoldersIfUnset();
    LoadAllDataNow(EmbeddedResources());
    loaded = true;
    loadedBy = StartUpCount();
}

TCodeInfo* FindNode(const TChapterList& chapters, std::string_view codeText) {
    if (&chapters == &LoadedData().Tabular.Chapters) return FindNode(codeText);
    static std::map<const TChapterList*, std::unique_ptr<TCodeResolver>> resolvers;
    std::unique_ptr<TCodeResolver>& resolver = resolvers[&chapters];
    if (!resolver) resolver = std::make_unique<TCodeResolver>(chapters);
    return NodeNamedBy(resolver->Resolve(codeText));
}

TCodeInfo* FindNode(std::string_view codeText) {
    return NodeNamedBy(LoadedData().CodeResolver().Resolve(codeText));
}
