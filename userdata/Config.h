// The two settings files, both "config.ini" with the section "Config": the program-wide one
// ("IsAdmin"; next to the executable, or in the system configuration folder when installed, see
// ProgramFiles in services/Folders.h) and the user's one in the user data folder ("FullScreen",
// "ScrollBar", "Edition"). Unreadable files and keys leave the defaults (0). A settings file that
// exists but cannot be read is never written over; a failed save is told to the user once per run
// (ReportSaveFailure).
#pragma once

#include <cstdint>
#include <string>

#include "services/FileUtil.h"
#include "services/Folders.h"

struct TSettings {
    int32_t IsAdmin = 0;     // 1 enables the administrator entry of the main window
    int32_t FullScreen = 0;  // 1 opens the search windows maximised
    int32_t ScrollBar = 0;   // kept and written back unchanged
    // The id of the edition the coder chose to work with ("2022"); empty until a choice was made
    // (then the embedded edition is used). The desktop program and the command line both start on it.
    std::string Edition;
    // How the user's file answered at the last LoadUserConfig.
    TFileRead UserFileRead = TFileRead::Missing;
};

void LoadProgramConfig(TSettings& ASettings, const TFolders& AFolders);
void LoadUserConfig(TSettings& ASettings, const TFolders& AFolders);
// What the launcher says at start when the user's file exists but could not be read (a folder, a
// FIFO, no permission, too large); empty otherwise.
std::string UserConfigNotice(const TSettings& ASettings, const TFolders& AFolders);
// False when the file could not be written (the user has been told).
bool SaveUserConfig(const TSettings& ASettings, const TFolders& AFolders);
