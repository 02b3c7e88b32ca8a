#include "ui/SelectCode.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValidator>

#include "keywords/KeywordData.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/Main.h"
#include "ui/UiStyle.h"
#include "ui/WindowPlacement.h"

namespace {

TCtrlKeyProbe& CtrlProbe() {
    static TCtrlKeyProbe probe;
    return probe;
}

TModalRunner& ModalRunner() {
    static TModalRunner runner;
    return runner;
}

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// Turns typed small ASCII letters into capitals; everything else passes unchanged.
class TUpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        for (QChar& c : input) {
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
        }
        return Acceptable;
    }
};

// A tree view asks its delegate for a row's height without telling it the column's width, so
// wrapped text would be measured as one line and cut after its first. This delegate measures each
// cell at the width of its column; the rows are laid out again whenever a column changes width.
class TWrappedRowDelegate : public QStyledItemDelegate {
public:
    explicit TWrappedRowDelegate(QTreeView* view) : QStyledItemDelegate(view), FView(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem cell = option;
        cell.rect = QRect(0, 0, FView->header()->sectionSize(index.column()),
                          option.rect.height() > 0 ? option.rect.height() : 1);
        return QStyledItemDelegate::sizeHint(cell, index);
    }

private:
    QTreeView* FView;
};

void PutOnClipboard(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQt(text));
}

// The launcher window of the run, when there is one (hidden while a search window runs).
QWidget* LauncherWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TfrmMain*>(widget) != nullptr) return widget;
    }
    return nullptr;
}

}  // namespace

bool CtrlKeyHeld() {
    if (CtrlProbe()) return CtrlProbe()();
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

TCtrlKeyProbe SetCtrlKeyProbe(TCtrlKeyProbe AProbe) {
    return std::exchange(CtrlProbe(), std::move(AProbe));
}

int RunModalDialog(QDialog& ADialog) {
    if (ModalRunner()) return ModalRunner()(ADialog);
    return ADialog.exec();
}

TModalRunner SetModalRunner(TModalRunner ARunner) {
    return std::exchange(ModalRunner(), std::move(ARunner));
}

TShortDescLookup ShortDescLookup() {
    return [](const std::string& code) -> std::optional<std::string> {
        std::string desc;
        if (LoadedData().Keywords.ShortDescs.Find(code, desc)) return desc;
        return std::nullopt;
    };
}

TfrmSelectCode::TfrmSelectCode(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Please Select Reportable Code "));
    // The designed size; the dialog may be made larger to read long descriptions.
    resize(1062, 457);
    // Centred on the launcher window rather than on the search window that opens it.
    SetPlacementAnchor(this, LauncherWindow());
    setFont(TahomaFont(12));
    QPalette sky = palette();
    sky.setColor(QPalette::Window, SkyBlue);
    setPalette(sky);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("Code Header: "), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    // The header is only shown: the focus goes to the filter, where typing means something.
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setFixedWidth(120);
    QPalette silver = Edit1->palette();
    silver.setColor(QPalette::Base, Silver);
    Edit1->setPalette(silver);

    Label2 = new QLabel(QStringLiteral("Extent Filter:"), this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFixedWidth(120);
    Edit2->setValidator(new TUpperCaseValidator(Edit2));
    connect(Edit2, &QLineEdit::textChanged, this, [this] { FillCodeList(); });
    Edit2->installEventFilter(this);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);  // the totals take two lines in a dialog narrower than designed

    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(Label1);
    headerRow->addWidget(Edit1);
    headerRow->addSpacing(24);
    headerRow->addWidget(Label2);
    headerRow->addWidget(Edit2);
    headerRow->addSpacing(24);
    headerRow->addWidget(Label3, 1);

    GroupBox1 = new QGroupBox(QStringLiteral("Reportable Code List"), this);
    ListView1 = new QTreeWidget(GroupBox1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Description")});
    ListView1->setColumnWidth(0, 80);
    ListView1->setColumnWidth(1, 900);
    ListView1->setFont(CourierFont(14, true));
    ListView1->header()->setFont(TahomaFont(12));
    ListView1->header()->setStretchLastSection(true);
    ListView1->setRootIsDecorated(false);
    // Seventh-character descriptions differ only in their last words: a long description wraps
    // inside its column instead of being cut short.
    ListView1->setWordWrap(true);
    ListView1->setTextElideMode(Qt::ElideNone);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListView1->setItemDelegate(new TWrappedRowDelegate(ListView1));
    connect(ListView1->header(), &QHeaderView::sectionResized, ListView1, [this] {
        // Laying the rows out may show or hide the scroll bar and so resize the column again.
        if (FLayingOutRows) return;
        FLayingOutRows = true;
        ListView1->doItemsLayout();
        FLayingOutRows = false;
    });
    ListView1->installEventFilter(this);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette listPalette = ListView1->palette();
    listPalette.setColor(QPalette::Base, Qt::white);
    ListView1->setPalette(listPalette);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] { RowSelected(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { RowDoubleClicked(item); });

    Label6 = new QLabel(QStringLiteral("Selected Code + Short Description  "), GroupBox1);
    Edit3 = new QLineEdit(GroupBox1);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setReadOnly(true);
    Edit3->setFocusPolicy(Qt::ClickFocus);

    auto* selectedRow = new QHBoxLayout;
    selectedRow->addWidget(Label6);
    selectedRow->addWidget(Edit3, 1);
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->addWidget(ListView1, 1);
    groupLayout->addLayout(selectedRow);

    Label4 = new QLabel(QStringLiteral("Window will close if you press Ctrl when click  \"Copy ...\" button"), this);
    QPalette red = Label4->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label4->setPalette(red);

    btnCodeLongDesc = new QPushButton(QStringLiteral("Copy Code + Long Description"), this);
    btnLongDesc = new QPushButton(QStringLiteral("Copy Long Description"), this);
    btnCodeShortDesc = new QPushButton(QStringLiteral("Copy Code + Short Description"), this);
    btnShortDesc = new QPushButton(QStringLiteral("Copy Short Description"), this);
    btnCode = new QPushButton(QStringLiteral("Copy Code"), this);
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* button : {btnCodeLongDesc, btnLongDesc, btnCodeShortDesc, btnShortDesc, btnCode, btnClose})
        button->setAutoDefault(false);
    connect(btnCodeLongDesc, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::CodeAndLongDescription); });
    connect(btnLongDesc, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::LongDescription); });
    connect(btnCodeShortDesc, &QPushButton::clicked, this,
            [this] { CopySelected(TCopyKind::CodeAndShortDescription); });
    connect(btnShortDesc, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::ShortDescription); });
    connect(btnCode, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::Code); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnCodeLongDesc);
    buttonRow->addWidget(btnLongDesc);
    buttonRow->addWidget(btnCodeShortDesc);
    buttonRow->addWidget(btnShortDesc);
    buttonRow->addWidget(btnCode);
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(headerRow);
    layout->addWidget(GroupBox1, 1);
    layout->addWidget(Label4);
    layout->addLayout(buttonRow);
}

