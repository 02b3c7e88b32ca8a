// TfrmInfoOf7Code: the "7 Characters Code Information" dialog shown before a seven-character code
// is displayed: the code as entered, the code it belongs to and its full description. One instance
// serves the whole run; its fields are overwritten before every showing.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmInfoOf7Code : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfoOf7Code(QWidget* parent = nullptr);

    // Fills the three fields.
    void SetCodeInfo(const QString& ACode, const QString& ABelongTo, const QString& AFullDescription);

private:
    QLabel* codeCaption = nullptr;
    QLineEdit* codeEdit = nullptr;  // the code as entered
    QLabel* belongToCaption = nullptr;
    QLineEdit* belongToEdit = nullptr;  // the code it belongs to
    QLabel* descriptionCaption = nullptr;
    QPlainTextEdit* descriptionView = nullptr;   // the full description
    QPushButton* viewCodeButton = nullptr;       // "View Code Text": accepted
    QPushButton* searchAnotherButton = nullptr;  // "Close And Search Another": rejected
};

// Creates the run's instance (at start-up, right after the main window); later calls do nothing.
// The instance is deleted when the application object is destroyed.
void CreateInfoOf7Code();
// The run's instance, created on first use when start-up has not done so.
TfrmInfoOf7Code& frmInfoOf7Code();
