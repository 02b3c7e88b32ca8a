#include "data/EmbeddedResources.h"

#include <cstring>

namespace {

struct EmbeddedEntry {
    const char* name;
    const unsigned char* begin;
    const unsigned char* end;
};

#include "EmbeddedTable.inc"

class TEmbeddedProvider : public TResourceProvider {
public:
    std::optional<TResourceBytes> Find(std::string_view name) const override {
        for (const auto& entry : kEmbedded) {
            if (name == entry.name) {
                return TResourceBytes{entry.begin, static_cast<std::size_t>(entry.end - entry.begin)};
            }
        }
        return std::nullopt;
    }
};

}  // namespace

const TResourceProvider& EmbeddedResources() {
    static const TEmbeddedProvider provider;
    return provider;
}
