// TfrmEditionChanges: the What Changed window. Two installed editions (From, To) and every change
// between them as the library's diff gives it: codes added, deleted and revised, categories added
// and deleted, filtered by kind and by a text in the code or titles. Enter or a double-click on a
// row asks to open its code in the edition where it exists; Ctrl+C copies the selected rows as
// the command line's `diff` prints them.
#pragma once

#include <QDialog>
#include <QString>
#include <span>
#include <string>
#include <vector>

#include "editions/EditionDiff.h"
#include "editions/Editions.h"
#include "ui/WindowActions.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QThread;
class TEditionChangesFilter;
class TEditionChangesModel;
class TResourceProvider;

class TfrmEditionChanges : public QDialog {
    Q_OBJECT
public:
    // The editions are those installed in the user's editions folder (the embedded one always);
    // AProgram provides the embedded edition's files. The comparison starts from the edition
    // before AEditionInUse to AEditionInUse (or from it to the next when it is the oldest).
    TfrmEditionChanges(const TResourceProvider& AProgram, const std::string& AEditionInUse, QWidget* parent = nullptr);
    ~TfrmEditionChanges() override;

    static std::span<const TWindowKey> KeyTable();

    // True while a comparison runs (off the window's thread).
    bool Comparing() const { return FWorker != nullptr; }

signals:
    // Open ACode (dotted, or a category) in the edition AEditionId.
    void openCodeRequested(QString editionId, QString code);
    // The result of a comparison, its changes or why it failed, is shown.
    void changesShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void ChooseDefaultEditions(const std::string& AEditionInUse);
    // Starts comparing the editions chosen in the two boxes; one comparison at a time, and a
    // choice made meanwhile is compared when it ends.
    void Compare();
    void ShowComparison(const std::string& AFromId, const std::string& AToId, std::vector<TEditionChange> AChanges,
                        const QString& AError);
    void ApplyKindFilter();
    // The rows shown changed: the list keeps a current row, the count line says how many.
    void RowsChanged();
    void OpenCurrentChange();
    void CopySelectedChanges();
    void KeepACurrentRow();

    const TResourceProvider& FProgram;
    std::vector<TEditionInfo> FEditions;

    QLabel* fromLabel = nullptr;
    QComboBox* fromEditionBox = nullptr;
    QLabel* toLabel = nullptr;
    QComboBox* toEditionBox = nullptr;
    QLabel* kindLabel = nullptr;
    QComboBox* kindBox = nullptr;
    QLabel* filterLabel = nullptr;
    QLineEdit* filterEdit = nullptr;
    QTableView* changesTable = nullptr;
    QLabel* countLabel = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* closeButton = nullptr;

    TEditionChangesModel* FModel = nullptr;
    TEditionChangesFilter* FFilter = nullptr;
    QThread* FWorker = nullptr;
    bool FCompareAgain = false;
    // The editions the rows shown came from (a comparison under way has not replaced them yet).
    std::string FShownFrom;
    std::string FShownTo;
    QString FError;
};
