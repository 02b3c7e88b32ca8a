// Shared by the screenshot drivers that tools/screenshots.sh runs under Xvfb and a window manager:
// the output folder from the command line, and a capture of one window with ImageMagick's import.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QWidget>
#include <cstdio>
#include <optional>

#include "tests/common/TestSupport.h"
#include "tests/ui/WindowSettle.h"
#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"

// The folder named by the first argument, with the real data loaded; none (after a usage line)
// when the argument is missing.
inline std::optional<QDir> ScreenshotOutput(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return std::nullopt;
    }
    // The program's own placement and colours, as the desktop program sets them up.
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        InstallWindowPlacement(*application);
        ApplyReadableColours(*application);
    }
    EnsureRealDataLoaded();
    return QDir(QString::fromLocal8Bit(argv[1]));
}

// Waits until the window manager has framed the shown window and it has stopped moving (and so
// has been painted where it stands), before a driver types into it or saves it. Prints what was
// seen of a window that does not settle.
inline bool SettleWindow(QWidget& window) {
    const TSettleResult settled = WaitUntilSettled(window);
    if (!settled.FSettled) std::printf("FAILED: %s %s\n", qPrintable(window.windowTitle()), settled.FReport.c_str());
    return settled.FSettled;
}

// Saves the settled window as output/name; a window that does not settle is not saved.
inline bool CaptureWindow(QWidget& window, const QDir& output, const QString& name) {
    if (!SettleWindow(window)) return false;
    const QString file = output.filePath(name);
    const int code =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QString::number(window.winId()), file});
    std::printf("%s %s\n", code == 0 ? "wrote" : "FAILED", qPrintable(file));
    return code == 0;
}

// Makes the cell at ARow and AColumn of the window's list or grid named AViewName current, gives the
// list the focus and saves the window as output/name.
inline bool CaptureWithCurrentCell(QWidget& window, const char* viewName, int row, int column, const QDir& output,
                                   const QString& name) {
    auto* view = window.findChild<QAbstractItemView*>(QLatin1String(viewName));
    view->setCurrentIndex(view->model()->index(row, column));
    view->setFocus();
    return CaptureWindow(window, output, name);
}
