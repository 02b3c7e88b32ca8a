#include "tests/ui/WindowSettle.h"

#include <xcb/xcb.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {

struct TFree {
    void operator()(void* AReply) const { std::free(AReply); }
};
template <typename T>
using TReply = std::unique_ptr<T, TFree>;

// A window that never stops moving would make an endless report: the first and the last changes
// tell the story.
constexpr size_t ReportedHead = 12;
constexpr size_t ReportedTail = 6;

QString Describe(const TWindowSample& ASample) {
    const auto place = [](const QRect& rect) {
        return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
    };
    QString text = QStringLiteral("%1 ms %2").arg(ASample.FAtMs).arg(ASample.FShown ? "shown" : "not shown");
    text += ASample.FFrame != ASample.FClient ? QStringLiteral(" frame ") + place(ASample.FFrame)
                                              : QStringLiteral(" unframed");
    return text + QStringLiteral(" client ") + place(ASample.FClient);
}

}  // namespace

bool TSettleWatch::IsJudgeable(const TWindowSample& ASample) const {
    return ASample.FShown && (!FRules.FNeedsFrame || ASample.FFrame != ASample.FClient);
}

TSettleState TSettleWatch::Add(const TWindowSample& ASample) {
    if (FState != TSettleState::Waiting) return FState;
    FLastAtMs = ASample.FAtMs;
    if (FChanges.empty() || !(FChanges.back() == ASample)) FChanges.push_back(ASample);
    const TWindowSample& current = FChanges.back();
    if (IsJudgeable(current) && ASample.FAtMs - current.FAtMs >= FRules.FQuietMs)
        FState = TSettleState::Settled;
    else if (ASample.FAtMs >= FRules.FLimitMs)
        FState = TSettleState::TimedOut;
    return FState;
}

std::string TSettleWatch::Report() const {
    if (FChanges.empty()) return "not looked at yet";
    const TWindowSample& last = FChanges.back();
    if (FState == TSettleState::Settled)
        return QStringLiteral("%1 and still for %2 ms, %3 ms after showing")
            .arg(FRules.FNeedsFrame ? "framed" : "shown")
            .arg(FLastAtMs - last.FAtMs)
            .arg(FLastAtMs)
            .toStdString();
    const char* why = !last.FShown         ? "never shown"
                      : !IsJudgeable(last) ? "never framed (is a window manager running?)"
                                           : "still moving";
    QStringList seen;
    for (size_t i = 0; i < FChanges.size(); ++i) {
        if (i == ReportedHead && FChanges.size() > ReportedHead + ReportedTail) {
            seen << QStringLiteral("... %1 more").arg(FChanges.size() - ReportedHead - ReportedTail);
            i = FChanges.size() - ReportedTail;
        }
        seen << Describe(FChanges[i]);
    }
    return QStringLiteral("%1 %2 ms: %3; seen: %4")
        .arg(FState == TSettleState::TimedOut ? "did not settle within" : "not settled after")
        .arg(FLastAtMs)
        .arg(why)
        .arg(seen.join(QStringLiteral("; ")))
        .toStdString();
}

struct TXDisplay::TPrivate {
    xcb_connection_t* FConnection = nullptr;
    xcb_atom_t FNetWmName = XCB_ATOM_NONE;
    xcb_atom_t FUtf8String = XCB_ATOM_NONE;
    xcb_atom_t FFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t FWorkArea = XCB_ATOM_NONE;

    xcb_atom_t Atom(const char* AName) const {
        TReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            FConnection, xcb_intern_atom(FConnection, 0, static_cast<uint16_t>(std::strlen(AName)), AName), nullptr));
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    std::optional<std::string> Text(xcb_window_t AWindow, xcb_atom_t AProperty, xcb_atom_t AType) const {
        TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            FConnection, xcb_get_property(FConnection, 0, AWindow, AProperty, AType, 0, 1024), nullptr));
        if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8) return std::nullopt;
        return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           static_cast<size_t>(xcb_get_property_value_length(reply.get())));
    }

    std::vector<uint32_t> Cardinals(xcb_window_t AWindow, xcb_atom_t AProperty) const {
        TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            FConnection, xcb_get_property(FConnection, 0, AWindow, AProperty, XCB_ATOM_CARDINAL, 0, 16), nullptr));
        if (!reply || reply->format != 32) return {};
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }

    bool IsViewable(xcb_window_t AWindow) const {
        TReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(FConnection, xcb_get_window_attributes(FConnection, AWindow), nullptr));
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // Client windows sit at most a few levels down: inside the window manager's frames.
    xcb_window_t FindUnder(xcb_window_t AParent, const std::string& ATitlePart, int ADepth) const {
        if (ADepth > 4) return 0;
        TReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(FConnection, xcb_query_tree(FConnection, AParent), nullptr));
        if (!tree) return 0;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const xcb_window_t child = children[i];
            if (!IsViewable(child)) continue;
            std::optional<std::string> title = Text(child, FNetWmName, FUtf8String);
            if (!title) title = Text(child, XCB_ATOM_WM_NAME, XCB_ATOM_ANY);
            if (title && title->find(ATitlePart) != std::string::npos) return child;
            if (const xcb_window_t found = FindUnder(child, ATitlePart, ADepth + 1); found != 0) return found;
        }
        return 0;
    }
};

