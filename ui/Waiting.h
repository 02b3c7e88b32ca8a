// TfrmWaiting: the small borderless "Sorting data, please wait" window shown while a window waits
// for a data set that is still loading, and the Qt side of waiting for a data set.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

class TfrmWaiting : public QWidget {
    Q_OBJECT
public:
    explicit TfrmWaiting(QWidget* parent = nullptr);

    int FDots = 1;

    // One tick of the dots timer (2, 3, ... 7, then 1 again).
    void AdvanceDots();

private:
    QLabel* captionLabel = nullptr;
    QTimer* dotsTimer = nullptr;
};

// From now on the waiting window shows whenever a window has work pending until a data set
// settles, and goes when the last such work has run (call once the application exists).
void ShowWaitingWindowWhileDataSetsSettle();
// Number of waiting windows shown since the start (lets tests see whether a wait showed one).
int WaitingWindowShowCount();
