#include "ui/Main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

#include "services/DataSets.h"
#include "services/Folders.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
#include "ui/AdministratorTool.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/EditionChanges.h"
#include "ui/EditionsDialog.h"
#include "ui/FavoriteUser.h"
#include "ui/KeywordSearch.h"
#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"
#include "userdata/Config.h"
#include "userdata/SearchHistory.h"
#include "userdata/UserData.h"

// The vendor's addresses shown on the launcher.
static const QString VendorWeb = QStringLiteral("www.kelvora.example");
static const QString VendorMail = QStringLiteral("support@kelvora.example");

QString BackgroundFileName() {
    return QString::fromStdString(ProgramFiles(UserData().Folders).FDataDir) + QStringLiteral("Background.bmp");
}

namespace {

constexpr int DesignedWidth = 1167;
constexpr int DesignedHeight = 691;

constexpr std::array<TWindowKey, 5> LauncherKeys{{
    {"openLauncherAction", "Return; Enter; Space", "opens the search window of the launcher that has the focus"},
    {"nextLauncherAction", "Down", "moves to the next launcher (Tab does too)"},
    {"previousLauncherAction", "Up", "moves to the previous launcher"},
    {"editionsAction", "Ctrl+E",
     "opens the Editions window: the installed editions, importing a release, choosing the edition in use"},
    {"whatChangedAction", "Ctrl+D", "opens the What Changed window: the codes and categories two editions differ in"},
}};

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A gap of the design that gives way on a screen too small for the designed size, and never grows.
QSpacerItem* Gap(int AWidth, int AHeight) {
    return new QSpacerItem(std::max(0, AWidth), std::max(0, AHeight), QSizePolicy::Maximum, QSizePolicy::Maximum);
}

// A column of controls at their designed places: each control (or row of controls) goes in at its
// designed top and left, with the gaps of the design between them.
class TDesignedColumn {
public:
    TDesignedColumn(int ALeft, int ATop) : FLeft(ALeft), FBottom(ATop) {
        FLayout->setContentsMargins(0, 0, 0, 0);
        FLayout->setSpacing(0);
    }

    // Controls side by side on one row, each at its designed left.
    void Add(std::initializer_list<std::pair<QWidget*, int>> AControls, int ATop) {
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        int right = FLeft;
        int height = 0;
        for (const auto& [control, left] : AControls) {
            // Within a row the designed distances stay (the gaps between the rows and columns give way).
            if (left > right) row->addSpacing(left - right);
            row->addWidget(control);
            const QSize size = control->sizeHint().expandedTo(control->minimumSize());
            right = std::max(right, left) + size.width();
            height = std::max(height, size.height());
        }
        FLayout->addSpacerItem(Gap(0, ATop - FBottom));
        FLayout->addLayout(row);
        // As wide as its controls: the row keeps its controls at their designed lefts.
        FLayout->setAlignment(row, Qt::AlignLeft);
        FBottom = ATop + height;
    }
    // The column ends at the designed height ABottom.
    QVBoxLayout* EndAt(int ABottom) {
        FLayout->addSpacerItem(Gap(0, ABottom - FBottom));
        return FLayout;
    }

private:
    int FLeft;
    int FBottom;
    QVBoxLayout* FLayout = new QVBoxLayout;
};

}  // namespace

std::span<const TWindowKey> TfrmMain::KeyTable() {
    return LauncherKeys;
}

