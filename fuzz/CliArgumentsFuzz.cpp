// libFuzzer target: the command-line front's argument handling, the whole front from its entry
// point down to every command. The input is the argument list, arguments separated by NUL bytes.
// Commands run inside a private folder, which also stands for the data folders, and never see a
// path with a folder in it, so a command that writes a file writes it there; their standard output
// goes nowhere and their standard input is empty.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"

int ZendraCliMain(int argc, char** argv);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (chdir(FuzzFolder().c_str()) != 0) std::abort();
    // The user's own settings, history and favourite lists stay out of reach: the data folders
    // are inside the private folder too.
    for (const char* variable : {"ProgramData", "AppData", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        setenv(variable, FuzzFolder().c_str(), 1);
    // Standard error stays: libFuzzer and the sanitizers report there (run with -close_fd_mask=2
    // to silence the commands' own messages).
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    // "validate" without a file reads standard input: it must end, not wait for a terminal.
    if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallSilentMessages();
    const std::string_view text = AsText(data, size);
    if (text.find('/') != std::string_view::npos || size > 256) return 0;
    std::vector<std::string> arguments = SplitAt(text, '\0');
    arguments.insert(arguments.begin(), "zendra-icd10-cli");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int result = ZendraCliMain(static_cast<int>(arguments.size()), argv.data());
    if (result < 0) std::abort();
    EmptyFuzzFolder();
    return 0;
}
