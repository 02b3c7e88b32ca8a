#include "services/Messages.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>

namespace {

TStderrMessageHandler& DefaultHandler() {
    static TStderrMessageHandler handler;
    return handler;
}

std::atomic<TMessageHandler*> currentHandler{nullptr};
std::mutex stderrMutex;

}  // namespace

void TStderrMessageHandler::ShowMessage(const std::string& text) {
    std::lock_guard lock(stderrMutex);
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool TStderrMessageHandler::AskYesNo(const std::string& text, const std::string& caption, bool defaultYes) {
    std::lock_guard lock(stderrMutex);
    std::fprintf(stderr, "%s: %s (%s)\n", caption.c_str(), text.c_str(), defaultYes ? "Yes" : "No");
    return defaultYes;
}

TMessageHandler* SetMessageHandler(TMessageHandler* handler) {
    return currentHandler.exchange(handler);
}

TMessageHandler& Messages() {
    TMessageHandler* handler = currentHandler.load();
    return handler ? *handler : DefaultHandler();
}

void ShowMessage(const std::string& text) {
    Messages().ShowMessage(text);
}

bool AskQuitProgram() {
    return Messages().AskYesNo("Do you want to quit this program?", "Exit Program", true);
}

void ReportSaveFailure(const std::string& AWhat, const std::string& AFileName) {
    static std::mutex reportedMutex;
    static std::set<std::string> reported;
    {
        std::lock_guard lock(reportedMutex);
        if (!reported.insert(AFileName).second) return;
    }
    ShowMessage(AWhat + " could not be saved to " + AFileName + ".");
}
