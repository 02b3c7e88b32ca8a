#include "services/CsvReader.h"

#include <algorithm>

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

// Reads a quoted field whose opening quote stands before APosition; returns the position after
// its closing quote (the end of the text when it is not closed).
std::size_t ReadQuoted(std::string_view text, std::size_t position, std::string& field) {
    while (position < text.size()) {
        if (text[position] != '"') {
            field += text[position++];
        } else if (position + 1 < text.size() && text[position + 1] == '"') {
            field += '"';
            position += 2;
        } else {
            return position + 1;
        }
    }
    return position;
}

}  // namespace

std::vector<std::string> SplitFields(std::string_view AText, TFieldRules ARules) {
    std::vector<std::string> fields;
    const char delimiter = ARules.FDelimiter;
    std::size_t position = 0;
    if (!ARules.FBlanksSeparate) {
        for (;;) {
            std::string field;
            if (position < AText.size() && AText[position] == '"') position = ReadQuoted(AText, position + 1, field);
            const std::size_t end = std::min(AText.find(delimiter, position), AText.size());
            field.append(AText.substr(position, end - position));
            fields.push_back(std::move(field));
            if (end == AText.size()) return fields;
            position = end + 1;
        }
    }
    const auto skipBlanks = [&] {
        while (position < AText.size() && IsBlank(AText[position])) ++position;
    };
    skipBlanks();
    while (position < AText.size()) {
        std::string field;
        if (AText[position] == '"') {
            position = ReadQuoted(AText, position + 1, field);
        } else {
            const std::size_t start = position;
            while (position < AText.size() && !IsBlank(AText[position]) && AText[position] != delimiter) ++position;
            field.assign(AText.substr(start, position - start));
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (position < AText.size() && AText[position] == delimiter) {
            if (position + 1 == AText.size()) fields.emplace_back();
            ++position;
            skipBlanks();
        }
    }
    return fields;
}

TCsvReader::TCsvReader(TMode AMode, std::size_t AMaxRecordBytes, TSink ASink)
    : FMode(AMode), FMaxRecordBytes(AMaxRecordBytes), FSink(std::move(ASink)) {
    FRecord.FFields.resize(1);
    FRecord.FLine = 1;
}

void TCsvReader::Feed(std::string_view AChunk) {
    for (const char c : AChunk) {
        if (!FError.empty()) return;
        if (!FStarted) {
            if (c == ByteOrderMark[FBomMatched]) {
                FStarted = ++FBomMatched == ByteOrderMark.size();
                continue;
            }
            // Only the start of a mark: those bytes are text.
            FStarted = true;
            for (std::size_t i = 0; i < FBomMatched; ++i) Put(ByteOrderMark[i]);
        }
        Put(c);
    }
}

void TCsvReader::Finish() {
    if (!FError.empty()) return;
    if (!FStarted) {
        FStarted = true;
        for (std::size_t i = 0; i < FBomMatched; ++i) Put(ByteOrderMark[i]);
    }
    if (FState == TState::Quoted) {
        FError = "line " + std::to_string(FQuoteLine) +
                 ": a quoted field opened here is never closed, so the text from there on was not read";
        return;
    }
    // A CR at the very end ends the last line.
    FPendingCr = false;
    if (FAnyInRecord || FRecord.FFields.size() > 1) EndRecord();
}

void TCsvReader::Put(char AChar) {
    if (AChar == '\0') {
        FError = "line " + std::to_string(FLine) +
                 " holds a NUL byte: this is not a text file (UTF-16 text must be saved as UTF-8 first)";
        return;
    }
    if (FPendingCr) {
        FPendingCr = false;
        if (AChar == '\n') {
            EndRecord();
            ++FLine;
            return;
        }
        // A CR that is not part of a line end is an ordinary character.
        Append('\r');
    }
    if (FState == TState::Quoted) {
        if (AChar == '"') {
            FState = TState::QuoteInQuoted;
        } else {
            if (AChar == '\n') ++FLine;
            Append(AChar);
        }
        return;
    }
    if (FState == TState::QuoteInQuoted) {
        if (AChar == '"') {
            Append('"');
            FState = TState::Quoted;
            return;
        }
        FState = TState::Unquoted;
    }
    if (AChar == '\r') {
        FPendingCr = true;
    } else if (AChar == '\n') {
        EndRecord();
        ++FLine;
    } else if (FMode == TMode::Csv && AChar == ',') {
        EndField();
    } else if (FMode == TMode::Csv && AChar == '"' && FState == TState::FieldStart) {
        FState = TState::Quoted;
        FQuoteLine = FLine;
        FAnyInRecord = true;
    } else {
        Append(AChar);
    }
}

void TCsvReader::Append(char AChar) {
    FAnyInRecord = true;
    if (FState == TState::FieldStart) FState = TState::Unquoted;
    if (FRecordBytes >= FMaxRecordBytes) {
        FRecord.FTooLong = true;
        return;
    }
    ++FRecordBytes;
    FRecord.FFields.back() += AChar;
}

void TCsvReader::EndField() {
    FState = TState::FieldStart;
    FAnyInRecord = true;
    if (FRecordBytes >= FMaxRecordBytes) {
        FRecord.FTooLong = true;
        return;
    }
    ++FRecordBytes;
    FRecord.FFields.emplace_back();
}

void TCsvReader::EndRecord() {
    FSink(FRecord);
    // The next record reuses the storage of this one.
    FRecord.FFields.resize(1);
    FRecord.FFields.front().clear();
    FRecord.FTooLong = false;
    FRecord.FLine = FLine + 1;
    FRecordBytes = 0;
    FState = TState::FieldStart;
    FAnyInRecord = false;
}
