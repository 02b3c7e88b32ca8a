#include "ui/EditionChanges.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "editions/EditionDiff.h"
#include "ui/EditionChangesModel.h"
#include "ui/UiStyle.h"

namespace {

constexpr int DesignedWidth = 1120;
constexpr int DesignedHeight = 640;

constexpr std::array<TWindowKey, 4> ChangesKeys{{
    {"openCodeAction", "Return; Enter",
     "opens the code of the current row in the edition where it exists: an added or revised code in the newer "
     "edition, a deleted one in the older"},
    {"copyAction", "Ctrl+C", "copies the selected rows as tab-separated lines: kind, code, old title, new title"},
    {"listAction", "Down", "moves from the filter box to the list of changes"},
    {"closeAction", "Esc", "closes the What Changed window"},
}};

// The kind box's entries, in its order; the first shows every kind.
struct TKindChoice {
    const char* Caption;
    std::optional<TChangeKind> Kind;
};
const std::array<TKindChoice, 6> KindChoices{{
    {"All changes", std::nullopt},
    {"Codes added", TChangeKind::Added},
    {"Codes deleted", TChangeKind::Deleted},
    {"Codes revised", TChangeKind::Revised},
    {"Categories added", TChangeKind::CategoryAdded},
    {"Categories deleted", TChangeKind::CategoryDeleted},
}};

// What a comparison thread hands back.
struct TComparison {
    std::vector<TEditionChange> Changes;
    QString Error;
};

QString Plural(qsizetype ACount, const char* AOne, const char* AMany) {
    return QStringLiteral("%1 %2").arg(ACount).arg(QString::fromLatin1(ACount == 1 ? AOne : AMany));
}

}  // namespace

std::span<const TWindowKey> TfrmEditionChanges::KeyTable() {
    return ChangesKeys;
}

