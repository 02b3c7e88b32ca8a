#include "ui/KeywordSearch.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "keywords/KeywordPrompt.h"
#include "keywords/KeywordSearch.h"
#include "model/CodeResolver.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/ChapterBandPanel.h"
#include "ui/CodeBoxPanel.h"
#include "ui/CodeTextPanel.h"
#include "ui/CodeTreePanel.h"
#include "ui/DataSetSignals.h"
#include "ui/KeywordBandPanel.h"
#include "ui/KeywordListPanels.h"
#include "ui/PanelStyle.h"
#include "ui/QtTextView.h"
#include "ui/UiStyle.h"
#include "userdata/SearchHistory.h"

namespace {

constexpr int ClientWidth = 1167;
constexpr int ClientHeight = 691;
constexpr int TitleHeight = 50;
constexpr int KeywordBandHeight = 85;
constexpr int CodeBoxHeight = 31;
constexpr int BandFullHeight = 122;

// What the empty code view says after a search that found nothing.
constexpr const char* NoCategoryMatched = "No category matches the keywords.";

uint32_t CurrentTick() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    // Offset so that a window shown right after start still sees a full 300 ms gap.
    return static_cast<uint32_t>(clock.elapsed() + 1000);
}

}  // namespace

// Window-side effects of the pager and the search state of the window.
struct TfrmKeyWordSearch::TPrivate : public TCodeTextPagerHost {
    explicit TPrivate(TfrmKeyWordSearch* AOwner) : owner(AOwner) {}

    TfrmKeyWordSearch* owner;
    std::unique_ptr<TQtTextView> view;
    TCodeTextPager pager;
    TKeywordSearchState search{LoadedData().Tabular.Chapters, LoadedData().Keywords, LoadedData().Status};
    bool shown = false;
    // The Tabular List has settled: the window is set up and its panels take input.
    bool tabularSettled = false;
    // A search or a suggestion refresh waits for the keyword data to settle.
    bool searchQueued = false;
    bool promptQueued = false;

    void HideSuggestions() override { owner->suggestionPanel->hide(); }
    void PageShown(const std::string& ACounterText, bool AFirstPriorEnabled, bool ANextLastEnabled) override {
        owner->codeTextPanel->ShowPageState(QString::fromStdString(ACounterText), AFirstPriorEnabled, ANextLastEnabled);
        owner->ShowHitPages();
    }
    void PageCountUpdated() override {
        owner->codeTextPanel->SetVisitState(!owner->FPriorStack.empty(), !owner->FReviewStack.empty());
    }
    bool MeasureView(const TTabularObject& AObject, TViewMetrics& AMetrics) override {
        AMetrics = owner->ArrangeViewFor(AObject);
        return true;
    }
    void ContentBuilt(const TTabularObject& AObject, bool ARelayout) override { owner->UpdateBand(AObject, ARelayout); }
};

