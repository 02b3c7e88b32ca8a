// The three folders of the program. ProgramDir is the folder of the running executable;
// SharedDataDir (favourite lists) sits under the machine-wide data folder given by the
// environment variable "ProgramData", UserDataDir (settings, search history) under the per-user
// one given by "AppData". Where a variable is unset or empty the XDG base folders stand in:
// $XDG_DATA_HOME (else ~/.local/share) and $XDG_CONFIG_HOME (else ~/.config). Every path ends in "/".
#pragma once

#include <string>

// "Zendra ICD10 2021/": the data folder name made from the product prefix and the edition year.
std::string DataFolderName();

// The folder holding the running executable, with a trailing "/" (empty when it cannot be found).
std::string ExecutableFolder();

// The two data folders as the environment gives them now.
std::string SharedDataFolder();
std::string UserDataFolder();

// Sets ProgramDir, SharedDataDir and UserDataDir and creates the two data folders, one level
// only; a failure (missing parent, folder already there) is ignored.
void SetUpFolders();