QLabel* TfrmMain::MakeLabel(const char* AName, const QString& caption, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(AName));
    label->setFont(font);
    SetTextColour(label, colour);
    return label;
}

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(DesignedWidth, DesignedHeight);
    setFont(TahomaFont(13));

    // 1. The tiled background; a missing or unreadable bitmap leaves the plain window colour.
    QPixmap background;
    if (background.load(BackgroundFileName())) {
        QPalette palette = this->palette();
        palette.setBrush(QPalette::Window, QBrush(background));
        setPalette(palette);
        setAutoFillBackground(true);
        FHasBackground = true;
    }
    // 2. Settings.
    LoadProgramConfig(UserData().Settings, UserData().Folders);
    LoadUserConfig(UserData().Settings, UserData().Folders);

    const QColor windowText = palette().color(QPalette::WindowText);
    headingLabel = MakeLabel("headingLabel", QStringLiteral("Zendra ICD-10 SEARCH ENGINE"), TahomaFont(48), windowText);
    alphabeticalLabel = MakeLabel("alphabeticalLabel", QStringLiteral("Alphabetical Search"), TahomaFont(32), Blue);
    diseaseLauncher = MakeLabel("diseaseLauncher", QStringLiteral("Disease & Injury"), TahomaFont(29), Navy);
    externalLauncher =
        MakeLabel("externalLauncher", QStringLiteral("External Causes of Injury "), TahomaFont(29), Navy);
    drugsLauncher = MakeLabel("drugsLauncher", QStringLiteral("Drugs & Chemicals"), TahomaFont(29), Navy);
    neoplasmsLauncher = MakeLabel("neoplasmsLauncher", QStringLiteral("Neoplasms"), TahomaFont(29), Navy);
    keywordsLauncher = MakeLabel("keywordsLauncher", QStringLiteral("Keywords Search"), TahomaFont(32), Blue);
    chaptersLauncher = MakeLabel("chaptersLauncher", QStringLiteral("Chapters Search"), TahomaFont(32), Blue);
    // A seventh launcher in the style of the two above it.
    favoritesLauncher = MakeLabel("favoritesLauncher", QStringLiteral("Favorite Codes"), TahomaFont(32), Blue);
    yearCaptionLabel = MakeLabel("yearCaptionLabel", QStringLiteral("YEAR:"), TahomaFont(20), Navy);
    yearLabel = MakeLabel("yearLabel", QString(), TahomaFont(20), Navy);
    versionLabel = MakeLabel("versionLabel", QStringLiteral("Version: 1.0.12"), TahomaFont(20), Navy);
    effectiveDateCaptionLabel = MakeLabel("effectiveDateCaptionLabel", QString(), TahomaFont(20), Navy);
    effectiveYearLabel = MakeLabel("effectiveYearLabel", QString(), TahomaFont(20), Navy);
    addendaLabel = MakeLabel("addendaLabel", QString(), TahomaFont(15), Navy);
    ShowEditionFacts();
    // An edition without addenda leaves the line empty, not the rows below it moved up.
    addendaLabel->setMinimumHeight(QFontMetrics(addendaLabel->font()).height());
    companyLabel = MakeLabel("companyLabel", QStringLiteral(" Kelvora  "), TahomaFont(15, true, true), Green);
    webCaptionLabel = MakeLabel("webCaptionLabel", QStringLiteral("Web-Site:"), TahomaFont(13), Green);
    webLabel = MakeLabel("webLabel", VendorWeb, TahomaFont(15, true, true), Green);
    mailCaptionLabel = MakeLabel("mailCaptionLabel", QStringLiteral("EMail:"), TahomaFont(13), Green);
    mailLabel = MakeLabel("mailLabel", VendorMail, TahomaFont(15, true, true), Green);

    // 3. The full-screen box mirrors the user setting.
    fullScreenBox = new QCheckBox(QStringLiteral("Full Screen Show Text"), this);
    fullScreenBox->setObjectName(QStringLiteral("fullScreenBox"));
    fullScreenBox->setMinimumSize(181, 17);
    fullScreenBox->setChecked(UserData().Settings.FullScreen == 1);
    connect(fullScreenBox, &QCheckBox::clicked, this, &TfrmMain::FullScreenBoxClicked);
    editionsButton = new QPushButton(QStringLiteral("Editions…"), this);
    editionsButton->setObjectName(QStringLiteral("editionsButton"));
    editionsButton->setAccessibleName(QStringLiteral("Editions"));
    editionsButton->setFont(TahomaFont(13));
    whatChangedButton = new QPushButton(QStringLiteral("What Changed…"), this);
    whatChangedButton->setObjectName(QStringLiteral("whatChangedButton"));
    whatChangedButton->setAccessibleName(QStringLiteral("What Changed"));
    whatChangedButton->setFont(TahomaFont(13));

    // 4. The keyword search history; a missing or unreadable file leaves it empty. Every user file
    // that exists but could not be read (settings, history, favourite lists) is said here, once,
    // and left as it is.
    LoadSearchHistory(UserData().History, UserData().Folders);
    QString notice = QString::fromStdString(UserFilesNotice(UserData()));
    if (!StartNotice().empty())
        notice += (notice.isEmpty() ? QString() : QStringLiteral("\n")) + QString::fromStdString(StartNotice());
    noticeLabel = new QLabel(notice, this);
    noticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    noticeLabel->setFont(TahomaFont(13));
    SetTextColour(noticeLabel, QColor(128, 0, 0));
    noticeLabel->setWordWrap(true);
    noticeLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    noticeLabel->setFixedHeight(84);
    noticeLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    noticeLabel->setVisible(!noticeLabel->text().isEmpty());

    BuildLayout();

    for (QLabel* label : {diseaseLauncher, externalLauncher, drugsLauncher, neoplasmsLauncher, keywordsLauncher,
                          chaptersLauncher, favoritesLauncher, webLabel, mailLabel, headingLabel})
        label->installEventFilter(this);
    // The launchers take the keyboard focus in the order they are read, Tab moves between them;
    // the focused launcher shows the hover colour. The launcher keys act on the launcher that has
    // the focus, so they are shortcuts of the launchers, not of the window (Space stays the full
    // screen box's own key).
    FActions = AddWindowActions(this, KeyTable());
    QWidget* previous = nullptr;
    for (QLabel* label : Launchers()) {
        label->setFocusPolicy(Qt::StrongFocus);
        label->setAccessibleName(label->text().trimmed());
        label->setAccessibleDescription(QStringLiteral("Opens the %1 search window").arg(label->text().trimmed()));
        if (previous != nullptr) setTabOrder(previous, label);
        previous = label;
    }
    setTabOrder(previous, editionsButton);
    setTabOrder(editionsButton, whatChangedButton);
    setTabOrder(whatChangedButton, fullScreenBox);
    for (const TWindowKey& key : KeyTable().first(LauncherFocusKeys)) {
        QAction* action = FActions.value(QString::fromUtf8(key.Name));
        removeAction(action);
        action->setShortcutContext(Qt::WidgetShortcut);
        for (QLabel* label : Launchers()) label->addAction(action);
    }
    QAction* editionsAction = FActions.value(QStringLiteral("editionsAction"));
    editionsButton->setToolTip(
        QStringLiteral("%1 (%2)").arg(editionsAction->toolTip(), editionsAction->shortcut().toString()));
    connect(editionsAction, &QAction::triggered, this, &TfrmMain::OpenEditionsWindow);
    connect(editionsButton, &QPushButton::clicked, this, &TfrmMain::OpenEditionsWindow);
    QAction* whatChangedAction = FActions.value(QStringLiteral("whatChangedAction"));
    whatChangedButton->setToolTip(
        QStringLiteral("%1 (%2)").arg(whatChangedAction->toolTip(), whatChangedAction->shortcut().toString()));
    connect(whatChangedAction, &QAction::triggered, this, &TfrmMain::lbWhatChangedClick);
    connect(whatChangedButton, &QPushButton::clicked, this, &TfrmMain::lbWhatChangedClick);
    connect(FActions.value(QStringLiteral("openLauncherAction")), &QAction::triggered, this, [this] {
        if (auto* launcher = qobject_cast<QLabel*>(focusWidget()); Launchers().contains(launcher)) Launch(launcher);
    });
    connect(FActions.value(QStringLiteral("nextLauncherAction")), &QAction::triggered, this,
            [this] { FocusLauncher(1); });
    connect(FActions.value(QStringLiteral("previousLauncherAction")), &QAction::triggered, this,
            [this] { FocusLauncher(-1); });
    // The window itself holds the focus at first, so the launcher looks as designed until a key
    // is pressed.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    // 5. Centred on the screen when shown (WindowPlacement); the caption names the edition.
    SetPlacementAnchor(this, nullptr);
}

