#include "ui/ChapterBandPanel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "model/GlobalDef.h"
#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

constexpr int ChapterPartHeight = 60;
constexpr int SectionPartHeight = 62;
constexpr int ScopeLineHeight = 24;
constexpr int PartMargin = 4;
// A name is shown after this indent, on its wrapped second line too.
const QString NameIndent = QStringLiteral("    ");

QTextEdit* MakeMemo(QWidget* AParent, const char* AName, const QFont& AFont, const QColor& AColour) {
    auto* memo = new QTextEdit(AParent);
    memo->setObjectName(QString::fromLatin1(AName));
    memo->setReadOnly(true);
    memo->setFrameStyle(QFrame::NoFrame);
    memo->setFont(AFont);
    memo->setAcceptRichText(false);
    memo->setLineWrapMode(QTextEdit::WidgetWidth);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->document()->setDocumentMargin(1);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setTextInteractionFlags(Qt::NoTextInteraction);
    FillBackground(memo, SkyBlue);
    FillBase(memo, SkyBlue);
    SetTextColour(memo, AColour);
    return memo;
}

// Sets a name with its indent; a name too long for one line wraps under its own first letter,
// not under the indent.
void SetName(QTextEdit* AMemo, const std::string* AName) {
    if (AName == nullptr) {
        AMemo->clear();
        AMemo->viewport()->setCursor(Qt::ArrowCursor);
        return;
    }
    AMemo->setPlainText(NameIndent + QString::fromStdString(*AName));
    const qreal indent = QFontMetricsF(AMemo->font()).horizontalAdvance(NameIndent);
    QTextBlockFormat hanging;
    hanging.setLeftMargin(indent);
    hanging.setTextIndent(-indent);
    QTextCursor all(AMemo->document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(hanging);
    AMemo->viewport()->setCursor(Qt::PointingHandCursor);
}

// One part of the band: the scope line over a name of up to two lines.
QWidget* MakePart(QWidget* AParent, int AHeight, QTextEdit* AScope, QTextEdit* AName) {
    auto* part = new QWidget(AParent);
    part->setFixedHeight(AHeight);
    auto* layout = new QVBoxLayout(part);
    layout->setContentsMargins(PartMargin, 0, PartMargin, 0);
    layout->setSpacing(0);
    AScope->setParent(part);
    AName->setParent(part);
    AScope->setFixedHeight(ScopeLineHeight);
    AName->setFixedHeight(AHeight - ScopeLineHeight);
    layout->addWidget(AScope);
    layout->addWidget(AName);
    return part;
}

}  // namespace

TChapterBandPanel::TChapterBandPanel(QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("chapterBand"));
    FillBackground(this, SkyBlue);
    chapterScopeText = MakeMemo(this, "chapterScopeText", CourierFont(19), Navy);
    chapterNameText = MakeMemo(this, "chapterNameText", CourierFont(16), Navy);
    sectionScopeText = MakeMemo(this, "sectionScopeText", CourierFont(19), Navy);
    sectionNameText = MakeMemo(this, "sectionNameText", CourierFont(16), Teal);
    chapterPart = MakePart(this, ChapterPartHeight, chapterScopeText, chapterNameText);
    sectionPart = MakePart(this, SectionPartHeight, sectionScopeText, sectionNameText);
    for (QTextEdit* scope : {chapterScopeText, sectionScopeText}) scope->setLineWrapMode(QTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(chapterPart);
    layout->addWidget(sectionPart);
    layout->addStretch();
    for (QTextEdit* name : {chapterNameText, sectionNameText}) name->viewport()->installEventFilter(this);
    ShowScopes(nullptr, nullptr);
    SetBandHeight(ChapterPartHeight + SectionPartHeight);
}

void TChapterBandPanel::SetBandHeight(int AHeight) {
    FBandHeight = AHeight;
    setFixedHeight(AHeight);
    setVisible(AHeight > 0);
    // A section's band is its chapter's part alone.
    sectionPart->setVisible(AHeight >= ChapterPartHeight + SectionPartHeight);
}

void TChapterBandPanel::ShowNames(const TChapter* AChapter, const TSubChapter* ASection) {
    SetName(chapterNameText, AChapter != nullptr ? &AChapter->FInfo.FName : nullptr);
    SetName(sectionNameText, ASection != nullptr ? &ASection->FInfo.FName : nullptr);
}

void TChapterBandPanel::ShowScopes(const TChapter* AChapter, const TSubChapter* ASection) {
    if (AChapter == nullptr) {
        chapterScopeText->setPlainText(QStringLiteral("Chapter   :"));
        sectionScopeText->setPlainText(QStringLiteral("Subchapter:"));
        return;
    }
    chapterScopeText->setPlainText(QStringLiteral("Chapter   : ") + QString::fromStdString(AChapter->FInfo.FScope));
    sectionScopeText->setPlainText(ASection != nullptr
                                       ? QStringLiteral("Subchapter: ") + QString::fromStdString(ASection->FInfo.FScope)
                                       : QString());
}

bool TChapterBandPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AEvent->type() == QEvent::MouseButtonPress) {
        if (AWatched == chapterNameText->viewport()) {
            emit chapterNameClicked();
            return true;
        }
        if (AWatched == sectionNameText->viewport()) {
            emit sectionNameClicked();
            return true;
        }
    }
    return QWidget::eventFilter(AWatched, AEvent);
}
