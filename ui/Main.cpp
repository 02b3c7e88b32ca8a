#include "ui/Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QUrl>
#include <algorithm>

#include "services/DataSets.h"
#include "services/Folders.h"
#include "services/LoadStatus.h"
#include "ui/AdministratorTool.h"
#include "ui/AlphaSearch.h"
#include "ui/ChapterSearch.h"
#include "ui/DrugNeopSearch.h"
#include "ui/FavoriteUser.h"
#include "ui/KeywordSearch.h"
#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"
#include "userdata/Config.h"
#include "userdata/SearchHistory.h"
#include "userdata/UserFiles.h"

// The vendor's addresses shown on the launcher.
static const QString VendorWeb = QStringLiteral("www.kelvora.example");
static const QString VendorMail = QStringLiteral("support@kelvora.example");

QString BackgroundFileName() {
    return QString::fromStdString(ProgramFiles().FDataDir) + QStringLiteral("Background.bmp");
}

static void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* TfrmMain::MakeLabel(const QString& caption, const QFont& font, const QColor& colour, int left, int top) {
    auto* label = new QLabel(caption, this);
    label->setFont(font);
    SetTextColour(label, colour);
    label->move(left, top);
    label->adjustSize();
    FDesignedPlaces.emplace_back(label, QPoint(left, top));
    return label;
}

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(1167, 691);
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
    LoadProgramConfig();
    LoadUserConfig();

    const QColor windowText = palette().color(QPalette::WindowText);
    Label4 = MakeLabel(QStringLiteral("Zendra ICD-10 SEARCH ENGINE"), TahomaFont(48), windowText, 312, 24);
    lbAlphabetical = MakeLabel(QStringLiteral("Alphabetical Search"), TahomaFont(32), Blue, 536, 115);
    lbDisease = MakeLabel(QStringLiteral("Disease & Injury"), TahomaFont(29), Navy, 599, 167);
    lbExternal = MakeLabel(QStringLiteral("External Causes of Injury "), TahomaFont(29), Navy, 599, 226);
    lbDrugs = MakeLabel(QStringLiteral("Drugs & Chemicals"), TahomaFont(29), Navy, 599, 285);
    lbNeoplasms = MakeLabel(QStringLiteral("Neoplasms"), TahomaFont(29), Navy, 599, 344);
    lbKeyWords = MakeLabel(QStringLiteral("Keywords Search"), TahomaFont(32), Blue, 536, 401);
    lbChapters = MakeLabel(QStringLiteral("Chapters Search"), TahomaFont(32), Blue, 536, 470);
    // A seventh launcher in the style of the two above it.
    lbFavorites = MakeLabel(QStringLiteral("Favorite Codes"), TahomaFont(32), Blue, 536, 539);
    Label1 = MakeLabel(QStringLiteral("YEAR:"), TahomaFont(20), Navy, 84, 211);
    lbVersion = MakeLabel(QString(), TahomaFont(20), Navy, 154, 211);
    Label2 = MakeLabel(QStringLiteral("Version: 1.0.12"), TahomaFont(20), Navy, 84, 258);
    Label3 = MakeLabel(QStringLiteral("Effective Date: Oct 1 "), TahomaFont(20), Navy, 84, 305);
    lbYear = MakeLabel(QString(), TahomaFont(20), Navy, 296, 305);
    lbAddenda = MakeLabel(QStringLiteral("with the addenda of %1").arg(QString::fromUtf8(EditionAddendaDate)),
                          TahomaFont(15), Navy, 84, 337);
    lbCompany = MakeLabel(QStringLiteral(" Kelvora  "), TahomaFont(15, true, true), Green, 83, 363);
    Label7 = MakeLabel(QStringLiteral("Web-Site:"), TahomaFont(13), Green, 84, 411);
    lbWeb = MakeLabel(VendorWeb, TahomaFont(15, true, true), Green, 84, 435);
    Label8 = MakeLabel(QStringLiteral("EMail:"), TahomaFont(13), Green, 84, 476);
    lbEMail = MakeLabel(VendorMail, TahomaFont(15, true, true), Green, 85, 500);

    // 3. Edition labels.
    lbVersion->setText(QStringLiteral(" %1 ").arg(QString::fromUtf8(EditionYear)));
    lbVersion->adjustSize();
    lbYear->setText(QString::number(QString::fromUtf8(EditionYear).toInt() - 1));
    lbYear->adjustSize();

    // 4. The full-screen box mirrors the user setting.
    CheckBox1 = new QCheckBox(QStringLiteral("Full Screen Show Text"), this);
    CheckBox1->setGeometry(113, 583, 181, 17);
    CheckBox1->resize(std::max(181, CheckBox1->sizeHint().width()), std::max(17, CheckBox1->sizeHint().height()));
    FDesignedPlaces.emplace_back(CheckBox1, QPoint(113, 583));
    CheckBox1->setChecked(FullScreen == 1);
    connect(CheckBox1, &QCheckBox::clicked, this, &TfrmMain::CheckBox1Click);

    for (QLabel* label :
         {lbDisease, lbExternal, lbDrugs, lbNeoplasms, lbKeyWords, lbChapters, lbFavorites, lbWeb, lbEMail, Label4})
        label->installEventFilter(this);
    // The launchers take the keyboard focus in the order they are read, Tab and the arrow keys
    // move between them, Enter or Space opens one; the focused launcher shows the hover colour.
    QWidget* previous = nullptr;
    for (QLabel* label : Launchers()) {
        label->setFocusPolicy(Qt::StrongFocus);
        if (previous != nullptr) setTabOrder(previous, label);
        previous = label;
    }
    setTabOrder(previous, CheckBox1);
    // The window itself holds the focus at first, so the launcher looks as designed until a key
    // is pressed.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    // 5. The keyword search history; a missing or unreadable file leaves it empty. Every user file
    // that exists but could not be read (settings, history, favourite lists) is said here, once,
    // and left as it is.
    LoadSearchHistory();
    lbNotice = new QLabel(QString::fromStdString(UserFilesNotice()), this);
    lbNotice->setFont(TahomaFont(13));
    SetTextColour(lbNotice, QColor(128, 0, 0));
    lbNotice->setWordWrap(true);
    lbNotice->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    lbNotice->setGeometry(84, 604, 1000, 84);
    lbNotice->setVisible(!lbNotice->text().isEmpty());

    // 6. Caption; centred on the screen when shown (WindowPlacement).
    setWindowTitle(QString::fromUtf8(WindowTitle));
    SetPlacementAnchor(this, nullptr);
}