// At the designed size every control stands at its designed place; on a smaller screen (the window
// placement shrinks the window to fit) the gaps give way and the controls stay whole.
void TfrmMain::BuildLayout() {
    constexpr int HeadingTop = 24;
    constexpr int ColumnsBottom = 604;
    const int headingBottom = HeadingTop + headingLabel->sizeHint().height();

    TDesignedColumn facts(83, headingBottom);
    facts.Add({{yearCaptionLabel, 84}, {yearLabel, 154}}, 211);
    facts.Add({{versionLabel, 84}}, 258);
    facts.Add({{effectiveDateCaptionLabel, 84}, {effectiveYearLabel, 296}}, 305);
    facts.Add({{addendaLabel, 84}}, 337);
    facts.Add({{companyLabel, 83}}, 363);
    facts.Add({{webCaptionLabel, 84}}, 411);
    facts.Add({{webLabel, 84}}, 435);
    facts.Add({{mailCaptionLabel, 84}}, 476);
    facts.Add({{mailLabel, 85}}, 500);
    editionsRow = new QHBoxLayout;
    editionsRow->setContentsMargins(0, 0, 0, 0);
    editionsRow->setSpacing(8);
    editionsRow->addWidget(editionsButton);
    editionsRow->addWidget(whatChangedButton);
    auto* editionsBox = new QWidget(this);
    editionsBox->setObjectName(QStringLiteral("editionsBox"));
    editionsBox->setLayout(editionsRow);
    facts.Add({{editionsBox, 84}}, 538);
    facts.Add({{fullScreenBox, 113}}, 583);
    QVBoxLayout* factsLayout = facts.EndAt(ColumnsBottom);

    TDesignedColumn launchers(536, headingBottom);
    launchers.Add({{alphabeticalLabel, 536}}, 115);
    launchers.Add({{diseaseLauncher, 599}}, 167);
    launchers.Add({{externalLauncher, 599}}, 226);
    launchers.Add({{drugsLauncher, 599}}, 285);
    launchers.Add({{neoplasmsLauncher, 599}}, 344);
    launchers.Add({{keywordsLauncher, 536}}, 401);
    launchers.Add({{chaptersLauncher, 536}}, 470);
    launchers.Add({{favoritesLauncher, 536}}, 539);
    QVBoxLayout* launchersLayout = launchers.EndAt(ColumnsBottom);

    auto* heading = new QHBoxLayout;
    heading->setSpacing(0);
    heading->addSpacerItem(Gap(312, 0));
    heading->addWidget(headingLabel);
    heading->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(0);
    columns->addSpacerItem(Gap(83, 0));
    columns->addLayout(factsLayout);
    columns->addSpacerItem(Gap(536 - 83 - factsLayout->sizeHint().width(), 0));
    columns->addLayout(launchersLayout);
    columns->addStretch(1);

    auto* notice = new QHBoxLayout;
    notice->setSpacing(0);
    notice->addSpacerItem(Gap(84, 0));
    notice->addWidget(noticeLabel);
    notice->addSpacerItem(Gap(DesignedWidth - 84 - 1000, 0));

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addSpacerItem(Gap(0, HeadingTop));
    window->addLayout(heading);
    window->addLayout(columns);
    window->addLayout(notice);
    window->addStretch(1);
}

