#include "userdata/Config.h"

#include <utility>
#include <vector>

#include "services/FileUtil.h"
#include "services/Folders.h"
#include "services/Messages.h"
#include "userdata/IniFile.h"

namespace {

constexpr const char* kSection = "Config";
constexpr const char* kFileName = "config.ini";

}  // namespace

void LoadProgramConfig(TSettings& ASettings, const TFolders& AFolders) {
    ASettings.IsAdmin = TIniFile(ProgramFiles(AFolders).FConfigFile).ReadInteger(kSection, "IsAdmin", 0);
}

void LoadUserConfig(TSettings& ASettings, const TFolders& AFolders) {
    const TIniFile file(AFolders.UserData + kFileName);
    ASettings.UserFileRead = ProbeRegularFile(file.FileName(), MaxIniFileBytes);
    ASettings.FullScreen = file.ReadInteger(kSection, "FullScreen", 0);
    ASettings.ScrollBar = file.ReadInteger(kSection, "ScrollBar", 0);
    ASettings.Edition = file.ReadString(kSection, "Edition", "");
}

std::string UserConfigNotice(const TSettings& ASettings, const TFolders& AFolders) {
    const std::string problem = FileReadProblem(ASettings.UserFileRead, MaxIniFileBytes);
    if (problem.empty()) return {};
    return "Your settings could not be read from " + AFolders.UserData + kFileName + " (" + problem +
           "); the defaults are used and the file is left as it is.";
}

bool SaveUserConfig(const TSettings& ASettings, const TFolders& AFolders) {
    const std::string fileName = AFolders.UserData + kFileName;
    std::vector<std::pair<std::string, std::string>> values{{"FullScreen", std::to_string(ASettings.FullScreen)},
                                                            {"ScrollBar", std::to_string(ASettings.ScrollBar)}};
    // A file that never had a choice of edition does not get an empty one.
    if (!ASettings.Edition.empty()) values.emplace_back("Edition", ASettings.Edition);
    if (TIniFile(fileName).WriteStrings(kSection, values)) return true;
    ReportSaveFailure("Your settings", fileName);
    return false;
}
