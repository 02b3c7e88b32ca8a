// The two settings files, both "config.ini" with the section "Config": the program-wide one
// ("IsAdmin"; next to the executable, or in the system configuration folder when installed, see
// ProgramFiles in Folders.h) and the user's one in UserDataDir ("FullScreen", "ScrollBar").
// Unreadable files and keys leave the defaults (0). A settings file that exists but cannot be read
// is never written over; a failed save is told to the user once per run (ReportSaveFailure).
#pragma once

#include <cstdint>
#include <string>

extern int32_t IsAdmin;     // 1 enables the administrator entry of the main window
extern int32_t FullScreen;  // 1 opens the search windows maximised
extern int32_t ScrollBar;   // kept and written back unchanged
// The id of the edition the coder chose to work with ("2022"); empty until a choice was made (then
// the embedded edition is used). The desktop program and the command line both start on it.
extern std::string ChosenEdition;

void LoadProgramConfig();
void LoadUserConfig();
// What the launcher says at start when the user's file exists but could not be read (a folder, a
// FIFO, no permission, too large); empty otherwise. Set by LoadUserConfig.
std::string UserConfigNotice();
// False when the file could not be written (the user has been told).
bool SaveUserConfig();
