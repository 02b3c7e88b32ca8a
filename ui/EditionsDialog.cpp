#include "ui/EditionsDialog.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <string>
#include <vector>

#include "services/Messages.h"
#include "startup/EditionInUse.h"
#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"

namespace {

constexpr std::array<TWindowKey, 5> EditionsKeys{{
    {"importZipAction", "Ctrl+O", "imports a published release from its zip files"},
    {"importFolderAction", "Ctrl+Shift+O", "imports a published release from a folder of its unpacked files"},
    {"useEditionAction", "Ctrl+U", "puts the selected edition in use (open search windows close first)"},
    {"removeEditionAction", "Delete", "removes the selected imported edition (the embedded one stays)"},
    {"cancelImportAction", "Alt+C", "cancels the running import; nothing is installed or changed"},
}};

enum TColumn { EditionColumn, EffectiveColumn, AddendaColumn, InUseColumn };
constexpr int IdRole = Qt::UserRole;
constexpr int EmbeddedRole = Qt::UserRole + 1;

QString Q(const std::string& AText) {
    return QString::fromStdString(AText);
}

bool IsInUse(const TEditionInfo& AEdition) {
    return AEdition.Id == EditionInUse().Id && AEdition.Embedded == EditionInUse().Embedded;
}

QPushButton* MakeButton(QWidget* AParent, const char* AName, const QString& ACaption, QAction* AAction) {
    auto* button = new QPushButton(ACaption, AParent);
    button->setObjectName(QString::fromLatin1(AName));
    button->setAccessibleName(QString(ACaption).remove(QStringLiteral("…")));
    if (AAction != nullptr) {
        button->setToolTip(QStringLiteral("%1 (%2)").arg(AAction->toolTip(), AAction->shortcut().toString()));
        QObject::connect(button, &QPushButton::clicked, AAction, &QAction::trigger);
        QObject::connect(AAction, &QAction::enabledChanged, button, &QPushButton::setEnabled);
    }
    return button;
}

}  // namespace

std::span<const TWindowKey> TfrmEditions::KeyTable() {
    return EditionsKeys;
}

TfrmEditions::TfrmEditions(const TResourceProvider& AProgram, QWidget* parent) : QDialog(parent), FProgram(AProgram) {
    setObjectName(QStringLiteral("frmEditions"));
    setWindowTitle(QStringLiteral("Editions"));
    setModal(false);
    setFont(TahomaFont(13, false));
    FActions = AddWindowActions(this, KeyTable());

    editionsCaption = new QLabel(QStringLiteral("Installed editions:"), this);
    editionsCaption->setObjectName(QStringLiteral("editionsCaption"));
    editionsList = new QTreeWidget(this);
    editionsList->setObjectName(QStringLiteral("editionsList"));
    editionsList->setAccessibleName(QStringLiteral("Installed editions"));
    editionsList->setHeaderLabels(
        {QStringLiteral("Edition"), QStringLiteral("In effect"), QStringLiteral("Addenda"), QStringLiteral("In use")});
    editionsList->setRootIsDecorated(false);
    editionsList->setAllColumnsShowFocus(true);
    editionsList->header()->setStretchLastSection(false);
    editionsList->header()->setSectionResizeMode(AddendaColumn, QHeaderView::Stretch);
    editionsCaption->setBuddy(editionsList);

    useButton = MakeButton(this, "useButton", QStringLiteral("Use This Edition"), FActions.value("useEditionAction"));
    removeButton = MakeButton(this, "removeButton", QStringLiteral("Remove…"), FActions.value("removeEditionAction"));
    importZipButton =
        MakeButton(this, "importZipButton", QStringLiteral("Import Zip Files…"), FActions.value("importZipAction"));
    importFolderButton =
        MakeButton(this, "importFolderButton", QStringLiteral("Import Folder…"), FActions.value("importFolderAction"));
    cancelButton =
        MakeButton(this, "cancelButton", QStringLiteral("Cancel Import"), FActions.value("cancelImportAction"));
    closeButton = MakeButton(this, "closeButton", QStringLiteral("Close"), nullptr);
    importProgress = new QProgressBar(this);
    importProgress->setObjectName(QStringLiteral("importProgress"));
    importProgress->setAccessibleName(QStringLiteral("Import progress"));
    importProgress->setTextVisible(true);
    importProgress->setRange(0, 1);
    importProgress->setValue(0);
    importProgress->setFormat(QStringLiteral("No import running"));
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLabel->setAccessibleName(QStringLiteral("Import result"));

    auto* sideButtons = new QVBoxLayout;
    sideButtons->addWidget(useButton);
    sideButtons->addWidget(removeButton);
    sideButtons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(editionsList, 1);
    listRow->addLayout(sideButtons);
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(importZipButton);
    importRow->addWidget(importFolderButton);
    importRow->addStretch(1);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(importProgress, 1);
    progressRow->addWidget(cancelButton);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(closeButton);
    auto* window = new QVBoxLayout(this);
    window->addWidget(editionsCaption);
    window->addLayout(listRow, 1);
    window->addLayout(importRow);
    window->addLayout(progressRow);
    window->addWidget(statusLabel);
    window->addLayout(closeRow);

    connect(FActions.value("importZipAction"), &QAction::triggered, this, &TfrmEditions::ImportZipFiles);
    connect(FActions.value("importFolderAction"), &QAction::triggered, this, &TfrmEditions::ImportFolder);
    connect(FActions.value("useEditionAction"), &QAction::triggered, this, &TfrmEditions::UseSelected);
    connect(FActions.value("removeEditionAction"), &QAction::triggered, this, &TfrmEditions::RemoveSelected);
    connect(FActions.value("cancelImportAction"), &QAction::triggered, this, &TfrmEditions::CancelImport);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(editionsList, &QTreeWidget::currentItemChanged, this, &TfrmEditions::UpdateButtons);
    connect(editionsList, &QTreeWidget::itemActivated, this, &TfrmEditions::UseSelected);

    resize(760, 420);
    ShowEditions();
    SetPlacementAnchor(this, parent);
}

