// Shows the drug table (filtered to the substances beginning with "Ab", the Absinthe row's first
// code cell current) and the neoplasm table on its 1st-level sites on a real X display (run under
// Xvfb), and saves drug-table.png and neoplasm-table.png with ImageMagick's import into the folder
// given as the first argument.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTest>
#include <cstdio>

#include "DrugNeopSearch.h"
#include "TestSupport.h"

static bool Capture(QWidget& window, const QDir& output, const QString& name) {
    QTest::qWait(600);  // let the server map and paint the window
    const QString file = output.filePath(name);
    const int code =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QString::number(window.winId()), file});
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
    {
        TfrmDrugNeopSearch drugs;
        drugs.FType = TableTypeDrugs;
        drugs.show();
        QTest::qWait(100);
        drugs.edtMain->setText(QStringLiteral("A"));
        drugs.StringGrid1->setCurrentCell(9, 2);
        drugs.StringGrid1->setFocus();
        ok = Capture(drugs, output, QStringLiteral("drug-table.png")) && ok;
    }
    {
        TfrmDrugNeopSearch neoplasms;
        neoplasms.FType = TableTypeNeoplasms;
        neoplasms.show();
        QTest::qWait(100);
        neoplasms.StringGrid1->setCurrentCell(1, 3);
        neoplasms.StringGrid1->setFocus();
        ok = Capture(neoplasms, output, QStringLiteral("neoplasm-table.png")) && ok;
    }
    return ok ? 0 : 1;
}