TfrmKeyWordSearch::TfrmKeyWordSearch(QWidget* parent) : QDialog(parent), d(std::make_unique<TPrivate>(this)) {
    FTickSource = CurrentTick;
    setObjectName(QStringLiteral("frmKeyWordSearch"));
    setFont(TahomaFont(12));
    SetUpSearchWindowFrame(this, ClientWidth, ClientHeight);

    // Title band, with the pages on which the searched keywords are highlighted at its right.
    titleLabel = new QLabel(QStringLiteral("Tabular Search"), this);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFont(TahomaFont(29));
    titleLabel->setFixedHeight(TitleHeight);
    FillBackground(titleLabel, SkyBlue);
    hitPagesLabel = new QLabel(titleLabel);
    hitPagesLabel->setObjectName(QStringLiteral("hitPagesLabel"));
    hitPagesLabel->setFont(TahomaFont(12));
    hitPagesLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    hitPagesLabel->setWordWrap(true);
    auto* titleRow = new QHBoxLayout(titleLabel);
    titleRow->setContentsMargins(0, 0, 8, 0);
    titleRow->addStretch(1);
    titleRow->addWidget(hitPagesLabel);

    codeTreePanel = new TCodeTreePanel(this);
    chapterBand = new TChapterBandPanel(this);
    codeTextPanel = new TCodeTextPanel(this);
    codeText = codeTextPanel->TextView();
    codeText->installEventFilter(this);
    codeText->viewport()->installEventFilter(this);
    d->view = std::make_unique<TQtTextView>(codeText);
    d->pager.SetView(d->view.get());
    d->pager.SetHost(d.get());

    searchArea = new QWidget(this);
    searchArea->setObjectName(QStringLiteral("searchArea"));
    searchArea->setFixedHeight(KeywordBandHeight + CodeBoxHeight);
    keywordBand = new TKeywordBandPanel(searchArea);
    keywordBand->setFixedHeight(KeywordBandHeight);
    codeBox = new TCodeBoxPanel(searchArea);
    codeBox->setFixedHeight(CodeBoxHeight);
    auto* searchLayout = new QVBoxLayout(searchArea);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->setSpacing(0);
    searchLayout->addWidget(keywordBand);
    searchLayout->addWidget(codeBox);
    suggestionPanel = new TSuggestionPanel(this);
    historyPanel = new TSearchHistoryPanel(this);

    auto* middle = new QVBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(chapterBand);
    middle->addWidget(codeTextPanel, 1);
    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->addWidget(codeTreePanel);
    columns->addLayout(middle, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The window's size is set by its frame and the screen, never by what the panels would like.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(titleLabel);
    layout->addLayout(columns, 1);
    layout->addWidget(searchArea);

    BuildActions();
    BuildMenus();
    WirePanels();
    SetUpFavorites();
    // Enter has its own meaning in the keyword box, the code box and the suggestion grid; it must
    // never fall through to the dialog and press whichever button happens to be the default.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

TfrmKeyWordSearch::~TfrmKeyWordSearch() {
    // The pager must not call back into widgets that are being destroyed.
    d->pager.SetHost(nullptr);
    d->pager.SetView(nullptr);
}

int TfrmKeyWordSearch::ExecAtCode(QWidget* AParent, const QString& ACode) {
    TfrmKeyWordSearch window(AParent);
    window.FInitType = TTabularOpening::Code;
    window.FInitCode = ACode;
    return window.exec();
}

void TfrmKeyWordSearch::WirePanels() {
    connect(codeTreePanel, &TCodeTreePanel::nodeChosen, this, &TfrmKeyWordSearch::OpenTreeNode);
    codeTreePanel->CodeList()->installEventFilter(this);
    connect(chapterBand, &TChapterBandPanel::chapterNameClicked, this, &TfrmKeyWordSearch::GoUpToChapter);
    connect(chapterBand, &TChapterBandPanel::sectionNameClicked, this, &TfrmKeyWordSearch::GoUpToSection);

    keywordBand->KeywordEdit()->installEventFilter(this);
    connect(keywordBand, &TKeywordBandPanel::searchRequested, this, &TfrmKeyWordSearch::RunKeywordSearch);
    connect(keywordBand, &TKeywordBandPanel::historyRequested, this, &TfrmKeyWordSearch::ShowHistoryPanel);
    connect(keywordBand, &TKeywordBandPanel::clearKeywordsRequested, this, &TfrmKeyWordSearch::ClearKeywordControls);
    connect(keywordBand, &TKeywordBandPanel::clearAllRequested, this, &TfrmKeyWordSearch::ClearAll);
    connect(keywordBand, &TKeywordBandPanel::keywordKeyReleased, this, &TfrmKeyWordSearch::KeywordKeyReleased);
    connect(keywordBand, &TKeywordBandPanel::fullTextClicked, suggestionPanel, &QWidget::hide);
    connect(suggestionPanel, &TSuggestionPanel::keywordChosen, this, &TfrmKeyWordSearch::InsertPromptKeyword);
    connect(suggestionPanel, &TSuggestionPanel::closedByEscape, this,
            [this] { keywordBand->KeywordEdit()->setFocus(); });
    connect(historyPanel, &TSearchHistoryPanel::entryChosen, this,
            [this](const QString& text) { keywordBand->KeywordEdit()->setText(text); });
    connect(historyPanel, &TSearchHistoryPanel::closedByKey, this, [this] { keywordBand->KeywordEdit()->setFocus(); });

    codeBox->CodeEdit()->installEventFilter(this);
    connect(codeBox, &TCodeBoxPanel::goRequested, this, [this](const QString& code) {
        suggestionPanel->hide();
        GoToCode(code, FInitType == TTabularOpening::CodeSearch);
        codeBox->CodeEdit()->setFocus();
    });
}

TCodeTextPager& TfrmKeyWordSearch::Pager() {
    return d->pager;
}
TTabularObject TfrmKeyWordSearch::CurrentObject() const {
    return d->pager.FCurCode;
}
QString TfrmKeyWordSearch::ViewText() const {
    return codeText->toPlainText();
}
QString TfrmKeyWordSearch::PageCounterText() const {
    return codeTextPanel->PageCounterText();
}

QString TfrmKeyWordSearch::SelectionText() const {
    return codeText->textCursor().selectedText().trimmed();
}

QString TfrmKeyWordSearch::SelectedViewText() const {
    // The view reports line ends inside a selection as Unicode paragraph separators; the clipboard
    // gets ordinary line breaks so that a copied block pastes as the lines it shows.
    QString text = codeText->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void TfrmKeyWordSearch::PlaceHitPages() {
    // Right of the centred title, never over it.
    const int titleWidth = QFontMetrics(titleLabel->font()).horizontalAdvance(titleLabel->text());
    hitPagesLabel->setFixedWidth(std::clamp((width() - titleWidth) / 2 - 16, 0, 440));
}

void TfrmKeyWordSearch::ShowHitPages() {
    const std::vector<int> pages = d->pager.KeywordHitPages();
    QString text;
    if (!pages.empty()) {
        // Only the first pages are named; a keyword on more pages than that is on "many".
        constexpr std::size_t Named = 10;
        QStringList numbers;
        for (std::size_t i = 0; i < std::min(pages.size(), Named); ++i) numbers << QString::number(pages[i]);
        if (pages.size() > Named) numbers << QStringLiteral("…");
        text = (pages.size() == 1 ? QStringLiteral("Keywords on page ") : QStringLiteral("Keywords on pages ")) +
               numbers.join(QStringLiteral(", ")) + QStringLiteral("  (Ctrl+PgDn next, Ctrl+PgUp prior)");
    }
    hitPagesLabel->setText(text);
    codeTextPanel->SetPageCounterTip(text);
    PlaceHitPages();
}

void TfrmKeyWordSearch::ApplyInitType() {
    QString title = QStringLiteral("Tabular Search");
    QString type = QStringLiteral("Search");
    searchArea->show();
    codeTreePanel->SetWholeCodes(IsFavoriteMode());
    ResetKeyStates();
    if (std::holds_alternative<TSubChapter*>(FInitObject)) {
        title = QStringLiteral("Sub-Chapter Information");
        type = QStringLiteral("Code");
    } else if (std::holds_alternative<TChapter*>(FInitObject)) {
        title = QStringLiteral("Chapter Information");
        type = QStringLiteral("Code");
    } else if (!IsEmptyObject(FInitObject) || !FInitCode.isEmpty()) {
        title = QStringLiteral("Tabular Section");
        type = QStringLiteral("Code");
    } else if (IsFavoriteMode()) {
        title = QStringLiteral("Favorite Codes");
        type = QStringLiteral("Favorite");
        // Favourite mode hides the search area (the middle takes its room).
        searchArea->hide();
    } else if (FInitType == TTabularOpening::CodeSearch) {
        codeBox->CodeEdit()->setFocus();
    } else {
        keywordBand->KeywordEdit()->setFocus();
    }
    titleLabel->setText(title);
    codeTreePanel->SetListKind(type);
}

void TfrmKeyWordSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (d->shown) {
        UpdateGeometry();
        return;
    }
    d->shown = true;
    ApplyInitType();
    // Navigation and code entry read the chapters: the window is set up once the Tabular List has
    // settled (at once when it has; the waiting window shows meanwhile), and until then its panels
    // take no input.
    if (LoadedData().Status[TDataSet::Tabular].load() == TLoadState::Loading) SetPanelsEnabled(false);
    WhenDataSetSettled(this, TDataSet::Tabular, [this](TLoadState) { SetUpOnceSettled(); });
}

void TfrmKeyWordSearch::SetPanelsEnabled(bool AEnabled) {
    for (QWidget* panel : std::initializer_list<QWidget*>{codeTreePanel, chapterBand, codeTextPanel, searchArea})
        panel->setEnabled(AEnabled);
}

void TfrmKeyWordSearch::SetUpOnceSettled() {
    const bool waited = !codeTextPanel->isEnabled();
    d->tabularSettled = true;
    if (waited) {
        SetPanelsEnabled(true);
        ApplyInitType();  // the focus, now that the boxes take it
    }
    FLastTick = FTickSource();
    UpdateGeometry();
    if (IsFavoriteMode() && IsEmptyObject(FInitObject) && FInitCode.isEmpty()) {
        // Favourite mode lists the unlocked list and shows its first code.
        FillFavoriteTree();
        if (codeTreePanel->Count() > 0) {
            codeTreePanel->SetCurrentRow(0);
            codeTreePanel->OpenCurrentNode();
        }
        ShowEmptyFavoritesHint();
        codeTreePanel->CodeList()->setFocus();
    }
}

void TfrmKeyWordSearch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceHitPages();
    // Only after the first showing has set the window up for what it was opened on: a window fitted
    // to a small screen as it shows is resized before its own show handler runs.
    if (isVisible() && d->shown) UpdateGeometry();
}

void TfrmKeyWordSearch::UpdateGeometry() {
    if (isMinimized() || !d->tabularSettled) return;
    // The panels stand where the layout puts them before the view is measured.
    layout()->activate();
    // A view too small for a page keeps the old page geometry and scrolls (the pager measures the
    // view at every layout); the object the window was opened on is shown all the same, since a
    // maximised window on a small screen never grows.
    MeasureTextArea();
    if (!IsEmptyObject(FInitObject)) {
        ShowObject(FInitObject, 1);
        FillCodeTree(FInitObject);
        FInitObject = std::monostate{};
    } else if (!FInitCode.isEmpty()) {
        const QString code = FInitCode;
        if (GoToCode(code, true)) codeText->setFocus();
        FInitCode.clear();
    } else {
        d->pager.Remeasure();
    }
}

TViewMetrics TfrmKeyWordSearch::MeasureTextArea() {
    const QFontMetricsF metrics(codeText->font());
    // The designed line height: the font's pixel height scaled by the screen's pixels per inch
    // over 72 (19 px at 96 dpi gives 25). A font whose real line spacing is taller uses that
    // instead, so a page never holds more lines than the view shows. Lines are drawn at exactly
    // this height, so the page is measured with it too.
    const QFont viewFont = codeText->font();
    const double fontPixels =
        viewFont.pixelSize() > 0 ? viewFont.pixelSize() : viewFont.pointSizeF() * codeText->logicalDpiY() / 72.0;
    const double designedHeight = std::round(std::fabs(fontPixels) * codeText->logicalDpiY() / 72.0);
    const int lineHeight = static_cast<int>(std::ceil(std::max(designedHeight, metrics.lineSpacing())));
    d->view->SetLineHeight(lineHeight);
    const double margin = 2 * codeText->document()->documentMargin() + 2 * codeText->frameWidth();
    TViewMetrics area;
    area.TextWidth = codeText->width() - margin;
    area.TextHeight = codeText->height() - margin;
    area.CharWidth = metrics.horizontalAdvance(QLatin1Char('A'));
    area.LineHeight = lineHeight;
    area.ScrollBarHeight = codeText->horizontalScrollBar()->sizeHint().height();
    // A page wider than the view scrolls sideways; a view too small for a page scrolls both ways.
    codeText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    codeText->setVerticalScrollBarPolicy(MeasurePage(area, false).Fits ? Qt::ScrollBarAlwaysOff
                                                                       : Qt::ScrollBarAsNeeded);
    return area;
}

int TfrmKeyWordSearch::BandHeightFor(const TTabularObject& object) {
    if (std::holds_alternative<TChapter*>(object)) return 0;
    if (std::holds_alternative<TSubChapter*>(object)) return 62;
    return BandFullHeight;
}

TViewMetrics TfrmKeyWordSearch::ArrangeViewFor(const TTabularObject& object) {
    const int height = BandHeightFor(object);
    if (height != chapterBand->BandHeight()) {
        chapterBand->SetBandHeight(height);
        layout()->activate();
    }
    return MeasureTextArea();
}

void TfrmKeyWordSearch::UpdateBand(const TTabularObject& AObject, bool ARelayout) {
    auto chapterOf = [](const TTabularObject& object) -> TChapter* {
        if (auto* const* code = std::get_if<TCodeInfo*>(&object)) return (*code)->FSubChapter->FChapter;
        if (auto* const* section = std::get_if<TSubChapter*>(&object)) return (*section)->FChapter;
        if (auto* const* chapter = std::get_if<TChapter*>(&object)) return *chapter;
        return nullptr;
    };
    TChapter* chapter = chapterOf(AObject);
    TSubChapter* section = nullptr;
    if (auto* const* code = std::get_if<TCodeInfo*>(&AObject)) section = (*code)->FSubChapter;
    if (auto* const* sub = std::get_if<TSubChapter*>(&AObject)) section = *sub;
    chapterBand->ShowNames(chapter, section);
    if (ARelayout) return;
    codeText->setPlaceholderText(QString());
    chapterBand->ShowScopes(chapter, section);
    if (chapter == nullptr) {
        // Nothing shown: the band as the window first opened, with no chapter or section in it.
        ArrangeViewFor(AObject);
        return;
    }
    if (std::holds_alternative<TCodeInfo*>(AObject)) {
        const bool opened = std::holds_alternative<TCodeInfo*>(FInitObject) || !FInitCode.isEmpty();
        if (IsFavoriteMode() && !opened)
            titleLabel->setText(QStringLiteral("Favorite Codes"));
        else
            titleLabel->setText(opened ? QStringLiteral("Tabular Section") : QStringLiteral("Tabular Search"));
    } else if (std::holds_alternative<TSubChapter*>(AObject)) {
        titleLabel->setText(QStringLiteral("Sub-Chapter Information"));
    } else {
        titleLabel->setText(QStringLiteral("Chapter Information"));
    }
}

void TfrmKeyWordSearch::ClearPanes() {
    d->pager.Clear();
    d->view->Clear();
}

void TfrmKeyWordSearch::ShowObject(const TTabularObject& object, int page) {
    d->pager.ShowObject(object, page);
}

void TfrmKeyWordSearch::ShowCodeAt(TCodeInfo* category, const std::string& tail) {
    d->pager.ShowCodeAt(category, tail);
}

void TfrmKeyWordSearch::ShowPage(int page, bool force) {
    d->pager.ShowPage(page, force);
}

void TfrmKeyWordSearch::ClearCodeTree() {
    codeTreePanel->Clear();
}

void TfrmKeyWordSearch::FillCodeTree(const TTabularObject& object) {
    ClearCodeTree();
    auto addSection = [this](TSubChapter* section) {
        for (const auto& code : section->FCodeList)
            codeTreePanel->AddNode(code.get(), QStringLiteral(" ") + QString::fromStdString(code->FCode));
    };
    if (auto* const* chapter = std::get_if<TChapter*>(&object)) {
        for (const auto& section : (*chapter)->FSubList) addSection(section.get());
    } else if (auto* const* section = std::get_if<TSubChapter*>(&object)) {
        addSection(*section);
    } else if (auto* const* code = std::get_if<TCodeInfo*>(&object)) {
        codeTreePanel->AddNode(*code, QStringLiteral(" ") + QString::fromStdString((*code)->FCode));
    }
    codeTreePanel->ShowCount();
}

void TfrmKeyWordSearch::OpenTreeNode(int ARow) {
    TCodeInfo* code = codeTreePanel->CategoryAt(ARow);
    if (code == nullptr) return;
    PushPrior(true);
    d->pager.FSelectedCode.clear();
    if (!ShowFavoriteNode(ARow)) ShowObject(code, 1);
}

void TfrmKeyWordSearch::HideFloatingLists() {
    suggestionPanel->hide();
    historyPanel->hide();
}

void TfrmKeyWordSearch::RunKeywordSearch() {
    suggestionPanel->hide();
    const bool fullText = keywordBand->FullText();
    const TFullTextFlags flags = keywordBand->FullTextKinds();
    const std::string text = keywordBand->KeywordText().toStdString();
    TSearchOutcome outcome = d->search.RunKeywordSearch(text, fullText, flags);
    if (outcome == TSearchOutcome::NotLoadedYet) {
        // Searched again once the keyword data has settled, with the text typed by then.
        if (!std::exchange(d->searchQueued, true))
            WhenDataSetsSettled(this, {TDataSet::Tabular, TDataSet::CodeKeywords}, [this] {
                d->searchQueued = false;
                RunKeywordSearch();
            });
        return;
    }
    if (outcome == TSearchOutcome::EmptyTextNeedsConfirmation) {
        if (!Messages().AskYesNo(EmptyKeywordsQuestion, EmptyKeywordsCaption, false)) {
            keywordBand->KeywordEdit()->setFocus();
            return;
        }
        outcome = d->search.RunKeywordSearch(text, fullText, flags, true);
    }
    if (outcome == TSearchOutcome::NoConditionSelected) {
        ShowMessage(NoConditionMessage);
        return;
    }
    if (!d->search.FHistoryText.empty()) UserData().History.Add(d->search.FHistoryText);
    ClearCodeTree();
    for (TCodeInfo* code : d->search.FResultList) codeTreePanel->AddNode(code, QString::fromStdString(code->FCode));
    codeTreePanel->ShowCount();
    d->pager.FSearchKeyWordVariantList = d->search.FSearchKeyWordVariantList;
    FInitObject = std::monostate{};
    FInitCode.clear();
    if (codeTreePanel->Count() == 0) {
        ClearPanes();
        codeText->setPlaceholderText(QString::fromUtf8(NoCategoryMatched));
    } else {
        codeTreePanel->SetCurrentRow(0);
        codeTreePanel->OpenCurrentNode();
    }
    keywordBand->ShowCounts(d->search.FCountsLine, d->search.FCombined, d->search.FSearchNote);
}

void TfrmKeyWordSearch::ClearKeywordControls() {
    suggestionPanel->hide();
    keywordBand->SetKeywordText(QString());
    ResetCodeBox();
    d->search.ClearCounts();
    keywordBand->ShowCounts(d->search.FCountsLine, ClearedCombined, std::string());
}

void TfrmKeyWordSearch::ClearAll() {
    ClearKeywordControls();
    ClearCodeTree();
    ClearPanes();
}

void TfrmKeyWordSearch::PlaceFloatingPanel(QWidget* panel) {
    // Right above the keyword box, at its left edge: the lists float over the window.
    const QPoint box = keywordBand->KeywordEdit()->mapTo(this, QPoint(0, 0));
    panel->move(box.x(), box.y() - panel->height());
    panel->raise();
}

void TfrmKeyWordSearch::KeywordKeyReleased(bool ATextChanging, bool AIntoSuggestions) {
    if (!ATextChanging || keywordBand->KeywordText().isEmpty()) {
        suggestionPanel->hide();
        return;
    }
    if (!suggestionPanel->DataSettled()) {
        // The suggestions show once the code keywords have settled, for the text typed by then.
        if (!std::exchange(d->promptQueued, true))
            WhenDataSetSettled(
                this, TDataSet::CodeKeywords,
                [this](TLoadState) {
                    d->promptQueued = false;
                    if (keywordBand->KeywordEdit()->hasFocus()) KeywordKeyReleased(true, false);
                },
                TWaitDisplay::Quietly);
        return;
    }
    PlaceFloatingPanel(suggestionPanel);
    suggestionPanel->Refresh(keywordBand->KeywordText(), keywordBand->FullText(), AIntoSuggestions);
}

void TfrmKeyWordSearch::InsertPromptKeyword(const QString& keyword) {
    const std::string text = ::InsertPromptKeyword(keywordBand->KeywordText().toStdString(), keyword.toStdString());
    keywordBand->SetKeywordText(QString::fromStdString(text));
    suggestionPanel->hide();
    keywordBand->KeywordEdit()->setFocus();
    // A suggestion was chosen, so the keyword data has settled: the counts are there.
    d->search.UpdateKeywordCounts(text, false, keywordBand->FullText());
    keywordBand->ShowCounts(d->search.FCountsLine, d->search.FCombined, std::string());
}

void TfrmKeyWordSearch::ShowHistoryPanel() {
    PlaceFloatingPanel(historyPanel);
    historyPanel->ShowEntries(UserData().History.FItems);
}
