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

    // The "..." button beside an edit box (null for a widget that has none).
    QPushButton* BrowseButtonOf(QLineEdit* AEdit) const { return FBrowseButtons.value(AEdit, nullptr); }

    // Puts the default file names (working folder, prefix, year, suffix) into every edit box.
    void SetDefaultFileNames();

    // What the buttons do.
    void ArrangeKeywords();           // arrange a keyword file
    void RunStatistics();             // statistics
    void ZipResources();              // compress the data files of the program folder
    void GenerateSql();               // SQL generation is not part of this build
    void MakeCodeTextFile();          // code-text file for picking keywords
    void MakeAllCodesText();          // every valid code with its description
    void PrepareKeywordFile();        // normalise a hand-edited keyword file
    void ExtractMultiWordKeywords();  // codes of each keyword of a list

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* pageTabs = nullptr;
    QFileDialog* fileDialog = nullptr;

    // "Arrange KW"
    QLineEdit* originalKeywordFileEdit = nullptr;  // original (unarranged) keyword file
    QLineEdit* arrangedKeywordFileEdit = nullptr;  // arranged keyword file
    QLineEdit* distinctKeywordFileEdit = nullptr;  // distinct keyword file
    QCheckBox* threeCharacterCodesBox = nullptr;
    QCheckBox* multiWordKeywordsBox = nullptr;
    QCheckBox* upperCaseFirstBox = nullptr;
    QPushButton* arrangeButton = nullptr;
    QPushButton* preliminaryButton = nullptr;
    QPushButton* extractButton = nullptr;

    // "Statistics"
    QCheckBox* statAllCodesBox = nullptr;
    QCheckBox* generateOrderFileBox = nullptr;
    QLineEdit* generatedOrderFileEdit = nullptr;  // generated order file
    QCheckBox* officialOrderFileBox = nullptr;
    QLineEdit* officialOrderFileEdit = nullptr;    // published order file
    QLineEdit* shortNoFlagFileEdit = nullptr;      // short descriptions, no flag
    QLineEdit* longNoFlagFileEdit = nullptr;       // long descriptions, no flag
    QLineEdit* shortWithFlagFileEdit = nullptr;    // short descriptions with flag
    QLineEdit* longWithFlagFileEdit = nullptr;     // long descriptions with flag
    QLineEdit* shortReportableFileEdit = nullptr;  // short reportable codes
    QLineEdit* longReportableFileEdit = nullptr;   // long reportable codes
    QCheckBox* distinctKeywordStatBox = nullptr;
    QLineEdit* distinctKeywordStatFileEdit = nullptr;  // distinct keyword file to count
    QPlainTextEdit* loadedDataMemo = nullptr;
    QPlainTextEdit* orderFileMemo = nullptr;
    QPlainTextEdit* distinctKeywordMemo = nullptr;
    QPushButton* statButton = nullptr;

    // "Zip File Resource", "Verify && Gen SQL"
    QPushButton* zipButton = nullptr;
    QPushButton* sqlButton = nullptr;

    // "Others"
    QPushButton* codeTextButton = nullptr;
    QPushButton* allCodesTextButton = nullptr;
    QLineEdit* codeTextFileEdit = nullptr;      // code-text file written
    QLineEdit* allCodesTextFileEdit = nullptr;  // all-codes text written
    QCheckBox* addCommaBox = nullptr;
    QLabel* unarrangedCountLabel = nullptr;

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
