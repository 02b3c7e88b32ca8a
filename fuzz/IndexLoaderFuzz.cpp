// libFuzzer target: the loader of the two indexes and the two tables. The first byte picks the
// kind (index or table reader), the rest is the file. Any input must end in a status of 2 or -1
// without a crash, and the model it leaves must survive every title walk.
#include <cstdlib>
#include <sstream>

#include "fuzz/FuzzSupport.h"
#include "index/IndexLoader.h"

namespace {

void Walk(const TTerm& term) {
    term.GetFullTitle(true);
    term.GetLevelTitle(false);
    term.GetTextLines();
    for (const auto& sub : term.FSubTermList) Walk(*sub);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallSilentMessages();
    if (size == 0) return 0;
    const TDataSet type = IndexDataSets[data[0] % IndexDataSets.size()];
    std::istringstream source(std::string(AsText(data + 1, size - 1)));
    TAlphaLetterList letters;
    TLoadStatus status{TLoadState::NotStarted};
    std::string version;
    const TLoadState result = LoadIndexFromStream(source, type, letters, status, &version);
    if (result != TLoadState::Done && result != TLoadState::Failed) std::abort();
    for (const auto& letter : letters) {
        for (const auto& term : letter->FMainTermList) Walk(*term);
    }
    return 0;
}
