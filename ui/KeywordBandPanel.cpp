#include "ui/KeywordBandPanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

// The keyword and counts boxes: designed width, and the least they narrow to on a narrow screen.
constexpr int BoxWidth = 560;
constexpr int BoxLeast = 260;

// Keys whose release must never open the suggestion panel: they do not change the keyword text.
bool KeepsSuggestionsClosed(int key) {
    return (key >= Qt::Key_F1 && key <= Qt::Key_F35) || key == Qt::Key_Escape || key == Qt::Key_Control ||
           key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta || key == Qt::Key_Tab ||
           key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown || key == Qt::Key_Comma;
}

// A row of the band: controls left to right, each after the gap given with it.
QHBoxLayout* Row(std::initializer_list<std::pair<int, QWidget*>> AControls) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (const auto& [gap, control] : AControls) {
        row->addSpacing(gap);
        row->addWidget(control);
    }
    row->addStretch(1);
    return row;
}

// A caption whose text stands ATextTop below the top of its row, ATextHeight high.
QLabel* Caption(const QString& AText, QWidget* AParent, int AWidth, int ARowHeight, int ATextTop, int ATextHeight) {
    auto* label = new QLabel(AText, AParent);
    label->setFixedSize(AWidth, ARowHeight);
    label->setContentsMargins(0, ATextTop, 0, ARowHeight - ATextTop - ATextHeight);
    return label;
}

}  // namespace

TKeywordBandPanel::TKeywordBandPanel(QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("keywordBand"));
    FillBackground(this, SkyBlue);
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    // First row, 30 px high.
    keywordsLabel = named(Caption(QStringLiteral("Keywords: "), this, 72, 30, 6, 20), "keywordsLabel");
    keywordEdit = named(new TDesignedWidthEdit(BoxWidth, BoxLeast, 26, this), "keywordEdit");
    keywordEdit->setAccessibleName(QStringLiteral("Keywords"));
    keywordEdit->setFont(CourierFont(16));
    keywordEdit->installEventFilter(this);
    historyButton = named(new QPushButton(QStringLiteral("^"), this), "historyButton");
    clearKeywordsButton = named(new QPushButton(QStringLiteral("X"), this), "clearKeywordsButton");
    for (QPushButton* button : {historyButton, clearKeywordsButton}) button->setFixedSize(24, 26);
    searchButton = named(new QPushButton(QStringLiteral("  Search"), this), "searchButton");
    clearAllButton = named(new QPushButton(QStringLiteral("    Clear"), this), "clearAllButton");
    for (QPushButton* button : {searchButton, clearAllButton}) button->setFixedSize(96, 30);

    // Second row, 24 px high: the counts line uses the keyword box's exact text margins so each
    // count stands under its keyword.
    keywordCountsEdit = named(new TDesignedWidthEdit(BoxWidth, BoxLeast, 24, this), "keywordCountsEdit");
    keywordCountsEdit->setFont(CourierFont(16));
    keywordCountsEdit->setReadOnly(true);
    keywordCountsEdit->setFocusPolicy(Qt::NoFocus);
    keywordCountsEdit->setTextMargins(keywordEdit->textMargins());
    combinedLabel = named(Caption(QStringLiteral("Combined Result: "), this, 120, 24, 4, 20), "combinedLabel");
    combinedCountLabel = named(new QLabel(QString::fromUtf8(ClearedCombined), this), "combinedCountLabel");
    combinedCountLabel->setFixedHeight(24);
    combinedCountLabel->setContentsMargins(0, 4, 0, 0);
    combinedCountLabel->setMinimumWidth(44);
    // Beside the combined count: says when the words of a text without commas were searched instead.
    searchNoteLabel = named(new QLabel(this), "searchNoteLabel");
    searchNoteLabel->setWordWrap(true);
    searchNoteLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    searchNoteLabel->setFixedHeight(46);
    searchNoteLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    // Third row, 20 px high.
    fullTextCheck = named(new QCheckBox(QStringLiteral("Full Text Search"), this), "fullTextCheck");
    fullTextCheck->setFixedSize(130, 20);
    descriptionCheck = named(new QCheckBox(QStringLiteral("Description   "), this), "descriptionCheck");
    inclusionCheck = named(new QCheckBox(QStringLiteral("Inclusion"), this), "inclusionCheck");
    includesCheck = named(new QCheckBox(QStringLiteral("Includes"), this), "includesCheck");
    codeFirstCheck = named(new QCheckBox(QStringLiteral("Code First"), this), "codeFirstCheck");
    codeAlsoCheck = named(new QCheckBox(QStringLiteral("Code Also"), this), "codeAlsoCheck");
    excludes1Check = named(new QCheckBox(QStringLiteral("Exclude1"), this), "excludes1Check");
    excludes2Check = named(new QCheckBox(QStringLiteral("Exclude2"), this), "excludes2Check");
    const QList<QCheckBox*> kinds = {descriptionCheck, inclusionCheck, includesCheck, codeFirstCheck,
                                     codeAlsoCheck,    excludes1Check, excludes2Check};
    for (QCheckBox* box : kinds) {
        box->setFixedSize(box == descriptionCheck ? 112 : 92, 20);
        box->setEnabled(false);
        connect(box, &QCheckBox::clicked, this, &TKeywordBandPanel::fullTextClicked);
    }
    connect(fullTextCheck, &QCheckBox::clicked, this, [this, kinds](bool checked) {
        for (QCheckBox* box : kinds) {
            box->setEnabled(checked);
            box->setChecked(false);
        }
        if (checked) descriptionCheck->setChecked(true);
    });

    auto* counts = Row({{80, keywordCountsEdit}, {60, combinedLabel}, {2, combinedCountLabel}});
    auto* kindsRow = Row({{8, fullTextCheck},
                          {7, descriptionCheck},
                          {4, inclusionCheck},
                          {4, includesCheck},
                          {4, codeFirstCheck},
                          {4, codeAlsoCheck},
                          {4, excludes1Check},
                          {4, excludes2Check}});
    auto* countsAndKinds = new QVBoxLayout;
    countsAndKinds->setContentsMargins(0, 0, 0, 0);
    countsAndKinds->setSpacing(4);
    countsAndKinds->addLayout(counts);
    countsAndKinds->addLayout(kindsRow);
    auto* lower = new QHBoxLayout;
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    lower->addLayout(countsAndKinds);
    lower->addWidget(searchNoteLabel, 1, Qt::AlignBottom);
    lower->addSpacing(8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 6, 0, 1);
    layout->setSpacing(0);
    layout->addLayout(Row({{8, keywordsLabel},
                           {0, keywordEdit},
                           {2, historyButton},
                           {2, clearKeywordsButton},
                           {8, searchButton},
                           {6, clearAllButton}}));
    layout->addLayout(lower);
    layout->addStretch();

    for (QPushButton* button : {historyButton, clearKeywordsButton, searchButton, clearAllButton})
        button->setAutoDefault(false);
    connect(searchButton, &QPushButton::clicked, this, &TKeywordBandPanel::searchRequested);
    connect(historyButton, &QPushButton::clicked, this, &TKeywordBandPanel::historyRequested);
    connect(clearKeywordsButton, &QPushButton::clicked, this, &TKeywordBandPanel::clearKeywordsRequested);
    connect(clearAllButton, &QPushButton::clicked, this, &TKeywordBandPanel::clearAllRequested);
}