TXDisplay::TXDisplay() : FData(std::make_unique<TPrivate>()) {
    int screenNumber = 0;
    FData->FConnection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(FData->FConnection) != 0) return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(FData->FConnection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) return;
    FData->FNetWmName = FData->Atom("_NET_WM_NAME");
    FData->FUtf8String = FData->Atom("UTF8_STRING");
    FData->FFrameExtents = FData->Atom("_NET_FRAME_EXTENTS");
    FData->FWorkArea = FData->Atom("_NET_WORKAREA");
    FRoot = screens.data->root;
}

TXDisplay::~TXDisplay() {
    xcb_disconnect(FData->FConnection);
}

quint32 TXDisplay::Find(const std::string& ATitlePart) const {
    return IsOpen() ? FData->FindUnder(FRoot, ATitlePart, 0) : 0;
}

TWindowSample TXDisplay::Look(quint32 AWindow) const {
    TWindowSample sample;
    if (!IsOpen()) return sample;
    xcb_connection_t* connection = FData->FConnection;
    TReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, AWindow), nullptr));
    TReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, AWindow, FRoot, 0, 0), nullptr));
    if (!geometry || !origin) return sample;
    sample.FShown = FData->IsViewable(AWindow);
    sample.FClient = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    sample.FFrame = sample.FClient;
    // left, right, top, bottom, as the window manager sets them on a window it has framed.
    const std::vector<uint32_t> extents = FData->Cardinals(AWindow, FData->FFrameExtents);
    if (extents.size() == 4)
        sample.FFrame = sample.FClient.adjusted(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]),
                                                static_cast<int>(extents[1]), static_cast<int>(extents[3]));
    return sample;
}

QRect TXDisplay::WorkArea() const {
    if (!IsOpen()) return {};
    // x, y, width, height of each desktop; the first is the one shown.
    const std::vector<uint32_t> area = FData->Cardinals(FRoot, FData->FWorkArea);
    if (area.size() >= 4)
        return QRect(static_cast<int>(area[0]), static_cast<int>(area[1]), static_cast<int>(area[2]),
                     static_cast<int>(area[3]));
    xcb_connection_t* connection = FData->FConnection;
    TReply<xcb_get_geometry_reply_t> root(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, FRoot), nullptr));
    return root ? QRect(0, 0, root->width, root->height) : QRect();
}

TSettleResult WaitUntilSettled(QWidget& AWindow, TSettleRules ARules) {
    if (AWindow.windowFlags().testFlag(Qt::FramelessWindowHint)) ARules.FNeedsFrame = false;
    // One connection for the whole run, opened on the first wait.
    static const std::unique_ptr<TXDisplay> display =
        QGuiApplication::platformName() == QStringLiteral("xcb") ? std::make_unique<TXDisplay>() : nullptr;
    const bool onX = display != nullptr && display->IsOpen();
    TSettleWatch watch(ARules);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        TWindowSample sample;
        if (onX) {
            sample = display->Look(static_cast<quint32>(AWindow.winId()));
        } else {
            sample.FFrame = AWindow.frameGeometry();
            sample.FClient = AWindow.geometry();
            sample.FShown = true;
        }
        sample.FShown = sample.FShown && AWindow.isVisible() && AWindow.windowHandle() != nullptr &&
                        AWindow.windowHandle()->isExposed();
        sample.FAtMs = clock.elapsed();
        if (watch.Add(sample) != TSettleState::Waiting) break;
        QTest::qWait(static_cast<int>(ARules.FPollMs));
    }
    TSettleResult result{watch.State() == TSettleState::Settled, watch.Report(), watch.Changes().back(), {}};
    result.FWorkArea = onX ? display->WorkArea() : AWindow.screen()->availableGeometry();
    return result;
}
