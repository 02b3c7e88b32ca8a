// Navigation members of TfrmKeyWordSearch: the keys of the window and of its text view, the wheel
// and double-click rules of the text view, the Back and Review stacks, going up to a code's
// section or chapter and moving through the categories in tabular order.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QWheelEvent>
#include <algorithm>

#include "model/TabularData.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/CodeBoxPanel.h"
#include "ui/CodeTreePanel.h"
#include "ui/KeywordBandPanel.h"
#include "ui/KeywordListPanels.h"
#include "ui/KeywordSearch.h"

namespace {

constexpr int NextHitKey = QKeyCombination(Qt::ControlModifier, Qt::Key_PageDown).toCombined();
constexpr int PriorHitKey = QKeyCombination(Qt::ControlModifier, Qt::Key_PageUp).toCombined();

}  // namespace

namespace {

bool IsNavigationKey(int key) {
    switch (key) {
        case NextHitKey:
        case PriorHitKey:
        case Qt::Key_Escape:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_F1:
        case Qt::Key_F2:
        case Qt::Key_F3:
        case Qt::Key_F4:
        case Qt::Key_F6:
        case Qt::Key_F7:
        case Qt::Key_F8:
        case Qt::Key_F9:
        case Qt::Key_F12:
            return true;
        default:
            return false;
    }
}

}  // namespace

int NavigationKeyOf(const QKeyEvent* AEvent) {
    const int key = AEvent->key();
    if ((key == Qt::Key_PageDown || key == Qt::Key_PageUp) && (AEvent->modifiers() & Qt::ControlModifier))
        return key == Qt::Key_PageDown ? NextHitKey : PriorHitKey;
    return key;
}

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

bool TfrmKeyWordSearch::TextViewKey(int key) {
    switch (key) {
        case NextHitKey:
        case PriorHitKey:
            if (const int page = Pager().NeighbourHitPage(key == PriorHitKey); page > 0) ShowPage(page);
            return true;
        case Qt::Key_Escape:
            done(2);
            return true;
        case Qt::Key_PageUp:
            ShowPage(Pager().FCurPageIndex - 1);
            return true;
        case Qt::Key_PageDown:
            ShowPage(Pager().FCurPageIndex + 1);
            return true;
        case Qt::Key_F1:
            ShowPage(1);
            return true;
        case Qt::Key_F2:
            ShowPage(Pager().FPageNumber);
            return true;
        case Qt::Key_F3:
            GoBack();
            return true;
        case Qt::Key_F4:
            GoReview();
            return true;
        // F5, F10 and F11 run the menu items' actions on the current selection. The menu's enabled
        // states are only refreshed when it opens, so they must not gate the keys: a state left over
        // from an earlier opening would silently swallow the key (and hide the invalid-code message).
        case Qt::Key_F5:
            GoToSelection();
            return true;
        case Qt::Key_F6:
            codeBox->CodeEdit()->setFocus();
            return true;
        case Qt::Key_F7:
            // Selected, so that the next search is typed over the last one.
            keywordBand->KeywordEdit()->setFocus();
            keywordBand->KeywordEdit()->selectAll();
            return true;
        case Qt::Key_F8:
            MoveInOrder(true);
            return true;
        case Qt::Key_F9:
            MoveInOrder(false);
            return true;
        case Qt::Key_F10:
            ShowAvailableCodes(SelectionText(), false);
            return true;
        case Qt::Key_F11:
            ShowAvailableCodes(SelectionText(), true);
            return true;
        case Qt::Key_F12:
            ConfirmQuit();
            return true;
        default:
            return false;
    }
}

bool TfrmKeyWordSearch::ForwardNavigationKey(int key) {
    // With the suggestion or history panel open, Esc closes that panel and nothing else.
    if (key == Qt::Key_Escape && (suggestionPanel->isVisible() || historyPanel->isVisible())) {
        HideFloatingLists();
        return true;
    }
    suggestionPanel->hide();
    if (!IsNavigationKey(key)) return false;
    TextViewKey(key);
    return true;
}

void TfrmKeyWordSearch::ConfirmQuit() {
    if (AskQuitProgram()) done(3);
}

void TfrmKeyWordSearch::reject() {
    done(2);
}

void TfrmKeyWordSearch::keyPressEvent(QKeyEvent* event) {
    const int key = NavigationKeyOf(event);
    if (suggestionPanel->isVisible() && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        ShowPage(Pager().FCurPageIndex + (key == Qt::Key_PageUp ? -1 : 1));
        return;
    }
    if (ForwardNavigationKey(key)) return;
    QDialog::keyPressEvent(event);
}

bool TfrmKeyWordSearch::eventFilter(QObject* watched, QEvent* event) {
    // The window's keys are taken where they depend on the control that has the focus; the
    // panels handle their controls' own keys (Enter in the keyword and code boxes, the lists).
    const QEvent::Type type = event->type();
    QLineEdit* keywordEdit = keywordBand->KeywordEdit();
    QLineEdit* codeEdit = codeBox->CodeEdit();
    QTreeWidget* codeList = codeTreePanel->CodeList();
    if (type == QEvent::KeyPress &&
        (watched == codeText || watched == codeList || watched == keywordEdit || watched == codeEdit)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FavoriteKey(watched, key)) return true;
        if (watched == codeEdit || watched == keywordEdit) {
            // Any key in the boxes closes the suggestions; the navigation keys act as in the text.
            return ForwardNavigationKey(NavigationKeyOf(key));
        }
    }
    if (watched == codeList) {
        if (type == QEvent::KeyPress) {
            // F10 and F11 copy the current node's code as they copy the text view's selection.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_F10 || key == Qt::Key_F11) {
                suggestionPanel->hide();
                ShowAvailableCodes(QString::fromStdString(TreeNodeCode()), key == Qt::Key_F11);
                return true;
            }
            if (ForwardNavigationKey(NavigationKeyOf(static_cast<QKeyEvent*>(event)))) return true;
        }
        // A key the window took at its press (paging, F-keys) never moved the tree's selection: its
        // release must not show the node the tree made current when it got the focus.
        if (type == QEvent::KeyRelease && !IsNavigationKey(static_cast<QKeyEvent*>(event)->key()))
            codeTreePanel->OpenCurrentNode();
        return QDialog::eventFilter(watched, event);
    }
    if (watched == codeText) {
        if (type == QEvent::KeyPress && TextViewKey(NavigationKeyOf(static_cast<QKeyEvent*>(event)))) return true;
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
