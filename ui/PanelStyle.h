// Shared by the panels of the Tabular Search window: the background of a band, the base of an
// edit or memo and its text colour (each set through the widget's palette), and an edit box that
// keeps its designed width while there is room.
#pragma once

#include <QColor>
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
