// Shows the two code entry dialogs on a real X display (tools/screenshots-dialogs.sh runs it under
// Xvfb) and saves screenshots of them with ImageMagick's import into the folder given as the first
// argument: seven-character-dialog.png and select-code-dialog.png.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "CodeEntry.h"
#include "InfoOf7Code.h"
#include "SelectCode.h"
#include "TestSupport.h"

static bool Capture(QWidget* window, const QString& file) {
    QTest::qWait(600);  // let the server map and paint the window
    const int code = QProcess::execute(QStringLiteral("import"),
                                       {QStringLiteral("-window"), QString::number(window->winId()), file});
    std::printf("%s %s\n", code == 0 ? "wrote" : "FAILED", qPrintable(file));
    return code == 0;
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    EnsureRealDataLoaded();
    bool ok = true;

    const TGoToCodePlan plan = PlanGoToCode("S52.521A");
    if (plan.FHeader == nullptr) {
        std::fprintf(stderr, "S52.521A not found in the data\n");
        return 1;
    }
    TfrmInfoOf7Code& info = frmInfoOf7Code();
    info.SetCodeInfo(QStringLiteral("S52.521A"), QString::fromStdString(plan.FHeader->FCode),
                     QString::fromStdString(plan.FFullDesc));
    info.show();
    ok &= Capture(&info, output.filePath(QStringLiteral("seven-character-dialog.png")));
    info.hide();

    TfrmSelectCode select;
    select.SetCodeHeader("S72.0");
    select.GetAllAvailableCodes();
    select.show();
    QTest::keyClicks(select.Edit2, QStringLiteral("01"));
    if (select.ListView1->topLevelItemCount() > 2) select.ListView1->setCurrentItem(select.ListView1->topLevelItem(2));
    ok &= Capture(&select, output.filePath(QStringLiteral("select-code-dialog.png")));
    return ok ? 0 : 1;
}
