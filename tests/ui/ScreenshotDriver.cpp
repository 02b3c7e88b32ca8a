// Drives the launcher and the Tabular Search window on a real X display (tools/screenshots.sh runs
// it under Xvfb) and saves screenshots of them with ImageMagick's import into the folder given as
// the first argument: main-window.png, keyword-suggestions.png, tabular-search.png,
// corrected-search.png (a misspelt keyword read as the nearest one, with the note saying so) and
// search-history.png (the history panel over the keyword box, its newest entry selected).
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

#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;
    QTemporaryDir folder;
    UserData().Folders.Program = folder.path().toStdString() + "/";
    UserData().Folders.UserData = UserData().Folders.Program;
    QFile::copy(QStringLiteral(ZENDRA_SOURCE_DIR "/packaging/Background.bmp"),
                folder.filePath(QStringLiteral("Background.bmp")));

    bool ok = true;
    TfrmMain main;
    main.show();
    ok &= CaptureWindow(main, output, QStringLiteral("main-window.png"));
    main.hide();

    TfrmKeyWordSearch window;
    window.show();
    window.activateWindow();
    if (!SettleWindow(window)) return 1;
    Named<QLineEdit>(window, "keywordEdit")->setFocus();
    QTest::keyClicks(Named<QLineEdit>(window, "keywordEdit"), QStringLiteral("typhoid,men"));
    ok &= CaptureWindow(window, output, QStringLiteral("keyword-suggestions.png"));
    window.InsertPromptKeyword(QStringLiteral("Meningitis"));
    QTest::keyClick(Named<QLineEdit>(window, "keywordEdit"), Qt::Key_Return);
    Named<QTextEdit>(window, "codeText")->setFocus();
    ok &= CaptureWindow(window, output, QStringLiteral("tabular-search.png"));
    Named<QLineEdit>(window, "keywordEdit")->clear();
    Named<QLineEdit>(window, "keywordEdit")->setFocus();
    QTest::keyClicks(Named<QLineEdit>(window, "keywordEdit"), QStringLiteral("pnemonia"));
    QTest::keyClick(Named<QLineEdit>(window, "keywordEdit"), Qt::Key_Return);
    Named<QTextEdit>(window, "codeText")->setFocus();
    ok &= CaptureWindow(window, output, QStringLiteral("corrected-search.png"));
    Named<QLineEdit>(window, "keywordEdit")->clear();
    QTest::keyClicks(Named<QLineEdit>(window, "keywordEdit"), QStringLiteral("cholera"));
    QTest::keyClick(Named<QLineEdit>(window, "keywordEdit"), Qt::Key_Return);
    Named<QPushButton>(window, "historyButton")->click();
    ok &= CaptureWindow(window, output, QStringLiteral("search-history.png"));
    return ok ? 0 : 1;
}
