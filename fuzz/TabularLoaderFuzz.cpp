// libFuzzer target: any byte string fed to the tabular loader must end in a status of 2, -1 or -2
// without crashing, and the model it leaves must survive every look-up walk.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "model/TabularLoader.h"

namespace {

void WalkCodes(TCodeInfo& node) {
    TStringList codes;
    TStringList descs;
    TStringList flags;
    node.GetAllValideCodes(codes, descs);
    node.GetAllNodeAndCodes(codes, flags, descs);
    node.IsFinalCode();
    node.GetTextLines();
    SubCodePart(node.FCode);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallSilentMessages();
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::istringstream source(text);
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::NotStarted};
    const TLoadState result = LoadTabularFromStream(source, chapters, introduction, status);
    if (result != TLoadState::Done && result != TLoadState::Failed) std::abort();

    // The code resolver indexes any tree the loader accepts, and finds every category in it.
    const TCodeResolver resolver(chapters);
    for (const auto& chapter : chapters) {
        chapter->GetTextLines();
        for (const auto& section : chapter->FSubList) {
            section->GetTextLines();
            for (const auto& category : section->FCodeList) {
                WalkCodes(*category);
                resolver.Resolve(category->FCode);
            }
        }
    }

    // The text helpers take any text too.
    std::string category;
    std::string subCode;
    ParseCodeText(text, category, subCode);
    const std::size_t half = text.size() / 2;
    CompareTextPrefix(text.substr(0, half), text.substr(half), static_cast<int>(half), true, true);
    SameHyphenBlank(text.substr(0, half), text.substr(half));
    TCharDef character;
    try {
        character.SetException(text);
    } catch (const std::exception&) {
    }
    for (const auto& chapter : chapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& code : section->FCodeList) character.InExceptionRule(code->FCode);
        }
    }
    return 0;
}
