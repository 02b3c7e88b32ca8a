// The keyword search history: at most 50 texts, oldest first, no two equal (case-sensitive), kept
// between runs in the user data folder's "SearchHistory.txt" (one text a line, CR LF), written back in the
// encoding it was read in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/GlobalDef.h"
#include "services/FileUtil.h"
#include "services/Folders.h"
#include "services/TextEncoding.h"

inline constexpr int SearchHistoryLimit = 50;
inline constexpr const char* SearchHistoryFileName = "SearchHistory.txt";
// A larger file is not read (and left as it is); a longer entry is not kept.
inline constexpr std::size_t MaxSearchHistoryFileBytes = 4 * 1024 * 1024;
inline constexpr std::size_t MaxSearchHistoryEntryBytes = 4096;

class TSearchHistory {
public:
    using TEncoding = TTextEncoding;

    TStringList FItems;  // UTF-8, oldest first
    // How the file was stored; a history never read from a file is written as UTF-8 without a mark.
    TEncoding FEncoding = TEncoding::Utf8;

    // Trims blanks; an empty text or one longer than MaxSearchHistoryEntryBytes adds nothing. Removes the first equal
    // entry, drops the oldest when 50 or more remain, appends.
    void Add(std::string_view AText);

    // Reads the whole file and keeps its newest 50 entries. A missing file gives an empty history;
    // anything else that cannot be read (a folder, a FIFO, no permission, a read error, a file
    // larger than MaxSearchHistoryFileBytes) gives an empty history too and sets FUnreadable.
    // Returns false in both cases.
    bool LoadFromFile(const std::string& AFileName);
    // Writes the whole file through a temporary file, so a failed write leaves the old file whole.
    // A history whose file could not be read is never written over: then nothing is written and
    // the answer is false, as for a failed write.
    bool SaveToFile(const std::string& AFileName) const;

    // The file existed but could not be read (see LoadFromFile), and why.
    bool FUnreadable = false;
    TFileRead FRead = TFileRead::Missing;
    // Entries of the file longer than MaxSearchHistoryEntryBytes, left out by Decode.
    std::size_t FDroppedEntries = 0;

    // The file's bytes for FItems in FEncoding (used by SaveToFile).
    std::string Encode() const;
    // Sets FItems and FEncoding from a file's bytes, leaving out entries that are too long.
    void Decode(std::string_view ABytes);
};

// The user data folder's "SearchHistory.txt".
std::string SearchHistoryPath(const TFolders& AFolders);

// The program's history file: LoadSearchHistory reads SearchHistoryPath into AHistory when the
// launcher is created; SaveSearchHistory writes it back when the launcher closes, unless the file
// could not be read, and tells the user once when the save fails.
void LoadSearchHistory(TSearchHistory& AHistory, const TFolders& AFolders);
void SaveSearchHistory(const TSearchHistory& AHistory, const TFolders& AFolders);
// What the launcher says about the history: empty, or that the file could not be read and is left
// as it is, or that entries too long were left out.
std::string SearchHistoryNotice(const TSearchHistory& AHistory, const TFolders& AFolders);
