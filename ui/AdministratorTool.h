// TfrmAdministratorTool: the maintainers' window reached from the launcher's heading when the
// program setting "IsAdmin" is 1. Five pages of buttons that run the administrator operations of
// admin/ on the files named in the edit boxes: arranging and checking keyword files, statistics of
// the loaded data and of the published order file, the code-text files and the compressed data
// files. Every operation runs on the UI thread once the data sets it reads have loaded (without the
// waiting window).
#pragma once

#include <QDialog>
#include <QHash>
#include <functional>
#include <vector>

#include "services/DataSets.h"

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TfrmAdministratorTool : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAdministratorTool(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;

    // "Arrange KW"
    QLineEdit* Edit1 = nullptr;  // original (unarranged) keyword file
    QLineEdit* Edit2 = nullptr;  // arranged keyword file
    QLineEdit* Edit3 = nullptr;  // distinct keyword file
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button15 = nullptr;
    QPushButton* Button16 = nullptr;

    // "Statistics"
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QLineEdit* Edit11 = nullptr;  // generated order file
    QCheckBox* CheckBox4 = nullptr;
    QLineEdit* Edit4 = nullptr;   // published order file
    QLineEdit* Edit6 = nullptr;   // short descriptions, no flag
    QLineEdit* Edit12 = nullptr;  // long descriptions, no flag
    QLineEdit* Edit13 = nullptr;  // short descriptions with flag
    QLineEdit* Edit7 = nullptr;   // long descriptions with flag
    QLineEdit* Edit8 = nullptr;   // short reportable codes
    QLineEdit* Edit14 = nullptr;  // long reportable codes
    QCheckBox* CheckBox5 = nullptr;
    QLineEdit* Edit5 = nullptr;  // distinct keyword file to count
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;
    QPushButton* Button7 = nullptr;

    // "Zip File Resource", "Verify && Gen SQL"
    QPushButton* Button10 = nullptr;
    QPushButton* Button11 = nullptr;

    // "Others"
    QPushButton* Button13 = nullptr;
    QPushButton* Button14 = nullptr;
    QLineEdit* Edit9 = nullptr;   // code-text file written
    QLineEdit* Edit10 = nullptr;  // all-codes text written
    QCheckBox* CheckBox6 = nullptr;
    QLabel* Label7 = nullptr;

    // The "..." button beside an edit box (null for a widget that has none).
    QPushButton* BrowseButtonOf(QLineEdit* AEdit) const { return FBrowseButtons.value(AEdit, nullptr); }

    // Puts the default file names (working folder, prefix, year, suffix) into every edit box.
    void SetDefaultFileNames();

    // The button handlers.
    void Button4Click();   // arrange a keyword file
    void Button7Click();   // statistics
    void Button10Click();  // compress the data files of the program folder
    void Button11Click();  // SQL generation is not part of this build
    void Button13Click();  // code-text file for picking keywords
    void Button14Click();  // every valid code with its description
    void Button15Click();  // normalise a hand-edited keyword file
    void Button16Click();  // codes of each keyword of a list

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs AOperation once every set of ASets has loaded; until then the tool takes no input and
    // shows a busy cursor (events keep flowing, so a loader's message reaches the user).
    void AfterLoading(std::vector<TDataSet> ASets, std::function<void()> AOperation);
    // The statistics of the order and keyword files, as their boxes ask.
    void StatisticsOfFiles();
    QLineEdit* AddFileRow(class QGridLayout* ALayout, int ARow, int AColumn, QWidget* ALabel);
    void Browse(QLineEdit* AEdit);

    QHash<QLineEdit*, QPushButton*> FBrowseButtons;
    bool FDefaultsSet = false;
};
