// Shows the What Changed window comparing the embedded 2021 edition with the synthetic 2022
// release (imported into a temporary user folder) on a real X display, and saves it as
// changes-window.png into the folder given as the first argument. A second argument keeps the
// window shown that many seconds more (to look at the whole screen).
#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "data/EmbeddedResources.h"
#include "editions/EditionImport.h"
#include "tests/common/SyntheticEdition.h"
#include "tests/ui/ScreenshotSupport.h"
#include "ui/EditionChanges.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto output = ScreenshotOutput(argc, argv);
    if (!output) return 2;
    QTemporaryDir user;
    qputenv("AppData", user.path().toLocal8Bit());
    const std::string release = user.filePath(QStringLiteral("release")).toStdString();
    WriteReleaseFiles(release, Synthetic2022Files(std::filesystem::path(ZENDRA_SOURCE_DIR) / "data"));
    if (const TImportResult imported = ImportRelease({release}, EditionsFolder(), EmbeddedResources());
        imported.Status != TImportStatus::Installed) {
        std::fprintf(stderr, "import of the synthetic release failed: %s\n", imported.Message.c_str());
        return 1;
    }

    TfrmEditionChanges window(EmbeddedResources(), "2022");
    QSignalSpy shown(&window, &TfrmEditionChanges::changesShown);
    window.show();
    if (!shown.wait(30000)) return 1;
    auto* table = window.findChild<QTableView*>(QStringLiteral("changesTable"));
    table->selectRow(3);
    const bool ok = CaptureWindow(window, *output, QStringLiteral("changes-window.png"));
    if (argc > 2) QTest::qWait(1000 * QString::fromLocal8Bit(argv[2]).toInt());
    return ok ? 0 : 1;
}
