// Reading and replacing the small files the user owns (settings, search history, favourites).
// Reading never blocks and never throws; replacing is safe: readers and a crash see either the old
// file or the complete new one, and a symbolic link is written through to its target.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class TFileRead {
    Read,        // the bytes are the whole file
    Missing,     // nothing there (or a dangling link): a fresh file may be written
    Unreadable,  // something is there that could not be read: never write over it
    TooLarge,    // a regular file of more bytes than the reader accepts: never write over it either
};

// Reads a whole regular file of at most AMaxBytes into ABytes (emptied first; left empty unless
// Read). A folder, a FIFO, a device or any read error is Unreadable; opening does not wait for a
// FIFO writer. A larger file is TooLarge, found before reading it (or when it grows past the bound
// while being read), so no file can take more memory than the bound.
TFileRead ReadRegularFile(const std::string& AFileName, std::string& ABytes, std::size_t AMaxBytes);

// Why a read gave no bytes, in words for a message ("it is not a regular file or cannot be read",
// "it is larger than 1 MiB"); empty for Read and Missing.
std::string FileReadProblem(TFileRead ARead, std::size_t AMaxBytes);

// The answer ReadRegularFile would give, without reading the bytes.
TFileRead ProbeRegularFile(const std::string& AFileName, std::size_t AMaxBytes);

// The file a save to AFileName really replaces: AFileName itself, or the final target of the
// chain of symbolic links it names (relative targets taken from the link's folder). AFileName
// itself when the chain is too long or cannot be read.
std::string ResolveLinks(const std::string& AFileName);

// Writes the bytes to a new file next to the real file (ResolveLinks), forces it to disk and
// renames it over the real file, keeping the permissions of the file it replaces (with AOwnerOnly:
// readable and writable by its owner only, from the first byte on); a link stays a link. On any
// failure the old file is untouched, the temporary file is removed and the answer is false.
bool ReplaceFileContents(const std::string& fileName, std::string_view bytes, bool AOwnerOnly = false);
