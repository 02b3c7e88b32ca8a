// libFuzzer target: favourite files and their Base64 names. The input holds, separated by NUL
// bytes, a file name (without ".fvxml"), the file's content and a password. The folder scan, the
// password check and the save must take any of them without a crash; Base64 must round-trip; and a
// list saved for a new user must be found again under the same name and open with its password.
#include <cstdlib>
#include <fstream>

#include "fuzz/FuzzSupport.h"
#include "userdata/Favorites.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EmptyFuzzFolder();
    const std::vector<std::string> parts = SplitAt(AsText(data, size), '\0');
    const std::string& name = parts[0];
    const std::string content = parts.size() > 1 ? parts[1] : std::string();
    const std::string password = parts.size() > 2 ? parts[2] : std::string();

    if (const auto decoded = DecodeBase64(name)) {
        if (DecodeBase64(EncodeBase64(*decoded)) != decoded) std::abort();
    }
    if (DecodeBase64(EncodeBase64(name)) != name) std::abort();

    if (name.find('/') == std::string::npos && name.size() < 200) {
        std::ofstream out(FuzzFolder() + name + ".fvxml", std::ios::binary);
        out << content;
    }
    TFavoriteList found;
    TFavoriteKW::GetFavoriteList(FuzzFolder(), found);
    for (const auto& record : found) {
        if (record->LoadKWs(password)) record->SaveKWs();
    }

    EmptyFuzzFolder();
    TFavoriteKW fresh(name, password, FuzzFolder());
    fresh.FFavoriteCodes.push_back("A00.0");
    if (!fresh.CanSave() || name.size() > 150) return 0;
    if (!fresh.SaveKWs()) std::abort();
    TFavoriteList again;
    TFavoriteKW::GetFavoriteList(FuzzFolder(), again);
    if (again.size() != 1 || again[0]->FUserName != name) std::abort();
    if (!again[0]->LoadKWs(password) || again[0]->FFavoriteCodes.back() != "A00.0") std::abort();
    return 0;
}
