// The desktop program: message boxes, the background loading of the data sets, the launcher.
#include "ui/Main.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "data/EmbeddedResources.h"
#include "startup/Boot.h"
#include "startup/EditionInUse.h"
#include "ui/InfoOf7Code.h"
#include "ui/QtMessages.h"
#include "ui/UiStyle.h"
#include "ui/Waiting.h"
#include "ui/WindowPlacement.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    // Ties the windows to the installed menu entry and its icon (no icon in a build tree).
    QGuiApplication::setDesktopFileName(QStringLiteral(ZENDRA_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(ZENDRA_ICON_NAME)));
    InstallWindowPlacement(application);
    ApplyReadableColours(application);

    // Lives until the loaders are joined: a loader may still be waiting inside it at exit.
    static TQtMessageHandler messageHandler;
    SetMessageHandler(&messageHandler);
    ShowWaitingWindowWhileDataSetsSettle();

    try {
        // The edition the coder chose last time, else the embedded one.
        StartKeptEdition(EmbeddedResources());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Start-up failed: %s\n", error.what());
        QMessageBox::critical(nullptr, QStringLiteral("Start-up failed"), QString::fromUtf8(error.what()));
        return 1;
    }

    int result = 0;
    {
        TfrmMain frmMain;
        CreateInfoOf7Code();
        QObject::connect(&frmMain, &TfrmMain::ProgramEnded, &application, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        frmMain.show();
        result = application.exec();
    }

    // From here nothing may block on the user: release loaders waiting for a box, then join them.
    messageHandler.Shutdown();
    SetMessageHandler(nullptr);
    ShutDownLoading();
    return result;
}
