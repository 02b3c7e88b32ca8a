// Checking many code texts at once (claims files, spreadsheets): records are fed in chunks of any
// size, each record is resolved by the code resolver and written as one tab-separated line
//   input as given TAB dotted code TAB verdict word TAB description
// The input is echoed with tabs and control characters as blanks and invalid UTF-8 as U+FFFD, so a
// bad line never breaks the listing. A record is a line (LF or CR LF); with a column name the text
// is CSV with a header row (fields separated by commas, double quotes around a field that holds a
// comma, a quote or a line break) and the code is taken from that column.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TCodeResolver;

class TCodeValidator {
public:
    // AColumn empty: one code per line. Output lines are appended to AOutput; the caller writes
    // and empties it whenever it likes.
    TCodeValidator(const TCodeResolver& AResolver, std::string AColumn, std::string& AOutput);

    void Feed(std::string_view AChunk);
    // Ends the text: a last record without a line end is checked too. Call once, after the last Feed.
    void Finish();

    // Non-empty when the text could not be checked (the column is not in the header row); the
    // records after such a header are not read.
    const std::string& Problem() const { return FProblem; }
    std::size_t Inputs() const { return FInputs; }
    std::size_t Reportable() const { return FReportable; }

private:
    void Record(std::string_view ARecord);
    void Check(std::string_view AInput);

    const TCodeResolver& FResolver;
    std::string FColumn;
    std::string& FOutput;
    std::string FPending;  // a record not yet ended by a line break
    bool FInQuotes = false;
    bool FHeaderRead = false;
    bool FFirstRecord = true;
    std::size_t FColumnIndex = 0;
    std::string FProblem;
    std::size_t FInputs = 0;
    std::size_t FReportable = 0;
};

// The fields of one CSV record (RFC 4180 quoting; a stray quote inside an unquoted field is kept).
std::vector<std::string> SplitCsvRecord(std::string_view ARecord);
