// Waits until a window of another program, found by a part of its title, is shown, framed by the
// window manager and still (the rule of WindowSettle.h), then prints its X window id. The package
// test waits for the installed program's window through it.
// Usage: ui_window_settle TITLE_PART [LIMIT_SECONDS]
// Exit code: 0 settled (the id on standard output), 1 not settled in time (what was seen on
// standard error), 2 no display or bad arguments.
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/ui/WindowSettle.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s TITLE_PART [LIMIT_SECONDS]\n", argv[0]);
        return 2;
    }
    const std::string titlePart = argv[1];
    TSettleRules rules;
    if (argc == 3) rules.FLimitMs = std::atoll(argv[2]) * 1000;
    const TXDisplay display;
    if (!display.IsOpen()) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argv[0]);
        return 2;
    }
    TSettleWatch watch(rules);
    QElapsedTimer clock;
    clock.start();
    quint32 window = 0;
    for (;;) {
        // Looked for again whenever it is not shown: the program may replace a window early on.
        if (window == 0 || !display.Look(window).FShown) window = display.Find(titlePart);
        TWindowSample sample = window != 0 ? display.Look(window) : TWindowSample();
        sample.FAtMs = clock.elapsed();
        if (watch.Add(sample) != TSettleState::Waiting) break;
        QThread::msleep(static_cast<unsigned long>(rules.FPollMs));
    }
    if (watch.State() != TSettleState::Settled) {
        std::fprintf(stderr, "window \"%s\" %s\n", titlePart.c_str(), watch.Report().c_str());
        return 1;
    }
    std::printf("%u\n", window);
    return 0;
}
