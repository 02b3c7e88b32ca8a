#include "ui/Waiting.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"

static const QString WaitCaption = QStringLiteral("Sorting data, please wait");

TfrmWaiting::TfrmWaiting(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setFixedSize(327, 47);
    auto* frame = new QFrame(this);
    frame->setGeometry(0, 0, 327, 47);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, SkyBlue);
    palette.setColor(QPalette::WindowText, Navy);
    frame->setPalette(palette);
    frame->setFont(DesignFont(QString::fromUtf8("宋体"), 13, true));
    Panel1 = frame;

    Image1 = new QLabel(frame);
    Image1->setGeometry(22, 7, 32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));

    Label1 = new QLabel(WaitCaption, frame);
    Label1->move(60, 17);
    Label1->resize(260, 16);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TfrmWaiting::Timer1Timer);
    Timer1->start();

    // Centred over the launcher; while a search window has hidden it, over that window; else the screen.
    QWidget* anchor = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != this && top->isVisible() && top->objectName() == QStringLiteral("frmMain")) anchor = top;
    if (anchor == nullptr && QApplication::activeModalWidget() != nullptr) anchor = QApplication::activeModalWidget();
    if (anchor == nullptr) anchor = QApplication::activeWindow();
    SetPlacementAnchor(this, anchor);
}

void TfrmWaiting::Timer1Timer() {
    if (FDots > 6)
        FDots = 1;
    else
        ++FDots;
    Label1->setText(WaitCaption + QString(FDots, QLatin1Char('.')));
    QCoreApplication::processEvents();
}

#include <memory>

#include "services/LoadStatus.h"

namespace {
std::unique_ptr<TfrmWaiting> ActiveWaiting;
int ShowCount = 0;
}  // namespace

void InstallWaitingWindowHooks() {
    TWaitHooks hooks;
    hooks.Show = [] {
        ++ShowCount;
        ActiveWaiting = std::make_unique<TfrmWaiting>();
        ActiveWaiting->show();
        QCoreApplication::processEvents();
    };
    // Pending events are processed while waiting so that messages raised by loader threads reach
    // the user and the window stays painted.
    hooks.Poll = [] { QCoreApplication::processEvents(); };
    hooks.Hide = [] { ActiveWaiting.reset(); };
    SetWaitHooks(std::move(hooks));
}

int WaitingWindowShowCount() {
    return ShowCount;
}
