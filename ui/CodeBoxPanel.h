// The code box row of the Tabular Search window: the masked code box ("A00.1___") with its typing
// rules, Go, and the code last selected or copied. What a typed code means is decided by
// entry/CodeEntry.h; the window goes to it.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class TCodeBoxPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCodeBoxPanel(QWidget* AParent = nullptr);

    QLineEdit* CodeEdit() const { return codeEdit; }
    // Empties the box, the caret on its first place.
    void Reset();
    // The code last selected or copied.
    void ShowSelectedCode(const QString& ACode);
    QString SelectedCode() const;

signals:
    // Go or Enter in the box, with the code as typed ("A00.1").
    void goRequested(const QString& ACode);

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

private:
    // The typed code, trimmed of its empty places.
    QString TypedCode() const;

    QLabel* codeLabel;
    QLineEdit* codeEdit;
    QPushButton* goButton;
    QLabel* selectedLabel;
    QLineEdit* selectedCodeEdit;
};
