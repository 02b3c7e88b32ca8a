#include "userdata/SearchHistory.h"

#include <algorithm>
#include <cstdio>

#include "services/FileUtil.h"
#include "services/Messages.h"
#include "services/TextEncoding.h"
#include "services/TextUtil.h"

void TSearchHistory::Add(std::string_view AText) {
    const std::string text = TrimBlanks(AText);
    if (text.empty() || text.size() > MaxSearchHistoryEntryBytes) return;
    if (!FItems.empty()) {
        const auto equal = std::find(FItems.begin(), FItems.end(), text);
        if (equal != FItems.end()) FItems.erase(equal);
        if (FItems.size() >= static_cast<std::size_t>(SearchHistoryLimit)) FItems.erase(FItems.begin());
    }
    FItems.push_back(text);
}

void TSearchHistory::Decode(std::string_view ABytes) {
    FItems = SplitLines(DecodeText(ABytes, FEncoding));
    const auto tooLong = [](const std::string& item) { return item.size() > MaxSearchHistoryEntryBytes; };
    const auto kept = std::remove_if(FItems.begin(), FItems.end(), tooLong);
    FDroppedEntries = static_cast<std::size_t>(FItems.end() - kept);
    FItems.erase(kept, FItems.end());
}

std::string TSearchHistory::Encode() const {
    std::string text;
    for (const std::string& item : FItems) text += item + "\r\n";
    return EncodeText(text, FEncoding);
}

bool TSearchHistory::LoadFromFile(const std::string& AFileName) {
    FItems.clear();
    FEncoding = TEncoding::Utf8;
    FDroppedEntries = 0;
    std::string bytes;
    FRead = ReadRegularFile(AFileName, bytes, MaxSearchHistoryFileBytes);
    FUnreadable = FRead != TFileRead::Read && FRead != TFileRead::Missing;
    if (FRead != TFileRead::Read) return false;
    Decode(bytes);
    // The list never holds more than 50: a longer (hand-edited) file keeps its newest entries.
    if (FItems.size() > static_cast<std::size_t>(SearchHistoryLimit)) {
        FItems.erase(FItems.begin(), FItems.end() - SearchHistoryLimit);
    }
    return true;
}

bool TSearchHistory::SaveToFile(const std::string& AFileName) const {
    if (FUnreadable) return false;
    return ReplaceFileContents(AFileName, Encode());
}

std::string SearchHistoryPath(const TFolders& AFolders) {
    return AFolders.UserData + SearchHistoryFileName;
}

void LoadSearchHistory(TSearchHistory& AHistory, const TFolders& AFolders) {
    AHistory.LoadFromFile(SearchHistoryPath(AFolders));
}

void SaveSearchHistory(const TSearchHistory& AHistory, const TFolders& AFolders) {
    // The user has been told already that an unreadable file is left alone.
    if (AHistory.FUnreadable) return;
    const std::string path = SearchHistoryPath(AFolders);
    if (!AHistory.SaveToFile(path)) ReportSaveFailure("Your search history", path);
}

std::string SearchHistoryNotice(const TSearchHistory& AHistory, const TFolders& AFolders) {
    if (AHistory.FUnreadable) {
        return "The search history could not be read from " + SearchHistoryPath(AFolders) + " (" +
               FileReadProblem(AHistory.FRead, MaxSearchHistoryFileBytes) +
               "); it is left as it is and your searches of this session will not be saved.";
    }
    if (AHistory.FDroppedEntries > 0) {
        return std::to_string(AHistory.FDroppedEntries) + " entries of the search history in " +
               SearchHistoryPath(AFolders) + " are longer than " + std::to_string(MaxSearchHistoryEntryBytes) +
               " bytes and were left out; the file is written without them at close.";
    }
    return {};
}
