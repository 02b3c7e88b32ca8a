// The chapter and section band over the code text of the Tabular Search window: the chapter's
// scope line over its name, then the section's. A category shows both parts, a section only its
// chapter's, a chapter none (the band is then hidden). A click on a name asks to go up to it.
#pragma once

#include <QWidget>

class TChapter;
class TSubChapter;
class QTextEdit;

class TChapterBandPanel : public QWidget {
    Q_OBJECT
public:
    explicit TChapterBandPanel(QWidget* AParent = nullptr);

    // The band's height for what is shown: 0 (a chapter), 62 (a section), 122 (a category).
    void SetBandHeight(int AHeight);
    int BandHeight() const { return FBandHeight; }
    // The names of the chapter and section (either may be null: its name is emptied). A name that
    // can be clicked shows the pointing hand.
    void ShowNames(const TChapter* AChapter, const TSubChapter* ASection);
    // The scope lines ("Chapter   : A00-B99"); with no chapter, the captions the window opens with.
    void ShowScopes(const TChapter* AChapter, const TSubChapter* ASection);

signals:
    void chapterNameClicked();
    void sectionNameClicked();

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    int FBandHeight = 0;
    QWidget* chapterPart;
    QWidget* sectionPart;
    QTextEdit* chapterScopeText;
    QTextEdit* chapterNameText;
    QTextEdit* sectionScopeText;
    QTextEdit* sectionNameText;
};
