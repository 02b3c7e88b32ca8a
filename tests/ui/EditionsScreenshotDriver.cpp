// Drives the Editions window and the launcher on a real X display (tools/screenshots.sh runs it
// under Xvfb) and saves, into the folder given as the first argument: editions-import.png (the
// Editions window while the synthetic FY2022 release imports, its progress bar on a step, and
// editions-import-screen.png, the whole screen at that moment) and
// main-window-imported-edition.png (the launcher once that edition is in use).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include "data/EmbeddedResources.h"
#include "startup/Boot.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
#include "tests/common/SyntheticEdition.h"
#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/EditionsDialog.h"
#include "ui/Main.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;
    StartEditionLoading(EmbeddedEdition(), EmbeddedResources());
    JoinLoaders();
    QTemporaryDir folder;
    UserData().Folders.Program = folder.path().toStdString() + "/";
    QFile::copy(QStringLiteral(ZENDRA_SOURCE_DIR "/packaging/Background.bmp"),
                folder.filePath(QStringLiteral("Background.bmp")));
    const QString release = folder.filePath(QStringLiteral("icd10cm-2022.zip"));
    WriteReleaseZip(release.toStdString(), Synthetic2022Files(ZENDRA_SOURCE_DIR "/data"));

    bool ok = true;
    TfrmMain main;
    main.show();
    if (!SettleWindow(main)) return 1;
    main.OpenEditionsWindow();
    TfrmEditions& editions = *main.EditionsWindow();
    editions.StartImport({release});
    auto* progress = Named<QProgressBar>(editions, "importProgress");
    // The longest step: the picture shows it, not a step that is already over.
    if (!QTest::qWaitFor([&] { return progress->format().startsWith(QStringLiteral("Step 3")); }, 120000)) return 1;
    ok &= CaptureWindow(editions, output, QStringLiteral("editions-import.png"));
    // The whole screen too: the launcher beside the window, usable while the import runs.
    ok &= QProcess::execute(QStringLiteral("import"),
                            {QStringLiteral("-window"), QStringLiteral("root"),
                             output.filePath(QStringLiteral("editions-import-screen.png"))}) == 0;
    if (!QTest::qWaitFor([&] { return !editions.Importing(); }, 240000)) return 1;
    editions.close();
    ok &= main.SwitchEdition(QStringLiteral("2022"));
    JoinLoaders();
    ok &= CaptureWindow(main, output, QStringLiteral("main-window-imported-edition.png"));
    return ok ? 0 : 1;
}
