// The two lists that open over the keyword box of the Tabular Search window: the keyword
// suggestions for the word being typed (4 columns by 10 rows, paged) and the search history.
// Each is a frame that floats over the window; the window places it right above the keyword box.
#pragma once

#include <QFrame>
#include <string>
#include <vector>

#include "keywords/KeywordPrompt.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTreeWidget;

class TSuggestionPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 712;
    static constexpr int PanelHeight = 282;

    explicit TSuggestionPanel(QWidget* AParent);
    // After a key was released in the keyword box: recomputes the suggestions for the word being
    // typed (the first page when it changed) and shows them; AIntoGrid moves the focus to the first cell.
    void Refresh(const QString& AKeywordText, bool AFullText, bool AIntoGrid);
    // Whether the code keywords the suggestions come from have settled (Refresh shows none before).
    bool DataSettled() const { return FPrompt.DataSettled(); }

signals:
    // A suggestion was chosen (Enter released on it, or a click).
    void keywordChosen(const QString& AKeyword);
    // Esc in the grid: the panel is closed and the keyword box should take the focus again.
    void closedByEscape();

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    void ShowPage(bool ANext);
    void FillGrid();

    TKeywordPrompt FPrompt;
    bool FFullText = false;
    QTableWidget* suggestionGrid;
    QPushButton* priorSuggestionsButton;
    QLabel* suggestionCaptionLabel;
    QPushButton* nextSuggestionsButton;
};

class TSearchHistoryPanel : public QFrame {
    Q_OBJECT
public:
    explicit TSearchHistoryPanel(QWidget* AParent);
    // Lists the searches, oldest first; the newest is current, in view and focused.
    void ShowEntries(const std::vector<std::string>& AEntries);

signals:
    // An entry was clicked or Enter pressed on it.
    void entryChosen(const QString& AText);
    // Closed by a key (Esc or Enter): the keyword box should take the focus again.
    void closedByKey();

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    QTreeWidget* historyList;
};
