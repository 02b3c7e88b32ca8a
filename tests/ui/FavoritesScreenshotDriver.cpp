// Shows the favourite-code windows on a real X display (tools/screenshots.sh runs it under Xvfb)
// and saves screenshots into the folder given as the first argument: favorite-user.png (the user
// choice), favorite-unlock.png (the password of the chosen list) and favorite-codes.png (the
// Tabular Search window in favourite mode). The lists are made in the shared data folder of the
// run, which the script points at a scratch folder.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/ui/ScreenshotSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FavoriteUser.h"
#include "ui/KeywordSearch.h"
#include "userdata/Favorites.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const auto outputFolder = ScreenshotOutput(argc, argv);
    if (!outputFolder) return 2;
    const QDir& output = *outputFolder;
    QDir().mkpath(QString::fromStdString(UserData().Folders.SharedData));

    UserData().Favorites.clear();
    TFavoriteKW* coder = nullptr;
    for (const char* name : {"Chen Li", "Dr. Maria Alvarez", "Ben Ortiz"}) {
        TFavoriteKW* created = nullptr;
        if (CreateFavoriteUser(name, "pw", UserData().Folders.SharedData, UserData().Favorites, created) !=
            TFavoriteCreate::Created) {
            std::fprintf(stderr, "could not create the list of %s in %s\n", name,
                         UserData().Folders.SharedData.c_str());
            return 1;
        }
        if (coder == nullptr) coder = created;
    }
    const TFavoriteEditResult added = AddFavoriteCodes(
        LoadedData().CodeResolver(), *coder, {"I10", "E11.9", "J45.909", "S52.521A", "T36.0X1A", "Z00.00", "A01.00"});
    if (added.FOutcome != TFavoriteEdit::Done) {
        std::fprintf(stderr, "%s\n", FavoriteEditMessage(added, *coder, true).c_str());
        return 1;
    }
    bool ok = true;

    TfrmFavoriteUser choice;
    choice.show();
    Named<QListWidget>(choice, "userList")->setCurrentRow(1);
    ok &= CaptureWindow(choice, output, QStringLiteral("favorite-user.png"));
    choice.hide();

    TfrmFavoriteUnlock unlock(*coder);
    unlock.show();
    QTest::keyClicks(Named<QLineEdit>(unlock, "passwordEdit"), QStringLiteral("pw"));
    ok &= CaptureWindow(unlock, output, QStringLiteral("favorite-unlock.png"));
    unlock.hide();

    UserData().Unlocked = coder;
    TfrmKeyWordSearch favorites;
    favorites.FInitType = TTabularOpening::FavoriteCodes;
    favorites.show();
    if (!SettleWindow(favorites)) return 1;
    Named<QTreeWidget>(favorites, "codeTree")
        ->setCurrentItem(Named<QTreeWidget>(favorites, "codeTree")->topLevelItem(3));
    QTest::keyClick(Named<QTreeWidget>(favorites, "codeTree"), Qt::Key_Right);  // a key release opens the current node
    ok &= CaptureWindow(favorites, output, QStringLiteral("favorite-codes.png"));
    return ok ? 0 : 1;
}