TfrmMain::~TfrmMain() = default;

QColor TfrmMain::LauncherColour(const QLabel* ALauncher) const {
    return (ALauncher == keywordsLauncher || ALauncher == chaptersLauncher || ALauncher == favoritesLauncher) ? Blue
                                                                                                              : Navy;
}

// Only the pointer and the focus colours are here: the keys are the launchers' actions.
bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label == nullptr) return QWidget::eventFilter(watched, event);
    const bool launcher = Launchers().contains(label);
    const bool link = label == webLabel || label == mailLabel;
    switch (event->type()) {
        case QEvent::FocusIn:
            if (launcher) SetTextColour(label, Fuchsia);
            break;
        case QEvent::FocusOut:
            if (launcher && !label->underMouse()) SetTextColour(label, LauncherColour(label));
            break;
        case QEvent::Enter:
            if (launcher || link) {
                label->setCursor(Qt::PointingHandCursor);
                SetTextColour(label, Fuchsia);
            }
            break;
        case QEvent::Leave:
            if (launcher || link) {
                label->unsetCursor();
                SetTextColour(label, link ? Green : LauncherColour(label));
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
            if (launcher)
                Launch(label);
            else if (label == webLabel) {
                if (!WebAddress().isEmpty()) QDesktopServices::openUrl(QUrl(WebAddress()));
            } else if (label == mailLabel) {
                if (!MailAddress().isEmpty()) QDesktopServices::openUrl(QUrl(MailAddress()));
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (label == headingLabel) OpenAdministratorTool();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::FocusLauncher(int AStep) {
    const QList<QLabel*> launchers = Launchers();
    const qsizetype index = launchers.indexOf(qobject_cast<QLabel*>(focusWidget()));
    if (index < 0) return;
    const qsizetype next = (index + AStep + launchers.size()) % launchers.size();
    launchers[next]->setFocus(Qt::TabFocusReason);
}

QList<QLabel*> TfrmMain::Launchers() const {
    return {diseaseLauncher,  externalLauncher, drugsLauncher,    neoplasmsLauncher,
            keywordsLauncher, chaptersLauncher, favoritesLauncher};
}

void TfrmMain::Launch(QLabel* ALauncher) {
    if (ALauncher == keywordsLauncher)
        lbKeyWordsClick();
    else if (ALauncher == chaptersLauncher)
        lbChaptersClick();
    else if (ALauncher == favoritesLauncher)
        lbFavoritesClick();
    else if (ALauncher == diseaseLauncher)
        lbDiseaseClick();
    else if (ALauncher == externalLauncher)
        lbExternalClick();
    else if (ALauncher == drugsLauncher)
        lbDrugsClick();
    else if (ALauncher == neoplasmsLauncher)
        lbNeoplasmsClick();
}

QString TfrmMain::WebAddress() const {
    const QString caption = webLabel->text().trimmed();
    return caption.isEmpty() ? QString() : QStringLiteral("http://%1").arg(caption);
}

QString TfrmMain::MailAddress() const {
    const QString caption = mailLabel->text().trimmed();
    return caption.isEmpty() ? QString() : QStringLiteral("mailto:%1").arg(caption);
}

void TfrmMain::RunSearchWindow(QDialog* window) {
    hide();
    const int result = window->exec();
    delete window;
    if (result == 3)
        close();
    else
        show();
}

void TfrmMain::lbKeyWordsClick() {
    auto* window = new TfrmKeyWordSearch(nullptr);
    window->FInitType = TTabularOpening::KeywordSearch;
    RunSearchWindow(window);
}

void TfrmMain::lbChaptersClick() {
    RunSearchWindow(new TfrmChapterSearch(nullptr));
}

void TfrmMain::lbFavoritesClick() {
    // The user picks or creates their list and unlocks it first, over this window.
    if (!ChooseFavoriteUser(this)) return;
    auto* window = new TfrmKeyWordSearch(nullptr);
    window->FInitType = TTabularOpening::FavoriteCodes;
    RunSearchWindow(window);
}

void TfrmMain::lbDiseaseClick() {
    auto* window = new TfrmAlphaSearch(nullptr);
    window->FType = TDataSet::DiseaseIndex;
    RunSearchWindow(window);
}
void TfrmMain::lbExternalClick() {
    auto* window = new TfrmAlphaSearch(nullptr);
    window->FType = TDataSet::ExternalIndex;
    RunSearchWindow(window);
}
void TfrmMain::lbDrugsClick() {
    auto* window = new TfrmDrugNeopSearch(nullptr);
    window->FType = TDataSet::DrugTable;
    RunSearchWindow(window);
}
void TfrmMain::lbNeoplasmsClick() {
    auto* window = new TfrmDrugNeopSearch(nullptr);
    window->FType = TDataSet::NeoplasmTable;
    RunSearchWindow(window);
}

void TfrmMain::OpenAdministratorTool() {
    if (UserData().Settings.IsAdmin != 1) return;
    TfrmAdministratorTool tool(nullptr);
    tool.exec();
}

void TfrmMain::FullScreenBoxClicked() {
    UserData().Settings.FullScreen = fullScreenBox->isChecked() ? 1 : 0;
    SaveUserConfig(UserData().Settings, UserData().Folders);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!FClosed) {
        FClosed = true;
        CancelLoading(LoadedData().Status);
        SaveSearchHistory(UserData().History, UserData().Folders);
        emit ProgramEnded();
    }
    event->accept();
}

void TfrmMain::ShowEditionFacts() {
    const TEditionFacts facts = EditionFacts();
    yearLabel->setText(QStringLiteral(" %1 ").arg(QString::fromStdString(facts.Year)));
    effectiveDateCaptionLabel->setText(
        QStringLiteral("Effective Date: %1 ").arg(QString::fromStdString(facts.EffectiveMonthDay)));
    effectiveYearLabel->setText(QString::fromStdString(facts.EffectiveYear));
    addendaLabel->setText(QString::fromStdString(facts.AddendaLine));
    setWindowTitle(QString::fromStdString(facts.WindowTitle));
}

void TfrmMain::OpenEditionsWindow() {
    if (FEditionsWindow == nullptr) {
        const TResourceProvider* program = ProgramResources();
        if (program == nullptr) {
            ShowMessage("The editions cannot be managed: the program's data did not start.");
            return;
        }
        FEditionsWindow = new TfrmEditions(*program, this);
        FEditionsWindow->setWindowFlag(Qt::Window);
        connect(FEditionsWindow, &TfrmEditions::useEditionRequested, this, &TfrmMain::SwitchEdition);
    } else {
        FEditionsWindow->ShowEditions();
    }
    FEditionsWindow->show();
    FEditionsWindow->raise();
    FEditionsWindow->activateWindow();
}

namespace {

// The search windows open now (each runs modally; a switch of edition must not leave one showing
// the data of the edition before).
QList<QDialog*> OpenSearchWindows() {
    QList<QDialog*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible()) continue;
        if (qobject_cast<TfrmKeyWordSearch*>(widget) != nullptr ||
            qobject_cast<TfrmChapterSearch*>(widget) != nullptr || qobject_cast<TfrmAlphaSearch*>(widget) != nullptr ||
            qobject_cast<TfrmDrugNeopSearch*>(widget) != nullptr)
            windows.append(static_cast<QDialog*>(widget));
    }
    return windows;
}

}  // namespace

