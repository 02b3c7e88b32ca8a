// Navigation members of TfrmKeyWordSearch: the keys of the window as actions, the text's menu, the wheel
// and double-click rules of the text view, the Back and Review stacks, going up to a code's
// section or chapter and moving through the categories in tabular order.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <string_view>

#include "model/CodeResolver.h"
#include "model/TabularData.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/CodeBoxPanel.h"
#include "ui/CodeTextPanel.h"
#include "ui/CodeTreePanel.h"
#include "ui/KeywordBandPanel.h"
#include "ui/KeywordListPanels.h"
#include "ui/KeywordSearch.h"

namespace {

// The window's keys. Those of the text view and the code list alone are scoped to them in
// BuildActions; the rest act wherever the focus is in the window.
constexpr std::array<TWindowKey, 21> WindowKeys{{
    {"closeAction", "Esc", "closes the open suggestion or history list; with none open, closes the window"},
    {"priorPageAction", "PgUp", "shows the prior page of the code text"},
    {"nextPageAction", "PgDown", "shows the next page of the code text"},
    {"priorHitPageAction", "Ctrl+PgUp", "shows the prior page holding a highlighted keyword"},
    {"nextHitPageAction", "Ctrl+PgDown", "shows the next page holding a highlighted keyword"},
    {"firstPageAction", "F1", "shows the first page"},
    {"lastPageAction", "F2", "shows the last page"},
    {"backAction", "F3", "goes back to what was shown before"},
    {"reviewAction", "F4", "goes forward again to what Back left"},
    {"goAction", "F5", "in the code text: goes to the selected code"},
    {"codeBoxAction", "F6", "moves to the code box"},
    {"keywordsAction", "F7", "moves to the keyword box with its text selected, so that typing replaces it"},
    {"priorCodeAction", "F8", "shows the category before the one shown, in tabular order"},
    {"nextCodeAction", "F9", "shows the category after the one shown, in tabular order"},
    {"copyCodeAction", "F10",
     "in the code text or the code list: copies the selected or current code (a code that needs more characters "
     "offers its completions)"},
    {"copyCodeDescAction", "F11", "in the code text or the code list: copies the code with its description"},
    {"copyCodeShortDescAction", "Ctrl+F11", "in the code text or the code list: copies the code with its description"},
    {"quitAction", "F12", "asks whether to quit the program"},
    {"addFavoriteAction", "Ctrl+D", "adds the code shown or selected to the unlocked favourite list"},
    {"removeFavoriteAction", "Del",
     "favourite codes, in the code list or text: removes the current code from the list"},
    {"restoreFavoriteAction", "Ctrl+Z", "favourite codes, in the code list or text: puts the code removed last back"},
}};

}  // namespace

void WidenCodeSelection(const QString& AText, int& AStart, int& ALength) {
    const int s = AStart;
    const int n = ALength;
    const QString t = AText.mid(s, n);
    if (t.trimmed().isEmpty()) return;
    if (t == QStringLiteral(".")) {
        // The full stop of a code was hit: the code runs from its three-character category to the
        // last letter or digit after the stop.
        int begin = s;
        while (begin > 0 && AText[begin - 1].isLetterOrNumber()) --begin;
        int end = s + 1;
        while (end < AText.size() && AText[end].isLetterOrNumber()) ++end;
        if (s - begin == 3 && AText[begin].isLetter() && AText[begin + 1].isDigit()) {
            AStart = begin;
            ALength = end - begin;
        }
        return;
    }
    auto slice = [&](int from, int count) { return from < 0 ? QString() : AText.mid(from, count); };
    if (s > 4 && n >= 1 && n <= 4) {
        // The part after the full stop was hit: look back for "X00." preceded by a separator.
        const QString wide = slice(s - 5, n + 5);
        if (wide.size() >= 5 && wide[4] == QLatin1Char('.') &&
            (wide[0] == QLatin1Char(' ') || wide[0] == QLatin1Char('(') || wide[0] == QLatin1Char('-'))) {
            AStart = s - 4;
            ALength = t.endsWith(QLatin1Char(' ')) ? n + 3 : n + 4;
            return;
        }
        // Not a sub-code part after all: a category part further into the line is tried next.
    }
    if (t.size() == 3) {
        // The category part was hit: extend over the full stop to the next separator.
        const QString wide = slice(s, n + 5);
        if (wide.size() > 5 && wide[3] == QLatin1Char('.')) {
            for (int i = 6; i <= wide.size(); ++i) {
                const QChar c = wide[i - 1];
                if (c == QLatin1Char(' ') || c == QLatin1Char(')') || c == QLatin1Char('-')) {
                    AStart = s;
                    ALength = i - 1;
                    return;
                }
            }
        }
    }
}