TfrmEditions::~TfrmEditions() {
    // Only destroying the window stops an import: it ends at its next step and leaves nothing.
    if (FImport != nullptr) {
        FCancelRequested = true;
        FImport->wait();
        delete FImport;
    }
}

void TfrmEditions::ShowEditions() {
    const QString selected = SelectedId();
    editionsList->clear();
    for (const TEditionInfo& edition : ListEditions(EditionsFolder())) {
        auto* row = new QTreeWidgetItem(editionsList);
        row->setText(EditionColumn, QStringLiteral("FY%1%2%3")
                                        .arg(edition.Year)
                                        .arg(edition.Id.size() > 4 ? QStringLiteral(" update ") + Q(edition.Id) : "")
                                        .arg(edition.Embedded ? QStringLiteral(" (embedded)") : QString()));
        row->setText(
            EffectiveColumn,
            QStringLiteral("%1 to %2").arg(Q(FormatDate(edition.EffectiveFrom)), Q(FormatDate(edition.EffectiveTo()))));
        row->setText(AddendaColumn, Q(edition.Addenda));
        row->setToolTip(AddendaColumn, Q(edition.Addenda));
        row->setText(InUseColumn, IsInUse(edition) ? QStringLiteral("in use") : QString());
        row->setData(EditionColumn, IdRole, Q(edition.Id));
        row->setData(EditionColumn, EmbeddedRole, edition.Embedded);
        if ((selected.isEmpty() && IsInUse(edition)) || selected == Q(edition.Id)) editionsList->setCurrentItem(row);
    }
    for (int column : {EditionColumn, EffectiveColumn, InUseColumn}) editionsList->resizeColumnToContents(column);
    UpdateButtons();
}

QString TfrmEditions::SelectedId() const {
    const QTreeWidgetItem* row = editionsList->currentItem();
    return row == nullptr ? QString() : row->data(EditionColumn, IdRole).toString();
}

bool TfrmEditions::SelectedIsEmbedded() const {
    const QTreeWidgetItem* row = editionsList->currentItem();
    return row != nullptr && row->data(EditionColumn, EmbeddedRole).toBool();
}

bool TfrmEditions::SelectedIsInUse() const {
    const QTreeWidgetItem* row = editionsList->currentItem();
    return row != nullptr && !row->text(InUseColumn).isEmpty();
}

void TfrmEditions::UpdateButtons() {
    const bool selected = editionsList->currentItem() != nullptr;
    FActions.value("useEditionAction")->setEnabled(selected && !SelectedIsInUse());
    // The embedded edition cannot go, nor the one whose data the windows show.
    FActions.value("removeEditionAction")->setEnabled(selected && !SelectedIsEmbedded() && !SelectedIsInUse());
    FActions.value("importZipAction")->setEnabled(!Importing());
    FActions.value("importFolderAction")->setEnabled(!Importing());
    FActions.value("cancelImportAction")->setEnabled(Importing());
}

void TfrmEditions::ImportZipFiles() {
    if (Importing()) return;
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Import the zip files of a release"), QString(),
                                      QStringLiteral("Release zip files (*.zip);;All files (*)"));
    if (!files.isEmpty()) StartImport(files);
}

