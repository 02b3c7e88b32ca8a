// libFuzzer target: the CSV and line reader and the field splitter. The first byte chooses the
// mode (bit 0), the record bound (bits 1-3: 1 to 128 bytes, or 64 KiB) and the chunk size the text
// is fed in (bits 4-7); the rest is the text. Any text must give the same records and error in
// chunks of any size as in one piece, no record may hold more than the bound, and a one-line record
// must split as SplitFields splits that line.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "services/CsvReader.h"

namespace {

struct TRead {
    std::vector<TCsvRecord> records;
    std::string error;
    bool operator==(const TRead& other) const {
        if (error != other.error || records.size() != other.records.size()) return false;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const TCsvRecord& a = records[i];
            const TCsvRecord& b = other.records[i];
            if (a.FFields != b.FFields || a.FLine != b.FLine || a.FTooLong != b.FTooLong) return false;
        }
        return true;
    }
};

TRead Read(std::string_view text, TCsvReader::TMode mode, std::size_t bound, std::size_t chunk) {
    TRead read;
    TCsvReader reader(mode, bound, [&](const TCsvRecord& record) { read.records.push_back(record); });
    for (std::size_t at = 0; at < text.size(); at += chunk) reader.Feed(text.substr(at, chunk));
    reader.Finish();
    read.error = reader.Error();
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t control = data[0];
    const std::string_view text = AsText(data + 1, size - 1);
    const auto mode = control & 1 ? TCsvReader::TMode::Lines : TCsvReader::TMode::Csv;
    const std::size_t boundBits = (control >> 1) & 7;
    const std::size_t bound = boundBits == 7 ? 64 * 1024 : std::size_t{1} << boundBits;
    const std::size_t chunk = (control >> 4) + 1;

    const TRead whole = Read(text, mode, bound, text.size() + 1);
    if (!(Read(text, mode, bound, chunk) == whole)) std::abort();
    for (const TCsvRecord& record : whole.records) {
        std::size_t bytes = 0;
        for (const std::string& field : record.FFields) bytes += field.size();
        if (bytes > bound) std::abort();
    }
    // A text of one line without a mark at its start: the reader and the splitter agree.
    if (mode == TCsvReader::TMode::Csv && bound == 64 * 1024 && whole.error.empty() && whole.records.size() == 1 &&
        text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos && !text.starts_with("\xEF")) {
        if (SplitFields(text) != whole.records.front().FFields) std::abort();
    }
    SplitFields(text, {';', true});
    return 0;
}
