// A message handler for tests: records every message and question, answers questions from a
// queue (default answer when the queue is empty), and installs itself for its lifetime.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "services/Messages.h"

class TRecordingMessages : public TMessageHandler {
public:
    TRecordingMessages() { FPrevious = SetMessageHandler(this); }
    ~TRecordingMessages() override { SetMessageHandler(FPrevious); }

    void ShowMessage(const std::string& text) override {
        std::lock_guard lock(FMutex);
        FMessages.push_back(text);
    }
    bool AskYesNo(const std::string& text, const std::string& caption, bool defaultYes) override {
        std::lock_guard lock(FMutex);
        FQuestions.push_back(caption + ": " + text);
        if (FAnswers.empty()) return defaultYes;
        const bool answer = FAnswers.front();
        FAnswers.pop_front();
        return answer;
    }

    void QueueAnswer(bool yes) {
        std::lock_guard lock(FMutex);
        FAnswers.push_back(yes);
    }
    std::vector<std::string> Messages() const {
        std::lock_guard lock(FMutex);
        return FMessages;
    }
    std::vector<std::string> Questions() const {
        std::lock_guard lock(FMutex);
        return FQuestions;
    }

private:
    TMessageHandler* FPrevious = nullptr;
    mutable std::mutex FMutex;
    std::vector<std::string> FMessages;
    std::vector<std::string> FQuestions;
    std::deque<bool> FAnswers;
};