TfrmMain::~TfrmMain() = default;

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label == nullptr) return QWidget::eventFilter(watched, event);
    const bool launcher = label == lbDisease || label == lbExternal || label == lbDrugs || label == lbNeoplasms ||
                          label == lbKeyWords || label == lbChapters || label == lbFavorites;
    const bool link = label == lbWeb || label == lbEMail;
    switch (event->type()) {
        case QEvent::FocusIn:
            if (launcher) SetTextColour(label, Fuchsia);
            break;
        case QEvent::FocusOut:
            if (launcher && !label->underMouse())
                SetTextColour(label,
                              (label == lbKeyWords || label == lbChapters || label == lbFavorites) ? Blue : Navy);
            break;
        case QEvent::KeyPress:
            if (launcher) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                const QList<QLabel*> launchers = Launchers();
                const qsizetype index = launchers.indexOf(label);
                if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                    Launch(label);
                    return true;
                }
                if (key == Qt::Key_Down || key == Qt::Key_Up) {
                    const qsizetype next =
                        (index + (key == Qt::Key_Down ? 1 : launchers.size() - 1)) % launchers.size();
                    launchers[next]->setFocus(Qt::TabFocusReason);
                    return true;
                }
            }
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
                if (link)
                    SetTextColour(label, Green);
                else
                    SetTextColour(label,
                                  (label == lbKeyWords || label == lbChapters || label == lbFavorites) ? Blue : Navy);
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
            if (launcher)
                Launch(label);
            else if (label == lbWeb) {
                if (!WebAddress().isEmpty()) QDesktopServices::openUrl(QUrl(WebAddress()));
            } else if (label == lbEMail) {
                if (!MailAddress().isEmpty()) QDesktopServices::openUrl(QUrl(MailAddress()));
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (label == Label4) Label4DblClick();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

QList<QLabel*> TfrmMain::Launchers() const {
    return {lbDisease, lbExternal, lbDrugs, lbNeoplasms, lbKeyWords, lbChapters, lbFavorites};
}

void TfrmMain::Launch(QLabel* ALauncher) {
    if (ALauncher == lbKeyWords)
        lbKeyWordsClick();
    else if (ALauncher == lbChapters)
        lbChaptersClick();
    else if (ALauncher == lbFavorites)
        lbFavoritesClick();
    else if (ALauncher == lbDisease)
        lbDiseaseClick();
    else if (ALauncher == lbExternal)
        lbExternalClick();
    else if (ALauncher == lbDrugs)
        lbDrugsClick();
    else if (ALauncher == lbNeoplasms)
        lbNeoplasmsClick();
}

QString TfrmMain::WebAddress() const {
    const QString caption = lbWeb->text().trimmed();
    return caption.isEmpty() ? QString() : QStringLiteral("http://%1").arg(caption);
}

QString TfrmMain::MailAddress() const {
    const QString caption = lbEMail->text().trimmed();
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
    window->FInitType = 0;
    RunSearchWindow(window);
}

void TfrmMain::lbChaptersClick() {
    RunSearchWindow(new TfrmChapterSearch(nullptr));
}

void TfrmMain::lbFavoritesClick() {
    // The user picks or creates their list and unlocks it first, over this window.
    if (!ChooseFavoriteUser(this)) return;
    auto* window = new TfrmKeyWordSearch(nullptr);
    window->FInitType = 5;
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

void TfrmMain::Label4DblClick() {
    if (IsAdmin != 1) return;
    TfrmAdministratorTool tool(nullptr);
    tool.exec();
}

void TfrmMain::CheckBox1Click() {
    FullScreen = CheckBox1->isChecked() ? 1 : 0;
    SaveUserConfig();
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const auto& [control, designed] : FDesignedPlaces)
        control->move(ScaledPlace(designed, QSize(1167, 691), size(), control->width()));
    // A value stays right of its caption ("YEAR:" 2021, "Effective Date: Oct 1" 2020).
    for (const auto& [caption, value] : {std::pair{Label1, lbVersion}, std::pair{Label3, lbYear}})
        value->move(std::max(value->x(), caption->x() + caption->width()), value->y());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!FClosed) {
        FClosed = true;
        CancelLoading();
        SaveSearchHistory();
        emit ProgramEnded();
    }
    event->accept();
}
