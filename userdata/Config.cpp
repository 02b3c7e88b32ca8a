#include "userdata/Config.h"

#include <utility>
#include <vector>

#include "services/DataSets.h"
#include "services/FileUtil.h"
#include "services/Folders.h"
#include "services/Messages.h"
#include "userdata/IniFile.h"

int32_t IsAdmin = 0;
int32_t FullScreen = 0;
int32_t ScrollBar = 0;
std::string ChosenEdition;

namespace {

constexpr const char* kSection = "Config";
constexpr const char* kFileName = "config.ini";

}  // namespace

void LoadProgramConfig() {
    IsAdmin = TIniFile(ProgramFiles().FConfigFile).ReadInteger(kSection, "IsAdmin", 0);
}

namespace {

// How the user's file answered at the last LoadUserConfig.
TFileRead UserConfigRead = TFileRead::Missing;

}  // namespace

void LoadUserConfig() {
    const TIniFile file(UserDataDir + kFileName);
    UserConfigRead = ProbeRegularFile(file.FileName(), MaxIniFileBytes);
    FullScreen = file.ReadInteger(kSection, "FullScreen", 0);
    ScrollBar = file.ReadInteger(kSection, "ScrollBar", 0);
    ChosenEdition = file.ReadString(kSection, "Edition", "");
}

std::string UserConfigNotice() {
    const std::string problem = FileReadProblem(UserConfigRead, MaxIniFileBytes);
    if (problem.empty()) return {};
    return "Your settings could not be read from " + UserDataDir + kFileName + " (" + problem +
           "); the defaults are used and the file is left as it is.";
}

bool SaveUserConfig() {
    const std::string fileName = UserDataDir + kFileName;
    std::vector<std::pair<std::string, std::string>> values{{"FullScreen", std::to_string(FullScreen)},
                                                            {"ScrollBar", std::to_string(ScrollBar)}};
    // A file that never had a choice of edition does not get an empty one.
    if (!ChosenEdition.empty()) values.emplace_back("Edition", ChosenEdition);
    if (TIniFile(fileName).WriteStrings(kSection, values)) return true;
    ReportSaveFailure("Your settings", fileName);
    return false;
}
