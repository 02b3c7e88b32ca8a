// Shows every window and dialog of the program on a real X display with a window manager and
// checks that each one's frame, as the window manager reports it, lies inside the screen's
// available area, that the windows to be centred are centred, and that no button or label is cut
// off (outside its panel, or narrower than its caption) or drawn over another. A window is judged
// only once the window manager has framed it and it has stopped moving (tests/ui/WindowSettle.h),
// on its frame as the X server has it, in screen pixels. tools/window-check.sh runs it under Xvfb
// and openbox at several screen sizes and scale factors.
// Usage: ui_window_check [SCREENSHOT_FOLDER [SUFFIX]]: with a folder, each window is also saved as
// <name><SUFFIX>.png (the whole screen, so the frame shows). Exit code: the number of failures.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <QtMath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/EmbeddedResources.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "tests/ui/WindowSettle.h"
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
#include "ui/UiStyle.h"
#include "ui/Waiting.h"
#include "ui/WindowPlacement.h"
#include "userdata/Favorites.h"

namespace {

struct TCase {
    const char* FName;
    // Creates the window (not yet shown); the opener, when there is one, is already showing.
    std::function<std::unique_ptr<QWidget>(QWidget* AOpener)> FMake;
    bool FOpenerIsIndex = false;  // shown over a disease index window rather than alone
    bool FCentredOnScreen = false;
};

int Failures = 0;

// Judged only once the window manager has framed the window and it has stopped moving; a window
// that never settles is a failure of its own, reported with the geometries seen, and not judged.
TSettleResult Settled(const std::string& name, QWidget& window) {
    TSettleResult result = WaitUntilSettled(window);
    if (!result.FSettled) {
        std::printf("%-28s %s\n", name.c_str(), result.FReport.c_str());
        ++Failures;
    }
    return result;
}

void Capture(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return;
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    const int code =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), file});
    std::printf("  %s %s\n", code == 0 ? "wrote" : "FAILED to write", qPrintable(file));
}

// The frame and the available area as the window manager reports them, in screen pixels.
void Check(const char* name, const QWidget& window, const TSettleResult& seen) {
    const QRect& area = seen.FWorkArea;
    const QRect& frame = seen.FLast.FFrame;
    const QRect& client = seen.FLast.FClient;
    // At a fractional scale the program's positions and sizes are rounded to screen pixels one by
    // one, so a frame that fits exactly in the program's units may reach one pixel further.
    const double scale = window.devicePixelRatioF();
    const int rounding = qFuzzyCompare(scale, std::round(scale)) ? 0 : 1;
    const bool inside = area.adjusted(-rounding, -rounding, rounding, rounding).contains(frame);
    std::printf("%-28s frame %4d,%4d %4dx%-4d  client %4dx%-4d  area %dx%d  %s%s\n", name, frame.x(), frame.y(),
                frame.width(), frame.height(), client.width(), client.height(), area.width(), area.height(),
                inside ? "inside" : "OUTSIDE", frame != client ? "" : " (frameless)");
    if (!inside) ++Failures;
}
// Every visible control lies whole inside its window and every parent it stands on, and a button
// or a one-line label is as wide as its caption needs: nothing is cut off or hidden.
void CheckControlsWhole(const char* name, QWidget& window) {
    int cut = 0;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || control->isWindow()) continue;
        auto* button = qobject_cast<QAbstractButton*>(control);
        auto* label = qobject_cast<QLabel*>(control);
        if (button == nullptr && label == nullptr) continue;
        const QString text = button != nullptr ? button->text() : label->text();
        if (text.trimmed().isEmpty()) continue;
        QString fault;
        for (QWidget* inner = control; inner != &window && fault.isEmpty(); inner = inner->parentWidget()) {
            const QRect within = QRect(QPoint(0, 0), inner->parentWidget()->size());
            if (!within.contains(inner->geometry())) fault = QStringLiteral("outside its parent");
        }
        // A push button's size hint holds the style's minimum width; its caption needs its text.
        auto* push = qobject_cast<QPushButton*>(control);
        const int needed =
            push != nullptr ? push->fontMetrics().horizontalAdvance(text) + 2 : control->sizeHint().width();
        const bool oneLine = label == nullptr || (!label->wordWrap() && label->pixmap().isNull());
        if (fault.isEmpty() && oneLine && control->width() < needed)
            fault = QStringLiteral("%1 px wide, needs %2").arg(control->width()).arg(needed);
        if (fault.isEmpty() && !oneLine && label->heightForWidth(label->width()) > label->height())
            fault =
                QStringLiteral("%1 px high, needs %2").arg(label->height()).arg(label->heightForWidth(label->width()));
        if (fault.isEmpty()) continue;
        std::printf("%-28s control \"%s\" cut off: %s\n", name, qPrintable(text.simplified().left(40)),
                    qPrintable(fault));
        ++cut;
    }
    Failures += cut;
}