void TfrmEditions::ImportFolder() {
    if (Importing()) return;
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Import a folder holding the files of a release"));
    if (!folder.isEmpty()) StartImport({folder});
}

void TfrmEditions::StartImport(const QStringList& APaths, bool AReplace) {
    if (Importing() || APaths.isEmpty()) return;
    FPaths = APaths;
    FCancelRequested = false;
    std::vector<std::string> paths;
    for (const QString& path : APaths) paths.push_back(path.toStdString());
    TImportOptions options;
    options.ReplaceInstalled = AReplace;
    // Runs on the import thread: hands each step to the window and answers whether to go on.
    options.Progress = [this](const TImportProgress& AProgress) {
        QMetaObject::invokeMethod(
            this, [this, AProgress] { ShowProgress(AProgress); }, Qt::QueuedConnection);
        return !FCancelRequested.load();
    };
    const std::string root = EditionsFolder();
    FImport =
        QThread::create([this, paths, root, options] { FResult = ImportRelease(paths, root, FProgram, options); });
    connect(FImport, &QThread::finished, this, &TfrmEditions::ImportEnded);
    // Below its range the bar is empty and its first step moves it (to 0).
    importProgress->setRange(0, 1);
    importProgress->reset();
    statusLabel->setText(QStringLiteral("Importing %1").arg(APaths.join(QStringLiteral(", "))));
    UpdateButtons();
    FImport->start();
}

void TfrmEditions::ShowProgress(const TImportProgress& AProgress) {
    if (FImport == nullptr) return;
    // The format's "%" starts a placeholder; a step's own text keeps its percent signs.
    ShowOnBar(AProgress.Step - 1, AProgress.StepCount,
              QStringLiteral("Step %1 of %2: %3")
                  .arg(AProgress.Step)
                  .arg(AProgress.StepCount)
                  .arg(Q(AProgress.What).replace(QLatin1Char('%'), QStringLiteral("%%"))));
}

void TfrmEditions::ShowOnBar(int AValue, int AMaximum, const QString& AText) {
    // The text first: whoever watches the value sees the text that goes with it.
    importProgress->setFormat(AText);
    importProgress->setMaximum(AMaximum);
    importProgress->setValue(AValue);
}

void TfrmEditions::CancelImport() {
    if (!Importing()) return;
    FCancelRequested = true;
    importProgress->setFormat(importProgress->format() + QStringLiteral(" (cancelling…)"));
}

void TfrmEditions::ImportEnded() {
    FImport->deleteLater();
    FImport = nullptr;
    const TImportResult result = FResult;
    switch (result.Status) {
        case TImportStatus::Installed: {
            ShowOnBar(1, 1, QStringLiteral("Installed"));
            QString text = QStringLiteral("Installed %1.").arg(Q(result.Edition.Title()));
            for (const std::string& note : result.Edition.Notes) text += QLatin1Char('\n') + Q(note);
            statusLabel->setText(text);
            break;
        }
        case TImportStatus::AlreadyInstalled:
            ShowOnBar(0, 1, QStringLiteral("No import running"));
            if (Messages().AskYesNo(result.Message + "\nReplace the installed edition with this release?",
                                    "Replace Edition", false)) {
                UpdateButtons();
                StartImport(FPaths, true);
                return;
            }
            statusLabel->setText(QStringLiteral("Not imported: %1").arg(Q(result.Message)));
            break;
        case TImportStatus::Cancelled:
            ShowOnBar(0, 1, QStringLiteral("Cancelled"));
            statusLabel->setText(QStringLiteral("The import was cancelled; the installed editions are as they were."));
            break;
        case TImportStatus::Failed:
            ShowOnBar(0, 1, QStringLiteral("Failed"));
            statusLabel->setText(QStringLiteral("The import failed: %1").arg(Q(result.Message)));
            ShowMessage("The import failed: " + result.Message);
            break;
    }
    ShowEditions();
    emit importFinished();
}

void TfrmEditions::UseSelected() {
    const QString id = SelectedId();
    if (id.isEmpty() || SelectedIsInUse()) return;
    emit useEditionRequested(id);
    ShowEditions();
}

void TfrmEditions::RemoveSelected() {
    const QString id = SelectedId();
    if (id.isEmpty() || SelectedIsEmbedded() || SelectedIsInUse()) return;
    if (!Messages().AskYesNo(
            "Remove the edition " + id.toStdString() + " from this computer? It can be imported again later.",
            "Remove Edition", false))
        return;
    const std::string problem = RemoveEdition(EditionsFolder(), id.toStdString());
    if (!problem.empty()) ShowMessage(problem);
    statusLabel->setText(problem.empty() ? QStringLiteral("Removed the edition %1.").arg(id) : Q(problem));
    ShowEditions();
}
