// Shows the chapter browser on a real X display (run under Xvfb) with the first chapter and its
// first section expanded and a category selected, and saves chapter-browser.png with ImageMagick's
// import into the folder given as the first argument.
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "tests/ui/ScreenshotSupport.h"
#include "ui/ChapterSearch.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;

    TfrmChapterSearch browser;
    browser.show();
    auto* tree = browser.findChild<QTreeWidget*>(QStringLiteral("chapterTree"));
    QTreeWidgetItem* chapter = tree->topLevelItem(0);
    chapter->setExpanded(true);
    chapter->child(0)->setExpanded(true);
    tree->setCurrentItem(chapter->child(0)->child(2));
    tree->setFocus();
    return CaptureWindow(browser, output, QStringLiteral("chapter-browser.png")) ? 0 : 1;
}
