// Shows the disease index at its main level filtered to "Ab" with a row selected, and a nested
// window two levels down, on a real X display (run under Xvfb), and saves alpha-search.png and
// alpha-search-nested.png with ImageMagick's import into the folder given as the first argument.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "AlphaSearch.h"
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
    TTerm* nestedTerm = nullptr;
    {
        TfrmAlphaSearch index;
        index.FType = 1;
        index.show();
        QTest::qWait(100);
        index.edtMain->setText(QStringLiteral("Ab"));
        if (QTreeWidgetItem* item = index.ListView1->topLevelItem(4)) index.ListView1->setCurrentItem(item);
        index.ListView1->setFocus();
        ok = Capture(index, output, QStringLiteral("alpha-search.png")) && ok;
        // A term of this page two levels deep for the nested picture.
        for (TTerm* term : index.FItemList) {
            for (const auto& sub : term->FSubTermList)
                if (sub->FSubTermList.size() > 5) {
                    nestedTerm = sub.get();
                    break;
                }
            if (nestedTerm != nullptr) break;
        }
    }
    if (nestedTerm != nullptr) {
        TfrmAlphaSearch nested;
        nested.FType = 1;
        nested.FCurItem = nestedTerm;
        nested.show();
        QTest::qWait(100);
        if (QTreeWidgetItem* item = nested.ListView1->topLevelItem(1)) nested.ListView1->setCurrentItem(item);
        nested.ListView1->setFocus();
        ok = Capture(nested, output, QStringLiteral("alpha-search-nested.png")) && ok;
    }
    return ok ? 0 : 1;
}
