#include "userdata/Config.h"

#include "services/DataSets.h"
#include "services/Folders.h"
#include "services/Messages.h"
#include "userdata/IniFile.h"

int32_t IsAdmin = 0;
int32_t FullScreen = 0;
int32_t ScrollBar = 0;

namespace {

constexpr const char* kSection = "Config";
constexpr const char* kFileName = "config.ini";

}  // namespace

void LoadProgramConfig() {
    IsAdmin = TIniFile(ProgramFiles().FConfigFile).ReadInteger(kSection, "IsAdmin", 0);
}

void LoadUserConfig() {
    const TIniFile file(UserDataDir + kFileName);
    FullScreen = file.ReadInteger(kSection, "FullScreen", 0);
    ScrollBar = file.ReadInteger(kSection, "ScrollBar", 0);
}

bool SaveUserConfig() {
    const std::string fileName = UserDataDir + kFileName;
    if (TIniFile(fileName).WriteIntegers(kSection, {{"FullScreen", FullScreen}, {"ScrollBar", ScrollBar}})) return true;
    ReportSaveFailure("Your settings", fileName);
    return false;
}