void TfrmSelectCode::SetCodeHeader(const std::string& AHeader) {
    Edit1->setText(ToQt(CodeHeaderText(AHeader)));
}

int TfrmSelectCode::GetAllAvailableCodes() {
    if (!FCodeList.empty()) return 0;
    CollectValidCodes(Edit1->text().toStdString(), FCodeList, FDescList);
    return static_cast<int>(FCodeList.size());
}

std::string TfrmSelectCode::GetShortDesc(const std::string& ACode, const std::string& ADefaultLongDesc) const {
    return ShortOrLongDescription(ShortDescLookup(), ACode, ADefaultLongDesc);
}

void TfrmSelectCode::FillCodeList() {
    ListView1->clear();
    const TCodeListSelection selection =
        FilterCodeList(FCodeList, Edit1->text().toStdString(), Edit2->text().toStdString());
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(selection.FRows.size()));
    for (std::size_t row : selection.FRows) {
        auto* item = new QTreeWidgetItem({ToQt(FCodeList[row]), ToQt(FDescList[row])});
        item->setData(0, Qt::UserRole, static_cast<int>(row));
        item->setForeground(0, Green);
        item->setForeground(1, Qt::black);
        item->setToolTip(1, ToQt(FDescList[row]));
        items.append(item);
    }
    ListView1->addTopLevelItems(items);
    Label3->setText(ToQt(FormatCodeTotals(selection)));
    Edit3->clear();
}

int TfrmSelectCode::SelectedIndex() const {
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty()) return -1;
    const int index = selected.front()->data(0, Qt::UserRole).toInt();
    return index >= 0 && static_cast<std::size_t>(index) < FCodeList.size() ? index : -1;
}

void TfrmSelectCode::RowSelected() {
    const int index = SelectedIndex();
    if (index < 0) return;
    const std::string& code = FCodeList[index];
    Edit3->setText(ToQt(CodeWithDescription(code, GetShortDesc(code, FDescList[index]))));
}

void TfrmSelectCode::CopySelected(TCopyKind AKind) {
    const int index = SelectedIndex();
    if (index < 0) {
        Messages().ShowMessage(MsgSelectCodeFirst);
        return;
    }
    const std::string& code = FCodeList[index];
    PutOnClipboard(CopyText(AKind, code, FDescList[index], ShortDescLookup()));
    FSelectedCode = code;
    if (CtrlKeyHeld()) accept();
}

void TfrmSelectCode::RowDoubleClicked(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index < 0 || static_cast<std::size_t>(index) >= FCodeList.size()) return;
    PutOnClipboard(CodeWithDescription(FCodeList[index], FDescList[index]));
    FSelectedCode = FCodeList[index];
    accept();
}

void TfrmSelectCode::showEvent(QShowEvent* event) {
    FillCodeList();
    QDialog::showEvent(event);
    Edit2->setFocus();
}

bool TfrmSelectCode::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != Edit2 && watched != ListView1))
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QTreeWidgetItem* item = ListView1->currentItem();
        if (item == nullptr || !item->isSelected())
            Messages().ShowMessage(MsgSelectCodeFirst);
        else
            RowDoubleClicked(item);
        return true;
    }
    if (watched == Edit2 &&
        (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        if (ListView1->topLevelItemCount() == 0) return true;
        QTreeWidgetItem* current = ListView1->currentItem();
        if (current == nullptr || !current->isSelected()) {
            // The first move selects the first row.
            ListView1->setCurrentItem(ListView1->topLevelItem(0));
            return true;
        }
        QCoreApplication::sendEvent(ListView1, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
