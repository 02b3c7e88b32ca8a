// Shared by the screenshot drivers that tools/screenshots.sh runs under Xvfb: the output folder
// from the command line, and a capture of one window with ImageMagick's import.
#pragma once

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <optional>

#include "tests/common/TestSupport.h"
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

// Waits until the server has mapped and painted the window, then saves it as output/name.
inline bool CaptureWindow(QWidget& window, const QDir& output, const QString& name) {
    QTest::qWait(600);
    const QString file = output.filePath(name);
    const int code =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QString::number(window.winId()), file});
    std::printf("%s %s\n", code == 0 ? "wrote" : "FAILED", qPrintable(file));
    return code == 0;
}
