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

    codeCaption = new QLabel(QStringLiteral("7 Characters Code: "), this);
    codeCaption->setObjectName(QStringLiteral("codeCaption"));
    codeEdit = new QLineEdit(this);
    codeEdit->setObjectName(QStringLiteral("codeEdit"));
    codeEdit->setAccessibleName(QStringLiteral("Seven-character code"));
    belongToCaption = new QLabel(QStringLiteral("Belong To: "), this);
    belongToCaption->setObjectName(QStringLiteral("belongToCaption"));
    belongToEdit = new QLineEdit(this);
    belongToEdit->setObjectName(QStringLiteral("belongToEdit"));
    belongToEdit->setAccessibleName(QStringLiteral("Belongs to"));
    descriptionCaption = new QLabel(QStringLiteral("Full Description:"), this);
    descriptionCaption->setObjectName(QStringLiteral("descriptionCaption"));
    descriptionView = new QPlainTextEdit(this);
    descriptionView->setObjectName(QStringLiteral("descriptionView"));
    descriptionView->setAccessibleName(QStringLiteral("Full description"));
    for (QLineEdit* edit : {codeEdit, belongToEdit}) {
        edit->setReadOnly(true);
        edit->setFixedWidth(120);
        MakeInfoField(edit);
    }
    descriptionView->setReadOnly(true);
    MakeInfoField(descriptionView);

    viewCodeButton = new QPushButton(QStringLiteral("View Code Text"), this);
    viewCodeButton->setObjectName(QStringLiteral("viewCodeButton"));
    searchAnotherButton = new QPushButton(QStringLiteral("Close And Search Another"), this);
    searchAnotherButton->setObjectName(QStringLiteral("searchAnotherButton"));
    viewCodeButton->setDefault(true);
    connect(viewCodeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(searchAnotherButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* codes = new QHBoxLayout;
    codes->addWidget(codeCaption);
    codes->addWidget(codeEdit);
    codes->addSpacing(24);
    codes->addWidget(belongToCaption);
    codes->addWidget(belongToEdit);
    codes->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(viewCodeButton);
    buttons->addWidget(searchAnotherButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(codes);
    layout->addWidget(descriptionCaption);
    layout->addWidget(descriptionView, 1);
    layout->addLayout(buttons);
}

void TfrmInfoOf7Code::SetCodeInfo(const QString& ACode, const QString& ABelongTo, const QString& AFullDescription) {
    codeEdit->setText(ACode);
    belongToEdit->setText(ABelongTo);
    descriptionView->setPlainText(AFullDescription);
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
