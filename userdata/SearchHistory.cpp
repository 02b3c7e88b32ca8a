#include "userdata/SearchHistory.h"

#include <algorithm>
#include <cstdio>

#include "services/DataSets.h"
#include "services/FileUtil.h"
#include "services/Messages.h"
#include "services/TextUtil.h"

TSearchHistory SearchHistory;

namespace {

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        i += extra + 1;
    }
    return true;
}

std::u32string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u32string text;
    const auto unitAt = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text.push_back(unit);
    }
    // An odd trailing byte is half a unit: keep it as a unit of its own (the byte in its place,
    // the missing half zero) so that a save writes it back instead of dropping it.
    if (bytes.size() % 2 == 1) {
        const auto last = static_cast<unsigned char>(bytes.back());
        text.push_back(bigEndian ? static_cast<char32_t>(last) << 8 : static_cast<char32_t>(last));
    }
    return text;
}

void AppendUtf16(std::string& out, char32_t cp, bool bigEndian) {
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>((unit >> 8) & 0xFF);
        const char low = static_cast<char>(unit & 0xFF);
        if (bigEndian) {
            out.push_back(high);
            out.push_back(low);
        } else {
            out.push_back(low);
            out.push_back(high);
        }
    };
    if (cp >= 0x10000) {
        cp -= 0x10000;
        put(0xD800 + (cp >> 10));
        put(0xDC00 + (cp & 0x3FF));
    } else {
        put(cp);
    }
}

}  // namespace

void TSearchHistory::Add(std::string_view AText) {
    const std::string text = TrimBlanks(AText);
    if (text.empty()) return;
    if (!FItems.empty()) {
        const auto equal = std::find(FItems.begin(), FItems.end(), text);
        if (equal != FItems.end()) FItems.erase(equal);
        if (FItems.size() >= static_cast<std::size_t>(SearchHistoryLimit)) FItems.erase(FItems.begin());
    }
    FItems.push_back(text);
}

void TSearchHistory::Decode(std::string_view ABytes) {
    std::string text;
    if (ABytes.size() >= 3 && ABytes.substr(0, 3) == "\xEF\xBB\xBF") {
        FEncoding = TEncoding::Utf8Bom;
        text = std::string(ABytes.substr(3));
    } else if (ABytes.size() >= 2 && ABytes.substr(0, 2) == "\xFF\xFE") {
        FEncoding = TEncoding::Utf16LE;
        text = U32ToUtf8(DecodeUtf16(ABytes.substr(2), false));
    } else if (ABytes.size() >= 2 && ABytes.substr(0, 2) == "\xFE\xFF") {
        FEncoding = TEncoding::Utf16BE;
        text = U32ToUtf8(DecodeUtf16(ABytes.substr(2), true));
    } else if (IsValidUtf8(ABytes)) {
        FEncoding = TEncoding::Utf8;
        text = std::string(ABytes);
    } else {
        // Not UTF-8: an 8-bit file, read byte for character.
        FEncoding = TEncoding::Latin1;
        std::u32string wide;
        for (char c : ABytes) wide.push_back(static_cast<unsigned char>(c));
        text = U32ToUtf8(wide);
    }
    FItems = SplitLines(text);
}

std::string TSearchHistory::Encode() const {
    std::string text;
    for (const std::string& item : FItems) text += item + "\r\n";
    switch (FEncoding) {
        case TEncoding::Utf8:
            return text;
        case TEncoding::Utf8Bom:
            return "\xEF\xBB\xBF" + text;
        case TEncoding::Latin1: {
            std::string out;
            for (char32_t cp : Utf8ToU32(text)) out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
            return out;
        }
        case TEncoding::Utf16LE:
        case TEncoding::Utf16BE: {
            const bool bigEndian = FEncoding == TEncoding::Utf16BE;
            std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (char32_t cp : Utf8ToU32(text)) AppendUtf16(out, cp, bigEndian);
            return out;
        }
    }
    return text;
}

bool TSearchHistory::LoadFromFile(const std::string& AFileName) {
    FItems.clear();
    FEncoding = TEncoding::Utf8;
    std::string bytes;
    const TFileRead read = ReadRegularFile(AFileName, bytes);
    FUnreadable = read == TFileRead::Unreadable;
    if (read != TFileRead::Read) return false;
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

std::string SearchHistoryPath() {
    return UserDataDir + SearchHistoryFileName;
}

void LoadSearchHistory() {
    SearchHistory.LoadFromFile(SearchHistoryPath());
}

void SaveSearchHistory() {
    // The user has been told already that an unreadable file is left alone.
    if (SearchHistory.FUnreadable) return;
    const std::string path = SearchHistoryPath();
    if (!SearchHistory.SaveToFile(path)) ReportSaveFailure("Your search history", path);
}

std::string SearchHistoryNotice() {
    if (!SearchHistory.FUnreadable) return {};
    return "The search history could not be read from " + SearchHistoryPath() +
           "; it is left as it is and your searches of this session will not be saved.";
}
