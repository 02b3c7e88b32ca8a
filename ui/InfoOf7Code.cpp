#include "ui/InfoOf7Code.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/UiStyle.h"

namespace {

QPointer<TfrmInfoOf7Code>& Instance() {
    static QPointer<TfrmInfoOf7Code> instance;
    return instance;
}

// Runs while QApplication is being destroyed, before the windowing system goes away.
void DeleteInstance() {
    delete Instance().data();
}

// Read-only field: blue text on the tooltip background.
void MakeInfoField(QWidget* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, Blue);
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    field->setPalette(palette);
}

}  // namespace

TfrmInfoOf7Code::TfrmInfoOf7Code(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("7 Characters Code Information"));
    setFixedSize(560, 213);
    setFont(TahomaFont(12));
    QPalette sky = palette();
    sky.setColor(QPalette::Window, SkyBlue);
    setPalette(sky);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("7 Characters Code: "), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label2 = new QLabel(QStringLiteral("Belong To: "), this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Label3 = new QLabel(QStringLiteral("Full Description:"), this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    for (QLineEdit* edit : {Edit1, Edit2}) {
        edit->setReadOnly(true);
        edit->setFixedWidth(120);
        MakeInfoField(edit);
    }
    Memo1->setReadOnly(true);
    MakeInfoField(Memo1);

    btnViewCode = new QPushButton(QStringLiteral("View Code Text"), this);
    btnSearchAnother = new QPushButton(QStringLiteral("Close And Search Another"), this);
    btnViewCode->setDefault(true);
    connect(btnViewCode, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnSearchAnother, &QPushButton::clicked, this, &QDialog::reject);

    auto* codes = new QHBoxLayout;
    codes->addWidget(Label1);
    codes->addWidget(Edit1);
    codes->addSpacing(24);
    codes->addWidget(Label2);
    codes->addWidget(Edit2);
    codes->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnViewCode);
    buttons->addWidget(btnSearchAnother);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(codes);
    layout->addWidget(Label3);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
}

void TfrmInfoOf7Code::SetCodeInfo(const QString& ACode, const QString& ABelongTo, const QString& AFullDescription) {
    Edit1->setText(ACode);
    Edit2->setText(ABelongTo);
    Memo1->setPlainText(AFullDescription);
}

void CreateInfoOf7Code() {
    if (!Instance().isNull()) return;
    Instance() = new TfrmInfoOf7Code;
    qAddPostRoutine(DeleteInstance);
}

TfrmInfoOf7Code& frmInfoOf7Code() {
    CreateInfoOf7Code();
    return *Instance();
}
