#include "ui/CodeTextPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

constexpr int BarMargin = 4;
constexpr int BarTop = 7;
constexpr int Gap = 4;
constexpr int ControlHeight = 27;
// Room a narrowed button keeps round its caption.
constexpr int CaptionRoom = 12;
// The first controls of the bar stay on the first row when it wraps.
constexpr std::size_t PagingControls = 5;

int CaptionNeeds(const QWidget* AControl) {
    if (const auto* button = qobject_cast<const QPushButton*>(AControl))
        return button->fontMetrics().horizontalAdvance(button->text()) + 2;
    return AControl->sizeHint().width();
}

}  // namespace

TCodeTextPanel::TCodeTextPanel(QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("codeTextPanel"));
    codeText = new QTextEdit(this);
    codeText->setObjectName(QStringLiteral("codeText"));
    codeText->setAccessibleName(QStringLiteral("Code text"));
    codeText->setReadOnly(true);
    codeText->setLineWrapMode(QTextEdit::NoWrap);
    codeText->setFont(CourierFont(19));
    codeText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    codeText->document()->setDocumentMargin(2);
    codeText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    codeText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetTextColour(codeText, Qt::gray);
    codeText->setContextMenuPolicy(Qt::CustomContextMenu);

    pageBar = new QWidget(this);
    pageBar->setObjectName(QStringLiteral("pageBar"));
    FillBackground(pageBar, SkyBlue);
    auto makeButton = [this](const char* name, const QString& caption, void (TCodeTextPanel::*signal)()) {
        auto* button = new QPushButton(caption, pageBar);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, signal);
        return button;
    };
    firstPageButton =
        makeButton("firstPageButton", QStringLiteral("|<  First Page (F1)"), &TCodeTextPanel::firstPageClicked);
    priorPageButton =
        makeButton("priorPageButton", QStringLiteral("<  Prior Page (PgUp)"), &TCodeTextPanel::priorPageClicked);
    pageCounterLabel = new QLabel(QStringLiteral("0/0"), pageBar);
    pageCounterLabel->setObjectName(QStringLiteral("pageCounterLabel"));
    pageCounterLabel->setAlignment(Qt::AlignCenter);
    nextPageButton =
        makeButton("nextPageButton", QStringLiteral("Next Page (PgDown)  >"), &TCodeTextPanel::nextPageClicked);
    lastPageButton =
        makeButton("lastPageButton", QStringLiteral("Last Page (F2)  >|"), &TCodeTextPanel::lastPageClicked);
    backButton = makeButton("backButton", QStringLiteral(" Back (F3)"), &TCodeTextPanel::backClicked);
    reviewButton = makeButton("reviewButton", QStringLiteral("Review (F4)"), &TCodeTextPanel::reviewClicked);
    priorCodeButton =
        makeButton("priorCodeButton", QStringLiteral("<< Prior Code (F8)"), &TCodeTextPanel::priorCodeClicked);
    nextCodeButton =
        makeButton("nextCodeButton", QStringLiteral("Next Code (F9) >>"), &TCodeTextPanel::nextCodeClicked);
    FBarControls = {{firstPageButton, 134}, {priorPageButton, 134}, {pageCounterLabel, 60},
                    {nextPageButton, 134},  {lastPageButton, 134},  {backButton, 96},
                    {reviewButton, 96},     {priorCodeButton, 134}, {nextCodeButton, 134}};
    for (const auto& [control, width] : FBarControls) control->setFixedSize(width, ControlHeight);
    for (QPushButton* button :
         {firstPageButton, priorPageButton, nextPageButton, lastPageButton, backButton, reviewButton})
        button->setEnabled(false);
    priorPageButton->setToolTip(
        QStringLiteral("Prior page (PgUp)\nCtrl+PgUp: the prior page with a highlighted keyword"));
    nextPageButton->setToolTip(
        QStringLiteral("Next page (PgDown)\nCtrl+PgDn: the next page with a highlighted keyword"));

    // The bar never sets the panel's least width: it narrows and wraps instead.
    pageBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* rows = new QVBoxLayout(pageBar);
    // No right margin: the designed row ends 2 px before the panel's edge.
    rows->setContentsMargins(BarMargin, BarTop, 0, BarTop);
    rows->setSpacing(Gap);
    pagingRow = new QHBoxLayout;
    visitRow = new QHBoxLayout;
    for (QHBoxLayout* row : {pagingRow, visitRow}) {
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(Gap);
        rows->addLayout(row);
    }
    for (const auto& [control, width] : FBarControls) pagingRow->addWidget(control);
    pagingRow->addStretch();
    visitRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(codeText, 1);
    layout->addWidget(pageBar);
}

