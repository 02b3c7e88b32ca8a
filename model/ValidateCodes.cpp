#include "model/ValidateCodes.h"

#include "model/CodeResolver.h"
#include "services/TextUtil.h"

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

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

TCodeValidator::TCodeValidator(const TCodeResolver& AResolver, std::string AColumn, std::string& AOutput,
                               std::size_t AMaxRecordBytes)
    : FResolver(AResolver),
      FColumn(std::move(AColumn)),
      FOutput(AOutput),
      FMaxRecordBytes(AMaxRecordBytes),
      FReader(FColumn.empty() ? TCsvReader::TMode::Lines : TCsvReader::TMode::Csv, AMaxRecordBytes,
              [this](const TCsvRecord& ARecord) { Record(ARecord); }) {}

void TCodeValidator::Feed(std::string_view AChunk) {
    if (FProblem.empty()) FReader.Feed(AChunk);
}

void TCodeValidator::Finish() {
    if (FProblem.empty()) FReader.Finish();
}

const std::string& TCodeValidator::Problem() const {
    return FProblem.empty() ? FReader.Error() : FProblem;
}

void TCodeValidator::Record(const TCsvRecord& ARecord) {
    if (!FProblem.empty()) return;
    if (FColumn.empty()) {
        if (ARecord.FTooLong)
            CheckTooLong(ARecord, ARecord.FFields.front());
        else
            Check(ARecord.FFields.front(), FResolver);
        return;
    }
    const std::vector<std::string>& fields = ARecord.FFields;
    if (!FHeaderRead) {
        FHeaderRead = true;
        if (ARecord.FTooLong) {
            FProblem = "the header row is longer than " + std::to_string(FMaxRecordBytes) + " bytes";
            return;
        }
        if (FindColumn(fields, FColumn, FColumnIndex) && !FDateColumn.empty())
            FindColumn(fields, FDateColumn, FDateIndex);
        return;
    }
    const std::string_view field =
        FColumnIndex < fields.size() ? std::string_view(fields[FColumnIndex]) : std::string_view();
    if (ARecord.FTooLong) {
        CheckTooLong(ARecord, field);
        return;
    }
    const TCodeResolver* resolver = &FResolver;
    if (FResolverFor) {
        const std::string_view date =
            FDateIndex < fields.size() ? std::string_view(fields[FDateIndex]) : std::string_view();
        std::string reason;
        resolver = FResolverFor(TrimControls(date), reason);
        if (resolver == nullptr) {
            ++FInputs;
            ++FWithoutEdition;
            AppendEcho(FOutput, field);
            FOutput += "\t\t";
            FOutput += NoEditionVerdict;
            FOutput += '\t';
            AppendEcho(FOutput, reason);
            FOutput += '\n';
            return;
        }
    }
    // A row without that column (a blank line, a short row) is reported as an empty input.
    Check(field, *resolver);
}

bool TCodeValidator::FindColumn(const std::vector<std::string>& AFields, const std::string& AName,
                                std::size_t& AIndex) {
    const std::string wanted = AsciiUpper(TrimControls(AName));
    bool found = false;
    for (std::size_t i = 0; i < AFields.size(); ++i) {
        if (AsciiUpper(TrimControls(AFields[i])) != wanted) continue;
        if (found) {
            // Checking either one could pass codes the other holds.
            FProblem = "the header row names column \"" + AName + "\" twice (columns " + std::to_string(AIndex + 1) +
                       " and " + std::to_string(i + 1) + ")";
            return false;
        }
        found = true;
        AIndex = i;
    }
    if (!found) FProblem = "no column \"" + AName + "\" in the header row";
    return found;
}

void TCodeValidator::SetDateColumn(std::string ADateColumn, TResolverForDate AResolverFor) {
    FDateColumn = std::move(ADateColumn);
    FResolverFor = std::move(AResolverFor);
}

void TCodeValidator::CheckTooLong(const TCsvRecord& ARecord, std::string_view AStart) {
    ++FInputs;
    constexpr std::size_t Shown = 40;
    AppendEcho(FOutput, AStart.substr(0, Shown));
    if (AStart.size() > Shown) FOutput += "...";
    FOutput += '\t';
    FOutput += '\t';
    FOutput += TooLongVerdict;
    FOutput += "\tline " + std::to_string(ARecord.FLine) + " is longer than " + std::to_string(FMaxRecordBytes) +
               " bytes and was not checked\n";
}

void TCodeValidator::Check(std::string_view AInput, const TCodeResolver& AResolver) {
    ++FInputs;
    const TCodeAnswer code = AResolver.Answer(AInput);
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
