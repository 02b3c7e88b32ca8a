// Message boxes and questions of the libraries, shown with Qt. Safe from any thread: on the UI
// thread the box is shown at once; a worker thread hands it to the UI thread and waits until the
// user has answered. After Shutdown() nothing blocks any more: waiting workers are released with
// the default answer and later messages go to stderr, so joining the loaders at exit cannot hang.
#pragma once

#include <condition_variable>
#include <mutex>

#include "services/Messages.h"

class TQtMessageHandler : public TMessageHandler {
public:
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption, bool defaultYes) override;

    void Shutdown();

private:
    struct TRequest;
    bool Deliver(const std::shared_ptr<TRequest>& request);

    std::mutex FMutex;
    std::condition_variable FAnswered;
    bool FClosed = false;
};

// Shows an information box / a Yes-No question on the UI thread (used by the handler).
void ShowInformationBox(const std::string& text);
bool ShowQuestionBox(const std::string& text, const std::string& caption, bool defaultYes);