// Where a control's caption is drawn: a left-aligned one-line label only as wide as its text.
QRect CaptionRect(QWidget& control) {
    auto* label = qobject_cast<QLabel*>(&control);
    if (label == nullptr || label->wordWrap() || !(label->alignment() & Qt::AlignLeft)) return control.geometry();
    return QRect(control.pos(), QSize(std::min(control.width(), control.sizeHint().width()), control.height()));
}

// No two captions (buttons, labels) standing side by side overlap.
void CheckNoOverlap(const char* name, QWidget& window) {
    QList<QWidget*> captions;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || control->isWindow()) continue;
        auto* button = qobject_cast<QAbstractButton*>(control);
        auto* label = qobject_cast<QLabel*>(control);
        if ((button != nullptr && !button->text().trimmed().isEmpty()) ||
            (label != nullptr && !label->text().trimmed().isEmpty()))
            captions.append(control);
    }
    for (qsizetype i = 0; i < captions.size(); ++i)
        for (qsizetype j = i + 1; j < captions.size(); ++j) {
            QWidget* one = captions[i];
            QWidget* other = captions[j];
            if (one->parentWidget() != other->parentWidget()) continue;
            if (!CaptionRect(*one).intersects(CaptionRect(*other))) continue;
            std::printf("%-28s controls \"%s\" and \"%s\" overlap\n", name,
                        qPrintable(one->property("text").toString().simplified().left(30)),
                        qPrintable(other->property("text").toString().simplified().left(30)));
            ++Failures;
        }
}

