#include "ui/QtMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>
#include <memory>

#include "services/DataSets.h"
#include "startup/EditionInUse.h"

struct TQtMessageHandler::TRequest {
    bool question = false;
    std::string text;
    std::string caption;
    bool defaultYes = false;
    bool answer = false;
    bool done = false;
};

void ShowInformationBox(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString::fromStdString(EditionFacts().WindowTitle),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool ShowQuestionBox(const std::string& text, const std::string& caption, bool defaultYes) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

static bool OnUiThread() {
    return QCoreApplication::instance() == nullptr ||
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

bool TQtMessageHandler::Deliver(const std::shared_ptr<TRequest>& request) {
    {
        std::lock_guard lock(FMutex);
        if (FClosed) return false;
    }
    // The handler lives for the whole run (see main); the request is shared so a worker released
    // by Shutdown leaves nothing dangling behind the queued call.
    QMetaObject::invokeMethod(
        qApp,
        [this, request] {
            {
                // A worker released by Shutdown has gone on with the default: show nothing late.
                std::lock_guard lock(FMutex);
                if (FClosed) return;
            }
            bool answer = false;
            if (request->question)
                answer = ShowQuestionBox(request->text, request->caption, request->defaultYes);
            else
                ShowInformationBox(request->text);
            std::lock_guard lock(FMutex);
            request->answer = answer;
            request->done = true;
            FAnswered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(FMutex);
    FAnswered.wait(lock, [&] { return request->done || FClosed; });
    return request->done;
}

void TQtMessageHandler::ShowMessage(const std::string& text) {
    if (OnUiThread()) {
        ShowInformationBox(text);
        return;
    }
    auto request = std::make_shared<TRequest>();
    request->text = text;
    if (!Deliver(request)) std::fprintf(stderr, "%s\n", text.c_str());
}

bool TQtMessageHandler::AskYesNo(const std::string& text, const std::string& caption, bool defaultYes) {
    if (OnUiThread()) return ShowQuestionBox(text, caption, defaultYes);
    auto request = std::make_shared<TRequest>();
    request->question = true;
    request->text = text;
    request->caption = caption;
    request->defaultYes = defaultYes;
    if (!Deliver(request)) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return defaultYes;
    }
    return request->answer;
}

void TQtMessageHandler::Shutdown() {
    std::lock_guard lock(FMutex);
    FClosed = true;
    FAnswered.notify_all();
}
