// Checking many code texts at once (claims files, spreadsheets): records are fed in chunks of any
// size, each record is resolved by the code resolver and written as one tab-separated line
//   input as given TAB dotted code TAB verdict word TAB description
// The input is echoed with tabs and control characters as blanks and invalid UTF-8 as U+FFFD, so a
// bad line never breaks the listing, and every record read gives exactly one line. A record is a
// line (LF or CR LF); with a column name the text is CSV with a header row (services/CsvReader.h)
// and the code is taken from that column. A record longer than MaxValidateRecordBytes gets the
// verdict "too-long" and reading goes on in constant memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "services/CsvReader.h"

class TCodeResolver;

inline constexpr std::size_t MaxValidateRecordBytes = 64 * 1024;
inline constexpr std::string_view TooLongVerdict = "too-long";
inline constexpr std::string_view NoEditionVerdict = "no-edition";

// The resolver of the edition in effect on a record's date of service (the date column's text);
// null with AReason set when no edition serves that date.
using TResolverForDate = std::function<const TCodeResolver*(std::string_view ADate, std::string& AReason)>;

class TCodeValidator {
public:
    // AColumn empty: one code per line. Output lines are appended to AOutput; the caller writes
    // and empties it whenever it likes.
    TCodeValidator(const TCodeResolver& AResolver, std::string AColumn, std::string& AOutput,
                   std::size_t AMaxRecordBytes = MaxValidateRecordBytes);
    // The reader calls back into this object.
    TCodeValidator(const TCodeValidator&) = delete;
    TCodeValidator& operator=(const TCodeValidator&) = delete;

    // CSV only, before the first Feed: each record's code is checked by the resolver AResolverFor
    // gives for the text of column ADateColumn; a record it gives none for gets the verdict
    // "no-edition" and the reason as its description.
    void SetDateColumn(std::string ADateColumn, TResolverForDate AResolverFor);

    void Feed(std::string_view AChunk);
    // Ends the text: a last record without a line end is checked too. Call once, after the last Feed.
    void Finish();

    // Non-empty when the text could not be checked to its end: the column is not in the header row
    // (or is there twice), a quoted field is never closed, the text is not text. Nothing after the
    // place named is checked or counted.
    const std::string& Problem() const;
    // Records checked, each one output line.
    std::size_t Inputs() const { return FInputs; }
    std::size_t Reportable() const { return FReportable; }
    // Records with the verdict "no-edition".
    std::size_t WithoutEdition() const { return FWithoutEdition; }

private:
    void Record(const TCsvRecord& ARecord);
    void Check(std::string_view AInput, const TCodeResolver& AResolver);
    bool FindColumn(const std::vector<std::string>& AFields, const std::string& AName, std::size_t& AIndex);
    void CheckTooLong(const TCsvRecord& ARecord, std::string_view AStart);

    const TCodeResolver& FResolver;
    std::string FColumn;
    std::string& FOutput;
    std::size_t FMaxRecordBytes;
    TCsvReader FReader;
    bool FHeaderRead = false;
    std::size_t FColumnIndex = 0;
    std::string FProblem;
    std::size_t FInputs = 0;
    std::size_t FReportable = 0;
    std::string FDateColumn;
    TResolverForDate FResolverFor;
    std::size_t FDateIndex = 0;
    std::size_t FWithoutEdition = 0;
};
