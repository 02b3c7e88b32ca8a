// Favourite-code members of TfrmKeyWordSearch: the list of favourite mode in the code tree, adding
// the code shown or selected to the unlocked list (Ctrl+D, context menus) and removing a listed
// code (Delete, context menu). Which codes may be listed and how a change is saved is decided by
// Favorites.h; this unit shows it.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
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
#include "ui/KeywordSearch.h"
#include "ui/SelectCode.h"
#include "userdata/Favorites.h"

namespace {

// Favourite-mode nodes carry their code text here (Qt::UserRole holds the category, as in the
// other modes).
constexpr int FavoriteCodeRole = Qt::UserRole + 1;

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsFavoriteMode(const TfrmKeyWordSearch& window) {
    return window.FInitType == 5;
}

// What the empty favourite list says in place of a code's text.
constexpr const char* EmptyFavoritesHint =
    "No favorite codes yet. Press Ctrl+D in any search window to add the code shown or selected.";

}  // namespace

void TfrmKeyWordSearch::SetUpFavorites() {
    QAction* separator = PopupMenu1->addSeparator();
    AddFavorite1 = PopupMenu1->addAction(QStringLiteral("Add to Favorites (Ctrl+D)"));
    RemoveFavorite1 = PopupMenu1->addAction(QStringLiteral("Remove from Favorites (Del)"));
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this, separator] {
        AddFavorite1->setVisible(UnlockedFavorite != nullptr);
        RemoveFavorite1->setVisible(UnlockedFavorite != nullptr && IsFavoriteMode(*this));
        separator->setVisible(UnlockedFavorite != nullptr);
    });
    connect(AddFavorite1, &QAction::triggered, this, [this] { AddToFavorites(false); });
    connect(RemoveFavorite1, &QAction::triggered, this, [this] { RemoveCurrentFavorite(); });

    // The tree's own menu acts on the node under the pointer.
    TreePopupMenu = new QMenu(this);
    QAction* addNode = TreePopupMenu->addAction(QStringLiteral("Add to Favorites (Ctrl+D)"));
    QAction* removeNode = TreePopupMenu->addAction(QStringLiteral("Remove from Favorites (Del)"));
    connect(addNode, &QAction::triggered, this, [this] { AddToFavorites(true); });
    connect(removeNode, &QAction::triggered, this, [this] { RemoveCurrentFavorite(); });
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this, removeNode](const QPoint& position) {
        QTreeWidgetItem* item = TreeView1->itemAt(position);
        if (UnlockedFavorite == nullptr || item == nullptr) return;
        TreeView1->setCurrentItem(item);
        removeNode->setVisible(IsFavoriteMode(*this));
        TreePopupMenu->popup(TreeView1->viewport()->mapToGlobal(position));
    });
}

void TfrmKeyWordSearch::FillFavoriteTree() {
    ClearCodeTree();
    if (UnlockedFavorite != nullptr) {
        for (const std::string& code : UnlockedFavorite->Codes()) {
            auto* item = new QTreeWidgetItem(TreeView1, QStringList{QStringLiteral(" ") + Q(code)});
            // A code the Tabular List does not hold (any more) is listed but opens nothing.
            item->setData(0, Qt::UserRole,
                          QVariant::fromValue(reinterpret_cast<quintptr>(CodeResolver().Resolve(code).FCategory)));
            item->setData(0, FavoriteCodeRole, Q(code));
        }
    }
    plNum->setText(QString::number(TreeView1->topLevelItemCount()));
}

bool TfrmKeyWordSearch::ShowFavoriteNode(QTreeWidgetItem* AItem) {
    const QString code = AItem->data(0, FavoriteCodeRole).toString();
    if (code.isEmpty()) return false;
    // Opened like any code: the whole category, the code (or the code it belongs to) underlined.
    const TGoToCodePlan plan = PlanGoToCode(code.toStdString());
    if (plan.FCategory == nullptr) return true;
    ShowCodeAt(plan.FCategory, plan.FSubCode);
    FShownCodeText = code.toStdString();
    return true;
}

std::string TfrmKeyWordSearch::TreeNodeCode() const {
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (item == nullptr) return {};
    const QString code = item->data(0, FavoriteCodeRole).toString();
    if (!code.isEmpty()) return code.toStdString();
    const auto* category = reinterpret_cast<const TCodeInfo*>(item->data(0, Qt::UserRole).value<quintptr>());
    return category != nullptr ? category->FCode : std::string();
}

void TfrmKeyWordSearch::ShowEmptyFavoritesHint() {
    if (IsFavoriteMode(*this) && TreeView1->topLevelItemCount() == 0)
        RichEdit1->setPlaceholderText(QString::fromUtf8(EmptyFavoritesHint));
}

