// TfrmMain: the launcher window. Product heading, edition facts, seven launchers that each open one
// search window modally while this window hides (the seventh, Favorite Codes, after the user has
// chosen and unlocked their favourite list), the "Full Screen Show Text" setting, and the
// hidden administrator entry. Loads the search history at creation and saves it on close.
#pragma once

#include <QList>
#include <QWidget>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QDialog;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    QLabel* Label4 = nullptr;
    QLabel* lbAlphabetical = nullptr;
    QLabel* lbDisease = nullptr;
    QLabel* lbExternal = nullptr;
    QLabel* lbDrugs = nullptr;
    QLabel* lbNeoplasms = nullptr;
    QLabel* lbKeyWords = nullptr;
    QLabel* lbChapters = nullptr;
    QLabel* lbFavorites = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lbVersion = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lbYear = nullptr;
    QLabel* lbAddenda = nullptr;  // the addenda in effect beside the effective date
    QLabel* lbCompany = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* lbWeb = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* lbEMail = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    // Says that the search history could not be read (hidden when there is nothing to say).
    QLabel* lbNotice = nullptr;

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
    void Label4DblClick();
    void CheckBox1Click();
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
    // Below the designed size (a small or scaled screen) the controls move closer, staying whole.
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RunSearchWindow(QDialog* window);
    QLabel* MakeLabel(const QString& caption, const QFont& font, const QColor& colour, int left, int top);
    bool FClosed = false;
    // Every control with its designed top-left corner.
    std::vector<std::pair<QWidget*, QPoint>> FDesignedPlaces;
};

// Where the launcher searches its background bitmap; the default comes from the program folder.
QString BackgroundFileName();
