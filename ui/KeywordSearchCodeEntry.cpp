// Code entry members of TfrmKeyWordSearch: the masked code box with its typing rules, Go, going to a
// typed or selected code (through the seventh-character dialog when needed), and the code copies
// (at once for a complete code, through the Select Code dialog otherwise). What to do is decided by
// CodeEntry.h; this unit shows it.
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include "entry/CodeEntry.h"
#include "keywords/KeywordData.h"
#include "services/Messages.h"
#include "services/TextUtil.h"
#include "ui/InfoOf7Code.h"
#include "ui/KeywordSearch.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"

namespace {

// Three letter-or-digit places, a fixed full stop, four places; ">" turns typed small letters into
// capitals before they reach the box.
const QString CodeBoxMask = QStringLiteral(">nnn.nnnn;_");
constexpr QChar CodeBoxBlank = QLatin1Char('_');

// The box as eight characters, an empty place read as a blank ("A00.1   ").
std::string CodeBoxText(const QLineEdit& box) {
    QString text = box.displayText();
    text.replace(CodeBoxBlank, QLatin1Char(' '));
    return text.toStdString();
}

}  // namespace

void TfrmKeyWordSearch::SetUpCodeBox() {
    edtCode->setInputMask(CodeBoxMask);
    edtCode->setFont(TahomaFont(12));
    edtCode->installEventFilter(this);
    ResetCodeBox();
    connect(btnGo, &QPushButton::clicked, this, [this] {
        HidePrompt();
        GoToCode(QString::fromStdString(CodeBoxEntry(CodeBoxText(*edtCode))), FInitType == 4);
        edtCode->setFocus();
    });
}

void TfrmKeyWordSearch::ResetCodeBox() {
    edtCode->clear();
    edtCode->setSelection(0, 1);
}

bool TfrmKeyWordSearch::CodeBoxEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            HidePrompt();
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                btnGo->click();
                return true;
            }
            return ForwardNavigationKey(NavigationKeyOf(key));
        }
        case QEvent::KeyRelease: {
            if (std::optional<TCodeBoxState> moved = CodeBoxAfterKeyUp(CodeBoxText(*edtCode))) {
                edtCode->setText(QString::fromStdString(moved->FText));
                edtCode->setSelection(moved->FSelStart, moved->FSelLength);
            }
            return false;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            // The press has placed the caret already; move it right after what has been typed.
            edtCode->setSelection(CodeBoxCaretAfterClick(CodeBoxText(*edtCode)), 1);
            return false;
        }
        default:
            return false;
    }
}

bool TfrmKeyWordSearch::GoToCode(const QString& text, bool refillTree) {
    const TGoToCodePlan plan = PlanGoToCode(text.toStdString());
    switch (plan.FStep) {
        case TGoToCodeStep::InvalidText:
            Messages().ShowMessage(MsgSelectCorrectCode);
            ResetCodeBox();
            return false;
        case TGoToCodeStep::NoCategory:
            Messages().ShowMessage(MsgCodeNotExist);
            ResetCodeBox();
            return false;
        case TGoToCodeStep::SevenCharCode: {
            TfrmInfoOf7Code& info = frmInfoOf7Code();
            info.SetCodeInfo(text, QString::fromStdString(plan.FHeader->FCode), QString::fromStdString(plan.FFullDesc));
            if (RunModalDialog(info) != QDialog::Accepted) {
                ResetCodeBox();
                return false;
            }
            break;
        }
        case TGoToCodeStep::SeventhCharRefused:
            if (!Messages().AskYesNo(plan.FQuestion, MsgSeventhCharCaption, true)) {
                ResetCodeBox();
                return false;
            }
            break;
        case TGoToCodeStep::SubCategoryMissing:
            if (!Messages().AskYesNo(MsgSubCategoryQuestion, MsgSubCategoryCaption, true)) {
                ResetCodeBox();
                return false;
            }
            break;
        case TGoToCodeStep::Show:
            break;
    }
    if (refillTree) {
        // One node for the category, its code without the leading blank of search results.
        FillCodeTree(TTabularObject(plan.FCategory));
        if (QTreeWidgetItem* node = TreeView1->topLevelItem(0))
            node->setText(0, QString::fromStdString(plan.FCategory->FCode));
        plNum->setText(QStringLiteral("1"));
    } else {
        SelectTreeNodeOf(plan.FCategory);
    }
    PushPrior(true);
    ShowCodeAt(plan.FCategory, plan.FSubCode);
    FShownCodeText = text.trimmed().toUpper().toStdString();
    edtCode->clear();
    return true;
}

void TfrmKeyWordSearch::ShowAvailableCodes(const QString& code, bool APlusDesc) {
    const TCopyPlan plan = PlanCopy(code.toStdString());
    if (!plan.FValid) {
        Messages().ShowMessage(MsgNoCodeToCopy);
        return;
    }
    if (plan.FRefusal != nullptr) {
        Messages().ShowMessage(plan.FRefusal);
        return;
    }
    if (!plan.FShowDialog) {
        edtSelected->setText(QString::fromStdString(plan.FCode));
        const std::string clip = DirectCopyText(plan, APlusDesc, CtrlKeyHeld(), ShortDescLookup());
        QGuiApplication::clipboard()->setText(QString::fromStdString(clip));
        return;
    }
    TfrmSelectCode dialog(this);
    dialog.SetCodeHeader(plan.FHeader);
    dialog.GetAllAvailableCodes();
    if (RunModalDialog(dialog) == QDialog::Accepted) edtSelected->setText(QString::fromStdString(dialog.FSelectedCode));
}
