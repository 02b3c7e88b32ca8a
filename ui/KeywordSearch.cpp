#include "ui/KeywordSearch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "keywords/KeywordPrompt.h"
#include "keywords/KeywordSearch.h"
#include "model/CodeResolver.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/QtTextView.h"
#include "ui/UiStyle.h"
#include "userdata/Config.h"
#include "userdata/SearchHistory.h"

namespace {

constexpr int ClientWidth = 1167;
constexpr int ClientHeight = 691;
constexpr int TitleHeight = 50;
constexpr int SearchBandHeight = 116;
constexpr int LeftColumnWidth = 73;
constexpr int CountPanelHeight = 85;
constexpr int BandFullHeight = 122;
constexpr int ButtonBarHeight = 41;
constexpr int PromptWidth = 712;
constexpr int PromptHeight = 282;

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

// Background of a band or panel; edit boxes placed on it keep their own white base.
void FillBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

// Background of an edit or memo (its text area).
void FillBase(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QFont& font, const QColor& colour, const QString& text) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setReadOnly(true);
    memo->setFrameStyle(QFrame::NoFrame);
    memo->setFont(font);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->document()->setDocumentMargin(1);
    memo->setFocusPolicy(Qt::NoFocus);
    FillBackground(memo, SkyBlue);
    FillBase(memo, SkyBlue);
    SetTextColour(memo, colour);
    memo->setPlainText(text);
    return memo;
}

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string S(const QString& text) {
    return text.toUtf8().toStdString();
}

TCodeInfo* NodeCode(QTreeWidgetItem* item) {
    if (item == nullptr) return nullptr;
    return reinterpret_cast<TCodeInfo*>(item->data(0, Qt::UserRole).value<quintptr>());
}

// Ctrl+PgDn and Ctrl+PgUp: the next and prior page holding a highlighted keyword.
constexpr int NextHitKey = QKeyCombination(Qt::ControlModifier, Qt::Key_PageDown).toCombined();
constexpr int PriorHitKey = QKeyCombination(Qt::ControlModifier, Qt::Key_PageUp).toCombined();

// Keys whose release must never open the suggestion panel: they do not change the keyword text.
bool KeepsSuggestionsClosed(int key) {
    return (key >= Qt::Key_F1 && key <= Qt::Key_F35) || key == Qt::Key_Escape || key == Qt::Key_Control ||
           key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta || key == Qt::Key_Tab ||
           key == Qt::Key_Backtab;
}

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

// Window-side effects of the pager and the search and prompt state of the window.
struct TfrmKeyWordSearch::TPrivate : public TCodeTextPagerHost {
    explicit TPrivate(TfrmKeyWordSearch* AOwner) : owner(AOwner) {}

    TfrmKeyWordSearch* owner;
    std::unique_ptr<TQtTextView> view;
    TCodeTextPager pager;
    TKeywordSearchState search{ChapterList, LoadedData().Keywords};
    TKeywordPrompt prompt{LoadedData().Keywords, &CodeKeywordsStatus};
    QWidget* Panel3 = nullptr;
    QWidget* Panel8 = nullptr;
    QLabel* Label3 = nullptr;
    QWidget* Panel4 = nullptr;
    QWidget* pnlChapter = nullptr;
    QWidget* pnlSubChapter = nullptr;
    QWidget* Panel6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lbSearchNote = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label2 = nullptr;
    QWidget* pnPromptBar = nullptr;
    int bandHeight = BandFullHeight;
    bool shown = false;
    bool inDoubleClick = false;
    // Designed rectangles of the page buttons and of the search band's controls.
    std::vector<std::pair<QWidget*, QRect>> pageBar;
    std::vector<std::pair<QWidget*, QRect>> searchBand;

