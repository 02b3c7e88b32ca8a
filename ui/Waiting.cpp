#include "ui/Waiting.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"

static const QString WaitCaption = QStringLiteral("Sorting data, please wait");

TfrmWaiting::TfrmWaiting(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmWaiting"));
    setFixedSize(327, 47);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("framePanel"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, SkyBlue);
    palette.setColor(QPalette::WindowText, Navy);
    frame->setPalette(palette);
    frame->setFont(DesignFont(QString::fromUtf8("宋体"), 13, true));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* iconLabel = new QLabel(frame);
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    iconLabel->setFixedSize(32, 32);
    iconLabel->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));

    captionLabel = new QLabel(WaitCaption, frame);
    captionLabel->setObjectName(QStringLiteral("captionLabel"));
    captionLabel->setFixedHeight(16);

    // The icon and, a little lower, the caption with its dots.
    auto* caption = new QVBoxLayout;
    caption->setSpacing(0);
    caption->addSpacing(10);
    caption->addWidget(captionLabel);
    caption->addStretch(1);
    auto* row = new QHBoxLayout(frame);
    // The margins count from the frame's outer edge, as the design does.
    const int border = frame->frameWidth();
    row->setContentsMargins(22 - border, 7 - border, 7 - border, 7 - border);
    row->setSpacing(6);
    row->addWidget(iconLabel, 0, Qt::AlignTop);
    row->addLayout(caption, 1);

    dotsTimer = new QTimer(this);
    dotsTimer->setObjectName(QStringLiteral("dotsTimer"));
    dotsTimer->setInterval(500);
    connect(dotsTimer, &QTimer::timeout, this, &TfrmWaiting::AdvanceDots);
    dotsTimer->start();

    // Centred over the launcher; while a search window has hidden it, over that window; else the screen.
    QWidget* anchor = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != this && top->isVisible() && top->objectName() == QStringLiteral("frmMain")) anchor = top;
    if (anchor == nullptr && QApplication::activeModalWidget() != nullptr) anchor = QApplication::activeModalWidget();
    if (anchor == nullptr) anchor = QApplication::activeWindow();
    SetPlacementAnchor(this, anchor);
}

void TfrmWaiting::AdvanceDots() {
    if (FDots > 6)
        FDots = 1;
    else
        ++FDots;
    captionLabel->setText(WaitCaption + QString(FDots, QLatin1Char('.')));
}

#include <memory>

#include "ui/DataSetSignals.h"

namespace {
std::unique_ptr<TfrmWaiting> ActiveWaiting;
int ShowCount = 0;
// Pending call backs that want the window: it shows while there is one.
int ShowReasons = 0;

void ShowWaiting() {
    if (ShowReasons++ > 0) return;
    ++ShowCount;
    ActiveWaiting = std::make_unique<TfrmWaiting>();
    ActiveWaiting->show();
}

void HideWaiting() {
    if (ShowReasons == 0 || --ShowReasons > 0) return;
    ActiveWaiting.reset();
}
}  // namespace

void ShowWaitingWindowWhileDataSetsSettle() {
    // A window waiting for a data set to settle (DataSetSignals.h) shows the waiting window meanwhile.
    static bool connected = false;
    if (connected) return;
    connected = true;
    QObject::connect(&TDataSetSignals::Instance(), &TDataSetSignals::WaitingChanged, QCoreApplication::instance(),
                     [](bool shown) { shown ? ShowWaiting() : HideWaiting(); });
}

int WaitingWindowShowCount() {
    return ShowCount;
}
