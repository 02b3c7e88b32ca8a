#include "model/ValidateCodes.h"

#include <cstring>

#include "model/CodeResolver.h"
#include "services/TextUtil.h"

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Length of the well-formed UTF-8 sequence at the start of a text, 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    // No overlong forms, no surrogates, nothing above U+10FFFF.
    if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF))) return 0;
    if (value >= 0xD800 && value <= 0xDFFF) return 0;
    return length;
}

// The input as given, safe for a tab-separated line of valid UTF-8.
void AppendEcho(std::string& out, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Printable ASCII is copied in runs.
        std::size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) >= 0x20 &&
               static_cast<unsigned char>(text[run]) < 0x7F) {
            ++run;
        }
        out.append(text.substr(i, run - i));
        i = run;
        if (i == text.size()) break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = Utf8SequenceLength(text.substr(i))) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += ReplacementCharacter;
            ++i;
        }
    }
}

}  // namespace

std::vector<std::string> SplitCsvRecord(std::string_view ARecord) {
    std::vector<std::string> fields(1);
    std::size_t i = 0;
    bool fieldStart = true;
    while (i < ARecord.size()) {
        const char c = ARecord[i];
        if (fieldStart && c == '"') {
            // A quoted field: up to the closing quote, "" standing for one quote.
            ++i;
            while (i < ARecord.size()) {
                if (ARecord[i] == '"') {
                    if (i + 1 < ARecord.size() && ARecord[i + 1] == '"') {
                        fields.back() += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                fields.back() += ARecord[i++];
            }
            fieldStart = false;
            continue;
        }
        if (c == ',') {
            fields.emplace_back();
            fieldStart = true;
        } else {
            fields.back() += c;
            fieldStart = false;
        }
        ++i;
    }
    return fields;
}

TCodeValidator::TCodeValidator(const TCodeResolver& AResolver, std::string AColumn, std::string& AOutput)
    : FResolver(AResolver), FColumn(std::move(AColumn)), FOutput(AOutput) {}

void TCodeValidator::Feed(std::string_view AChunk) {
    const bool csv = !FColumn.empty();
    while (!AChunk.empty()) {
        std::size_t end = 0;
        if (csv) {
            // A line break inside a quoted field does not end the record.
            while (end < AChunk.size()) {
                if (AChunk[end] == '"')
                    FInQuotes = !FInQuotes;
                else if (AChunk[end] == '\n' && !FInQuotes)
                    break;
                ++end;
            }
        } else {
            const void* found = std::memchr(AChunk.data(), '\n', AChunk.size());
            end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - AChunk.data()) : AChunk.size();
        }
        if (end == AChunk.size()) {
            FPending.append(AChunk);
            return;
        }
        if (FPending.empty()) {
            Record(AChunk.substr(0, end));
        } else {
            FPending.append(AChunk.substr(0, end));
            Record(FPending);
            FPending.clear();
        }
        AChunk.remove_prefix(end + 1);
    }
}

void TCodeValidator::Finish() {
    if (!FPending.empty()) Record(FPending);
    FPending.clear();
}

void TCodeValidator::Record(std::string_view ARecord) {
    if (!FProblem.empty()) return;
    if (!ARecord.empty() && ARecord.back() == '\r') ARecord.remove_suffix(1);
    if (FFirstRecord) {
        FFirstRecord = false;
        if (ARecord.starts_with(ByteOrderMark)) ARecord.remove_prefix(ByteOrderMark.size());
    }
    if (FColumn.empty()) {
        Check(ARecord);
        return;
    }
    const std::vector<std::string> fields = SplitCsvRecord(ARecord);
    if (!FHeaderRead) {
        FHeaderRead = true;
        const std::string wanted = AsciiUpper(TrimControls(FColumn));
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (AsciiUpper(TrimControls(fields[i])) == wanted) {
                FColumnIndex = i;
                return;
            }
        }
        FProblem = "no column \"" + FColumn + "\" in the header row";
        return;
    }
    // A row without that column (a blank line, a short row) is reported as an empty input.
    Check(FColumnIndex < fields.size() ? std::string_view(fields[FColumnIndex]) : std::string_view());
}

void TCodeValidator::Check(std::string_view AInput) {
    ++FInputs;
    const TCodeAnswer code = FResolver.Answer(AInput);
    if (code.FVerdict == TCodeVerdict::Reportable) ++FReportable;
    AppendEcho(FOutput, AInput);
    FOutput += '\t';
    FOutput += code.FCode.View();
    FOutput += '\t';
    FOutput += VerdictWord(code.FVerdict);
    FOutput += '\t';
    if (code.FVerdict == TCodeVerdict::SeventhCharNotAllowed) {
        // The code the character would belong to.
        FOutput += code.FNode->FCode;
        FOutput += "  ";
        AppendEcho(FOutput, code.FNode->FDesc);
    } else if (code.FDesc != nullptr) {
        AppendEcho(FOutput, *code.FDesc);
    }
    FOutput += '\n';
}