    void HideSuggestions() override { owner->HidePrompt(); }
    void PageShown(const std::string& ACounterText, bool AFirstPriorEnabled, bool ANextLastEnabled) override {
        owner->lbRec->setText(Q(ACounterText));
        owner->btnFirst->setEnabled(AFirstPriorEnabled);
        owner->btnPrior->setEnabled(AFirstPriorEnabled);
        owner->btnNext->setEnabled(ANextLastEnabled);
        owner->btnLast->setEnabled(ANextLastEnabled);
        owner->ShowHitPages();
    }
    void PageCountUpdated() override {
        owner->btnPriorCode->setEnabled(!owner->FPriorStack.empty());
        owner->btnReview->setEnabled(!owner->FReviewStack.empty());
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

    // Title band.
    Panel1 = new QLabel(QStringLiteral("Tabular Search"), this);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFont(TahomaFont(29));
    FillBackground(Panel1, SkyBlue);
    // At the right of the title band: the pages on which the searched keywords are highlighted.
    lbHitPages = new QLabel(Panel1);
    lbHitPages->setObjectName(QStringLiteral("lbHitPages"));
    lbHitPages->setFont(TahomaFont(12));
    lbHitPages->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbHitPages->setWordWrap(true);

    // Left column: counts panel over the code tree.
    d->Panel3 = new QWidget(this);
    d->Panel8 = new QWidget(d->Panel3);
    FillBackground(d->Panel8, SkyBlue);
    lbType = new QLabel(QStringLiteral("Search"), d->Panel8);
    lbType->setGeometry(0, 6, LeftColumnWidth, 22);
    lbType->setAlignment(Qt::AlignCenter);
    d->Label3 = new QLabel(QStringLiteral("List"), d->Panel8);
    d->Label3->setGeometry(0, 30, LeftColumnWidth, 22);
    d->Label3->setAlignment(Qt::AlignCenter);
    plNum = new QLabel(QStringLiteral("0"), d->Panel8);
    plNum->setGeometry(0, 56, LeftColumnWidth, 24);
    plNum->setAlignment(Qt::AlignCenter);
    plNum->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    d->Panel8->setGeometry(0, 0, LeftColumnWidth, CountPanelHeight);
    TreeView1 = new QTreeWidget(d->Panel3);
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setIndentation(0);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFont(CourierFont(16));
    TreeView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetTextColour(TreeView1, Blue);
    {
        QPalette palette = TreeView1->palette();
        palette.setColor(QPalette::Highlight, palette.color(QPalette::Highlight));
        palette.setColor(QPalette::HighlightedText, Qt::white);
        TreeView1->setPalette(palette);
    }

    // Middle: chapter and section band, code text, page buttons.
    d->Panel4 = new QWidget(this);
    pnlChDesc = new QWidget(d->Panel4);
    FillBackground(pnlChDesc, SkyBlue);
    d->pnlChapter = new QWidget(pnlChDesc);
    d->pnlSubChapter = new QWidget(pnlChDesc);
    pnlChapterTitle = MakeMemo(d->pnlChapter, CourierFont(19), Navy, QStringLiteral("Chapter   :"));
    pnlChapterDesc = MakeMemo(d->pnlChapter, CourierFont(16), Navy, QString());
    pnlSubChapterTitle = MakeMemo(d->pnlSubChapter, CourierFont(19), Navy, QStringLiteral("Subchapter:"));
    pnlSubChapterDesc = MakeMemo(d->pnlSubChapter, CourierFont(16), Teal, QString());
    for (QPlainTextEdit* memo : {pnlChapterDesc, pnlSubChapterDesc}) memo->viewport()->installEventFilter(this);

    RichEdit1 = new QTextEdit(d->Panel4);
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setFont(CourierFont(19));
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->document()->setDocumentMargin(2);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetTextColour(RichEdit1, Qt::gray);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    RichEdit1->installEventFilter(this);
    RichEdit1->viewport()->installEventFilter(this);
    d->view = std::make_unique<TQtTextView>(RichEdit1);
    d->pager.SetView(d->view.get());
    d->pager.SetHost(d.get());

    d->Panel6 = new QWidget(d->Panel4);
    FillBackground(d->Panel6, SkyBlue);
    auto makeButton = [&](const QString& caption, QWidget* parentWidget) {
        auto* button = new QPushButton(caption, parentWidget);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    btnFirst = makeButton(QStringLiteral("|<  First Page (F1)"), d->Panel6);
    btnPrior = makeButton(QStringLiteral("<  Prior Page (PgUp)"), d->Panel6);
    lbRec = new QLabel(QStringLiteral("0/0"), d->Panel6);
    lbRec->setAlignment(Qt::AlignCenter);
    btnNext = makeButton(QStringLiteral("Next Page (PgDown)  >"), d->Panel6);
    btnLast = makeButton(QStringLiteral("Last Page (F2)  >|"), d->Panel6);
    btnPriorCode = makeButton(QStringLiteral(" Back (F3)"), d->Panel6);
    btnReview = makeButton(QStringLiteral("Review (F4)"), d->Panel6);
    btnPriorInOrder = makeButton(QStringLiteral("<< Prior Code (F8)"), d->Panel6);
    btnNextInOrder = makeButton(QStringLiteral("Next Code (F9) >>"), d->Panel6);
    for (int x = 4;
         QWidget * widget : std::initializer_list<QWidget*>{btnFirst, btnPrior, lbRec, btnNext, btnLast, btnPriorCode,
                                                            btnReview, btnPriorInOrder, btnNextInOrder}) {
        const int width = widget == lbRec ? 60 : (widget == btnPriorCode || widget == btnReview ? 96 : 134);
        widget->setGeometry(x, 7, width, 27);
        d->pageBar.emplace_back(widget, widget->geometry());
        x += width + 4;
    }
    for (QPushButton* button : {btnFirst, btnPrior, btnNext, btnLast, btnPriorCode, btnReview})
        button->setEnabled(false);
    btnPrior->setToolTip(QStringLiteral("Prior page (PgUp)\nCtrl+PgUp: the prior page with a highlighted keyword"));
    btnNext->setToolTip(QStringLiteral("Next page (PgDown)\nCtrl+PgDn: the next page with a highlighted keyword"));
    connect(btnFirst, &QPushButton::clicked, this, [this] { ShowPage(1); });
    connect(btnPrior, &QPushButton::clicked, this, [this] { ShowPage(d->pager.FCurPageIndex - 1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { ShowPage(d->pager.FCurPageIndex + 1); });
    connect(btnLast, &QPushButton::clicked, this, [this] { ShowPage(d->pager.FPageNumber); });
    connect(btnPriorCode, &QPushButton::clicked, this, [this] { GoBack(); });
    connect(btnReview, &QPushButton::clicked, this, [this] { GoReview(); });
    connect(btnPriorInOrder, &QPushButton::clicked, this, [this] { MoveInOrder(true); });
    connect(btnNextInOrder, &QPushButton::clicked, this, [this] { MoveInOrder(false); });

    // Bottom band: keyword search and the code box.
    Panel2 = new QWidget(this);
    FillBackground(Panel2, SkyBlue);
    d->Label1 = new QLabel(QStringLiteral("Keywords: "), Panel2);
    d->Label1->setGeometry(8, 12, 72, 20);
    edtKeyWord = new QLineEdit(Panel2);
    edtKeyWord->setFont(CourierFont(16));
    edtKeyWord->setGeometry(80, 8, 560, 26);
    edtKeyWord->installEventFilter(this);
    btnHistory = new QPushButton(QStringLiteral("^"), Panel2);
    btnHistory->setGeometry(642, 8, 24, 26);
    btnClear = new QPushButton(QStringLiteral("X"), Panel2);
    btnClear->setGeometry(668, 8, 24, 26);
    BitBtn1 = new QPushButton(QStringLiteral("  Search"), Panel2);
    BitBtn1->setGeometry(700, 6, 96, 30);
    BitBtn2 = new QPushButton(QStringLiteral("    Clear"), Panel2);
    BitBtn2->setGeometry(802, 6, 96, 30);
    Edit1 = new QLineEdit(Panel2);
    Edit1->setFont(CourierFont(16));
    Edit1->setGeometry(80, 36, 560, 24);
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    // The counts line must use the keyword box's exact text margins so each count stands under its keyword.
    Edit1->setTextMargins(edtKeyWord->textMargins());
    d->Label5 = new QLabel(QStringLiteral("Combined Result: "), Panel2);
    d->Label5->setGeometry(700, 40, 120, 20);
    lbCombine = new QLabel(QStringLiteral(" Unknown "), Panel2);
    lbCombine->setGeometry(822, 40, 120, 20);
    // Beside the combined count: says when the words of a text without commas were searched instead.
    d->lbSearchNote = new QLabel(Panel2);
    d->lbSearchNote->setObjectName(QStringLiteral("lbSearchNote"));
    d->lbSearchNote->setGeometry(866, 38, ClientWidth - 874, 46);
    d->lbSearchNote->setWordWrap(true);
    d->lbSearchNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ckAdvanced = new QCheckBox(QStringLiteral("Full Text Search"), Panel2);
    ckAdvanced->setGeometry(8, 64, 130, 20);
    ckDesc = new QCheckBox(QStringLiteral("Description   "), Panel2);
    ckInclusion = new QCheckBox(QStringLiteral("Inclusion"), Panel2);
    ckInclude = new QCheckBox(QStringLiteral("Includes"), Panel2);
    ckCodeFirst = new QCheckBox(QStringLiteral("Code First"), Panel2);
    ckCodeAlso = new QCheckBox(QStringLiteral("Code Also"), Panel2);
    ckExclude1 = new QCheckBox(QStringLiteral("Exclude1"), Panel2);
    ckExclude2 = new QCheckBox(QStringLiteral("Exclude2"), Panel2);
    int x = 145;
    for (QCheckBox* box : {ckDesc, ckInclusion, ckInclude, ckCodeFirst, ckCodeAlso, ckExclude1, ckExclude2}) {
        const int width = box == ckDesc ? 112 : 92;
        box->setGeometry(x, 64, width, 20);
        box->setEnabled(false);
        x += width + 4;
        connect(box, &QCheckBox::clicked, this, [this] { HidePrompt(); });
    }
    connect(ckAdvanced, &QCheckBox::clicked, this, [this](bool checked) {
        for (QCheckBox* box : {ckDesc, ckInclusion, ckInclude, ckCodeFirst, ckCodeAlso, ckExclude1, ckExclude2}) {
            box->setEnabled(checked);
            box->setChecked(false);
        }
        if (checked) ckDesc->setChecked(true);
    });
    d->Label4 = new QLabel(QStringLiteral("Code:"), Panel2);
    d->Label4->setGeometry(8, 90, 44, 20);
    edtCode = new QLineEdit(Panel2);
    edtCode->setFont(CourierFont(16));
    edtCode->setGeometry(56, 86, 110, 26);
    edtCode->installEventFilter(this);
    btnGo = new QPushButton(QStringLiteral("   Go"), Panel2);
    btnGo->setGeometry(170, 85, 70, 28);
    d->Label2 = new QLabel(QStringLiteral("Selected:"), Panel2);
    d->Label2->setGeometry(262, 90, 66, 20);
    edtSelected = new QLineEdit(Panel2);
    edtSelected->setGeometry(330, 86, 560, 26);
    edtSelected->setReadOnly(true);
    edtSelected->setFont(TahomaFont(12));
    FillBase(edtSelected, Silver);
    SetTextColour(edtSelected, Green);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunKeywordSearch(); });
    connect(btnClear, &QPushButton::clicked, this, [this] { ClearKeywordControls(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { ClearAll(); });
    connect(btnHistory, &QPushButton::clicked, this, [this] { ShowHistoryPanel(); });

    // Suggestion panel.
    plPrompt = new QFrame(this);
    plPrompt->setFrameStyle(QFrame::Panel | QFrame::Raised);
    plPrompt->resize(PromptWidth, PromptHeight);
    FillBackground(plPrompt, palette().color(QPalette::Window));
    StringGrid1 = new QTableWidget(PromptRows, PromptColumns, plPrompt);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setGeometry(0, 0, PromptWidth, PromptHeight - 26);
    const int columnWidths[PromptColumns] = {163, 172, 185, 182};
    for (int column = 0; column < PromptColumns; ++column) StringGrid1->setColumnWidth(column, columnWidths[column]);
    for (int row = 0; row < PromptRows; ++row) StringGrid1->setRowHeight(row, (PromptHeight - 26) / PromptRows);
    for (int row = 0; row < PromptRows; ++row)
        for (int column = 0; column < PromptColumns; ++column)
            StringGrid1->setItem(row, column, new QTableWidgetItem(QString()));
    StringGrid1->installEventFilter(this);
    StringGrid1->viewport()->installEventFilter(this);
    d->pnPromptBar = new QFrame(plPrompt);
    static_cast<QFrame*>(d->pnPromptBar)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    d->pnPromptBar->setGeometry(0, PromptHeight - 26, PromptWidth, 26);
    Button2 = new QPushButton(QStringLiteral("<"), d->pnPromptBar);
    Button2->setGeometry(0, 0, 48, 26);
    Button1 = new QPushButton(QStringLiteral(">"), d->pnPromptBar);
    Button1->setGeometry(PromptWidth - 49, 0, 49, 26);
    pnPrompt = new QLabel(QString::fromUtf8(PromptHint), d->pnPromptBar);
    pnPrompt->setAlignment(Qt::AlignCenter);
    pnPrompt->setGeometry(50, 0, PromptWidth - 101, 26);
    for (QPushButton* button : {Button1, Button2}) button->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, [this] {
        plPrompt->show();
        d->prompt.NextPage(ckAdvanced->isChecked());
        FillPromptGrid();
    });
    connect(Button2, &QPushButton::clicked, this, [this] {
        plPrompt->show();
        d->prompt.PriorPage(ckAdvanced->isChecked());
        FillPromptGrid();
    });
    plPrompt->hide();

    // History panel.
    plHistory = new QFrame(this);
    plHistory->setFrameStyle(QFrame::Panel | QFrame::Raised);
    plHistory->resize(PromptWidth, PromptHeight);
    ListView1 = new QTreeWidget(plHistory);
    ListView1->setGeometry(0, 0, PromptWidth, PromptHeight);
    ListView1->setColumnCount(1);
    ListView1->setHeaderLabels({QStringLiteral("Keywords Search History")});
    // The one column is as wide as the list, so no horizontal scroll bar ever covers the newest
    // entry at the bottom; an entry too long for it is shortened in the middle and shown whole as
    // the entry's tip.
    ListView1->header()->setStretchLastSection(true);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListView1->setTextElideMode(Qt::ElideMiddle);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A style sheet that draws the rows' separating lines takes over the whole row: the selected
    // row needs its highlight named too, or its text is drawn in the highlighted-text colour on
    // the plain base, which leaves the newest search blank.
    ListView1->setStyleSheet(QStringLiteral(
        "QTreeView::item { border-bottom: 1px solid #c0c0c0; }"
        "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }"));
    ListView1->installEventFilter(this);
    connect(ListView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr || item->text(0).isEmpty()) return;
        edtKeyWord->setText(item->text(0));
        plHistory->hide();
    });
    plHistory->hide();

    // Context menu of the code text.
    PopupMenu1 = new QMenu(this);
    Jump1 = PopupMenu1->addAction(QStringLiteral("Go (F5)"));
    Copy1 = PopupMenu1->addAction(QStringLiteral("Copy (Ctrl+C)"));
    PopupMenu1->addSeparator();
    SelectCodeS1 = PopupMenu1->addAction(QStringLiteral("Copy Code (F10)"));
    SelectCodeDescF111 = PopupMenu1->addAction(QStringLiteral("Copy Code + Desc (F11)"));
    CopyCodeShortDescF111 = PopupMenu1->addAction(QStringLiteral("Copy Code + Short Desc (Ctrl + F11)"));
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        UpdateMenuStates();
        PopupMenu1->popup(RichEdit1->viewport()->mapToGlobal(position));
    });
    connect(Jump1, &QAction::triggered, this, [this] { GoToSelection(); });
    connect(Copy1, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(SelectedViewText()); });
    connect(SelectCodeS1, &QAction::triggered, this, [this] { ShowAvailableCodes(SelectionText(), false); });
    connect(SelectCodeDescF111, &QAction::triggered, this, [this] { ShowAvailableCodes(SelectionText(), true); });
    connect(CopyCodeShortDescF111, &QAction::triggered, this, [this] { ShowAvailableCodes(SelectionText(), true); });

    TreeView1->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem*) { TreeNodeActivated(); });
    SetUpFavorites();

    for (QWidget* child : Panel2->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        d->searchBand.emplace_back(child, child->geometry());
    // Long chapter and section names wrap onto a second line instead of being cut.
    for (QPlainTextEdit* memo : {pnlChapterDesc, pnlSubChapterDesc}) memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    LayoutWidgets();
    SetUpCodeBox();
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

TCodeTextPager& TfrmKeyWordSearch::Pager() {
    return d->pager;
}
TTabularObject TfrmKeyWordSearch::CurrentObject() const {
    return d->pager.FCurCode;
}
QString TfrmKeyWordSearch::ViewText() const {
    return RichEdit1->toPlainText();
}
QString TfrmKeyWordSearch::PageCounterText() const {
    return lbRec->text();
}

QString TfrmKeyWordSearch::SelectionText() const {
    return RichEdit1->textCursor().selectedText().trimmed();
}

QString TfrmKeyWordSearch::SelectedViewText() const {
    // The view reports line ends inside a selection as Unicode paragraph separators; the clipboard
    // gets ordinary line breaks so that a copied block pastes as the lines it shows.
    QString text = RichEdit1->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void TfrmKeyWordSearch::GoToSelection() {
    GoToCode(SelectionText(), false);
    RichEdit1->setFocus();
}

void TfrmKeyWordSearch::UpdateMenuStates() {
    const bool isCode = NormalizeCodeText(S(SelectionText())).has_value();
    Jump1->setEnabled(isCode);
    SelectCodeS1->setEnabled(isCode);
    Copy1->setEnabled(!RichEdit1->textCursor().selectedText().isEmpty());
    SelectCodeDescF111->setEnabled(true);
    CopyCodeShortDescF111->setEnabled(true);
}

void TfrmKeyWordSearch::LayoutWidgets() {
    const int w = width();
    const int h = height();
    // Favourite mode hides the search band (the middle takes its room) and lists whole codes, not
    // categories: the list gets as wide as its longest possible line.
    const int searchBand = Panel2->isHidden() ? 0 : SearchBandHeight;
    const int left = FInitType != 5
                         ? LeftColumnWidth
                         : std::max(LeftColumnWidth,
                                    QFontMetrics(TreeView1->font()).horizontalAdvance(QStringLiteral(" W00.000X ")) +
                                        2 * TreeView1->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    Panel1->setGeometry(0, 0, w, TitleHeight);
    PlaceHitPages();
    Panel2->setGeometry(0, h - searchBand, w, SearchBandHeight);
    LayOutSearchBand(w);
    const int middleTop = TitleHeight;
    const int middleHeight = std::max(0, h - TitleHeight - searchBand);
    d->Panel3->setGeometry(0, middleTop, left, middleHeight);
    d->Panel8->setGeometry(0, 0, left, CountPanelHeight);
    for (QWidget* label :
         {static_cast<QWidget*>(lbType), static_cast<QWidget*>(d->Label3), static_cast<QWidget*>(plNum)})
        label->resize(left, label->height());
    TreeView1->setGeometry(0, CountPanelHeight, left, std::max(0, middleHeight - CountPanelHeight));
    d->Panel4->setGeometry(left, middleTop, std::max(0, w - left), middleHeight);
    const int middleWidth = d->Panel4->width();
    pnlChDesc->setGeometry(0, 0, middleWidth, d->bandHeight);
    pnlChDesc->setVisible(d->bandHeight > 0);
    d->pnlChapter->setGeometry(0, 0, middleWidth, 60);
    d->pnlSubChapter->setGeometry(0, 60, middleWidth, 62);
    // The scope line over a name of up to two lines.
    pnlChapterTitle->setGeometry(4, 0, middleWidth - 8, 24);
    pnlChapterDesc->setGeometry(4, 24, middleWidth - 8, 36);
    pnlSubChapterTitle->setGeometry(4, 0, middleWidth - 8, 24);
    pnlSubChapterDesc->setGeometry(4, 24, middleWidth - 8, 38);
    // The page buttons keep their designed places while they fit, else wrap onto a second row.
    const int barHeight = PlaceControlRow(d->pageBar, middleWidth, ButtonBarHeight);
    d->Panel6->setGeometry(0, middleHeight - barHeight, middleWidth, barHeight);
    RichEdit1->setGeometry(0, d->bandHeight, middleWidth, std::max(0, middleHeight - d->bandHeight - barHeight));
}

void TfrmKeyWordSearch::PlaceHitPages() {
    // Right of the centred title, never over it.
    const int titleWidth = QFontMetrics(Panel1->font()).horizontalAdvance(Panel1->text());
    const int width = std::clamp((Panel1->width() - titleWidth) / 2 - 16, 0, 440);
    lbHitPages->setGeometry(Panel1->width() - width - 8, 0, width, TitleHeight);
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
    lbHitPages->setText(text);
    lbRec->setToolTip(text);
    PlaceHitPages();
}

void TfrmKeyWordSearch::LayOutSearchBand(int AWidth) {
    // Narrower than designed: the keyword, counts and selected boxes give up width and the
    // controls right of the keyword and counts boxes move left with them; a control designed to reach the
    // window's right edge keeps reaching it.
    // Below this width the note beside the combined count (designed at x 866 up to the edge) would
    // get narrower than 200 px.
    constexpr int ShrinkBelow = 866 + 200 + 8;
    constexpr int KeywordBoxRight = 640;
    constexpr int CountsRowBottom = 62;  // the rows of the keyword and counts boxes
    const int shrink = std::clamp(ShrinkBelow - AWidth, 0, 300);
    for (const auto& [control, designed] : d->searchBand) {
        QRect rect = designed;
        if (control == edtKeyWord || control == Edit1 || control == edtSelected)
            rect.setWidth(designed.width() - shrink);
        else if (designed.left() >= KeywordBoxRight && designed.top() < CountsRowBottom)
            rect.translate(-shrink, 0);
        if (designed.right() >= ClientWidth - 10)
            rect.setRight(std::max(rect.left(), AWidth - (ClientWidth - designed.right())));
        // A label wider than its text ends at the band's edge.
        if (rect.right() >= AWidth && qobject_cast<QLabel*>(control) != nullptr)
            rect.setRight(std::max(rect.left(), AWidth - 1));
        control->setGeometry(rect);
    }
}

void TfrmKeyWordSearch::ApplyInitType() {
    QString title = QStringLiteral("Tabular Search");
    QString type = QStringLiteral("Search");
    Panel2->show();
    if (std::holds_alternative<TSubChapter*>(FInitObject)) {
        title = QStringLiteral("Sub-Chapter Information");
        type = QStringLiteral("Code");
    } else if (std::holds_alternative<TChapter*>(FInitObject)) {
        title = QStringLiteral("Chapter Information");
        type = QStringLiteral("Code");
    } else if (!IsEmptyObject(FInitObject) || !FInitCode.isEmpty()) {
        title = QStringLiteral("Tabular Section");
        type = QStringLiteral("Code");
    } else if (FInitType == 5) {
        title = QStringLiteral("Favorite Codes");
        type = QStringLiteral("Favorite");
        Panel2->hide();
    } else if (FInitType == 4) {
        edtCode->setFocus();
    } else {
        edtKeyWord->setFocus();
    }
    Panel1->setText(title);
    lbType->setText(type);
}

void TfrmKeyWordSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const bool firstShow = !d->shown;
    if (firstShow) {
        d->shown = true;
        ApplyInitType();
        // Navigation and code entry read the chapters from here on.
        WaitForDataSet(TabularStatus);
        FLastTick = FTickSource();
    }
    UpdateGeometry();
    if (firstShow && FInitType == 5 && IsEmptyObject(FInitObject) && FInitCode.isEmpty()) {
        // Favourite mode lists the unlocked list and shows its first code.
        FillFavoriteTree();
        if (QTreeWidgetItem* first = TreeView1->topLevelItem(0)) {
            TreeView1->setCurrentItem(first);
            TreeNodeActivated();
        }
        ShowEmptyFavoritesHint();
        TreeView1->setFocus();
    }
}

void TfrmKeyWordSearch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutWidgets();
    // Only after the first showing has set the window up for what it was opened on: a window fitted
    // to a small screen as it shows is resized before its own show handler runs.
    if (isVisible() && d->shown) UpdateGeometry();
}

void TfrmKeyWordSearch::UpdateGeometry() {
    if (isMinimized()) return;
    LayoutWidgets();
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
        if (GoToCode(code, true)) RichEdit1->setFocus();
        FInitCode.clear();
    } else {
        d->pager.Remeasure();
    }
}

