// TfrmEditions: the Editions window of the launcher. Lists the installed editions (the embedded one
// first) with their effective dates and addenda and which one is in use; imports a published
// release from its zip files or a folder on a worker thread, with a progress bar naming each step
// and Cancel; removes an imported edition; asks the launcher to put another edition in use.
//
// The window is not modal: the launcher and every search window stay usable during an import, and
// closing the window does not stop a running import (it goes on in the background and the window,
// opened again, shows where it is). Only destroying the window cancels it.
#pragma once

#include <QDialog>
#include <QHash>
#include <QStringList>
#include <atomic>
#include <span>

#include "editions/EditionImport.h"
#include "services/Resources.h"
#include "ui/WindowActions.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTreeWidget;

class TfrmEditions : public QDialog {
    Q_OBJECT
public:
    // AProgram gives the lists an import derives with (the program's own resources); it must
    // outlive the window.
    explicit TfrmEditions(const TResourceProvider& AProgram, QWidget* parent = nullptr);
    ~TfrmEditions() override;

    static std::span<const TWindowKey> KeyTable();

    // Imports the release in APaths (zip files, or one folder) in the background: what the two
    // Import buttons do once the coder has picked the files. An edition already installed is
    // replaced only after the coder agreed (AReplace, or the question asked when the import finds it).
    void StartImport(const QStringList& APaths, bool AReplace = false);
    bool Importing() const { return FImport != nullptr; }
    // Fills the list again from the editions folder (and marks the edition in use).
    void ShowEditions();

signals:
    // "Use This Edition": the launcher switches to the edition AId.
    void useEditionRequested(const QString& AId);
    // An import ended (installed, refused, cancelled or failed); the list is up to date.
    void importFinished();

private:
    void ImportZipFiles();
    void ImportFolder();
    void UseSelected();
    void RemoveSelected();
    void CancelImport();
    void ShowProgress(const TImportProgress& AProgress);
    void ShowOnBar(int AValue, int AMaximum, const QString& AText);
    void ImportEnded();
    void UpdateButtons();
    // The id of the selected row and whether it is the embedded edition.
    QString SelectedId() const;
    bool SelectedIsEmbedded() const;
    bool SelectedIsInUse() const;

    const TResourceProvider& FProgram;
    QLabel* editionsCaption = nullptr;
    QTreeWidget* editionsList = nullptr;
    QPushButton* useButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* importZipButton = nullptr;
    QPushButton* importFolderButton = nullptr;
    QProgressBar* importProgress = nullptr;
    QPushButton* cancelButton = nullptr;
    QLabel* statusLabel = nullptr;
    QPushButton* closeButton = nullptr;
    QHash<QString, QAction*> FActions;

    // The running import: its thread, the paths it reads, the cancel request its progress
    // callback answers, and its result (written by the thread, read once it has finished).
    QThread* FImport = nullptr;
    QStringList FPaths;
    std::atomic<bool> FCancelRequested{false};
    TImportResult FResult;
};
