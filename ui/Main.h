// TfrmMain: the launcher window. Product heading, edition facts, seven launchers that each open one
// search window modally while this window hides (the seventh, Favorite Codes, after the user has
// chosen and unlocked their favourite list), the "Full Screen Show Text" setting, and the
// hidden administrator entry. Loads the search history at creation and saves it on close.
#pragma once

#include <QHash>
#include <QList>
#include <QWidget>
#include <span>

#include "ui/WindowActions.h"

class QAction;
class QCheckBox;
class QLabel;
class QDialog;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The keys of the launchers (they act on the launcher that has the focus).
    static std::span<const TWindowKey> KeyTable();

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
    QCheckBox* fullScreenBox = nullptr;
    // Says that the search history could not be read (hidden when there is nothing to say).
    QLabel* noticeLabel = nullptr;
    QHash<QString, QAction*> FActions;
    bool FClosed = false;
};

// Where the launcher searches its background bitmap; the default comes from the program folder.
QString BackgroundFileName();
