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

#include "AdministratorTool.h"
#include "DataSets.h"
#include "TestSupport.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    EnsureRealDataLoaded();
    QTemporaryDir folder;
    ProgramDir = folder.path().toStdString() + "/";

    TfrmAdministratorTool tool;
    tool.show();
    // A second argument shows another page instead, without running anything (for a quick look).
    const int page = argc > 2 ? std::atoi(argv[2]) : 1;
    tool.PageControl1->setCurrentIndex(page);
    tool.Edit4->setText(QStringLiteral(ZENDRA_SOURCE_DIR "/data/icd10cm_order_2021.txt.gz"));
    tool.CheckBox4->setChecked(true);
    if (page == 1) tool.Button7->click();
    QTest::qWait(600);  // let the server map and paint the window
    const QString file = output.filePath(QStringLiteral("administrator-tool.png"));
    const int code =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QString::number(tool.winId()), file});
    std::printf("%s %s\n", code == 0 ? "wrote" : "FAILED", qPrintable(file));
    return code == 0 ? 0 : 1;
}
