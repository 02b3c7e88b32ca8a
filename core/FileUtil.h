// Replacing a file safely: readers and a crash see either the old file or the complete new one.
#pragma once

#include <string>
#include <string_view>

// Writes the bytes to a new file next to fileName, forces it to disk and renames it over
// fileName, keeping the permissions of the file it replaces. On any failure the old file is
// untouched, the temporary file is removed and the answer is false.
bool ReplaceFileContents(const std::string& fileName, std::string_view bytes);
