// zendra-datatool: the data pipeline's commands (see --help).
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "admin/DataPipeline.h"

namespace {

int Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: zendra-datatool COMMAND ...\n"
                 "  pack INPUT OUTPUT              compress INPUT (plain or .gz) into one zlib stream, level 9\n"
                 "  tabular TABULAR ORDER OUTPUT   write the Tabular List with its seventh-character exception\n"
                 "                                 rules derived from the order file\n"
                 "  regenerate DATA_DIR [OUT_DIR]  rewrite every derived data file (ReportableCodesShort2021.txt,\n"
                 "                                 CodeKeywords2021.txt) from the published files of DATA_DIR\n"
                 "                                 into OUT_DIR (default DATA_DIR): zendra-datatool regenerate data\n");
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(stderr);
    const std::string command = argv[1];
    try {
        if (command == "--help" || command == "-h") return Usage(stdout);
        if (command == "pack" && argc == 4) {
            CompressFile(argv[2], argv[3]);
            return 0;
        }
        if (command == "tabular" && argc == 5) {
            WriteTabularWithExceptions(argv[2], argv[3], argv[4]);
            return 0;
        }
        if (command == "regenerate" && (argc == 3 || argc == 4)) {
            RegenerateDerivedFiles(argv[2], argc == 4 ? argv[3] : argv[2]);
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zendra-datatool %s: %s\n", command.c_str(), error.what());
        return 1;
    }
    return Usage(stderr);
}
