// Every control that takes the keyboard focus, in every window, has an accessible name, so that a
// screen reader can say what it is. The windows are walked through QAccessible, as a screen reader
// walks them (item views count as one control: their rows are named by their own text).
#include <QAccessible>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "data/EmbeddedResources.h"
#include "startup/LoadedData.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AdministratorTool.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/EditionChanges.h"
#include "ui/EditionsDialog.h"
#include "ui/FavoriteUser.h"
#include "ui/InfoOf7Code.h"
#include "ui/KeywordSearch.h"
#include "ui/Main.h"
#include "ui/SelectCode.h"
#include "ui/Waiting.h"
#include "userdata/Favorites.h"

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void everyFocusableControlHasAnAccessibleName();
};

namespace {

// The focusable controls without a name under AInterface, as "window: class objectName".
void Unnamed(QAccessibleInterface* AInterface, const QString& AWindow, QStringList& AMissing) {
    if (AInterface == nullptr || AInterface->state().invisible) return;
    if (AInterface->state().focusable && AInterface->text(QAccessible::Name).trimmed().isEmpty()) {
        const QObject* object = AInterface->object();
        AMissing << QStringLiteral("%1: %2 %3")
                        .arg(AWindow, object ? object->metaObject()->className() : "item",
                             object ? object->objectName() : QString());
    }
    switch (AInterface->role()) {
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::Tree:
            return;
        default:
            break;
    }
    for (int index = 0; index < AInterface->childCount(); ++index) Unnamed(AInterface->child(index), AWindow, AMissing);
}

// An index or table window of one data set.
template <class TWindow>
std::unique_ptr<QWidget> Opened(TDataSet ASet) {
    auto window = std::make_unique<TWindow>();
    window->FType = ASet;
    return window;
}

}  // namespace

void AccessibilityTest::everyFocusableControlHasAnAccessibleName() {
    TScopedDataFolders folders;
    UserData().Folders.SharedData = UserData().Folders.UserData;
    UserData().Favorites.clear();
    TFavoriteKW* coder = nullptr;
    QCOMPARE(CreateFavoriteUser("Chen Li", "pw", UserData().Folders.SharedData, UserData().Favorites, coder),
             TFavoriteCreate::Created);
    CreateInfoOf7Code();
    const std::vector<std::pair<QString, std::function<std::unique_ptr<QWidget>()>>> windows = {
        {"launcher", [] { return std::make_unique<TfrmMain>(); }},
        {"chapter browser", [] { return std::make_unique<TfrmChapterSearch>(); }},
        {"administrator tool", [] { return std::make_unique<TfrmAdministratorTool>(); }},
        {"favourite users", [] { return std::make_unique<TfrmFavoriteUser>(); }},
        {"favourite unlock", [coder] { return std::make_unique<TfrmFavoriteUnlock>(*coder); }},
        {"favourite new user", [] { return std::make_unique<TfrmFavoriteNewUser>(); }},
        {"waiting", [] { return std::make_unique<TfrmWaiting>(); }},
        {"disease index", [] { return Opened<TfrmAlphaSearch>(TDataSet::DiseaseIndex); }},
        {"drug table", [] { return Opened<TfrmDrugNeopSearch>(TDataSet::DrugTable); }},
        {"neoplasm table", [] { return Opened<TfrmDrugNeopSearch>(TDataSet::NeoplasmTable); }},
        {"select code",
         [] {
             auto dialog = std::make_unique<TfrmSelectCode>();
             dialog->SetCodeHeader("S72.001");
             return dialog;
         }},
        {"seven-character code", [] { return std::make_unique<TfrmInfoOf7Code>(); }},
        {"editions", [] { return std::make_unique<TfrmEditions>(EmbeddedResources()); }},
        {"what changed", [] { return std::make_unique<TfrmEditionChanges>(EmbeddedResources(), "2021"); }},
        {"Tabular Search with its suggestion and history lists open",
         [] {
             auto window = std::make_unique<TfrmKeyWordSearch>();
             for (const char* list : {"suggestionPanel", "historyPanel"}) Named<QWidget>(*window, list)->show();
             return window;
         }},
    };
    QStringList missing;
    for (const auto& [name, make] : windows) {
        std::unique_ptr<QWidget> window = make();
        window->show();
        QCoreApplication::processEvents();  // the lists fill once their data set has settled
        // Each page of a window with pages is walked while it shows.
        auto* pages = window->findChild<QTabWidget*>();
        for (int page = 0; page < (pages != nullptr ? pages->count() : 1); ++page) {
            if (pages != nullptr) pages->setCurrentIndex(page);
            Unnamed(QAccessible::queryAccessibleInterface(window.get()), name, missing);
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
