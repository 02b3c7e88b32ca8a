// libFuzzer target: the three keyword text formats (code keywords, irregular plural forms, short
// descriptions). The first byte picks the format and the code keyword loader's three options;
// the rest is the file. Every format must load without a crash, and what it loads must answer
// the look-ups the search makes.
#include <cstdlib>
#include <sstream>

#include "fuzz/FuzzSupport.h"
#include "keywords/KeywordData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallSilentMessages();
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    const std::string text(AsText(data + 1, size - 1));
    std::istringstream source(text);
    const std::vector<std::string> words = SplitAt(text.substr(0, 64), ',');
    switch (selector % 3) {
        case 0: {
            TCodeKeywordsList codes;
            TKeywordRefList refs;
            TLoadStatus status{TLoadState::NotStarted};
            const TLoadState result =
                LoadCodeKeywords(source, selector & 4, selector & 8, selector & 16, codes, refs, status);
            if (result != TLoadState::Done && result != TLoadState::Failed) std::abort();
            for (const std::string& word : words) {
                GetKeywordRefCount(refs, word);
                FindCodeKeywords(codes, word);
            }
            for (const auto& code : codes) FindCodeKeywords(codes, code->FCode);
            SplitStrict(text);
            SplitKeywordList(text);
            break;
        }
        case 1: {
            TSpecialKeywordList list;
            LoadSpecialKeywords(source, list);
            std::string form1;
            std::string form2;
            for (const std::string& word : words) FindSpecialPlural(list, word, form1, form2);
            break;
        }
        default: {
            TShortDescMap map;
            LoadShortDescriptions(source, map);
            break;
        }
    }
    return 0;
}
