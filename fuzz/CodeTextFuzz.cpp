// libFuzzer target: code texts as a user types or selects them, on the real Tabular List: the code
// parser and look-ups, the go-to-code and copy plans, the Select Code dialog's completions and
// filter, and the rules of the masked code box. The input is one text; every part of it is also
// tried as a code box content and as a filter.
#include <zlib.h>

#include <cstdlib>
#include <sstream>

#include "entry/CodeEntry.h"
#include "fuzz/FuzzSupport.h"
#include "model/CodeLookup.h"
#include "model/TabularData.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"

namespace {

// The published Tabular List from the source tree, loaded once.
TTabularData& Tabular() {
    static TTabularData tabular;
    return tabular;
}

void LoadRealTabularOnce() {
    static const bool loaded = [] {
        gzFile file = gzopen(ZENDRA_DATA_SOURCE_DIR "/icd10cm_tabular_2021.xml.gz", "rb");
        if (file == nullptr) std::abort();
        std::string xml;
        char buffer[1 << 16];
        int count = 0;
        while ((count = gzread(file, buffer, sizeof buffer)) > 0) xml.append(buffer, static_cast<size_t>(count));
        gzclose(file);
        std::istringstream source(xml);
        TLoadStatus status{TLoadState::NotStarted};
        if (LoadTabularFromStream(source, Tabular(), status) != TLoadState::Done) std::abort();
        return true;
    }();
    (void)loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallSilentMessages();
    LoadRealTabularOnce();
    const std::string text(AsText(data, size));

    std::string category;
    std::string subCode;
    ParseCodeText(text, category, subCode);
    SubCodePart(text);

    const TGoToCodePlan plan = PlanGoToCode(Tabular().Resolver(), text);
    if (plan.FStep == TGoToCodeStep::Show && plan.FCategory == nullptr) std::abort();

    const TShortDescLookup noShort = [](const std::string&) { return std::optional<std::string>(); };
    const TCopyPlan copy = PlanCopy(Tabular().Resolver(), text);
    if (copy.FValid && !copy.FShowDialog) {
        for (bool plusDesc : {false, true}) DirectCopyText(copy, plusDesc, false, noShort);
    }

    TStringList codes;
    TStringList descriptions;
    const std::string header = CodeHeaderText(text.substr(0, 8));
    CollectValidCodes(Tabular().Resolver(), header, codes, descriptions);
    if (codes.size() != descriptions.size()) std::abort();
    const TCodeListSelection selection = FilterCodeList(codes, header, text.size() > 8 ? text.substr(8) : "");
    for (std::size_t row : selection.FRows) {
        if (row >= codes.size()) std::abort();
    }
    FormatCodeTotals(selection);
    for (std::size_t row = 0; row < codes.size() && row < 3; ++row) {
        CopyText(TCopyKind::CodeAndShortDescription, codes[row], descriptions[row], noShort);
    }

    // The masked box always holds three places, a full stop and four places.
    std::string box = EmptyCodeBoxText;
    for (std::size_t i = 0, place = 0; i < text.size() && place < box.size(); ++i, ++place) {
        if (place == 3) ++place;
        box[place] = text[i];
    }
    CodeBoxAfterKeyUp(box);
    const int caret = CodeBoxCaretAfterClick(box);
    if (caret < 0 || caret > CodeBoxLength) std::abort();
    CodeBoxEntry(box);
    return 0;
}
