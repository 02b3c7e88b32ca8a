// Loader thread 5 through the real start-up with hand-made resources: the three sets land in the
// shared tables, and a damaged code-keyword resource ends failed with a message instead of loading
// for ever. (The next test that needs the real data loads it again: each start-up is counted.)
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>

#include "keywords/KeywordData.h"
#include "startup/LoadedData.h"
#include "startup/StartUp.h"
#include "tests/common/RecordingMessages.h"

namespace {

std::string Compressed(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
    packed.resize(size);
    return packed;
}

class TFakeResources : public TResourceProvider {
public:
    std::map<std::string, std::string, std::less<>> FData;

    TFakeResources() {
        for (const char* name : ResourceNames) FData[name] = Compressed("x\r\n");
        FData["SpecialKWs"] = Compressed("child,children\r\n");
        FData["ShortDesc"] = Compressed("A09       Infectious gastroenteritis and colitis, unspecified\r\n");
    }
    std::optional<TResourceBytes> Find(std::string_view name) const override {
        const auto found = FData.find(name);
        if (found == FData.end()) return std::nullopt;
        return TResourceBytes{reinterpret_cast<const unsigned char*>(found->second.data()), found->second.size()};
    }
};

// Only loader 5 does real work; the others finish at once.
TStartUpLoaders KeywordLoaderOnly() {
    TStartUpLoaders loaders;
    for (int type = 0; type < 5; ++type)
        loaders.Loaders[type] = [type] { LoadedData().Status[AllDataSets[type]] = TLoadState::Done; };
    loaders.Loaders[5] = [] {
        LoadKeywordDataSets(LoadedData().Keywords, LoadedData().Status[TDataSet::CodeKeywords]);
    };
    loaders.ClearContainers = [] {
        LoadedData().Keywords.ClearCodes();
        LoadedData().Keywords.Specials.clear();
        LoadedData().Keywords.ShortDescs.Clear();
    };
    return loaders;
}

}  // namespace

TEST(KeywordLoaderThread, LoadsPluralsKeywordsAndShortDescriptionsIntoTheSharedTables) {
    TRecordingMessages messages;
    TFakeResources resources;
    resources.FData["CodeKeywords"] = Compressed("A01      Typhoid, Fever,\r\nA0123 bad,\r\n");
    const uint32_t generation = LoadedData().Keywords.Generation.load();
    StartUp(resources, KeywordLoaderOnly());
    JoinLoaders();
    EXPECT_EQ(LoadedData().Status[TDataSet::CodeKeywords].load(), TLoadState::Done);
    ASSERT_EQ(LoadedData().Keywords.Codes.size(), 1u);
    EXPECT_EQ(LoadedData().Keywords.Codes[0]->FKeywords, (TStringList{"Fever", "Typhoid"}));
    EXPECT_EQ(GetKeywordRefCount(LoadedData().Keywords.Refs, "TYPHOID"), 1);
    EXPECT_NE(LoadedData().Keywords.Generation.load(), generation);
    std::string form1;
    std::string form2;
    EXPECT_EQ(FindSpecialPlural(LoadedData().Keywords.Specials, "child", form1, form2), 1);
    std::string desc;
    EXPECT_TRUE(LoadedData().Keywords.ShortDescs.Find("A09", desc));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Invalid line 2 (error code definition): A0123 bad,"});
}

TEST(KeywordLoaderThread, DamagedKeywordResourceIsReportedAndEndsFailed) {
    TRecordingMessages messages;
    TFakeResources resources;
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text.append("A")
            .append(std::to_string(10 + i % 90))
            .append("      Kw")
            .append(std::to_string(i))
            .append(",\r\n");
    const std::string packed = Compressed(text);
    resources.FData["CodeKeywords"] = packed.substr(0, packed.size() / 2);
    StartUp(resources, KeywordLoaderOnly());
    JoinLoaders();
    EXPECT_EQ(LoadedData().Status[TDataSet::CodeKeywords].load(), TLoadState::Failed);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Code Keywords File Fail!"});
    // The short descriptions after it still load.
    std::string desc;
    EXPECT_TRUE(LoadedData().Keywords.ShortDescs.Find("A09", desc));
}
