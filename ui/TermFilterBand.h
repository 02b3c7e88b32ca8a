// The filter band of the index and table windows: the level's caption, the filter box with its
// clear button, the count of the terms that pass and, in the index window, a note on the index's
// edition. Each window gives its designed sizes and fonts; the behaviour is the band's.
#pragma once

#include <QWidget>

class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

struct TTermFilterBandDesign {
    int Height;
    int LeftMargin;
    int RightMargin;
    int LabelHeight;      // the level and count captions
    int LabelTopPadding;  // a pixel above a caption's text, where the band centres it a pixel high
    int LabelFontPixels;  // 0: the window's font
    int LevelWidth;
    int GapAfterLevel;
    int FilterWidth;
    int FilterHeight;
    int FilterFontPixels;  // 0: the window's font
    int GapAfterFilter;
    int ClearWidth;
    int ClearHeight;
    int GapAfterClear;
    int CountWidth;
    int NoteGap;  // > 0: the band ends with the edition note, this far after the count
};

class TTermFilterBand : public QWidget {
    Q_OBJECT
public:
    TTermFilterBand(const TTermFilterBandDesign& ADesign, QWidget* AParent);

    QLineEdit* FilterEdit() const { return filterEdit; }
    void ShowLevel(const QString& ACaption);
    void ShowRecordCount(const QString& ACaption);
    // The edition note, hidden when empty (bands without a note ignore it).
    void ShowNote(const QString& ANote);
    // A character typed while the list has the focus: the filter box takes the focus and the key.
    void TypeIntoFilter(QEvent* AKeyEvent);
    // The first letter typed into the empty box goes in as a capital, like the names of the letter
    // groups; true when AKey was such a letter and has been typed.
    bool TypeFirstLetterAsCapital(const QKeyEvent& AKey);

signals:
    void filterChanged();

private:
    QLabel* levelLabel;
    QLineEdit* filterEdit;
    QPushButton* clearFilterButton;
    QLabel* recordCountLabel;
    QLabel* editionLabel = nullptr;
};