std::string TfrmKeyWordSearch::CodeToAddToFavorites(bool AFromTree) {
    if (AFromTree) return TreeNodeCode();
    const QString selection = RichEdit1->textCursor().selectedText().trimmed();
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
    if (UnlockedFavorite == nullptr) {
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
    if (const TCodeResolution resolution = CodeResolver().Resolve(code);
        resolution.FVerdict == TCodeVerdict::NotReportable && resolution.FCode.size() > 3 &&
        CodeResolver().CompletionCount(resolution) > 0) {
        TfrmSelectCode dialog(this);
        dialog.SetCodeHeader(resolution.FCode);
        dialog.GetAllAvailableCodes();
        if (RunModalDialog(dialog) != QDialog::Accepted || dialog.FSelectedCode.empty()) return;
        code = dialog.FSelectedCode;
    }
    const TFavoriteEditResult result = AddFavoriteCodes(*UnlockedFavorite, {code});
    const QString message = Q(FavoriteEditMessage(result, *UnlockedFavorite, true));
    if (result.FOutcome != TFavoriteEdit::Done && result.FOutcome != TFavoriteEdit::AlreadyListed) {
        Messages().ShowMessage(message.toStdString());
        return;
    }
    FFavoriteNote = message;
    QToolTip::showText(RichEdit1->mapToGlobal(QPoint(24, 24)), message, RichEdit1, {}, 4000);
    if (IsFavoriteMode(*this) && result.FOutcome == TFavoriteEdit::Done) {
        QTreeWidgetItem* current = TreeView1->currentItem();
        const int row = current != nullptr ? TreeView1->indexOfTopLevelItem(current) : -1;
        FillFavoriteTree();
        // The node shown stays current without being opened again.
        if (row >= 0 && row < TreeView1->topLevelItemCount()) {
            FCurCodeItem = TreeView1->topLevelItem(row);
            TreeView1->setCurrentItem(FCurCodeItem);
        }
    }
}

void TfrmKeyWordSearch::RemoveCurrentFavorite() {
    if (!IsFavoriteMode(*this) || UnlockedFavorite == nullptr) return;
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (item == nullptr) return;
    const std::string code = item->data(0, FavoriteCodeRole).toString().toStdString();
    if (code.empty()) return;
    const int row = TreeView1->indexOfTopLevelItem(item);
    const TFavoriteEditResult result = RemoveFavoriteCodes(*UnlockedFavorite, {code});
    const QString message = Q(FavoriteEditMessage(result, *UnlockedFavorite, false));
    if (result.FOutcome != TFavoriteEdit::Done) {
        Messages().ShowMessage(message.toStdString());
        return;
    }
    FRemovedFavorites.emplace_back(code, row);
    FFavoriteNote = message + QStringLiteral(" Ctrl+Z puts it back.");
    QToolTip::showText(TreeView1->mapToGlobal(QPoint(24, 24)), FFavoriteNote, TreeView1, {}, 4000);
    FillFavoriteTree();
    // The next code (or the new last one) becomes current and is shown.
    const int count = TreeView1->topLevelItemCount();
    if (count == 0) {
        ClearAll();
        ShowEmptyFavoritesHint();
        return;
    }
    TreeView1->setCurrentItem(TreeView1->topLevelItem(std::min(row, count - 1)));
    TreeNodeActivated();
}

void TfrmKeyWordSearch::RestoreRemovedFavorite() {
    if (!IsFavoriteMode(*this) || UnlockedFavorite == nullptr || FRemovedFavorites.empty()) return;
    const auto [code, row] = FRemovedFavorites.back();
    FRemovedFavorites.pop_back();
    const TFavoriteEditResult result = RestoreFavoriteCode(*UnlockedFavorite, code, static_cast<std::size_t>(row));
    const QString message = Q(FavoriteEditMessage(result, *UnlockedFavorite, true));
    if (result.FOutcome != TFavoriteEdit::Done) {
        Messages().ShowMessage(message.toStdString());
        return;
    }
    FFavoriteNote = message;
    QToolTip::showText(TreeView1->mapToGlobal(QPoint(24, 24)), message, TreeView1, {}, 4000);
    FillFavoriteTree();
    // The code put back is current and shown.
    for (int index = 0; index < TreeView1->topLevelItemCount(); ++index) {
        if (TreeView1->topLevelItem(index)->data(0, FavoriteCodeRole).toString().toStdString() != code) continue;
        TreeView1->setCurrentItem(TreeView1->topLevelItem(index));
        TreeNodeActivated();
        break;
    }
}

bool TfrmKeyWordSearch::FavoriteKey(QObject* AWatched, QKeyEvent* AEvent) {
    const bool fromTree = AWatched == TreeView1;
    // Ctrl+C on a node copies exactly its code (the node's text starts with a blank).
    if (fromTree && AEvent->matches(QKeySequence::Copy)) {
        const std::string code = TreeNodeCode();
        if (!code.empty()) QApplication::clipboard()->setText(Q(code));
        return true;
    }
    if (AEvent->matches(QKeySequence::Undo) && IsFavoriteMode(*this) && (fromTree || AWatched == RichEdit1)) {
        RestoreRemovedFavorite();
        return true;
    }
    if (AEvent->key() == Qt::Key_D && (AEvent->modifiers() & Qt::ControlModifier)) {
        AddToFavorites(fromTree);
        return true;
    }
    // In the edit boxes Delete keeps its usual meaning.
    if (AEvent->key() == Qt::Key_Delete && IsFavoriteMode(*this) && (fromTree || AWatched == RichEdit1)) {
        RemoveCurrentFavorite();
        return true;
    }
    return false;
}
