// The keyword band of the Tabular Search window: the keyword box with its history and clear
// buttons, Search and Clear, the count of each keyword under it with the combined count and the
// search note, and the full-text switch with the kinds of text it searches. The keyword box's own
// keys (Enter searches, a released key refreshes the suggestions) are handled here; the window's
// keys are the window's.
#pragma once

#include <QWidget>
#include <string>

#include "keywords/KeywordSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TKeywordBandPanel : public QWidget {
    Q_OBJECT
public:
    explicit TKeywordBandPanel(QWidget* AParent = nullptr);

    QLineEdit* KeywordEdit() const { return keywordEdit; }
    QString KeywordText() const;
    // Puts a text into the keyword box (the caret at its end).
    void SetKeywordText(const QString& AText);
    bool FullText() const;
    // The kinds of text the full-text search reads (none unless it is switched on).
    TFullTextFlags FullTextKinds() const;
    // The counts line under the keyword box, the combined count and the note beside it.
    void ShowCounts(const std::string& ACounts, const std::string& ACombined, const std::string& ANote);

signals:
    void searchRequested();
    void historyRequested();
    void clearKeywordsRequested();
    void clearAllRequested();
    // A key was released in the keyword box; ATextChanging: it may have changed the keywords (the
    // suggestions follow), AIntoSuggestions: arrow up, into the suggestions.
    void keywordKeyReleased(bool ATextChanging, bool AIntoSuggestions);
    // A full-text box was clicked (an open suggestion list no longer fits what is searched).
    void fullTextClicked();

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    QLabel* keywordsLabel;
    QLineEdit* keywordEdit;
    QPushButton* historyButton;
    QPushButton* clearKeywordsButton;
    QPushButton* searchButton;
    QPushButton* clearAllButton;
    QLineEdit* keywordCountsEdit;
    QLabel* combinedLabel;
    QLabel* combinedCountLabel;
    QLabel* searchNoteLabel;
    QCheckBox* fullTextCheck;
    QCheckBox* descriptionCheck;
    QCheckBox* inclusionCheck;
    QCheckBox* includesCheck;
    QCheckBox* codeFirstCheck;
    QCheckBox* codeAlsoCheck;
    QCheckBox* excludes1Check;
    QCheckBox* excludes2Check;
};
