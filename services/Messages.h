// The one way the libraries talk to the user: information boxes and yes/no questions.
// Loader threads call it too; the installed handler decides how a message reaches the user
// (the Qt front hands it to the UI thread and waits; tests record and answer).
#pragma once

#include <string>

class TMessageHandler {
public:
    virtual ~TMessageHandler() = default;
    // Shows an information box and returns when the user has acknowledged it.
    virtual void ShowMessage(const std::string& text) = 0;
    // Asks a Yes/No question; returns true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption, bool defaultYes) = 0;
};

// Writes messages to stderr and answers every question with its default. Used when nothing
// else is installed (command-line front, benchmarks).
class TStderrMessageHandler : public TMessageHandler {
public:
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption, bool defaultYes) override;
};

// Installs a handler (not owned; null restores the stderr handler) and returns the previous one.
TMessageHandler* SetMessageHandler(TMessageHandler* handler);
TMessageHandler& Messages();

// Convenience: Messages().ShowMessage(text).
void ShowMessage(const std::string& text);

// The question every search window asks on F12 ("Do you want to quit this program?", caption
// "Exit Program"); true when the user answers Yes.
bool AskQuitProgram();

// Tells the user that a file of theirs could not be saved ("<AWhat> could not be saved to
// <AFileName>."), once per file for the whole run: a setting saved on every click must not raise
// a box on every click.
void ReportSaveFailure(const std::string& AWhat, const std::string& AFileName);
