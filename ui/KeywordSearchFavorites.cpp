// Favourite-code members of TfrmKeyWordSearch: the list of favourite mode in the code tree, adding
// the code shown or selected to the unlocked list (Ctrl+D, context menus) and removing a listed
// code (Delete, context menu). Which codes may be listed and how a change is saved is decided by
// Favorites.h; this unit shows it.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTextEdit>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>

#include "entry/CodeEntry.h"
#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/CodeTreePanel.h"
#include "ui/KeywordSearch.h"
#include "ui/SelectCode.h"
#include "userdata/Favorites.h"

namespace {

// What the empty favourite list says in place of a code's text.
constexpr const char* EmptyFavoritesHint =
    "No favorite codes yet. Press Ctrl+D in any search window to add the code shown or selected.";

}  // namespace

void TfrmKeyWordSearch::SetUpFavorites() {
    // The text menu's items are the window's Ctrl+D and Delete actions (BuildActions).
    QAction* separator = codeTextMenu->addSeparator();
    addFavoriteAction->setText(QStringLiteral("Add to Favorites (Ctrl+D)"));
    removeFavoriteAction->setText(QStringLiteral("Remove from Favorites (Del)"));
    codeTextMenu->addAction(addFavoriteAction);
    codeTextMenu->addAction(removeFavoriteAction);
    connect(codeTextMenu, &QMenu::aboutToShow, this, [this, separator] {
        addFavoriteAction->setVisible(UserData().Unlocked != nullptr);
        removeFavoriteAction->setVisible(UserData().Unlocked != nullptr && IsFavoriteMode());
        separator->setVisible(UserData().Unlocked != nullptr);
    });

    // The tree's own menu acts on the node under the pointer, which need not be the current one
    // the keys act on: its items are its own.
    codeTreeMenu = new QMenu(this);
    codeTreeMenu->setObjectName(QStringLiteral("codeTreeMenu"));
    QAction* addNode = codeTreeMenu->addAction(QStringLiteral("Add to Favorites (Ctrl+D)"));
    QAction* removeNode = codeTreeMenu->addAction(QStringLiteral("Remove from Favorites (Del)"));
    connect(addNode, &QAction::triggered, this, [this] { AddToFavorites(true); });
    connect(removeNode, &QAction::triggered, this, [this] { RemoveCurrentFavorite(); });
    QTreeWidget* codeList = codeTreePanel->CodeList();
    codeList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(codeList, &QWidget::customContextMenuRequested, this, [this, codeList, removeNode](const QPoint& position) {
        QTreeWidgetItem* item = codeList->itemAt(position);
        if (UserData().Unlocked == nullptr || item == nullptr) return;
        codeList->setCurrentItem(item);
        removeNode->setVisible(IsFavoriteMode());
        codeTreeMenu->popup(codeList->viewport()->mapToGlobal(position));
    });
}

void TfrmKeyWordSearch::FillFavoriteTree() {
    ClearCodeTree();
    // A code the Tabular List does not hold (any more) is listed but opens nothing.
    if (UserData().Unlocked != nullptr)
        for (const std::string& code : UserData().Unlocked->Codes())
            codeTreePanel->AddNode(LoadedData().CodeResolver().Resolve(code).FCategory,
                                   QStringLiteral(" ") + QString::fromStdString(code), QString::fromStdString(code));
    codeTreePanel->ShowCount();
}

bool TfrmKeyWordSearch::ShowFavoriteNode(int ARow) {
    const QString code = codeTreePanel->FavoriteCodeAt(ARow);
    if (code.isEmpty()) return false;
    // Opened like any code: the whole category, the code (or the code it belongs to) underlined.
    const TGoToCodePlan plan = PlanGoToCode(LoadedData().CodeResolver(), code.toStdString());
    if (plan.FCategory == nullptr) return true;
    ShowCodeAt(plan.FCategory, plan.FSubCode);
    FShownCodeText = code.toStdString();
    return true;
}

std::string TfrmKeyWordSearch::TreeNodeCode() const {
    return codeTreePanel->CurrentCode().toStdString();
}

void TfrmKeyWordSearch::ShowEmptyFavoritesHint() {
    if (IsFavoriteMode() && codeTreePanel->Count() == 0)
        codeText->setPlaceholderText(QString::fromUtf8(EmptyFavoritesHint));
}

std::string TfrmKeyWordSearch::CodeToAddToFavorites(bool AFromTree) {
    if (AFromTree) return TreeNodeCode();
    const QString selection = codeText->textCursor().selectedText().trimmed();
    if (!selection.isEmpty()) return selection.toStdString();
    const std::string& underlined = Pager().FSelectedCode;
    if (!underlined.empty()) {
        // A seventh-character code is underlined at the code it belongs to: add what was opened.
        if (FShownCodeText.rfind(underlined, 0) == 0) return FShownCodeText;
        return underlined;
    }
    if (auto* const* category = std::get_if<TCodeInfo*>(&Pager().FCurCode)) return (*category)->FCode;
    return {};
}

