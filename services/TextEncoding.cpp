#include "services/TextEncoding.h"

#include "services/TextUtil.h"

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

std::string DecodeText(std::string_view ABytes, TTextEncoding& AEncoding) {
    if (ABytes.starts_with("\xEF\xBB\xBF")) {
        AEncoding = TTextEncoding::Utf8Bom;
        return std::string(ABytes.substr(3));
    }
    if (ABytes.starts_with("\xFF\xFE")) {
        AEncoding = TTextEncoding::Utf16LE;
        return U32ToUtf8(DecodeUtf16(ABytes.substr(2), false));
    }
    if (ABytes.starts_with("\xFE\xFF")) {
        AEncoding = TTextEncoding::Utf16BE;
        return U32ToUtf8(DecodeUtf16(ABytes.substr(2), true));
    }
    if (IsValidUtf8(ABytes)) {
        AEncoding = TTextEncoding::Utf8;
        return std::string(ABytes);
    }
    // Not UTF-8: an 8-bit file, read byte for character.
    AEncoding = TTextEncoding::Latin1;
    std::u32string wide;
    wide.reserve(ABytes.size());
    for (char c : ABytes) wide.push_back(static_cast<unsigned char>(c));
    return U32ToUtf8(wide);
}

std::string EncodeText(std::string_view AText, TTextEncoding AEncoding) {
    switch (AEncoding) {
        case TTextEncoding::Utf8:
            break;
        case TTextEncoding::Utf8Bom:
            return "\xEF\xBB\xBF" + std::string(AText);
        case TTextEncoding::Latin1: {
            std::string out;
            for (char32_t cp : Utf8ToU32(AText)) out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
            return out;
        }
        case TTextEncoding::Utf16LE:
        case TTextEncoding::Utf16BE: {
            const bool bigEndian = AEncoding == TTextEncoding::Utf16BE;
            std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (char32_t cp : Utf8ToU32(AText)) AppendUtf16(out, cp, bigEndian);
            return out;
        }
    }
    return std::string(AText);
}
