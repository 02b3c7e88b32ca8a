// Shows the disease index at its main level filtered to "Ab" with a row selected, and a nested
// window two levels down, on a real X display (run under Xvfb), and saves alpha-search.png and
// alpha-search-nested.png with ImageMagick's import into the folder given as the first argument.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <cstdio>

#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AlphaSearch.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;

    bool ok = true;
    TTerm* nestedTerm = nullptr;
    {
        TfrmAlphaSearch index;
        index.FType = TDataSet::DiseaseIndex;
        index.show();
        if (!SettleWindow(index)) return 1;
        Named<QLineEdit>(index, "filterEdit")->setText(QStringLiteral("Ab"));
        ok = CaptureWithCurrentCell(index, "termList", 4, 0, output, QStringLiteral("alpha-search.png")) && ok;
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
        nested.FType = TDataSet::DiseaseIndex;
        nested.FCurItem = nestedTerm;
        nested.show();
        if (!SettleWindow(nested)) return 1;
        ok = CaptureWithCurrentCell(nested, "termList", 1, 0, output, QStringLiteral("alpha-search-nested.png")) && ok;
    }
    return ok ? 0 : 1;
}
