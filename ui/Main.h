// TfrmMain: the launcher window. Product heading, edition facts, seven launchers that each open one
// search window modally while this window hides (the seventh, Favorite Codes, after the user has
// chosen and unlocked their favourite list), the "Full Screen Show Text" setting, the Editions
// window and the switch to another edition, and the hidden administrator entry. Loads the search history at creation
// and saves it on close.
#pragma once

#include <QHash>
#include <QList>
#include <QWidget>
#include <span>

#include "ui/WindowActions.h"

class QAction;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QDialog;
class QPushButton;
class TfrmEditions;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The keys of the launcher: the first LauncherFocusKeys rows act on the launcher that has the
    // focus, the rows after them on the whole window.
    static std::span<const TWindowKey> KeyTable();
    static constexpr int LauncherFocusKeys = 3;

    // True when the background bitmap was found and tiled.
    bool FHasBackground = false;

    // Launchers. Each hides this window, runs its search window modally and destroys it; a result
    // of 3 closes this window (ending the program), anything else shows it again.
    void lbKeyWordsClick();
    void lbChaptersClick();
    void lbDiseaseClick();
    void lbExternalClick();
    void lbDrugsClick();
    void lbNeoplasmsClick();
    // Favorite Codes: the user choice and unlock dialogs, then the Tabular Search window in
    // favourite mode.
    void lbFavoritesClick();
    // The heading's double-click: the administrator tool, when the program setting allows it.
    void OpenAdministratorTool();
    // The launchers in reading (and Tab) order, and opening one of them.
    QList<QLabel*> Launchers() const;
    void Launch(QLabel* ALauncher);
    // The Editions window (made on first use, kept while the launcher lives: an import goes on
    // when it is closed).
    void OpenEditionsWindow();
    TfrmEditions* EditionsWindow() const { return FEditionsWindow; }
    // Puts the installed edition AId in use: asks before closing open search windows, reloads every
    // data set from the edition's files, keeps the choice in the settings file and shows the
    // edition on the launcher. False when the coder said no, or the edition is not installed or
    // cannot be read (the coder has been told; the edition in use stays).
    bool SwitchEdition(const QString& AId);
    // Switches to the edition AId when it is not the one in use, then opens ACode ("U10.11", or a
    // category) in a Tabular Search window run modally over the active window. False when the
    // switch did not happen.
    bool OpenCodeInEdition(const QString& AId, const QString& ACode);
    // The What Changed window, modally over the launcher; a code it asks to open opens through
    // OpenCodeInEdition.
    void lbWhatChangedClick();
    // The address the web / e-mail label opens ("" when the caption is blank).
    QString WebAddress() const;
    QString MailAddress() const;

signals:
    // The window closed: the program ends (emitted once).
    void ProgramEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void RunSearchWindow(QDialog* window);
    void FullScreenBoxClicked();
    // The year, effective date, addenda and caption of the edition in use.
    void ShowEditionFacts();
    // Moves the focus to the next (AStep 1) or previous (-1) launcher, round the end.
    void FocusLauncher(int AStep);
    QLabel* MakeLabel(const char* AName, const QString& caption, const QFont& font, const QColor& colour);
    QColor LauncherColour(const QLabel* ALauncher) const;

    QLabel* headingLabel = nullptr;
    QLabel* alphabeticalLabel = nullptr;
    QLabel* diseaseLauncher = nullptr;
    QLabel* externalLauncher = nullptr;
    QLabel* drugsLauncher = nullptr;
    QLabel* neoplasmsLauncher = nullptr;
    QLabel* keywordsLauncher = nullptr;
    QLabel* chaptersLauncher = nullptr;
    QLabel* favoritesLauncher = nullptr;
    QLabel* yearCaptionLabel = nullptr;
    QLabel* yearLabel = nullptr;
    QLabel* versionLabel = nullptr;
    QLabel* effectiveDateCaptionLabel = nullptr;
    QLabel* effectiveYearLabel = nullptr;
    QLabel* addendaLabel = nullptr;  // the addenda in effect beside the effective date
    QLabel* companyLabel = nullptr;
    QLabel* webCaptionLabel = nullptr;
    QLabel* webLabel = nullptr;
    QLabel* mailCaptionLabel = nullptr;
    QLabel* mailLabel = nullptr;
    QPushButton* editionsButton = nullptr;
    QPushButton* whatChangedButton = nullptr;
    QHBoxLayout* editionsRow = nullptr;  // the buttons under the vendor's addresses
    TfrmEditions* FEditionsWindow = nullptr;
    QCheckBox* fullScreenBox = nullptr;
    // Says that the search history could not be read (hidden when there is nothing to say).
    QLabel* noticeLabel = nullptr;
    QHash<QString, QAction*> FActions;
    bool FClosed = false;
};

// Where the launcher searches its background bitmap; the default comes from the program folder.
QString BackgroundFileName();
