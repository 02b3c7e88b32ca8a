// The code text of the Tabular Search window with its page bar: one page of coloured text
// (read-only, selectable), under it the page buttons round the page counter, then Back, Review and
// the tabular-order buttons. The bar keeps its designed widths while they fit, then narrows each
// button towards its caption, then moves Back, Review and the tabular-order buttons to a second row.
#pragma once

#include <QWidget>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTextEdit;

class TCodeTextPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCodeTextPanel(QWidget* AParent = nullptr);

    // The text view, for the pager's view and the window's key handling.
    QTextEdit* TextView() const { return codeText; }
    // The page counter ("3/7") and which of First/Prior and Next/Last can be used.
    void ShowPageState(const QString& ACounter, bool AFirstPriorEnabled, bool ANextLastEnabled);
    QString PageCounterText() const;
    void SetPageCounterTip(const QString& ATip);
    // Whether Back and Review have a visit to go to.
    void SetVisitState(bool ABackEnabled, bool AReviewEnabled);

signals:
    void firstPageClicked();
    void priorPageClicked();
    void nextPageClicked();
    void lastPageClicked();
    void backClicked();
    void reviewClicked();
    void priorCodeClicked();
    void nextCodeClicked();

protected:
    void resizeEvent(QResizeEvent* AEvent) override;

private:
    // Widths and rows of the bar's controls for the panel's width.
    void ArrangePageBar(int AWidth);

    QTextEdit* codeText;
    QWidget* pageBar;
    QHBoxLayout* pagingRow;
    QHBoxLayout* visitRow;
    QPushButton* firstPageButton;
    QPushButton* priorPageButton;
    QLabel* pageCounterLabel;
    QPushButton* nextPageButton;
    QPushButton* lastPageButton;
    QPushButton* backButton;
    QPushButton* reviewButton;
    QPushButton* priorCodeButton;
    QPushButton* nextCodeButton;
    // The bar's controls in order with their designed widths.
    std::vector<std::pair<QWidget*, int>> FBarControls;
    bool FTwoRows = false;
};
