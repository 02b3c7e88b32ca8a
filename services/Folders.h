// The three folders of the program. The program folder is the folder of the running executable;
// the shared data folder (favourite lists) sits under the machine-wide data folder given by the
// environment variable "ProgramData", the user data folder (settings, search history) under the
// per-user one given by "AppData". Where a variable is unset or empty the XDG base folders stand in:
// $XDG_DATA_HOME (else ~/.local/share) and $XDG_CONFIG_HOME (else ~/.config). Every path ends in "/".
#pragma once

#include <string>
#include <vector>

// "Zendra ICD10 2021/": the data folder name made from the product prefix and the edition year.
std::string DataFolderName();

// The folder holding the running executable, with a trailing "/" (empty when it cannot be found).
std::string ExecutableFolder();

// The two data folders as the environment gives them now.
std::string SharedDataFolder();
std::string UserDataFolder();

// The three folders, each ending in "/".
struct TFolders {
    std::string Program;     // the running executable's
    std::string SharedData;  // favourite lists
    std::string UserData;    // settings, search history
};

// The three folders as the environment gives them now, with the two data folders created, one
// level only; a failure (missing parent, folder already there) is ignored.
TFolders SetUpFolders();

// Where the program's own files are. A program run from its build tree keeps them next to the
// executable (the program folder). An installed one (the executable in <prefix>/bin, the data folder
// <prefix>/share/zendra-icd10/ beside it) reads "Background.bmp" from that data folder, takes
// the program-wide "config.ini" from the first system configuration folder holding
// zendra-icd10/config.ini, and lets the administrator tool work in the current folder, since
// the folder of an installed executable is not writable.
struct TProgramFiles {
    bool FInstalled = false;
    std::string FDataDir;     // holds "Background.bmp"
    std::string FConfigFile;  // the program-wide "config.ini"
    std::string FWorkDir;     // the administrator tool's working folder
};

// The decision for an executable in AProgramDir, given the system configuration folders in order
// of preference (each ending in "/"). With no config.ini in any of them, the first one's is named.
TProgramFiles LocateProgramFiles(const std::string& AProgramDir, const std::vector<std::string>& AConfigDirs);

// "/etc/", then the folders of $XDG_CONFIG_DIRS (colon-separated; "/etc/xdg/" when unset or empty).
std::vector<std::string> SystemConfigFolders();

// LocateProgramFiles for the program folder of AFolders and SystemConfigFolders().
TProgramFiles ProgramFiles(const TFolders& AFolders);