// Within 4 of the program's pixels of the centre of the available area, in screen pixels.
void CheckCentredOnScreen(const char* name, const QWidget& window, const TSettleResult& seen) {
    const QRect& area = seen.FWorkArea;
    const QRect& frame = seen.FLast.FFrame;
    // A frameless window stands where the program put it; only framed ones are checked here.
    if (frame == seen.FLast.FClient) return;
    const QPoint offset = frame.center() - area.center();
    if (frame.size() != area.size() && offset.manhattanLength() > qCeil(4 * window.devicePixelRatioF())) {
        std::printf("%-28s not centred on the screen (off by %d, %d screen pixels)\n", name, offset.x(), offset.y());
        ++Failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    InstallWindowPlacement(application);
    ApplyReadableColours(application);
    EnsureRealDataLoaded();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!folder.isEmpty()) QDir().mkpath(folder);
    // A coder's favourite list for the favourite windows.
    QDir().mkpath(QString::fromStdString(UserData().Folders.SharedData));
    UserData().Favorites.clear();
    TFavoriteKW* coder = nullptr;
    if (CreateFavoriteUser("Chen Li", "pw", UserData().Folders.SharedData, UserData().Favorites, coder) !=
            TFavoriteCreate::Created ||
        AddFavoriteCodes(LoadedData().CodeResolver(), *coder, {"I10", "E11.9", "S52.521A", "T36.0X1A"}).FOutcome !=
            TFavoriteEdit::Done) {
        std::printf("could not make a favourite list in %s\n", UserData().Folders.SharedData.c_str());
        return 1;
    }

    TfrmMain launcher;
    launcher.show();
    if (const TSettleResult seen = Settled("launcher", launcher); seen.FSettled) {
        Check("launcher", launcher, seen);
        CheckCentredOnScreen("launcher", launcher, seen);
    }
    CheckControlsWhole("launcher", launcher);
    CheckNoOverlap("launcher", launcher);
    Capture(folder, QStringLiteral("main-window") + suffix);
    launcher.hide();
    CreateInfoOf7Code();

    const std::vector<TCase> cases = {
        {"keyword-search", [](QWidget*) { return std::make_unique<TfrmKeyWordSearch>(nullptr); }, false, true},
        {"tabular-section-from-index",
         [](QWidget* opener) {
             auto window = std::make_unique<TfrmKeyWordSearch>(opener);
             window->FInitType = TTabularOpening::Code;
             window->FInitCode = QStringLiteral("S72.001");
             return window;
         },
         true},
        {"chapter-browser", [](QWidget*) { return std::make_unique<TfrmChapterSearch>(nullptr); }, false, true},
        {"disease-index",
         [](QWidget*) {
             auto window = std::make_unique<TfrmAlphaSearch>(nullptr);
             window->FType = TDataSet::DiseaseIndex;
             return window;
         },
         false, true},
        {"disease-index-nested",
         [](QWidget* opener) {
             auto window = std::make_unique<TfrmAlphaSearch>(opener);
             window->FType = TDataSet::DiseaseIndex;
             window->FCurItem = LoadedData().Index.DiseaseIndex.front()->FMainTermList.front().get();
             return window;
         },
         true},
        {"external-index",
         [](QWidget*) {
             auto window = std::make_unique<TfrmAlphaSearch>(nullptr);
             window->FType = TDataSet::ExternalIndex;
             return window;
         },
         false, true},
        {"drug-table",
         [](QWidget*) {
             auto window = std::make_unique<TfrmDrugNeopSearch>(nullptr);
             window->FType = TDataSet::DrugTable;
             return window;
         },
         false, true},
        {"neoplasm-table",
         [](QWidget*) {
             auto window = std::make_unique<TfrmDrugNeopSearch>(nullptr);
             window->FType = TDataSet::NeoplasmTable;
             return window;
         },
         false, true},
        {"select-code",
         [](QWidget* opener) {
             auto window = std::make_unique<TfrmSelectCode>(opener);
             window->SetCodeHeader("S72.001");
             window->GetAllAvailableCodes();
             return window;
         },
         true},
        {"seven-character", [](QWidget*) { return std::unique_ptr<QWidget>(); }, true},
        {"message-box",
         [](QWidget* opener) {
             auto box = std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("Exit Program"),
                                                      QStringLiteral("Do you want to quit this program?"),
                                                      QMessageBox::Yes | QMessageBox::No, opener);
             return std::unique_ptr<QWidget>(std::move(box));
         },
         true},
        {"waiting", [](QWidget*) { return std::make_unique<TfrmWaiting>(nullptr); }, true},
        {"favorite-user", [](QWidget*) { return std::make_unique<TfrmFavoriteUser>(nullptr); }},
        {"favorite-unlock", [coder](QWidget*) { return std::make_unique<TfrmFavoriteUnlock>(*coder, nullptr); }},
        {"favorite-new-user", [](QWidget*) { return std::make_unique<TfrmFavoriteNewUser>(nullptr); }},
        {"favorite-codes",
         [coder](QWidget*) {
             UserData().Unlocked = coder;
             auto window = std::make_unique<TfrmKeyWordSearch>(nullptr);
             window->FInitType = TTabularOpening::FavoriteCodes;
             return window;
         },
         false, true},
        {"administrator-tool", [](QWidget*) { return std::make_unique<TfrmAdministratorTool>(nullptr); }, false, true},
        {"editions", [](QWidget*) { return std::make_unique<TfrmEditions>(EmbeddedResources()); }},
        {"what-changed",
         [](QWidget*) { return std::make_unique<TfrmEditionChanges>(EmbeddedResources(), "2021", nullptr); }, false,
         true},
    };

    for (const TCase& item : cases) {
        std::unique_ptr<TfrmAlphaSearch> opener;
        if (item.FOpenerIsIndex) {
            opener = std::make_unique<TfrmAlphaSearch>(nullptr);
            opener->FType = TDataSet::DiseaseIndex;
            opener->show();
            // The window is centred on its opener: the opener must have found its place first.
            if (!Settled(std::string(item.FName) + " opener", *opener).FSettled) continue;
        }
        std::unique_ptr<QWidget> window = item.FMake(opener.get());
        QWidget* shown = window.get();
        if (shown == nullptr) shown = &frmInfoOf7Code();  // the one seven-character dialog of the run
        shown->show();
        const TSettleResult seen = Settled(item.FName, *shown);
        if (seen.FSettled) Check(item.FName, *shown, seen);
        CheckControlsWhole(item.FName, *shown);
        CheckNoOverlap(item.FName, *shown);
        // A window opened on a code shows that code's text and says so, whatever the screen.
        if (auto* search = qobject_cast<TfrmKeyWordSearch*>(shown);
            search != nullptr && search->FInitType == TTabularOpening::Code) {
            if (search->ViewText().trimmed().isEmpty() ||
                Named<QLabel>(*search, "titleLabel")->text() != QStringLiteral("Tabular Section")) {
                std::printf("%-28s shows \"%s\" and %s text\n", item.FName,
                            qPrintable(Named<QLabel>(*search, "titleLabel")->text()),
                            search->ViewText().trimmed().isEmpty() ? "no" : "its");
                ++Failures;
            }
        }
        if (seen.FSettled && item.FCentredOnScreen) CheckCentredOnScreen(item.FName, *shown, seen);
        Capture(folder, QString::fromLatin1(item.FName) + suffix);
        shown->hide();
        window.reset();
        opener.reset();
    }
    std::printf("%d window(s) outside the screen or off centre, or control(s) cut off\n", Failures);
    return Failures;
}
