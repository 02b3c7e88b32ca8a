// Shows the chapter browser on a real X display (run under Xvfb) with the first chapter and its
// first section expanded and a category selected, and saves chapter-browser.png with ImageMagick's
// import into the folder given as the first argument.
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "ChapterSearch.h"
#include "TestSupport.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    EnsureRealDataLoaded();

    TfrmChapterSearch browser;
    browser.show();
    QTreeWidgetItem* chapter = browser.TreeView1->topLevelItem(0);
    chapter->setExpanded(true);
    chapter->child(0)->setExpanded(true);
    browser.TreeView1->setCurrentItem(chapter->child(0)->child(2));
    browser.TreeView1->setFocus();
    QTest::qWait(600);  // let the server map and paint the window
    const QString file = output.filePath(QStringLiteral("chapter-browser.png"));
    const int code =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QString::number(browser.winId()), file});
    std::printf("%s %s\n", code == 0 ? "wrote" : "FAILED", qPrintable(file));
    return code == 0 ? 0 : 1;
}