void TfrmKeyWordSearch::GoUpToChapter() {
    TChapter* chapter = nullptr;
    if (auto* const* code = std::get_if<TCodeInfo*>(&Pager().FCurCode))
        chapter = (*code)->FSubChapter->FChapter;
    else if (auto* const* section = std::get_if<TSubChapter*>(&Pager().FCurCode))
        chapter = (*section)->FChapter;
    if (chapter == nullptr) return;
    suggestionPanel->hide();
    PushPrior(true);
    Pager().FSelectedCode.clear();
    ShowObject(chapter, 1);
    codeText->setFocus();
}

void TfrmKeyWordSearch::GoUpToSection() {
    auto* const* code = std::get_if<TCodeInfo*>(&Pager().FCurCode);
    if (code == nullptr) return;
    suggestionPanel->hide();
    PushPrior(true);
    Pager().FSelectedCode.clear();
    ShowObject((*code)->FSubChapter, 1);
    codeText->setFocus();
}

void TfrmKeyWordSearch::PushPrior(bool clearReview) {
    if (IsEmptyObject(Pager().FCurCode)) return;
    FPriorStack.push_back({Pager().FCurCode, Pager().FSelectedCode, Pager().FCurPageIndex});
    if (clearReview) FReviewStack.clear();
}

void TfrmKeyWordSearch::PushReview() {
    if (IsEmptyObject(Pager().FCurCode)) return;
    FReviewStack.push_back({Pager().FCurCode, Pager().FSelectedCode, Pager().FCurPageIndex});
}

void TfrmKeyWordSearch::GoBack() {
    suggestionPanel->hide();
    if (FPriorStack.empty()) return;
    const TVisitItem item = FPriorStack.back();
    FPriorStack.pop_back();
    PushReview();
    Pager().FSelectedCode = item.FSelectedCode;
    ShowObject(item.FObject, item.FPageIndex);
}

void TfrmKeyWordSearch::GoReview() {
    suggestionPanel->hide();
    if (FReviewStack.empty()) return;
    const TVisitItem item = FReviewStack.back();
    FReviewStack.pop_back();
    PushPrior(false);
    Pager().FSelectedCode = item.FSelectedCode;
    ShowObject(item.FObject, item.FPageIndex);
}

// The neighbouring category in tabular order; sections or chapters without categories are skipped.
TCodeInfo* NeighbourCategory(const TChapterList& AChapters, TCodeInfo* code, bool prior) {
    TSubChapter* section = code->FSubChapter;
    if (section == nullptr || section->FChapter == nullptr) return nullptr;
    auto& codes = section->FCodeList;
    auto codeIt = std::find_if(codes.begin(), codes.end(), [&](const auto& item) { return item.get() == code; });
    if (codeIt == codes.end()) return nullptr;
    const long codeIndex = codeIt - codes.begin();
    if (!prior && codeIndex + 1 < static_cast<long>(codes.size())) return codes[codeIndex + 1].get();
    if (prior && codeIndex > 0) return codes[codeIndex - 1].get();
    // Walk the flat sequence of sections of all chapters from the current one.
    std::vector<TSubChapter*> sections;
    long current = -1;
    for (const auto& chapter : AChapters)
        for (const auto& sub : chapter->FSubList) {
            if (sub.get() == section) current = static_cast<long>(sections.size());
            sections.push_back(sub.get());
        }
    if (current < 0) return nullptr;
    for (long i = prior ? current - 1 : current + 1; i >= 0 && i < static_cast<long>(sections.size());
         i += prior ? -1 : 1) {
        auto& list = sections[static_cast<std::size_t>(i)]->FCodeList;
        if (!list.empty()) return prior ? list.back().get() : list.front().get();
    }
    return nullptr;
}