TViewMetrics TfrmKeyWordSearch::MeasureTextArea() {
    const QFontMetricsF metrics(RichEdit1->font());
    // The designed line height: the font's pixel height scaled by the screen's pixels per inch
    // over 72 (19 px at 96 dpi gives 25). A font whose real line spacing is taller uses that
    // instead, so a page never holds more lines than the view shows. Lines are drawn at exactly
    // this height, so the page is measured with it too.
    const QFont viewFont = RichEdit1->font();
    const double fontPixels =
        viewFont.pixelSize() > 0 ? viewFont.pixelSize() : viewFont.pointSizeF() * RichEdit1->logicalDpiY() / 72.0;
    const double designedHeight = std::round(std::fabs(fontPixels) * RichEdit1->logicalDpiY() / 72.0);
    const int lineHeight = static_cast<int>(std::ceil(std::max(designedHeight, metrics.lineSpacing())));
    d->view->SetLineHeight(lineHeight);
    const double margin = 2 * RichEdit1->document()->documentMargin() + 2 * RichEdit1->frameWidth();
    TViewMetrics area;
    area.TextWidth = RichEdit1->width() - margin;
    area.TextHeight = RichEdit1->height() - margin;
    area.CharWidth = metrics.horizontalAdvance(QLatin1Char('A'));
    area.LineHeight = lineHeight;
    area.ScrollBarHeight = RichEdit1->horizontalScrollBar()->sizeHint().height();
    // A page wider than the view scrolls sideways; a view too small for a page scrolls both ways.
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RichEdit1->setVerticalScrollBarPolicy(MeasurePage(area, false).Fits ? Qt::ScrollBarAlwaysOff
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
    if (height != d->bandHeight) {
        d->bandHeight = height;
        LayoutWidgets();
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
    pnlChapterDesc->setPlainText(chapter ? QStringLiteral("    ") + Q(chapter->FInfo.FName) : QString());
    pnlSubChapterDesc->setPlainText(section ? QStringLiteral("    ") + Q(section->FInfo.FName) : QString());
    for (QPlainTextEdit* memo : {pnlChapterDesc, pnlSubChapterDesc})
        memo->viewport()->setCursor(memo->toPlainText().isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    if (ARelayout) return;
    RichEdit1->setPlaceholderText(QString());
    if (chapter == nullptr) {
        // Nothing shown: the band as the window first opened, with no chapter or section in it.
        pnlChapterTitle->setPlainText(QStringLiteral("Chapter   :"));
        pnlSubChapterTitle->setPlainText(QStringLiteral("Subchapter:"));
        ArrangeViewFor(AObject);
        return;
    }
    pnlChapterTitle->setPlainText(QStringLiteral("Chapter   : ") + Q(chapter->FInfo.FScope));
    pnlSubChapterTitle->setPlainText(section ? QStringLiteral("Subchapter: ") + Q(section->FInfo.FScope) : QString());
    if (std::holds_alternative<TCodeInfo*>(AObject)) {
        const bool opened = std::holds_alternative<TCodeInfo*>(FInitObject) || !FInitCode.isEmpty();
        if (FInitType == 5 && !opened)
            Panel1->setText(QStringLiteral("Favorite Codes"));
        else
            Panel1->setText(opened ? QStringLiteral("Tabular Section") : QStringLiteral("Tabular Search"));
    } else if (std::holds_alternative<TSubChapter*>(AObject)) {
        Panel1->setText(QStringLiteral("Sub-Chapter Information"));
    } else {
        Panel1->setText(QStringLiteral("Chapter Information"));
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
    TreeView1->clear();
    FCurCodeItem = nullptr;
}

static QTreeWidgetItem* AddCodeNode(QTreeWidget* tree, TCodeInfo* code, const QString& text) {
    auto* item = new QTreeWidgetItem(tree, QStringList{text});
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(code)));
    return item;
}

void TfrmKeyWordSearch::FillCodeTree(const TTabularObject& object) {
    ClearCodeTree();
    auto addSection = [this](TSubChapter* section) {
        for (const auto& code : section->FCodeList)
            AddCodeNode(TreeView1, code.get(), QStringLiteral(" ") + Q(code->FCode));
    };
    if (auto* const* chapter = std::get_if<TChapter*>(&object)) {
        for (const auto& section : (*chapter)->FSubList) addSection(section.get());
    } else if (auto* const* section = std::get_if<TSubChapter*>(&object)) {
        addSection(*section);
    } else if (auto* const* code = std::get_if<TCodeInfo*>(&object)) {
        AddCodeNode(TreeView1, *code, QStringLiteral(" ") + Q((*code)->FCode));
    }
    plNum->setText(QString::number(TreeView1->topLevelItemCount()));
}

void TfrmKeyWordSearch::SelectTreeNodeOf(const TCodeInfo* ACategory) {
    for (int row = 0; row < TreeView1->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = TreeView1->topLevelItem(row);
        if (NodeCode(item) != ACategory) continue;
        // Made current as the node already shown, so that a key released in the tree does not open it again.
        FCurCodeItem = item;
        TreeView1->setCurrentItem(item);
        TreeView1->scrollToItem(item);
        return;
    }
}

void TfrmKeyWordSearch::TreeNodeActivated() {
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (item == nullptr || item == FCurCodeItem) return;
    FCurCodeItem = item;
    if (TCodeInfo* code = NodeCode(item)) {
        PushPrior(true);
        d->pager.FSelectedCode.clear();
        if (!ShowFavoriteNode(item)) ShowObject(code, 1);
    }
}

void TfrmKeyWordSearch::GoUpToChapter() {
    TChapter* chapter = nullptr;
    if (auto* const* code = std::get_if<TCodeInfo*>(&d->pager.FCurCode))
        chapter = (*code)->FSubChapter->FChapter;
    else if (auto* const* section = std::get_if<TSubChapter*>(&d->pager.FCurCode))
        chapter = (*section)->FChapter;
    if (chapter == nullptr) return;
    HidePrompt();
    PushPrior(true);
    d->pager.FSelectedCode.clear();
    ShowObject(chapter, 1);
    RichEdit1->setFocus();
}

void TfrmKeyWordSearch::GoUpToSection() {
    auto* const* code = std::get_if<TCodeInfo*>(&d->pager.FCurCode);
    if (code == nullptr) return;
    HidePrompt();
    PushPrior(true);
    d->pager.FSelectedCode.clear();
    ShowObject((*code)->FSubChapter, 1);
    RichEdit1->setFocus();
}

void TfrmKeyWordSearch::PushPrior(bool clearReview) {
    if (IsEmptyObject(d->pager.FCurCode)) return;
    FPriorStack.push_back({d->pager.FCurCode, d->pager.FSelectedCode, d->pager.FCurPageIndex});
    if (clearReview) FReviewStack.clear();
}

void TfrmKeyWordSearch::PushReview() {
    if (IsEmptyObject(d->pager.FCurCode)) return;
    FReviewStack.push_back({d->pager.FCurCode, d->pager.FSelectedCode, d->pager.FCurPageIndex});
}

void TfrmKeyWordSearch::GoBack() {
    HidePrompt();
    if (FPriorStack.empty()) return;
    const TVisitItem item = FPriorStack.back();
    FPriorStack.pop_back();
    PushReview();
    d->pager.FSelectedCode = item.FSelectedCode;
    ShowObject(item.FObject, item.FPageIndex);
}

void TfrmKeyWordSearch::GoReview() {
    HidePrompt();
    if (FReviewStack.empty()) return;
    const TVisitItem item = FReviewStack.back();
    FReviewStack.pop_back();
    PushPrior(false);
    d->pager.FSelectedCode = item.FSelectedCode;
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
    auto* const* code = std::get_if<TCodeInfo*>(&d->pager.FCurCode);
    if (code == nullptr) return;
    TCodeInfo* neighbour = NeighbourCategory(ChapterList, *code, prior);
    if (neighbour == nullptr) return;
    PushPrior(true);
    ShowCodeAt(neighbour, std::string());
}

void TfrmKeyWordSearch::HidePrompt() {
    if (plPrompt) plPrompt->hide();
}

bool TfrmKeyWordSearch::TextViewKey(int key) {
    switch (key) {
        case NextHitKey:
        case PriorHitKey:
            if (const int page = d->pager.NeighbourHitPage(key == PriorHitKey); page > 0) ShowPage(page);
            return true;
        case Qt::Key_Escape:
            done(2);
            return true;
        case Qt::Key_PageUp:
            ShowPage(d->pager.FCurPageIndex - 1);
            return true;
        case Qt::Key_PageDown:
            ShowPage(d->pager.FCurPageIndex + 1);
            return true;
        case Qt::Key_F1:
            ShowPage(1);
            return true;
        case Qt::Key_F2:
            ShowPage(d->pager.FPageNumber);
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
            edtCode->setFocus();
            return true;
        case Qt::Key_F7:
            // Selected, so that the next search is typed over the last one.
            edtKeyWord->setFocus();
            edtKeyWord->selectAll();
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
    if (key == Qt::Key_Escape && (plPrompt->isVisible() || plHistory->isVisible())) {
        HidePrompt();
        plHistory->hide();
        return true;
    }
    HidePrompt();
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
    if (plPrompt->isVisible() && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        ShowPage(d->pager.FCurPageIndex + (key == Qt::Key_PageUp ? -1 : 1));
        return;
    }
    if (ForwardNavigationKey(key)) return;
    QDialog::keyPressEvent(event);
}

void TfrmKeyWordSearch::RunKeywordSearch() {
    HidePrompt();
    TFullTextFlags flags = 0;
    const bool fullText = ckAdvanced->isChecked();
    if (fullText) {
        const std::pair<QCheckBox*, TFullTextFlags> boxes[] = {
            {ckDesc, FullTextFlag::Desc},         {ckInclusion, FullTextFlag::Inclusion},
            {ckInclude, FullTextFlag::Include},   {ckCodeFirst, FullTextFlag::CodeFirst},
            {ckCodeAlso, FullTextFlag::CodeAlso}, {ckExclude1, FullTextFlag::Exclude1},
            {ckExclude2, FullTextFlag::Exclude2}};
        for (const auto& [box, bit] : boxes)
            if (box->isChecked()) flags |= bit;
    }
    const std::string text = S(edtKeyWord->text());
    TSearchOutcome outcome = d->search.RunKeywordSearch(text, fullText, flags);
    if (outcome == TSearchOutcome::EmptyTextNeedsConfirmation) {
        if (!Messages().AskYesNo(EmptyKeywordsQuestion, EmptyKeywordsCaption, false)) {
            edtKeyWord->setFocus();
            return;
        }
        outcome = d->search.RunKeywordSearch(text, fullText, flags, true);
    }
    if (outcome == TSearchOutcome::NoConditionSelected) {
        ShowMessage(NoConditionMessage);
        return;
    }
    if (!d->search.FHistoryText.empty()) SearchHistory.Add(d->search.FHistoryText);
    ClearCodeTree();
    for (TCodeInfo* code : d->search.FResultList) AddCodeNode(TreeView1, code, Q(code->FCode));
    plNum->setText(QString::number(TreeView1->topLevelItemCount()));
    d->pager.FSearchKeyWordVariantList = d->search.FSearchKeyWordVariantList;
    FInitObject = std::monostate{};
    FInitCode.clear();
    if (TreeView1->topLevelItemCount() == 0) {
        ClearPanes();
        RichEdit1->setPlaceholderText(QString::fromUtf8(NoCategoryMatched));
    } else {
        TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
        TreeNodeActivated();
    }
    Edit1->setText(Q(d->search.FCountsLine));
    lbCombine->setText(Q(d->search.FCombined));
    d->lbSearchNote->setText(Q(d->search.FSearchNote));
}

void TfrmKeyWordSearch::ClearKeywordControls() {
    HidePrompt();
    edtKeyWord->clear();
    ResetCodeBox();
    d->search.ClearCounts();
    Edit1->setText(Q(d->search.FCountsLine));
    lbCombine->setText(QString::fromUtf8(ClearedCombined));
    d->lbSearchNote->clear();
}

void TfrmKeyWordSearch::ClearAll() {
    ClearKeywordControls();
    ClearCodeTree();
    ClearPanes();
}

void TfrmKeyWordSearch::PlaceFloatingPanel(QWidget* panel) {
    const QPoint topLeft = edtKeyWord->mapTo(this, QPoint(0, 0));
    panel->move(topLeft.x(), Panel2->y() + edtKeyWord->y() - PromptHeight);
    panel->raise();
}

void TfrmKeyWordSearch::FillPromptGrid() {
    for (int row = 0; row < PromptRows; ++row)
        for (int column = 0; column < PromptColumns; ++column)
            StringGrid1->item(row, column)->setText(Q(d->prompt.Cell(column, row)));
    pnPrompt->setText(Q(d->prompt.FCaption));
}

void TfrmKeyWordSearch::KeywordKeyReleased(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
        key == Qt::Key_Comma || KeepsSuggestionsClosed(key)) {
        HidePrompt();
        return;
    }
    if (edtKeyWord->text().isEmpty()) {
        HidePrompt();
        return;
    }
    PlaceFloatingPanel(plPrompt);
    plPrompt->show();
    if (key == Qt::Key_Up) {
        StringGrid1->setFocus();
        StringGrid1->setCurrentCell(0, 0);
    }
    if (d->prompt.RefreshPrompt(S(edtKeyWord->text()), ckAdvanced->isChecked())) StringGrid1->setCurrentCell(0, 0);
    FillPromptGrid();
}

void TfrmKeyWordSearch::InsertPromptKeyword(const QString& keyword) {
    const std::string text = ::InsertPromptKeyword(S(edtKeyWord->text()), S(keyword));
    edtKeyWord->setText(Q(text));
    HidePrompt();
    edtKeyWord->setFocus();
    edtKeyWord->end(false);
    d->search.UpdateKeywordCounts(text, false, ckAdvanced->isChecked());
    Edit1->setText(Q(d->search.FCountsLine));
    lbCombine->setText(Q(d->search.FCombined));
    d->lbSearchNote->clear();
}

void TfrmKeyWordSearch::ShowHistoryPanel() {
    PlaceFloatingPanel(plHistory);
    plHistory->show();
    ListView1->clear();
    for (const std::string& entry : SearchHistory.FItems) {
        auto* item = new QTreeWidgetItem(ListView1, QStringList{Q(entry)});
        item->setToolTip(0, item->text(0));
    }
    if (ListView1->topLevelItemCount() > 0) {
        QTreeWidgetItem* last = ListView1->topLevelItem(ListView1->topLevelItemCount() - 1);
        ListView1->setCurrentItem(last);
        ListView1->scrollToItem(last);
    }
    ListView1->setFocus();
}

bool TfrmKeyWordSearch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress &&
        (watched == RichEdit1 || watched == TreeView1 || watched == edtKeyWord || watched == edtCode)) {
        if (FavoriteKey(watched, static_cast<QKeyEvent*>(event))) return true;
    }
    if (watched == edtCode) {
        if (CodeBoxEvent(event)) return true;
        if (type == QEvent::KeyPress && ForwardNavigationKey(NavigationKeyOf(static_cast<QKeyEvent*>(event))))
            return true;
        return QDialog::eventFilter(watched, event);
    }
    if (watched == edtKeyWord) {
        if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                RunKeywordSearch();
                return true;
            }
            if (ForwardNavigationKey(NavigationKeyOf(static_cast<QKeyEvent*>(event)))) return true;
        } else if (type == QEvent::KeyRelease) {
            KeywordKeyReleased(static_cast<QKeyEvent*>(event));
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == TreeView1) {
        // F10 and F11 copy the current node's code as they copy the text view's selection.
        if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_F10 || key == Qt::Key_F11) {
                HidePrompt();
                ShowAvailableCodes(QString::fromStdString(TreeNodeCode()), key == Qt::Key_F11);
                return true;
            }
        }
        if (type == QEvent::KeyPress && ForwardNavigationKey(NavigationKeyOf(static_cast<QKeyEvent*>(event))))
            return true;
        // A key the window took at its press (paging, F-keys) never moved the tree's selection: its
        // release must not show the node the tree made current when it got the focus.
        if (type == QEvent::KeyRelease && !IsNavigationKey(static_cast<QKeyEvent*>(event)->key())) TreeNodeActivated();
        return QDialog::eventFilter(watched, event);
    }
    if (watched == RichEdit1) {
        if (type == QEvent::KeyPress) {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            if (TextViewKey(NavigationKeyOf(keyEvent))) return true;
        } else if (type == QEvent::FocusIn) {
            HidePrompt();
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == RichEdit1->viewport()) {
        if (type == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const uint32_t now = FTickSource();
            if (static_cast<uint32_t>(now - FLastTick) > 300) {
                RichEdit1->setEnabled(false);
                const int delta = wheel->angleDelta().y();
                ShowPage(d->pager.FCurPageIndex + (delta <= 0 ? 1 : -1));
                RichEdit1->setEnabled(true);
                RichEdit1->setFocus();
            }
            FLastTick = now;
            return true;
        }
        if (type == QEvent::MouseButtonDblClick && !d->inDoubleClick) {
            d->inDoubleClick = true;
            // Let the view select the word first, then widen the selection to the whole code.
            QCoreApplication::sendEvent(RichEdit1->viewport(), event);  // re-entry below is skipped
            QTextCursor cursor = RichEdit1->textCursor();
            int start = cursor.selectionStart();
            int length = cursor.selectionEnd() - start;
            WidenCodeSelection(RichEdit1->toPlainText(), start, length);
            cursor.setPosition(start);
            cursor.setPosition(std::min(start + length, static_cast<int>(RichEdit1->toPlainText().size())),
                               QTextCursor::KeepAnchor);
            RichEdit1->setTextCursor(cursor);
            d->inDoubleClick = false;
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == pnlChapterDesc->viewport() || watched == pnlSubChapterDesc->viewport()) {
        if (type == QEvent::MouseButtonPress) {
            if (watched == pnlChapterDesc->viewport())
                GoUpToChapter();
            else
                GoUpToSection();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == StringGrid1 || watched == StringGrid1->viewport()) {
        if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // The choice is made when Enter is released; its press belongs to the grid alone.
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
            // Esc closes the suggestions only, never the window behind them.
            if (key == Qt::Key_Escape) {
                HidePrompt();
                edtKeyWord->setFocus();
                return true;
            }
        } else if (type == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                QTableWidgetItem* item = StringGrid1->currentItem();
                if (item != nullptr && !item->text().isEmpty()) InsertPromptKeyword(item->text());
                return true;
            }
        } else if (type == QEvent::MouseButtonPress && watched == StringGrid1->viewport()) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                QTableWidgetItem* item = StringGrid1->itemAt(mouse->position().toPoint());
                if (item != nullptr && !item->text().isEmpty()) InsertPromptKeyword(item->text());
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == ListView1 && type == QEvent::KeyPress) {
        // Esc closes the history list only; Enter takes the current entry as a click does.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            QTreeWidgetItem* item = ListView1->currentItem();
            if (key != Qt::Key_Escape && item != nullptr && !item->text(0).isEmpty())
                edtKeyWord->setText(item->text(0));
            plHistory->hide();
            edtKeyWord->setFocus();
            return true;
        }
    }
    if (watched == ListView1 && type == QEvent::FocusOut) {
        // Clicking an entry of the list keeps the focus inside; anything else hides the panel.
        QTimer::singleShot(0, this, [this] {
            if (!ListView1->hasFocus()) plHistory->hide();
        });
    }
    return QDialog::eventFilter(watched, event);
}
