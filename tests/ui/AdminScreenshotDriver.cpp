// Shows the Administrator Tool on a real X display (run under Xvfb) on its Statistics page after a
// "Stat" run on the real data, and saves administrator-tool.png with ImageMagick's import into the
// folder given as the first argument. The files the run writes go to a temporary folder.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AdministratorTool.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;
    QTemporaryDir folder;
    UserData().Folders.Program = folder.path().toStdString() + "/";

    TfrmAdministratorTool tool;
    tool.show();
    // A second argument shows another page instead, without running anything (for a quick look).
    const int page = argc > 2 ? std::atoi(argv[2]) : 1;
    Named<QTabWidget>(tool, "pageTabs")->setCurrentIndex(page);
    Named<QLineEdit>(tool, "officialOrderFileEdit")
        ->setText(QStringLiteral(ZENDRA_SOURCE_DIR "/data/icd10cm_order_2021.txt.gz"));
    Named<QCheckBox>(tool, "officialOrderFileBox")->setChecked(true);
    if (page == 1) Named<QPushButton>(tool, "statButton")->click();
    return CaptureWindow(tool, output, QStringLiteral("administrator-tool.png")) ? 0 : 1;
}
