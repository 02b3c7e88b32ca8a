// Shows the drug table (filtered to the substances beginning with "Ab", the Absinthe row's first
// code cell current) and the neoplasm table on its 1st-level sites on a real X display (run under
// Xvfb), and saves drug-table.png and neoplasm-table.png with ImageMagick's import into the folder
// given as the first argument.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <cstdio>

#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DrugNeopSearch.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;

    bool ok = true;
    {
        TfrmDrugNeopSearch drugs;
        drugs.FType = TDataSet::DrugTable;
        drugs.show();
        if (!SettleWindow(drugs)) return 1;
        Named<QLineEdit>(drugs, "filterEdit")->setText(QStringLiteral("A"));
        ok = CaptureWithCurrentCell(drugs, "termGrid", 9, 2, output, QStringLiteral("drug-table.png")) && ok;
    }
    {
        TfrmDrugNeopSearch neoplasms;
        neoplasms.FType = TDataSet::NeoplasmTable;
        neoplasms.show();
        if (!SettleWindow(neoplasms)) return 1;
        ok = CaptureWithCurrentCell(neoplasms, "termGrid", 1, 3, output, QStringLiteral("neoplasm-table.png")) && ok;
    }
    return ok ? 0 : 1;
}
