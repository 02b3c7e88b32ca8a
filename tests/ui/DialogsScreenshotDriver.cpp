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

#include "entry/CodeEntry.h"
#include "startup/LoadedData.h"
#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/InfoOf7Code.h"
#include "ui/SelectCode.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;
    bool ok = true;

    const TGoToCodePlan plan = PlanGoToCode(LoadedData().CodeResolver(), "S52.521A");
    if (plan.FHeader == nullptr) {
        std::fprintf(stderr, "S52.521A not found in the data\n");
        return 1;
    }
    TfrmInfoOf7Code& info = frmInfoOf7Code();
    info.SetCodeInfo(QStringLiteral("S52.521A"), QString::fromStdString(plan.FHeader->FCode),
                     QString::fromStdString(plan.FFullDesc));
    info.show();
    ok &= CaptureWindow(info, output, QStringLiteral("seven-character-dialog.png"));
    info.hide();

    TfrmSelectCode select;
    // The seventh characters of S72.001 differ only in their last words: every description shows whole.
    select.SetCodeHeader("S72.001");
    select.GetAllAvailableCodes();
    select.show();
    if (Named<QTreeWidget>(select, "codeList")->topLevelItemCount() > 2)
        Named<QTreeWidget>(select, "codeList")->setCurrentItem(Named<QTreeWidget>(select, "codeList")->topLevelItem(2));
    ok &= CaptureWindow(select, output, QStringLiteral("select-code-dialog.png"));
    return ok ? 0 : 1;
}