QString TKeywordBandPanel::KeywordText() const {
    return keywordEdit->text();
}

void TKeywordBandPanel::SetKeywordText(const QString& AText) {
    keywordEdit->setText(AText);
    keywordEdit->end(false);
}

bool TKeywordBandPanel::FullText() const {
    return fullTextCheck->isChecked();
}

TFullTextFlags TKeywordBandPanel::FullTextKinds() const {
    TFullTextFlags flags = 0;
    if (!FullText()) return flags;
    const std::pair<QCheckBox*, TFullTextFlags> boxes[] = {
        {descriptionCheck, FullTextFlag::Desc},  {inclusionCheck, FullTextFlag::Inclusion},
        {includesCheck, FullTextFlag::Include},  {codeFirstCheck, FullTextFlag::CodeFirst},
        {codeAlsoCheck, FullTextFlag::CodeAlso}, {excludes1Check, FullTextFlag::Exclude1},
        {excludes2Check, FullTextFlag::Exclude2}};
    for (const auto& [box, bit] : boxes)
        if (box->isChecked()) flags |= bit;
    return flags;
}

void TKeywordBandPanel::ShowCounts(const std::string& ACounts, const std::string& ACombined, const std::string& ANote) {
    keywordCountsEdit->setText(QString::fromStdString(ACounts));
    combinedCountLabel->setText(QString::fromStdString(ACombined));
    searchNoteLabel->setText(QString::fromStdString(ANote));
}

bool TKeywordBandPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AWatched == keywordEdit) {
        if (AEvent->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(AEvent)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit searchRequested();
                return true;
            }
        } else if (AEvent->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(AEvent)->key();
            emit keywordKeyReleased(!KeepsSuggestionsClosed(key), key == Qt::Key_Up);
        }
    }
    return QWidget::eventFilter(AWatched, AEvent);
}
