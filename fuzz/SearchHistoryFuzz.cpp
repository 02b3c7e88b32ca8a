// libFuzzer target: the search history file in every encoding it accepts (UTF-8 with or without
// its mark, 8-bit, UTF-16 in either byte order). Decoding any bytes must not crash; once written,
// a history must read back as the same entries and write the same bytes again.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "userdata/SearchHistory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TSearchHistory history;
    history.Decode(AsText(data, size));
    // A search adds what the one-line keyword box held.
    std::string typed(AsText(data, size < 40 ? size : 40));
    for (char& c : typed) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    history.Add(typed);

    TSearchHistory reread;
    reread.Decode(history.Encode());
    const std::string written = reread.Encode();
    TSearchHistory again;
    again.Decode(written);
    if (again.FItems != reread.FItems || again.FEncoding != reread.FEncoding) std::abort();
    if (again.Encode() != written) std::abort();
    return 0;
}
