// Helpers for the window tests: private data folders, finding the window a modal run opened, and
// reading colours out of the code text view.
#pragma once

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "services/DataSets.h"
#include "startup/LoadedData.h"

// Points the three folders of UserData() at a fresh temporary folder for the lifetime of the
// object, and the per-user data variable too, so what follows it (the installed editions) stays
// inside; both are put back after.
class TScopedDataFolders {
public:
    TScopedDataFolders()
        : FOldFolders(UserData().Folders),
          FHadAppData(qEnvironmentVariableIsSet("AppData")),
          FOldAppData(qgetenv("AppData")) {
        const std::string folder = FDir.path().toStdString() + "/";
        UserData().Folders = {folder, folder, folder};
        qputenv("AppData", QFile::encodeName(FDir.path()));
    }
    ~TScopedDataFolders() {
        UserData().Folders = FOldFolders;
        if (FHadAppData)
            qputenv("AppData", FOldAppData);
        else
            qunsetenv("AppData");
    }
    TScopedDataFolders(const TScopedDataFolders&) = delete;
    TScopedDataFolders& operator=(const TScopedDataFolders&) = delete;
    QString File(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
    TFolders FOldFolders;
    bool FHadAppData;
    QByteArray FOldAppData;
};

// The descendant of AParent of type T with the given objectName; a missing one ends the test run
// with its name (a window that lost a control is a fault of the window, not of one check).
template <class T = QWidget>
T* Named(const QObject& AParent, const char* AName) {
    T* child = AParent.findChild<T*>(QLatin1String(AName));
    if (child == nullptr)
        qFatal("%s has no %s named %s", qPrintable(AParent.objectName()), T::staticMetaObject.className(), AName);
    return child;
}

// The width a control needs to show its caption whole: a plain push button only its text inside
// the frame (its size hint holds the style's least button width), another control its size hint.
inline int CaptionWidth(const QWidget& AControl) {
    if (const auto* button = qobject_cast<const QPushButton*>(&AControl); button != nullptr && button->icon().isNull())
        return button->fontMetrics().horizontalAdvance(button->text()) + 2;
    return AControl.sizeHint().width();
}

// The first visible top-level widget of type T (a modal window opened by the code under test).
template <class T>
T* FindVisibleWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<T*>(widget); window != nullptr && window->isVisible()) return window;
    return nullptr;
}

// Runs AStep once a visible window of type T exists (polling every 20 ms, for at most 10 s).
template <class T>
void WhenWindowShown(std::function<void(T*)> AStep, int ARemaining = 500) {
    QTimer::singleShot(20, [AStep, ARemaining] {
        if (T* window = FindVisibleWindow<T>()) {
            AStep(window);
            // A failed check leaves the step early: close the modal window so the test ends.
            if (QTest::currentTestFailed() && window->isVisible()) window->close();
        } else if (ARemaining > 0)
            WhenWindowShown<T>(AStep, ARemaining - 1);
    });
}

// Foreground colour of the character at a position of the view's text.
inline QColor ColourAt(QTextEdit* edit, int position) {
    QTextCursor cursor(edit->document());
    cursor.setPosition(position + 1);  // the format of the character before the cursor
    return cursor.charFormat().foreground().color();
}

inline bool UnderlinedAt(QTextEdit* edit, int position) {
    QTextCursor cursor(edit->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().fontUnderline();
}

// Texts of every run of the view drawn in AColour.
inline QStringList RunsInColour(QTextEdit* edit, const QColor& colour) {
    QStringList runs;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().foreground().color() == colour) runs << fragment.text();
        }
    return runs;
}