void TfrmKeyWordSearch::MoveInOrder(bool prior) {
    auto* const* code = std::get_if<TCodeInfo*>(&Pager().FCurCode);
    if (code == nullptr) return;
    TCodeInfo* neighbour = NeighbourCategory(LoadedData().Tabular.Chapters, *code, prior);
    if (neighbour == nullptr) return;
    PushPrior(true);
    ShowCodeAt(neighbour, std::string());
}

std::span<const TWindowKey> TfrmKeyWordSearch::KeyTable() {
    return WindowKeys;
}

void TfrmKeyWordSearch::BuildActions() {
    FActions = AddWindowActions(this, KeyTable());
    auto action = [this](const char* name) { return FActions.value(QLatin1String(name)); };
    // Every key but Esc closes the suggestions first. Paging from inside the suggestion list (the
    // list took PgUp or PgDn first and could move no further) pages the code text and keeps them.
    auto onKey = [this, &action](const char* name, std::function<void()> run, bool keepsSuggestions = false) {
        connect(action(name), &QAction::triggered, this, [this, run = std::move(run), keepsSuggestions] {
            if (!keepsSuggestions || !suggestionPanel->isAncestorOf(QApplication::focusWidget()))
                suggestionPanel->hide();
            run();
        });
    };
    connect(action("closeAction"), &QAction::triggered, this, &TfrmKeyWordSearch::CloseListOrWindow);
    onKey(
        "priorPageAction", [this] { ShowPage(Pager().FCurPageIndex - 1); }, true);
    onKey(
        "nextPageAction", [this] { ShowPage(Pager().FCurPageIndex + 1); }, true);
    auto hitPage = [this](bool prior) {
        if (const int page = Pager().NeighbourHitPage(prior); page > 0) ShowPage(page);
    };
    onKey("priorHitPageAction", [hitPage] { hitPage(true); });
    onKey("nextHitPageAction", [hitPage] { hitPage(false); });
    onKey("firstPageAction", [this] { ShowPage(1); });
    onKey("lastPageAction", [this] { ShowPage(Pager().FPageNumber); });
    onKey("backAction", [this] { GoBack(); });
    onKey("reviewAction", [this] { GoReview(); });
    onKey("goAction", [this] { GoToSelection(); });
    onKey("codeBoxAction", [this] { codeBox->CodeEdit()->setFocus(); });
    onKey("keywordsAction", [this] {
        // Selected, so that the next search is typed over the last one.
        keywordBand->KeywordEdit()->setFocus();
        keywordBand->KeywordEdit()->selectAll();
    });
    onKey("priorCodeAction", [this] { MoveInOrder(true); });
    onKey("nextCodeAction", [this] { MoveInOrder(false); });
    // The copy keys act on the text view's selection, or on the code list's current node while the
    // list has the focus. They are never gated by the menu's enabled states (refreshed only while it
    // shows): a stale state would swallow the key and hide the invalid-code message.
    onKey("copyCodeAction", [this] { CopyCode(false); });
    onKey("copyCodeDescAction", [this] { CopyCode(true); });
    onKey("copyCodeShortDescAction", [this] { CopyCode(true); });
    onKey("quitAction", [this] { ConfirmQuit(); });
    onKey("addFavoriteAction", [this] { AddToFavorites(QApplication::focusWidget() == codeTreePanel->CodeList()); });
    onKey("removeFavoriteAction", [this] { RemoveCurrentFavorite(); });
    onKey("restoreFavoriteAction", [this] { RestoreRemovedFavorite(); });

    // The page bar's buttons are the same actions as the keys.
    connect(codeTextPanel, &TCodeTextPanel::firstPageClicked, action("firstPageAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::priorPageClicked, action("priorPageAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::nextPageClicked, action("nextPageAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::lastPageClicked, action("lastPageAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::backClicked, action("backAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::reviewClicked, action("reviewAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::priorCodeClicked, action("priorCodeAction"), &QAction::trigger);
    connect(codeTextPanel, &TCodeTextPanel::nextCodeClicked, action("nextCodeAction"), &QAction::trigger);

    // Keys that belong to the text view and the code list only: Go (the text's selection), the copy
    // keys, and in favourite mode Delete and Ctrl+Z (elsewhere the edit boxes keep their own).
    QTreeWidget* codeList = codeTreePanel->CodeList();
    for (const char* name : {"goAction", "copyCodeAction", "copyCodeDescAction", "copyCodeShortDescAction",
                             "removeFavoriteAction", "restoreFavoriteAction"}) {
        action(name)->setShortcutContext(Qt::WidgetShortcut);
        removeAction(action(name));
        codeText->addAction(action(name));
        if (std::string_view(name) != "goAction") codeList->addAction(action(name));
    }
    goAction = action("goAction");
    copyCodeAction = action("copyCodeAction");
    copyCodeDescAction = action("copyCodeDescAction");
    copyCodeShortDescAction = action("copyCodeShortDescAction");
    addFavoriteAction = action("addFavoriteAction");
    removeFavoriteAction = action("removeFavoriteAction");
    restoreFavoriteAction = action("restoreFavoriteAction");
}

void TfrmKeyWordSearch::BuildMenus() {
    // Context menu of the code text: Copy, and the window's key actions with their captions.
    codeTextMenu = new QMenu(this);
    codeTextMenu->setObjectName(QStringLiteral("codeTextMenu"));
    copyAction = new QAction(QStringLiteral("Copy (Ctrl+C)"), this);
    copyAction->setObjectName(QStringLiteral("copyAction"));
    goAction->setText(QStringLiteral("Go (F5)"));
    copyCodeAction->setText(QStringLiteral("Copy Code (F10)"));
    copyCodeDescAction->setText(QStringLiteral("Copy Code + Desc (F11)"));
    copyCodeShortDescAction->setText(QStringLiteral("Copy Code + Short Desc (Ctrl + F11)"));
    codeTextMenu->addActions({goAction, copyAction});
    codeTextMenu->addSeparator();
    codeTextMenu->addActions({copyCodeAction, copyCodeDescAction, copyCodeShortDescAction});
    connect(codeText, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        UpdateMenuStates();
        codeTextMenu->popup(codeText->viewport()->mapToGlobal(position));
    });
    // The menu's states hold while it shows; the keys are never gated by them.
    connect(codeTextMenu, &QMenu::aboutToHide, this, &TfrmKeyWordSearch::ResetKeyStates);
    connect(copyAction, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(SelectedViewText()); });
}

void TfrmKeyWordSearch::GoToSelection() {
    GoToCode(SelectionText(), false);
    codeText->setFocus();
}

void TfrmKeyWordSearch::UpdateMenuStates() {
    const bool isCode = NormalizeCodeText(SelectionText().toStdString()).has_value();
    goAction->setEnabled(isCode);
    copyCodeAction->setEnabled(isCode);
    copyAction->setEnabled(!codeText->textCursor().selectedText().isEmpty());
    copyCodeDescAction->setEnabled(true);
    copyCodeShortDescAction->setEnabled(true);
}

void TfrmKeyWordSearch::ResetKeyStates() {
    for (QAction* action : std::as_const(FActions)) {
        action->setEnabled(true);
        action->setVisible(true);
    }
    // Delete and Ctrl+Z edit the favourite list only in favourite mode.
    removeFavoriteAction->setEnabled(IsFavoriteMode());
    restoreFavoriteAction->setEnabled(IsFavoriteMode());
}

QAction* TfrmKeyWordSearch::ActionForKey(const QObject* ATarget, const QKeyEvent& AKey) const {
    const QKeySequence pressed(QKeyCombination(AKey.modifiers() & ~Qt::KeypadModifier, Qt::Key(AKey.key())));
    for (QAction* action : std::as_const(FActions)) {
        if (!action->shortcuts().contains(pressed)) continue;
        const bool reaches =
            action->shortcutContext() != Qt::WidgetShortcut || action->associatedObjects().contains(ATarget);
        return reaches && action->isEnabled() && action->isVisible() ? action : nullptr;
    }
    return nullptr;
}

bool TfrmKeyWordSearch::RunKeyAction(const QObject* ATarget, const QKeyEvent& AKey) {
    QAction* action = ActionForKey(ATarget, AKey);
    if (action != nullptr) action->trigger();
    return action != nullptr;
}

void TfrmKeyWordSearch::CloseListOrWindow() {
    // With the suggestion or history list open, Esc closes that list and nothing else; from inside
    // the list the keyword box takes the focus back.
    if (suggestionPanel->isVisible() || historyPanel->isVisible()) {
        const bool fromList = suggestionPanel->isAncestorOf(QApplication::focusWidget()) ||
                              historyPanel->isAncestorOf(QApplication::focusWidget());
        HideFloatingLists();
        if (fromList) keywordBand->KeywordEdit()->setFocus();
        return;
    }
    done(2);
}

void TfrmKeyWordSearch::CopyCode(bool APlusDesc) {
    if (QApplication::focusWidget() == codeTreePanel->CodeList())
        ShowAvailableCodes(QString::fromStdString(TreeNodeCode()), APlusDesc);
    else
        ShowAvailableCodes(SelectionText(), APlusDesc);
}

void TfrmKeyWordSearch::ConfirmQuit() {
    if (AskQuitProgram()) done(3);
}

void TfrmKeyWordSearch::reject() {
    done(2);
}

void TfrmKeyWordSearch::keyPressEvent(QKeyEvent* event) {
    // A window key that no shortcut took (no window active) and no control used.
    if (RunKeyAction(this, *event)) return;
    QDialog::keyPressEvent(event);
}

bool TfrmKeyWordSearch::eventFilter(QObject* watched, QEvent* event) {
    // The window's keys are actions (KeyTable). What stays here depends on which control has the
    // focus, which no window-wide shortcut can express: Ctrl+C in the code list, the suggestions
    // closing on a key in the boxes, the list's key releases, the text view's wheel and double-click.
    const QEvent::Type type = event->type();
    QLineEdit* keywordEdit = keywordBand->KeywordEdit();
    QLineEdit* codeEdit = codeBox->CodeEdit();
    QTreeWidget* codeList = codeTreePanel->CodeList();
    const bool keyControl = watched == codeText || watched == codeList || watched == keywordEdit || watched == codeEdit;
    if (type == QEvent::KeyPress && keyControl) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        // A window key reaches a control only when its shortcut could not fire: no window is active
        // (as under the offscreen platform after a nested modal window closed), or the control
        // claimed the key (a line edit's own Ctrl+D). It runs the same action.
        if (RunKeyAction(watched, key)) return true;
        // Ctrl+C on a node copies exactly its code (the node's text starts with a blank); the text
        // view copies its selection itself.
        if (watched == codeList && key.matches(QKeySequence::Copy)) {
            const std::string code = TreeNodeCode();
            if (!code.empty()) QApplication::clipboard()->setText(QString::fromStdString(code));
            return true;
        }
        // Any other key in the boxes or the list closes the suggestions (typing reopens them).
        if (watched != codeText) suggestionPanel->hide();
    }
    if (watched == codeList) {
        // A key the window took at its press (paging, F-keys) never moved the tree's selection: its
        // release must not show the node the tree made current when it got the focus.
        if (type == QEvent::KeyRelease && ActionForKey(codeList, *static_cast<QKeyEvent*>(event)) == nullptr)
            codeTreePanel->OpenCurrentNode();
        return QDialog::eventFilter(watched, event);
    }
    if (watched == codeText) {
        if (type == QEvent::FocusIn) suggestionPanel->hide();
        return QDialog::eventFilter(watched, event);
    }
    if (watched == codeText->viewport()) {
        if (type == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const uint32_t now = FTickSource();
            if (static_cast<uint32_t>(now - FLastTick) > 300) {
                codeText->setEnabled(false);
                const int delta = wheel->angleDelta().y();
                ShowPage(Pager().FCurPageIndex + (delta <= 0 ? 1 : -1));
                codeText->setEnabled(true);
                codeText->setFocus();
            }
            FLastTick = now;
            return true;
        }
        if (type == QEvent::MouseButtonDblClick && !FInDoubleClick) {
            FInDoubleClick = true;
            // Let the view select the word first, then widen the selection to the whole code.
            QCoreApplication::sendEvent(codeText->viewport(), event);  // re-entry below is skipped
            QTextCursor cursor = codeText->textCursor();
            int start = cursor.selectionStart();
            int length = cursor.selectionEnd() - start;
            WidenCodeSelection(codeText->toPlainText(), start, length);
            cursor.setPosition(start);
            cursor.setPosition(std::min(start + length, static_cast<int>(codeText->toPlainText().size())),
                               QTextCursor::KeepAnchor);
            codeText->setTextCursor(cursor);
            FInDoubleClick = false;
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
