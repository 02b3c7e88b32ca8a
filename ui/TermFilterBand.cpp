#include "ui/TermFilterBand.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

QLabel* BandLabel(const char* AName, const TTermFilterBandDesign& ADesign, QWidget* AParent) {
    auto* label = Named(new QLabel(AParent), AName);
    if (ADesign.LabelFontPixels > 0) label->setFont(TahomaFont(ADesign.LabelFontPixels));
    label->setFixedHeight(ADesign.LabelHeight);
    label->setContentsMargins(0, ADesign.LabelTopPadding, 0, 0);
    return label;
}

}  // namespace

TTermFilterBand::TTermFilterBand(const TTermFilterBandDesign& ADesign, QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("filterBand"));
    setFixedHeight(ADesign.Height);
    FillBackground(this, SkyBlue);
    levelLabel = BandLabel("levelLabel", ADesign, this);
    levelLabel->setFixedWidth(ADesign.LevelWidth);
    filterEdit = Named(new QLineEdit(this), "filterEdit");
    filterEdit->setAccessibleName(QStringLiteral("Filter the terms"));
    if (ADesign.FilterFontPixels > 0) filterEdit->setFont(CourierFont(ADesign.FilterFontPixels));
    filterEdit->setFixedHeight(ADesign.FilterHeight);
    // The band's blue stops at the edit box.
    FillBase(filterEdit, Qt::white);
    clearFilterButton = Named(new QPushButton(QStringLiteral("X"), this), "clearFilterButton");
    // Enter belongs to the window's list, and the focus stays in the list or the filter box.
    clearFilterButton->setAutoDefault(false);
    clearFilterButton->setDefault(false);
    clearFilterButton->setFocusPolicy(Qt::NoFocus);
    clearFilterButton->setFixedSize(ADesign.ClearWidth, ADesign.ClearHeight);
    recordCountLabel = BandLabel("recordCountLabel", ADesign, this);

    auto* band = new QHBoxLayout(this);
    band->setContentsMargins(ADesign.LeftMargin, 0, ADesign.RightMargin, 0);
    band->setSpacing(0);
    band->addWidget(levelLabel);
    band->addSpacing(ADesign.GapAfterLevel);
    AddAtDesignedWidth(band, filterEdit, ADesign.FilterWidth);
    band->addSpacing(ADesign.GapAfterFilter);
    band->addWidget(clearFilterButton);
    band->addSpacing(ADesign.GapAfterClear);
    AddAtDesignedWidth(band, recordCountLabel, ADesign.CountWidth);
    if (ADesign.NoteGap > 0) {
        editionLabel = Named(new QLabel(this), "editionLabel");
        editionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // The note takes two lines when the window is narrower than designed.
        editionLabel->setWordWrap(true);
        editionLabel->setFixedHeight(ADesign.Height - 4);
        SetTextColour(editionLabel, QColor(128, 0, 0));
        editionLabel->hide();
        band->addSpacing(ADesign.NoteGap);
        band->addWidget(editionLabel, 1);
    } else {
        band->addStretch(1);
    }

    connect(filterEdit, &QLineEdit::textChanged, this, &TTermFilterBand::filterChanged);
    connect(clearFilterButton, &QPushButton::clicked, filterEdit, &QLineEdit::clear);
}

void TTermFilterBand::ShowLevel(const QString& ACaption) {
    levelLabel->setText(ACaption);
}

void TTermFilterBand::ShowRecordCount(const QString& ACaption) {
    recordCountLabel->setText(ACaption);
}

void TTermFilterBand::ShowNote(const QString& ANote) {
    if (editionLabel == nullptr) return;
    editionLabel->setText(ANote);
    editionLabel->setToolTip(ANote);
    editionLabel->setVisible(!ANote.isEmpty());
}

void TTermFilterBand::TypeIntoFilter(QEvent* AKeyEvent) {
    filterEdit->setFocus();
    QCoreApplication::sendEvent(filterEdit, AKeyEvent);
}

bool TTermFilterBand::TypeFirstLetterAsCapital(const QKeyEvent& AKey) {
    const QString text = AKey.text();
    if (!filterEdit->text().isEmpty() || text.size() != 1 || text[0] < QLatin1Char('a') || text[0] > QLatin1Char('z'))
        return false;
    filterEdit->insert(text.toUpper());
    return true;
}
