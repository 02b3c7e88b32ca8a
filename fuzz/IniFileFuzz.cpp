// libFuzzer target: INI files. Any file must read without a crash; writing the program's keys into
// any file must succeed, and reading them back must give the values written.
#include <cstdlib>
#include <fstream>

#include "fuzz/FuzzSupport.h"
#include "userdata/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string fileName = FuzzFolder() + "config.ini";
    {
        std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TIniFile file(fileName);
    for (const char* key : {"FullScreen", "ScrollBar", "IsAdmin"}) file.ReadInteger("Config", key, 0);
    if (!file.WriteIntegers("Config", {{"FullScreen", 1234}, {"ScrollBar", -7}})) std::abort();
    if (file.ReadInteger("Config", "FullScreen", 0) != 1234) std::abort();
    if (file.ReadInteger("Config", "ScrollBar", 0) != -7) std::abort();
    return 0;
}
