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
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
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

    headerCaption = new QLabel(QStringLiteral("Code Header: "), this);
    headerCaption->setObjectName(QStringLiteral("headerCaption"));
    codeHeaderEdit = new QLineEdit(this);
    codeHeaderEdit->setObjectName(QStringLiteral("codeHeaderEdit"));
    codeHeaderEdit->setReadOnly(true);
    // The header is only shown: the focus goes to the filter, where typing means something.
    codeHeaderEdit->setFocusPolicy(Qt::NoFocus);
    codeHeaderEdit->setFixedWidth(120);
    QPalette silver = codeHeaderEdit->palette();
    silver.setColor(QPalette::Base, Silver);
    codeHeaderEdit->setPalette(silver);

    filterCaption = new QLabel(QStringLiteral("Extent Filter:"), this);
    filterCaption->setObjectName(QStringLiteral("filterCaption"));
    filterEdit = new QLineEdit(this);
    filterEdit->setObjectName(QStringLiteral("filterEdit"));
    filterEdit->setAccessibleName(QStringLiteral("Extent filter"));
    filterEdit->setFixedWidth(120);
    filterEdit->setValidator(new TUpperCaseValidator(filterEdit));
    connect(filterEdit, &QLineEdit::textChanged, this, [this] { FillCodeList(); });
    filterEdit->installEventFilter(this);

    totalsLabel = new QLabel(this);
    totalsLabel->setObjectName(QStringLiteral("totalsLabel"));
    totalsLabel->setWordWrap(true);  // the totals take two lines in a dialog narrower than designed

    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(headerCaption);
    headerRow->addWidget(codeHeaderEdit);
    headerRow->addSpacing(24);
    headerRow->addWidget(filterCaption);
    headerRow->addWidget(filterEdit);
    headerRow->addSpacing(24);
    headerRow->addWidget(totalsLabel, 1);

    codeListBox = new QGroupBox(QStringLiteral("Reportable Code List"), this);
    codeListBox->setObjectName(QStringLiteral("codeListBox"));
    codeList = new QTreeWidget(codeListBox);
    codeList->setObjectName(QStringLiteral("codeList"));
    codeList->setAccessibleName(QStringLiteral("Reportable codes"));
    codeList->setColumnCount(2);
    codeList->setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Description")});
    codeList->setColumnWidth(0, 80);
    codeList->setColumnWidth(1, 900);
    codeList->setFont(CourierFont(14, true));
    codeList->header()->setFont(TahomaFont(12));
    codeList->header()->setStretchLastSection(true);
    codeList->setRootIsDecorated(false);
    // Seventh-character descriptions differ only in their last words: a long description wraps
    // inside its column instead of being cut short.
    codeList->setWordWrap(true);
    codeList->setTextElideMode(Qt::ElideNone);
    codeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    codeList->setItemDelegate(new TWrappedRowDelegate(codeList));
    connect(codeList->header(), &QHeaderView::sectionResized, codeList, [this] {
        // Laying the rows out may show or hide the scroll bar and so resize the column again.
        if (FLayingOutRows) return;
        FLayingOutRows = true;
        codeList->doItemsLayout();
        FLayingOutRows = false;
    });
    codeList->installEventFilter(this);
    codeList->setSelectionMode(QAbstractItemView::SingleSelection);
    codeList->setSelectionBehavior(QAbstractItemView::SelectRows);
    codeList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette listPalette = codeList->palette();
    listPalette.setColor(QPalette::Base, Qt::white);
    codeList->setPalette(listPalette);
    connect(codeList, &QTreeWidget::itemSelectionChanged, this, [this] { RowSelected(); });
    connect(codeList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { RowDoubleClicked(item); });

    selectedCaption = new QLabel(QStringLiteral("Selected Code + Short Description  "), codeListBox);
    selectedCaption->setObjectName(QStringLiteral("selectedCaption"));
    selectedCodeEdit = new QLineEdit(codeListBox);
    selectedCodeEdit->setObjectName(QStringLiteral("selectedCodeEdit"));
    selectedCodeEdit->setReadOnly(true);
    selectedCodeEdit->setFocusPolicy(Qt::ClickFocus);

    auto* selectedRow = new QHBoxLayout;
    selectedRow->addWidget(selectedCaption);
    selectedRow->addWidget(selectedCodeEdit, 1);
    auto* groupLayout = new QVBoxLayout(codeListBox);
    groupLayout->addWidget(codeList, 1);
    groupLayout->addLayout(selectedRow);

    ctrlHintLabel =
        new QLabel(QStringLiteral("Window will close if you press Ctrl when click  \"Copy ...\" button"), this);
    ctrlHintLabel->setObjectName(QStringLiteral("ctrlHintLabel"));
    QPalette red = ctrlHintLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ctrlHintLabel->setPalette(red);

    copyCodeAndLongButton = new QPushButton(QStringLiteral("Copy Code + Long Description"), this);
    copyCodeAndLongButton->setObjectName(QStringLiteral("copyCodeAndLongButton"));
    copyLongButton = new QPushButton(QStringLiteral("Copy Long Description"), this);
    copyLongButton->setObjectName(QStringLiteral("copyLongButton"));
    copyCodeAndShortButton = new QPushButton(QStringLiteral("Copy Code + Short Description"), this);
    copyCodeAndShortButton->setObjectName(QStringLiteral("copyCodeAndShortButton"));
    copyShortButton = new QPushButton(QStringLiteral("Copy Short Description"), this);
    copyShortButton->setObjectName(QStringLiteral("copyShortButton"));
    copyCodeButton = new QPushButton(QStringLiteral("Copy Code"), this);
    copyCodeButton->setObjectName(QStringLiteral("copyCodeButton"));
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* button :
         {copyCodeAndLongButton, copyLongButton, copyCodeAndShortButton, copyShortButton, copyCodeButton, closeButton})
        button->setAutoDefault(false);
    connect(copyCodeAndLongButton, &QPushButton::clicked, this,
            [this] { CopySelected(TCopyKind::CodeAndLongDescription); });
    connect(copyLongButton, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::LongDescription); });
    connect(copyCodeAndShortButton, &QPushButton::clicked, this,
            [this] { CopySelected(TCopyKind::CodeAndShortDescription); });
    connect(copyShortButton, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::ShortDescription); });
    connect(copyCodeButton, &QPushButton::clicked, this, [this] { CopySelected(TCopyKind::Code); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(copyCodeAndLongButton);
    buttonRow->addWidget(copyLongButton);
    buttonRow->addWidget(copyCodeAndShortButton);
    buttonRow->addWidget(copyShortButton);
    buttonRow->addWidget(copyCodeButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(headerRow);
    layout->addWidget(codeListBox, 1);
    layout->addWidget(ctrlHintLabel);
    layout->addLayout(buttonRow);
}

void TfrmSelectCode::SetCodeHeader(const std::string& AHeader) {
    codeHeaderEdit->setText(QString::fromStdString(CodeHeaderText(AHeader)));
}

int TfrmSelectCode::GetAllAvailableCodes() {
    if (!FCodeList.empty()) return 0;
    CollectValidCodes(LoadedData().CodeResolver(), codeHeaderEdit->text().toStdString(), FCodeList, FDescList);
    return static_cast<int>(FCodeList.size());
}

std::string TfrmSelectCode::GetShortDesc(const std::string& ACode, const std::string& ADefaultLongDesc) const {
    return ShortOrLongDescription(ShortDescLookup(), ACode, ADefaultLongDesc);
}

void TfrmSelectCode::FillCodeList() {
    codeList->clear();
    const TCodeListSelection selection =
        FilterCodeList(FCodeList, codeHeaderEdit->text().toStdString(), filterEdit->text().toStdString());
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(selection.FRows.size()));
    for (std::size_t row : selection.FRows) {
        auto* item =
            new QTreeWidgetItem({QString::fromStdString(FCodeList[row]), QString::fromStdString(FDescList[row])});
        item->setData(0, Qt::UserRole, static_cast<int>(row));
        item->setForeground(0, Green);
        item->setForeground(1, Qt::black);
        item->setToolTip(1, QString::fromStdString(FDescList[row]));
        items.append(item);
    }
    codeList->addTopLevelItems(items);
    totalsLabel->setText(QString::fromStdString(FormatCodeTotals(selection)));
    selectedCodeEdit->clear();
}

int TfrmSelectCode::SelectedIndex() const {
    const QList<QTreeWidgetItem*> selected = codeList->selectedItems();
    if (selected.isEmpty()) return -1;
    const int index = selected.front()->data(0, Qt::UserRole).toInt();
    return index >= 0 && static_cast<std::size_t>(index) < FCodeList.size() ? index : -1;
}

void TfrmSelectCode::RowSelected() {
    const int index = SelectedIndex();
    if (index < 0) return;
    const std::string& code = FCodeList[index];
    selectedCodeEdit->setText(QString::fromStdString(CodeWithDescription(code, GetShortDesc(code, FDescList[index]))));
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
    filterEdit->setFocus();
}

bool TfrmSelectCode::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != filterEdit && watched != codeList))
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QTreeWidgetItem* item = codeList->currentItem();
        if (item == nullptr || !item->isSelected())
            Messages().ShowMessage(MsgSelectCodeFirst);
        else
            RowDoubleClicked(item);
        return true;
    }
    if (watched == filterEdit &&
        (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        if (codeList->topLevelItemCount() == 0) return true;
        QTreeWidgetItem* current = codeList->currentItem();
        if (current == nullptr || !current->isSelected()) {
            // The first move selects the first row.
            codeList->setCurrentItem(codeList->topLevelItem(0));
            return true;
        }
        QCoreApplication::sendEvent(codeList, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
