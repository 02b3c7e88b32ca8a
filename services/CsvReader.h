// Delimited text: the one place that knows how quotes group fields.
//   SplitFields   cuts one line (a keyword list, a rule list, a CSV record) into fields.
//   TCsvReader    reads a stream of CSV records (or plain lines) fed in chunks of any size, in
//                 bounded memory, and says where a text stops being readable.
// Quoting follows RFC 4180, leniently as claims exports need it: a double quote opens a quoted
// field only at the start of a field ("" inside stands for one quote); anywhere else it is an
// ordinary character, so `5" pipe` is a field of its own. Text after a closing quote, up to the
// next delimiter, joins the field.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TFieldRules {
    char FDelimiter = ',';
    // Blanks and control characters around items are skipped and end an unquoted item too (a list
    // typed "6:7 6:8"); an empty text has no item, and a delimiter ends a last empty item only as the
    // very last character. Without it every byte but the delimiter and the quotes belongs to a field
    // and an empty text is one empty field.
    bool FBlanksSeparate = false;
};

// The fields of one line. A quoted field that is not closed runs to the end of the text.
std::vector<std::string> SplitFields(std::string_view AText, TFieldRules ARules = {});

struct TCsvRecord {
    std::vector<std::string> FFields;
    std::size_t FLine = 0;  // the line the record starts on, from 1
    // Longer than the reader's bound: FFields holds only the record's first bytes.
    bool FTooLong = false;
};

class TCsvReader {
public:
    enum class TMode {
        Csv,    // records of comma-separated fields; a quoted field may hold line breaks
        Lines,  // every line one record of one field; quotes and commas are ordinary
    };
    using TSink = std::function<void(const TCsvRecord&)>;

    // Records end at LF or CR LF; a byte order mark (UTF-8) at the very start is skipped. A record
    // of more than AMaxRecordBytes is passed on as too long, and reading goes on in constant memory.
    TCsvReader(TMode AMode, std::size_t AMaxRecordBytes, TSink ASink);

    // Passes every record the chunk ends to the sink. Does nothing once Error() is set.
    void Feed(std::string_view AChunk);
    // Ends the text: a last record without a line end is passed on; an unclosed quoted field sets
    // Error(). Call once, after the last Feed.
    void Finish();

    // Non-empty when the text could not be read to its end: it says why and on which line. Nothing
    // after the record before that line has been passed on.
    const std::string& Error() const { return FError; }

private:
    enum class TState { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    void Put(char AChar);
    void Append(char AChar);
    void EndField();
    void EndRecord();

    TMode FMode;
    std::size_t FMaxRecordBytes;
    TSink FSink;
    TState FState = TState::FieldStart;
    TCsvRecord FRecord;
    std::size_t FRecordBytes = 0;
    std::size_t FLine = 1;
    std::size_t FQuoteLine = 0;  // where the open quoted field began
    std::size_t FBomMatched = 0;
    bool FStarted = false;  // past the place of a byte order mark
    bool FPendingCr = false;
    bool FAnyInRecord = false;
    std::string FError;
};
