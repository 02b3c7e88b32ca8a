// TfrmSelectCode: the "Please Select Reportable Code " dialog. Lists every valid reportable code
// below a code header (deeper codes, placeholder X and seventh character filled in), filters them by
// an extension typed after the header, and copies the chosen code and/or its long or short
// description to the clipboard. Created for one copy command and destroyed after it.
//
// Also the two seams code entry needs for tests: whether Ctrl is held, and how a dialog is run
// modally.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "entry/CodeEntry.h"
#include "model/GlobalDef.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Whether Ctrl is held at this moment (QGuiApplication::queryKeyboardModifiers unless replaced).
bool CtrlKeyHeld();
using TCtrlKeyProbe = std::function<bool()>;
// Installs a probe (empty restores the keyboard query); returns the previous one.
TCtrlKeyProbe SetCtrlKeyProbe(TCtrlKeyProbe AProbe);

// Runs a code entry dialog modally and returns its result (QDialog::exec unless replaced).
int RunModalDialog(QDialog& ADialog);
using TModalRunner = std::function<int(QDialog&)>;
// Installs a runner (empty restores exec); returns the previous one.
TModalRunner SetModalRunner(TModalRunner ARunner);

// Short descriptions from the keyword data set's table (nothing while it is not loaded).
TShortDescLookup ShortDescLookup();

class TfrmSelectCode : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectCode(QWidget* parent = nullptr);

    // Valid code texts and their long descriptions, parallel, filled once per dialog.
    TStringList FCodeList;
    TStringList FDescList;
    // The code last copied or double-clicked; read by the caller after an OK result.
    std::string FSelectedCode;

    // Shows the header; a bare category gets its full stop.
    void SetCodeHeader(const std::string& AHeader);
    // Fills the lists from the code named by the header and returns their number; 0 and nothing
    // changed when they are already filled or the header names no code.
    int GetAllAvailableCodes();
    // The short description of ACode, or ADefaultLongDesc when the table has none.
    std::string GetShortDesc(const std::string& ACode, const std::string& ADefaultLongDesc) const;
    // Lists the codes that pass the filter and updates the totals line.
    void FillCodeList();
    // Runs one copy button on the selected row.
    void CopySelected(TCopyKind AKind);

protected:
    void showEvent(QShowEvent* event) override;
    // From the filter box Up, Down, PgUp and PgDn move through the list; Enter in the box or the
    // list copies the current row as a double-click does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Index into FCodeList of the selected row, or -1.
    int SelectedIndex() const;
    void RowSelected();
    void RowDoubleClicked(QTreeWidgetItem* item);
    bool FLayingOutRows = false;
    QLabel* headerCaption = nullptr;
    QLineEdit* codeHeaderEdit = nullptr;  // the header
    QLabel* filterCaption = nullptr;
    QLineEdit* filterEdit = nullptr;  // the filter
    QLabel* totalsLabel = nullptr;    // the totals line
    QGroupBox* codeListBox = nullptr;
    QTreeWidget* codeList = nullptr;
    QLabel* selectedCaption = nullptr;
    QLineEdit* selectedCodeEdit = nullptr;  // selected code + short description
    QLabel* ctrlHintLabel = nullptr;
    QPushButton* copyCodeAndLongButton = nullptr;
    QPushButton* copyLongButton = nullptr;
    QPushButton* copyCodeAndShortButton = nullptr;
    QPushButton* copyShortButton = nullptr;
    QPushButton* copyCodeButton = nullptr;
    QPushButton* closeButton = nullptr;
};
