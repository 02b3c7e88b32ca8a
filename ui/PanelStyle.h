// Shared by the panels of the search windows: the background of a band, the base of an edit or memo
// and its text colour (each set through the widget's palette), a widget named at its creation, and
// controls that keep their designed widths while there is room.
#pragma once

#include <QBoxLayout>
#include <QColor>
#include <QLatin1String>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

// Background of a band or panel; edit boxes placed on it keep their own white base.
inline void FillBackground(QWidget* AWidget, const QColor& AColour) {
    AWidget->setAutoFillBackground(true);
    QPalette palette = AWidget->palette();
    palette.setColor(QPalette::Window, AColour);
    AWidget->setPalette(palette);
}

// Background of an edit or memo (its text area).
inline void FillBase(QWidget* AWidget, const QColor& AColour) {
    QPalette palette = AWidget->palette();
    palette.setColor(QPalette::Base, AColour);
    AWidget->setPalette(palette);
}

inline void SetTextColour(QWidget* AWidget, const QColor& AColour) {
    QPalette palette = AWidget->palette();
    palette.setColor(QPalette::WindowText, AColour);
    palette.setColor(QPalette::Text, AColour);
    AWidget->setPalette(palette);
}

// The widget, given its objectName (by which tests and the accessibility walk find it).
template <class T>
T* Named(T* AWidget, const char* AName) {
    AWidget->setObjectName(QLatin1String(AName));
    return AWidget;
}

// Controls of a band keep their designed widths while the window has room: they take the room
// before the band's trailing space does, and narrow down to their captions' needs.
inline void AddAtDesignedWidth(QBoxLayout* ABand, QWidget* AControl, int ADesignedWidth) {
    constexpr int DesignedStretch = 1000;
    AControl->setMaximumWidth(ADesignedWidth);
    ABand->addWidget(AControl, DesignedStretch);
}

// A box designed at a width it keeps while there is room (its size hint), narrowing to ALeast on a
// narrow band.
class TDesignedWidthEdit : public QLineEdit {
public:
    TDesignedWidthEdit(int ADesignedWidth, int ALeast, int AHeight, QWidget* AParent)
        : QLineEdit(AParent), FDesignedWidth(ADesignedWidth) {
        setMinimumWidth(ALeast);
        setMaximumWidth(ADesignedWidth);
        setFixedHeight(AHeight);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return {FDesignedWidth, QLineEdit::sizeHint().height()}; }

private:
    int FDesignedWidth;
};
