// The desktop program: message boxes, the background loading of the data sets, the launcher.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "Boot.h"
#include "EmbeddedResources.h"
#include "InfoOf7Code.h"
#include "Main.h"
#include "QtMessages.h"
#include "UiStyle.h"
#include "Waiting.h"
#include "WindowPlacement.h"

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
    InstallWaitingWindowHooks();

    try {
        StartDataLoading(EmbeddedResources());
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