bool TfrmMain::SwitchEdition(const QString& AId) {
    const std::vector<TEditionInfo> editions = ListEditions(EditionsFolder());
    const std::optional<TEditionInfo> edition = FindEdition(editions, AId.toStdString());
    if (!edition) {
        ShowMessage("The edition " + AId.toStdString() + " is not installed.");
        return false;
    }
    if (edition->Id == EditionInUse().Id && edition->Embedded == EditionInUse().Embedded) return true;
    const QList<QDialog*> open = OpenSearchWindows();
    if (!open.isEmpty() &&
        !Messages().AskYesNo("Using the edition " + edition->Id + " closes the open search windows. Go on?",
                             "Switch Edition", false))
        return false;
    for (QDialog* window : open) window->done(0);
    const TResourceProvider* program = ProgramResources();
    if (program == nullptr) return false;
    // The start-up empties the search history with the other containers: keep the coder's.
    SaveSearchHistory(UserData().History, UserData().Folders);
    try {
        StartEditionLoading(*edition, *program, [] { QCoreApplication::processEvents(); });
    } catch (const std::exception& error) {
        ShowMessage(error.what());
        return false;
    }
    LoadSearchHistory(UserData().History, UserData().Folders);
    UserData().Settings.Edition = edition->Id;
    SaveUserConfig(UserData().Settings, UserData().Folders);
    ShowEditionFacts();
    if (FEditionsWindow != nullptr) FEditionsWindow->ShowEditions();
    return true;
}

bool TfrmMain::OpenCodeInEdition(const QString& AId, const QString& ACode) {
    if (!SwitchEdition(AId)) return false;
    if (TfrmKeyWordSearch::ExecAtCode(QApplication::activeWindow(), ACode) == 3) close();
    return true;
}

void TfrmMain::lbWhatChangedClick() {
    const TResourceProvider* program = ProgramResources();
    if (program == nullptr) {
        ShowMessage("The editions cannot be compared: the program's data did not start.");
        return;
    }
    TfrmEditionChanges window(*program, EditionInUse().Id, this);
    connect(&window, &TfrmEditionChanges::openCodeRequested, this, &TfrmMain::OpenCodeInEdition);
    window.exec();
}