TfrmEditionChanges::TfrmEditionChanges(const TResourceProvider& AProgram, const std::string& AEditionInUse,
                                       QWidget* parent)
    : QDialog(parent), FProgram(AProgram) {
    setObjectName(QStringLiteral("frmEditionChanges"));
    setWindowTitle(QStringLiteral("What Changed between Editions"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(TahomaFont(13, false));

    // One entry per edition id: an imported copy of the embedded edition stands in for it.
    const std::vector<TEditionInfo> installed = ListEditions(EditionsFolder());
    for (const TEditionInfo& edition : installed)
        if (std::none_of(FEditions.begin(), FEditions.end(), [&](const auto& had) { return had.Id == edition.Id; }))
            FEditions.push_back(*FindEdition(installed, edition.Id));

    const auto makeLabel = [this](const char* AName, const QString& ACaption) {
        auto* label = new QLabel(ACaption, this);
        label->setObjectName(QString::fromLatin1(AName));
        return label;
    };
    const auto makeBox = [this](const char* AName, const QString& AAccessibleName) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(AName));
        box->setAccessibleName(AAccessibleName);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return box;
    };
    fromLabel = makeLabel("fromLabel", QStringLiteral("&From:"));
    fromEditionBox = makeBox("fromEditionBox", QStringLiteral("From edition"));
    toLabel = makeLabel("toLabel", QStringLiteral("&To:"));
    toEditionBox = makeBox("toEditionBox", QStringLiteral("To edition"));
    // The boxes name an edition by its year and effective date; the whole title (with the addenda,
    // which can run long) is the entry's tool tip.
    for (const TEditionInfo& edition : FEditions)
        for (QComboBox* box : {fromEditionBox, toEditionBox}) {
            box->addItem(QStringLiteral("FY%1 (effective %2)")
                             .arg(edition.Year)
                             .arg(QString::fromStdString(FormatDate(edition.EffectiveFrom))),
                         QString::fromStdString(edition.Id));
            box->setItemData(box->count() - 1, QString::fromStdString(edition.Title()), Qt::ToolTipRole);
        }
    kindLabel = makeLabel("kindLabel", QStringLiteral("&Show:"));
    kindBox = makeBox("kindBox", QStringLiteral("Kind of change"));
    for (const TKindChoice& choice : KindChoices) kindBox->addItem(QString::fromLatin1(choice.Caption));
    filterLabel = makeLabel("filterLabel", QStringLiteral("F&ilter:"));
    filterEdit = new QLineEdit(this);
    filterEdit->setObjectName(QStringLiteral("filterEdit"));
    filterEdit->setAccessibleName(QStringLiteral("Filter"));
    filterEdit->setPlaceholderText(QStringLiteral("a code or words of a title"));
    filterEdit->setClearButtonEnabled(true);
    fromLabel->setBuddy(fromEditionBox);
    toLabel->setBuddy(toEditionBox);
    kindLabel->setBuddy(kindBox);
    filterLabel->setBuddy(filterEdit);

    FModel = new TEditionChangesModel(this);
    FFilter = new TEditionChangesFilter(this);
    FFilter->setSourceModel(FModel);
    changesTable = new QTableView(this);
    changesTable->setObjectName(QStringLiteral("changesTable"));
    changesTable->setAccessibleName(QStringLiteral("Changes"));
    changesTable->setModel(FFilter);
    changesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    changesTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    changesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    changesTable->setAlternatingRowColors(true);
    changesTable->setWordWrap(false);
    changesTable->setTabKeyNavigation(false);
    changesTable->verticalHeader()->hide();
    changesTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = changesTable->horizontalHeader();
    // Kind and code as wide as their longest text; the two titles share the rest.
    const int padding = 3 * fontMetrics().averageCharWidth();
    header->setSectionResizeMode(QHeaderView::Fixed);
    changesTable->setColumnWidth(TEditionChangesModel::KindColumn,
                                 fontMetrics().horizontalAdvance(QStringLiteral("Category deleted")) + padding);
    changesTable->setColumnWidth(TEditionChangesModel::CodeColumn,
                                 fontMetrics().horizontalAdvance(QStringLiteral("M00.000MM")) + padding);
    header->setSectionResizeMode(TEditionChangesModel::OldTitleColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TEditionChangesModel::NewTitleColumn, QHeaderView::Stretch);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    countLabel = makeLabel("countLabel", QString());
    copyButton = new QPushButton(QStringLiteral("&Copy"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    copyButton->setAccessibleName(QStringLiteral("Copy the selected changes"));
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(QStringLiteral("Close"));
    // Enter belongs to the list, never to a default button.
    for (QPushButton* button : {copyButton, closeButton}) button->setAutoDefault(false);

    BuildLayout();
    setTabOrder(fromEditionBox, toEditionBox);
    setTabOrder(toEditionBox, kindBox);
    setTabOrder(kindBox, filterEdit);
    setTabOrder(filterEdit, changesTable);
    setTabOrder(changesTable, copyButton);
    setTabOrder(copyButton, closeButton);

    // The keys: Enter opens from the list and from the filter box, Down leaves the filter box for
    // the list, Ctrl+C copies from the list (in the filter box it copies the box's own text).
    const QHash<QString, QAction*> actions = AddWindowActions(this, KeyTable());
    const auto onlyOn = [this](QAction* AAction, std::initializer_list<QWidget*> AWidgets) {
        removeAction(AAction);
        AAction->setShortcutContext(Qt::WidgetShortcut);
        for (QWidget* widget : AWidgets) widget->addAction(AAction);
    };
    onlyOn(actions.value(QStringLiteral("openCodeAction")), {changesTable, filterEdit});
    onlyOn(actions.value(QStringLiteral("copyAction")), {changesTable});
    onlyOn(actions.value(QStringLiteral("listAction")), {filterEdit});
    connect(actions.value(QStringLiteral("openCodeAction")), &QAction::triggered, this,
            &TfrmEditionChanges::OpenCurrentChange);
    connect(actions.value(QStringLiteral("copyAction")), &QAction::triggered, this,
            &TfrmEditionChanges::CopySelectedChanges);
    connect(actions.value(QStringLiteral("listAction")), &QAction::triggered, this, [this] {
        KeepACurrentRow();
        changesTable->setFocus(Qt::ShortcutFocusReason);
    });
    connect(actions.value(QStringLiteral("closeAction")), &QAction::triggered, this, &QDialog::reject);
    connect(copyButton, &QPushButton::clicked, this, &TfrmEditionChanges::CopySelectedChanges);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(changesTable, &QTableView::doubleClicked, this, &TfrmEditionChanges::OpenCurrentChange);
    changesTable->installEventFilter(this);

    ChooseDefaultEditions(AEditionInUse);
    connect(fromEditionBox, &QComboBox::currentIndexChanged, this, &TfrmEditionChanges::Compare);
    connect(toEditionBox, &QComboBox::currentIndexChanged, this, &TfrmEditionChanges::Compare);
    connect(kindBox, &QComboBox::currentIndexChanged, this, &TfrmEditionChanges::ApplyKindFilter);
    connect(filterEdit, &QLineEdit::textChanged, this, [this](const QString& AText) {
        FFilter->SetText(AText);
        RowsChanged();
    });

    resize(DesignedWidth, DesignedHeight);
    filterEdit->setFocus();
    Compare();
}

TfrmEditionChanges::~TfrmEditionChanges() {
    // A comparison still running finishes first (it takes well under a second); its result is not
    // wanted any more.
    if (FWorker != nullptr) {
        disconnect(FWorker, nullptr, this, nullptr);
        FWorker->wait();
        delete FWorker;
    }
}

void TfrmEditionChanges::BuildLayout() {
    auto* editions = new QHBoxLayout;
    editions->addWidget(fromLabel);
    editions->addWidget(fromEditionBox);
    editions->addSpacing(24);
    editions->addWidget(toLabel);
    editions->addWidget(toEditionBox);
    editions->addStretch(1);

    auto* filters = new QHBoxLayout;
    filters->addWidget(kindLabel);
    filters->addWidget(kindBox);
    filters->addSpacing(24);
    filters->addWidget(filterLabel);
    filters->addWidget(filterEdit, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(countLabel, 1);
    bottom->addWidget(copyButton);
    bottom->addWidget(closeButton);

    auto* window = new QVBoxLayout(this);
    window->addLayout(editions);
    window->addLayout(filters);
    window->addWidget(changesTable, 1);
    window->addLayout(bottom);
}

void TfrmEditionChanges::ChooseDefaultEditions(const std::string& AEditionInUse) {
    const int inUse = std::max(0, toEditionBox->findData(QString::fromStdString(AEditionInUse)));
    const int count = toEditionBox->count();
    // From the edition before the one in use; the oldest is compared with the next one.
    const int to = inUse > 0 || count < 2 ? inUse : 1;
    fromEditionBox->setCurrentIndex(std::max(0, to - 1));
    toEditionBox->setCurrentIndex(to);
}

void TfrmEditionChanges::Compare() {
    if (FWorker != nullptr) {
        FCompareAgain = true;
        return;
    }
    const int fromIndex = fromEditionBox->currentIndex();
    const int toIndex = toEditionBox->currentIndex();
    if (fromIndex < 0 || toIndex < 0) return;
    const TEditionInfo from = FEditions[static_cast<std::size_t>(fromIndex)];
    const TEditionInfo to = FEditions[static_cast<std::size_t>(toIndex)];
    if (from.Id == to.Id) {
        ShowComparison(from.Id, to.Id, {}, QString());
        return;
    }
    auto comparison = std::make_shared<TComparison>();
    const TResourceProvider* program = &FProgram;
    FWorker = QThread::create([comparison, from, to, program] {
        try {
            comparison->Changes = DiffEditions(from, to, *program);
        } catch (const std::exception& error) {
            comparison->Error = QString::fromUtf8(error.what());
        } catch (...) {
            comparison->Error = QStringLiteral("the comparison failed");
        }
    });
    connect(FWorker, &QThread::finished, this, [this, comparison, fromId = from.Id, toId = to.Id] {
        FWorker->wait();
        delete FWorker;
        FWorker = nullptr;
        if (FCompareAgain) {
            FCompareAgain = false;
            Compare();
            return;
        }
        unsetCursor();
        ShowComparison(fromId, toId, std::move(comparison->Changes), comparison->Error);
    });
    setCursor(Qt::BusyCursor);
    countLabel->setText(
        QStringLiteral("Comparing %1 with %2 …").arg(QString::fromStdString(from.Id), QString::fromStdString(to.Id)));
    FWorker->start();
}

void TfrmEditionChanges::ShowComparison(const std::string& AFromId, const std::string& AToId,
                                        std::vector<TEditionChange> AChanges, const QString& AError) {
    FShownFrom = AFromId;
    FShownTo = AToId;
    FError = AError;
    FModel->SetChanges(std::move(AChanges));
    RowsChanged();
    emit changesShown();
}

void TfrmEditionChanges::ApplyKindFilter() {
    const int choice = kindBox->currentIndex();
    if (choice < 0 || choice >= static_cast<int>(KindChoices.size())) return;
    FFilter->SetKind(KindChoices[static_cast<std::size_t>(choice)].Kind);
    RowsChanged();
}

void TfrmEditionChanges::RowsChanged() {
    KeepACurrentRow();
    if (FWorker != nullptr) return;  // "Comparing ..." stays until the result is there
    if (!FError.isEmpty()) {
        countLabel->setText(QStringLiteral("Cannot compare: %1").arg(FError));
        return;
    }
    if (FEditions.size() < 2) {
        countLabel->setText(
            QStringLiteral("Only one edition is installed: import a later one (Editions… on the "
                           "launcher) to see what changed."));
        return;
    }
    if (FShownFrom == FShownTo) {
        countLabel->setText(QStringLiteral("The same edition is chosen twice: choose two to compare."));
        return;
    }
    countLabel->setText(QStringLiteral("%1 from %2 to %3, %4 shown")
                            .arg(Plural(FModel->rowCount(), "change", "changes"), QString::fromStdString(FShownFrom),
                                 QString::fromStdString(FShownTo))
                            .arg(FFilter->rowCount()));
}

// The list always has a current row while it shows any, so that Enter and Ctrl+C have one to act on.
void TfrmEditionChanges::KeepACurrentRow() {
    if (changesTable->currentIndex().isValid() || FFilter->rowCount() == 0) return;
    changesTable->selectionModel()->setCurrentIndex(FFilter->index(0, 0),
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TfrmEditionChanges::OpenCurrentChange() {
    const QModelIndex current = changesTable->currentIndex();
    if (!current.isValid()) return;
    const TEditionChange& change = FModel->Change(FFilter->mapToSource(current).row());
    const std::string& edition = ChangeInNewerEdition(change.Kind) ? FShownTo : FShownFrom;
    emit openCodeRequested(QString::fromStdString(edition), QString::fromStdString(change.Code));
}

void TfrmEditionChanges::CopySelectedChanges() {
    QModelIndexList rows = changesTable->selectionModel()->selectedRows();
    if (rows.isEmpty() && changesTable->currentIndex().isValid()) rows << changesTable->currentIndex();
    if (rows.isEmpty()) return;
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::string text;
    for (const QModelIndex& row : rows) text += FormatChange(FModel->Change(FFilter->mapToSource(row).row())) + "\n";
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

// Typing in the list goes on in the filter box.
bool TfrmEditionChanges::eventFilter(QObject* watched, QEvent* event) {
    if (watched == changesTable && event->type() == QEvent::KeyPress &&
        IsTypedCharacter(*static_cast<QKeyEvent*>(event))) {
        filterEdit->setFocus(Qt::OtherFocusReason);
        QCoreApplication::sendEvent(filterEdit, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