void TCodeTextPanel::ShowPageState(const QString& ACounter, bool AFirstPriorEnabled, bool ANextLastEnabled) {
    pageCounterLabel->setText(ACounter);
    firstPageButton->setEnabled(AFirstPriorEnabled);
    priorPageButton->setEnabled(AFirstPriorEnabled);
    nextPageButton->setEnabled(ANextLastEnabled);
    lastPageButton->setEnabled(ANextLastEnabled);
}

QString TCodeTextPanel::PageCounterText() const {
    return pageCounterLabel->text();
}

void TCodeTextPanel::SetPageCounterTip(const QString& ATip) {
    pageCounterLabel->setToolTip(ATip);
}

void TCodeTextPanel::SetVisitState(bool ABackEnabled, bool AReviewEnabled) {
    backButton->setEnabled(ABackEnabled);
    reviewButton->setEnabled(AReviewEnabled);
}

void TCodeTextPanel::resizeEvent(QResizeEvent* AEvent) {
    QWidget::resizeEvent(AEvent);
    ArrangePageBar(width());
    // The bar may have changed its widths or rows: lay the bar and the text out again at once, so
    // that the window measures the text view as it will stand.
    pageBar->layout()->activate();
    layout()->activate();
}

void TCodeTextPanel::ArrangePageBar(int AWidth) {
    // Each control between the width its caption needs (with a little room) and its designed width.
    std::vector<int> least;
    std::vector<int> most;
    int widest = 0;
    int needed = 0;
    for (const auto& [control, designed] : FBarControls) {
        const int caption = CaptionNeeds(control);
        least.push_back(std::min(std::max(designed, caption), caption + CaptionRoom));
        most.push_back(std::max(designed, least.back()));
        widest += most.back() + Gap;
        needed += least.back() + Gap;
    }
    const int room = AWidth - 2 * BarMargin + Gap;
    const bool twoRows = needed > room;
    if (BarMargin + widest - Gap <= AWidth) {
        // The designed row fits.
        for (std::size_t i = 0; i < FBarControls.size(); ++i) FBarControls[i].first->setFixedWidth(most[i]);
    } else if (!twoRows) {
        // One row: every control gives up the same share of its spare width.
        const double share =
            widest > needed ? std::clamp(double(room - needed) / double(widest - needed), 0.0, 1.0) : 1.0;
        for (std::size_t i = 0; i < FBarControls.size(); ++i)
            FBarControls[i].first->setFixedWidth(least[i] + static_cast<int>((most[i] - least[i]) * share));
    } else {
        for (std::size_t i = 0; i < FBarControls.size(); ++i)
            FBarControls[i].first->setFixedWidth(std::min(most[i], std::max(1, AWidth - 2 * BarMargin)));
    }
    if (twoRows == FTwoRows) return;
    FTwoRows = twoRows;
    // The controls after the paging ones move between the rows, in their order.
    QHBoxLayout* from = twoRows ? pagingRow : visitRow;
    QHBoxLayout* to = twoRows ? visitRow : pagingRow;
    for (std::size_t i = PagingControls; i < FBarControls.size(); ++i) {
        QWidget* control = FBarControls[i].first;
        from->removeWidget(control);
        to->insertWidget(to->count() - 1, control);
    }
}
