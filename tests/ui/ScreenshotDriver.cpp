// Drives the launcher and the Tabular Search window on a real X display (tools/screenshots.sh runs
// it under Xvfb) and saves screenshots of them with ImageMagick's import into the folder given as
// the first argument: main-window.png, keyword-suggestions.png, tabular-search.png.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <cstdio>

#include "DataSets.h"
#include "KeywordSearch.h"
#include "Main.h"
#include "TestSupport.h"

static bool Capture(QWidget* window, const QString& file) {
    QTest::qWait(600);  // let the window manager-less server map and paint the window
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
    QTemporaryDir folder;
    ProgramDir = folder.path().toStdString() + "/";
    UserDataDir = ProgramDir;
    QFile::copy(QStringLiteral(ZENDRA_SOURCE_DIR "/packaging/Background.bmp"), folder.filePath(QStringLiteral("Background.bmp")));

    bool ok = true;
    TfrmMain main;
    main.show();
    ok &= Capture(&main, output.filePath(QStringLiteral("main-window.png")));
    main.hide();

    TfrmKeyWordSearch window;
    window.show();
    window.activateWindow();
    QTest::qWait(300);
    window.edtKeyWord->setFocus();
    QTest::keyClicks(window.edtKeyWord, QStringLiteral("typhoid,men"));
    ok &= Capture(&window, output.filePath(QStringLiteral("keyword-suggestions.png")));
    window.InsertPromptKeyword(QStringLiteral("Meningitis"));
    QTest::keyClick(window.edtKeyWord, Qt::Key_Return);
    window.RichEdit1->setFocus();
    ok &= Capture(&window, output.filePath(QStringLiteral("tabular-search.png")));
    return ok ? 0 : 1;
}
