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
}

#include <memory>

#include "services/LoadStatus.h"
#include "ui/DataSetSignals.h"

namespace {
std::unique_ptr<TfrmWaiting> ActiveWaiting;
int ShowCount = 0;
// Blocking waits and pending call backs that want the window: it shows while there is one.
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

void InstallWaitingWindowHooks() {
    // A library that still blocks the UI thread for a data set: pending events are processed while
    // it waits, so that messages raised by loader threads reach the user and the window stays painted.
    TWaitHooks hooks;
    hooks.Show = [] {
        ShowWaiting();
        QCoreApplication::processEvents();
    };
    hooks.Poll = [] { QCoreApplication::processEvents(); };
    hooks.Hide = [] { HideWaiting(); };
    SetWaitHooks(std::move(hooks));
    // A window waiting for a call back (DataSetSignals.h).
    static bool connected = false;
    if (connected) return;
    connected = true;
    QObject::connect(&TDataSetSignals::Instance(), &TDataSetSignals::WaitingChanged, QCoreApplication::instance(),
                     [](bool shown) { shown ? ShowWaiting() : HideWaiting(); });
}

int WaitingWindowShowCount() {
    return ShowCount;
}
