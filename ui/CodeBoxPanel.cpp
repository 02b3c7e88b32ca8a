#include "ui/CodeBoxPanel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "entry/CodeEntry.h"
#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

constexpr int RowHeight = 28;
// Three letter-or-digit places, a fixed full stop, four places; ">" turns typed small letters into
// capitals before they reach the box.
const QString CodeBoxMask = QStringLiteral(">nnn.nnnn;_");
constexpr QChar CodeBoxBlank = QLatin1Char('_');

// The box as eight characters, an empty place read as a blank ("A00.1   ").
std::string CodeBoxText(const QLineEdit& ABox) {
    QString text = ABox.displayText();
    text.replace(CodeBoxBlank, QLatin1Char(' '));
    return text.toStdString();
}

// A caption whose text stands ATextTop below the top of the row, 20 px high.
QLabel* Caption(const QString& AText, const char* AName, QWidget* AParent, int AWidth, int ATextTop) {
    auto* label = new QLabel(AText, AParent);
    label->setObjectName(QString::fromLatin1(AName));
    label->setFixedSize(AWidth, RowHeight);
    label->setContentsMargins(0, ATextTop, 0, RowHeight - ATextTop - 20);
    return label;
}

}  // namespace

TCodeBoxPanel::TCodeBoxPanel(QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("codeBoxPanel"));
    FillBackground(this, SkyBlue);
    codeLabel = Caption(QStringLiteral("Code:"), "codeLabel", this, 44, 5);
    codeEdit = new QLineEdit(this);
    codeEdit->setObjectName(QStringLiteral("codeEdit"));
    codeEdit->setAccessibleName(QStringLiteral("Code"));
    codeEdit->setFixedSize(110, 26);
    codeEdit->setInputMask(CodeBoxMask);
    codeEdit->setFont(TahomaFont(12));
    codeEdit->installEventFilter(this);
    goButton = new QPushButton(QStringLiteral("   Go"), this);
    goButton->setObjectName(QStringLiteral("goButton"));
    goButton->setFixedSize(70, RowHeight);
    goButton->setAutoDefault(false);
    selectedLabel = Caption(QStringLiteral("Selected:"), "selectedLabel", this, 66, 5);
    selectedCodeEdit = new TDesignedWidthEdit(560, 260, 26, this);
    selectedCodeEdit->setObjectName(QStringLiteral("selectedCodeEdit"));
    selectedCodeEdit->setAccessibleName(QStringLiteral("Selected code"));
    selectedCodeEdit->setReadOnly(true);
    selectedCodeEdit->setFont(TahomaFont(12));
    FillBase(selectedCodeEdit, Silver);
    SetTextColour(selectedCodeEdit, Green);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 3);
    layout->setSpacing(0);
    for (const auto& [gap, control] : std::initializer_list<std::pair<int, QWidget*>>{
             {8, codeLabel}, {4, codeEdit}, {4, goButton}, {22, selectedLabel}, {2, selectedCodeEdit}}) {
        layout->addSpacing(gap);
        layout->addWidget(control);
    }
    layout->addStretch(1);
    connect(goButton, &QPushButton::clicked, this, [this] { emit goRequested(TypedCode()); });
    Reset();
}

void TCodeBoxPanel::Reset() {
    codeEdit->clear();
    codeEdit->setSelection(0, 1);
}

void TCodeBoxPanel::ShowSelectedCode(const QString& ACode) {
    selectedCodeEdit->setText(ACode);
}

QString TCodeBoxPanel::SelectedCode() const {
    return selectedCodeEdit->text();
}

QString TCodeBoxPanel::TypedCode() const {
    return QString::fromStdString(CodeBoxEntry(CodeBoxText(*codeEdit)));
}

bool TCodeBoxPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AWatched != codeEdit) return QWidget::eventFilter(AWatched, AEvent);
    switch (AEvent->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(AEvent)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                goButton->click();
                return true;
            }
            return false;
        }
        case QEvent::KeyRelease: {
            if (std::optional<TCodeBoxState> moved = CodeBoxAfterKeyUp(CodeBoxText(*codeEdit))) {
                codeEdit->setText(QString::fromStdString(moved->FText));
                codeEdit->setSelection(moved->FSelStart, moved->FSelLength);
            }
            return false;
        }
        case QEvent::MouseButtonRelease: {
            if (static_cast<QMouseEvent*>(AEvent)->button() != Qt::LeftButton) return false;
            // The press has placed the caret already; move it right after what has been typed.
            codeEdit->setSelection(CodeBoxCaretAfterClick(CodeBoxText(*codeEdit)), 1);
            return false;
        }
        default:
            return false;
    }
}
