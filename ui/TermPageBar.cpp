#include "ui/TermPageBar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

constexpr int BarHeight = 51;
constexpr int ButtonHeight = 31;
constexpr int BackWidth = 130;

QPushButton* BarButton(const QString& ACaption, const char* AName, const TTermPageBarDesign& ADesign,
                       QWidget* AParent) {
    auto* button = Named(new QPushButton(ACaption, AParent), AName);
    // No button of these windows is a default button: Enter belongs to the list.
    button->setAutoDefault(false);
    button->setDefault(false);
    if (!ADesign.ButtonsTakeFocus) button->setFocusPolicy(Qt::NoFocus);
    button->setFixedHeight(ButtonHeight);
    return button;
}

}  // namespace

TTermPageBar::TTermPageBar(const TTermPageBarDesign& ADesign, QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("buttonBar"));
    setFixedHeight(BarHeight);
    FillBackground(this, SkyBlue);
    backButton = BarButton(QStringLiteral(" Back (Esc)"), "backButton", ADesign, this);
    backToMainButton = BarButton(QStringLiteral("Back to Main Term (F3)"), "backToMainButton", ADesign, this);
    QSizePolicy keepPlace = backToMainButton->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    backToMainButton->setSizePolicy(keepPlace);
    priorPageButton = BarButton(QString::fromLatin1(ADesign.PriorCaption), "priorPageButton", ADesign, this);
    pageLabel = Named(new QLabel(this), "pageLabel");
    pageLabel->setAlignment(Qt::AlignCenter);
    pageLabel->setFixedHeight(22);
    nextPageButton = BarButton(QString::fromLatin1(ADesign.NextCaption), "nextPageButton", ADesign, this);

    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(ADesign.LeftMargin, 0, 0, 0);
    bar->setSpacing(0);
    AddAtDesignedWidth(bar, backButton, BackWidth);
    bar->addSpacing(ADesign.GapAfterBack);
    AddAtDesignedWidth(bar, backToMainButton, ADesign.BackToMainWidth);
    bar->addSpacerItem(new QSpacerItem(ADesign.GapBeforePages, 0, QSizePolicy::Maximum, QSizePolicy::Minimum));
    AddAtDesignedWidth(bar, priorPageButton, ADesign.PageButtonWidth);
    bar->addSpacing(ADesign.GapAroundPage);
    AddAtDesignedWidth(bar, pageLabel, ADesign.PageLabelWidth);
    bar->addSpacing(ADesign.GapAroundPage);
    AddAtDesignedWidth(bar, nextPageButton, ADesign.PageButtonWidth);
    bar->addStretch(1);
}

void TTermPageBar::ConnectActions(const QHash<QString, QAction*>& AActions) {
    for (const auto& [button, name] :
         {std::pair{backButton, "backAction"}, std::pair{backToMainButton, "backToMainAction"},
          std::pair{priorPageButton, "priorPageAction"}, std::pair{nextPageButton, "nextPageAction"}})
        connect(button, &QPushButton::clicked, AActions.value(QLatin1String(name)), &QAction::trigger);
}

void TTermPageBar::ShowPage(const QString& ACaption, bool APriorEnabled, bool ANextEnabled) {
    pageLabel->setText(ACaption);
    priorPageButton->setEnabled(APriorEnabled);
    nextPageButton->setEnabled(ANextEnabled);
}

void TTermPageBar::SetBackToMainCaption(const QString& ACaption) {
    backToMainButton->setText(ACaption);
}

void TTermPageBar::HideBackToMain() {
    backToMainButton->hide();
}