void TfrmKeyWordSearch::AddToFavorites(bool AFromTree) {
    if (UserData().Unlocked == nullptr) {
        Messages().ShowMessage(MsgNoFavoriteUnlocked);
        return;
    }
    std::string code = CodeToAddToFavorites(AFromTree);
    if (code.empty()) {
        Messages().ShowMessage(MsgSelectCodeFirst);
        return;
    }
    // A code that needs more characters (S52.52): the user picks one of its completions. A
    // category is listed as it is.
    if (const TCodeResolution resolution = LoadedData().CodeResolver().Resolve(code);
        resolution.FVerdict == TCodeVerdict::NotReportable && resolution.FCode.size() > 3 &&
        LoadedData().CodeResolver().CompletionCount(resolution) > 0) {
        TfrmSelectCode dialog(this);
        dialog.SetCodeHeader(resolution.FCode);
        dialog.GetAllAvailableCodes();
        if (RunModalDialog(dialog) != QDialog::Accepted || dialog.FSelectedCode.empty()) return;
        code = dialog.FSelectedCode;
    }
    const TFavoriteEditResult result = AddFavoriteCodes(LoadedData().CodeResolver(), *UserData().Unlocked, {code});
    const QString message = QString::fromStdString(FavoriteEditMessage(result, *UserData().Unlocked, true));
    if (result.FOutcome != TFavoriteEdit::Done && result.FOutcome != TFavoriteEdit::AlreadyListed) {
        Messages().ShowMessage(message.toStdString());
        return;
    }
    FFavoriteNote = message;
    QToolTip::showText(codeText->mapToGlobal(QPoint(24, 24)), message, codeText, {}, 4000);
    if (IsFavoriteMode() && result.FOutcome == TFavoriteEdit::Done) {
        const int row = codeTreePanel->CurrentRow();
        FillFavoriteTree();
        // The node shown stays current without being opened again.
        codeTreePanel->SetCurrentRow(row, true);
    }
}

void TfrmKeyWordSearch::RemoveCurrentFavorite() {
    if (!IsFavoriteMode() || UserData().Unlocked == nullptr) return;
    const int row = codeTreePanel->CurrentRow();
    const std::string code = codeTreePanel->FavoriteCodeAt(row).toStdString();
    if (code.empty()) return;
    const TFavoriteEditResult result = RemoveFavoriteCodes(*UserData().Unlocked, {code});
    const QString message = QString::fromStdString(FavoriteEditMessage(result, *UserData().Unlocked, false));
    if (result.FOutcome != TFavoriteEdit::Done) {
        Messages().ShowMessage(message.toStdString());
        return;
    }
    FRemovedFavorites.emplace_back(code, row);
    FFavoriteNote = message + QStringLiteral(" Ctrl+Z puts it back.");
    QTreeWidget* codeList = codeTreePanel->CodeList();
    QToolTip::showText(codeList->mapToGlobal(QPoint(24, 24)), FFavoriteNote, codeList, {}, 4000);
    FillFavoriteTree();
    // The next code (or the new last one) becomes current and is shown.
    const int count = codeTreePanel->Count();
    if (count == 0) {
        ClearAll();
        ShowEmptyFavoritesHint();
        return;
    }
    codeTreePanel->SetCurrentRow(std::min(row, count - 1));
    codeTreePanel->OpenCurrentNode();
}

void TfrmKeyWordSearch::RestoreRemovedFavorite() {
    if (!IsFavoriteMode() || UserData().Unlocked == nullptr || FRemovedFavorites.empty()) return;
    const auto [code, row] = FRemovedFavorites.back();
    FRemovedFavorites.pop_back();
    const TFavoriteEditResult result =
        RestoreFavoriteCode(LoadedData().CodeResolver(), *UserData().Unlocked, code, static_cast<std::size_t>(row));
    const QString message = QString::fromStdString(FavoriteEditMessage(result, *UserData().Unlocked, true));
    if (result.FOutcome != TFavoriteEdit::Done) {
        Messages().ShowMessage(message.toStdString());
        return;
    }
    FFavoriteNote = message;
    QTreeWidget* codeList = codeTreePanel->CodeList();
    QToolTip::showText(codeList->mapToGlobal(QPoint(24, 24)), message, codeList, {}, 4000);
    FillFavoriteTree();
    // The code put back is current and shown.
    for (int row = 0; row < codeTreePanel->Count(); ++row) {
        if (codeTreePanel->FavoriteCodeAt(row).toStdString() != code) continue;
        codeTreePanel->SetCurrentRow(row);
        codeTreePanel->OpenCurrentNode();
        break;
    }
}
