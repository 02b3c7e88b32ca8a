// libFuzzer target: any byte string read as a release zip file must either give members or be
// refused with a message, never crash, never read past the bounds; every member read is then
// checked for its kind and edition the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "editions/ReleaseFiles.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallSilentMessages();
    TReleaseLimits limits;
    limits.MaxMemberBytes = 1024 * 1024;
    std::vector<TReleaseMember> members;
    try {
        CollectZipMembers(AsText(data, size), "fuzz.zip", members, limits);
    } catch (const std::runtime_error& error) {
        if (std::string(error.what()).find("fuzz.zip") == std::string::npos) std::abort();
        return 0;
    }
    for (const auto& member : members) {
        if (member.Text.size() > limits.MaxMemberBytes) std::abort();
        try {
            CheckMemberContent(member);
        } catch (const std::runtime_error& error) {
            if (std::string(error.what()).find(member.Source) == std::string::npos) std::abort();
        }
    }
    return 0;
}
