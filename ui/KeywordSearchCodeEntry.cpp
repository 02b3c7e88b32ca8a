// Code entry members of TfrmKeyWordSearch: going to a typed or selected code (through the
// seventh-character dialog when needed), and the code copies (at once for a complete code, through
// the Select Code dialog otherwise). What to do is decided by CodeEntry.h; this unit shows it.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "entry/CodeEntry.h"
#include "keywords/KeywordData.h"
#include "services/Messages.h"
#include "services/TextUtil.h"
#include "startup/LoadedData.h"
#include "ui/CodeBoxPanel.h"
#include "ui/CodeTreePanel.h"
#include "ui/InfoOf7Code.h"
#include "ui/KeywordSearch.h"
#include "ui/SelectCode.h"
#include "ui/UiStyle.h"

void TfrmKeyWordSearch::ResetCodeBox() {
    codeBox->Reset();
}

bool TfrmKeyWordSearch::GoToCode(const QString& text, bool refillTree) {
    const TGoToCodePlan plan = PlanGoToCode(LoadedData().CodeResolver(), text.toStdString());
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
        ClearCodeTree();
        codeTreePanel->AddNode(plan.FCategory, QString::fromStdString(plan.FCategory->FCode));
        codeTreePanel->ShowCount();
    } else {
        codeTreePanel->SelectNodeOf(plan.FCategory);
    }
    PushPrior(true);
    ShowCodeAt(plan.FCategory, plan.FSubCode);
    FShownCodeText = text.trimmed().toUpper().toStdString();
    codeBox->CodeEdit()->clear();
    return true;
}

void TfrmKeyWordSearch::ShowAvailableCodes(const QString& code, bool APlusDesc) {
    const TCopyPlan plan = PlanCopy(LoadedData().CodeResolver(), code.toStdString());
    if (!plan.FValid) {
        Messages().ShowMessage(MsgNoCodeToCopy);
        return;
    }
    if (plan.FRefusal != nullptr) {
        Messages().ShowMessage(plan.FRefusal);
        return;
    }
    if (!plan.FShowDialog) {
        codeBox->ShowSelectedCode(QString::fromStdString(plan.FCode));
        const std::string clip = DirectCopyText(plan, APlusDesc, CtrlKeyHeld(), ShortDescLookup());
        QGuiApplication::clipboard()->setText(QString::fromStdString(clip));
        return;
    }
    TfrmSelectCode dialog(this);
    dialog.SetCodeHeader(plan.FHeader);
    dialog.GetAllAvailableCodes();
    if (RunModalDialog(dialog) == QDialog::Accepted)
        codeBox->ShowSelectedCode(QString::fromStdString(dialog.FSelectedCode));
}
