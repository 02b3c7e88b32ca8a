// The real embedded Tabular List, loaded once per test binary into containers of its own (the
// program's globals stay untouched), with the messages the load showed.
#pragma once

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data/EmbeddedResources.h"
#include "model/GlobalDef.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "services/Resources.h"
#include "tests/common/RecordingMessages.h"

struct TLoadedTabular {
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::NotStarted};
    TLoadState result = TLoadState::NotStarted;
    std::vector<std::string> messages;
};

// Loads a Tabular List text into fresh containers, recording the messages.
inline std::unique_ptr<TLoadedTabular> LoadTabularText(const std::string& xml) {
    auto loaded = std::make_unique<TLoadedTabular>();
    TRecordingMessages recorder;
    std::istringstream source(xml);
    loaded->result = LoadTabularFromStream(source, loaded->chapters, loaded->introduction, loaded->status);
    loaded->messages = recorder.Messages();
    return loaded;
}

inline const TLoadedTabular& RealTabular() {
    static const std::unique_ptr<TLoadedTabular> loaded = [] {
        auto data = std::make_unique<TLoadedTabular>();
        TRecordingMessages recorder;
        const auto bytes = EmbeddedResources().Find("Tabular");
        if (bytes) {
            TResourceStream stream(*bytes);
            data->result = LoadTabularFromStream(stream, data->chapters, data->introduction, data->status);
        }
        data->messages = recorder.Messages();
        return data;
    }();
    return *loaded;
}
