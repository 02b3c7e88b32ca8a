#include "ui/AdministratorTool.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>

#include "admin/CodeTextFile.h"
#include "admin/DataPipeline.h"
#include "admin/KeywordFiles.h"
#include "admin/Statistics.h"
#include "model/TabularData.h"
#include "services/Folders.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/DataSetSignals.h"
#include "ui/UiStyle.h"

namespace {

std::string PathOf(const QLineEdit* AEdit) {
    return AEdit->text().toStdString();
}

QString DefaultName(const QString& APrefix, const QString& ASuffix) {
    return QString::fromStdString(ProgramFiles().FWorkDir) + APrefix + QString::fromLatin1(EditionYear) + ASuffix;
}

QPushButton* MakeButton(const QString& ACaption, QWidget* AParent) {
    auto* button = new QPushButton(ACaption, AParent);
    button->setAutoDefault(false);
    return button;
}

QPlainTextEdit* MakeMemo(QWidget* AParent) {
    auto* memo = new QPlainTextEdit(AParent);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(CourierFont(12, false));
    memo->setFixedHeight(72);
    return memo;
}

// A sub-option of the box above it, set in a little.
QWidget* Indented(QWidget* AWidget) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(20, 0, 0, 0);
    layout->addWidget(AWidget);
    return holder;
}

}  // namespace

TfrmAdministratorTool::TfrmAdministratorTool(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAdministratorTool"));
    setWindowTitle(QStringLiteral("Administrator Tool"));
    setFont(TahomaFont(12, false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, SkyBlue);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(860, 640);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    // Output files are chosen here too, so a name that does not exist yet may be typed.
    OpenDialog1->setFileMode(QFileDialog::AnyFile);
    OpenDialog1->setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});

    PageControl1 = new QTabWidget(this);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(PageControl1);

    // "Arrange KW"
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        Edit1 = AddFileRow(grid, 0, 0, new QLabel(QStringLiteral("Original KW File: ")));
        Edit2 = AddFileRow(grid, 1, 0, new QLabel(QStringLiteral("New KW File: ")));
        Edit3 = AddFileRow(grid, 2, 0, new QLabel(QStringLiteral("Distinct KW File: ")));
        CheckBox1 = new QCheckBox(QStringLiteral("Gen 3 Characters Codes Only "));
        CheckBox2 = new QCheckBox(QStringLiteral("KW has multi-words only"));
        CheckBox7 = new QCheckBox(QStringLiteral("Upper Case First Character"));
        // The shipped keyword set holds categories with capitalised keywords.
        CheckBox1->setChecked(true);
        CheckBox7->setChecked(true);
        auto* options = new QHBoxLayout;
        for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox7}) options->addWidget(box);
        options->addStretch();
        grid->addLayout(options, 3, 0, 1, 3);
        Button4 = MakeButton(QStringLiteral("Arrange (need undefine ICD_USE_FILERES)"), page);
        Button15 = MakeButton(QStringLiteral("Preliminary handle"), page);
        Button16 = MakeButton(QStringLiteral("Extract 2+ KW For Verify"), page);
        auto* buttons = new QHBoxLayout;
        for (QPushButton* button : {Button4, Button15, Button16}) buttons->addWidget(button);
        buttons->addStretch();
        grid->addLayout(buttons, 4, 0, 1, 3);
        grid->setRowStretch(5, 1);
        grid->setColumnStretch(1, 1);
        PageControl1->addTab(page, QStringLiteral("Arrange KW"));
    }

    // "Statistics"
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        CheckBox3 = new QCheckBox(QStringLiteral("Stat All Codes (Refer to special-7-rules.txt for special rules)"));
        CheckBox3->setChecked(true);
        grid->addWidget(CheckBox3, 0, 0, 1, 3);
        CheckBox8 = new QCheckBox(QStringLiteral("Generate Order File"));
        Edit11 = AddFileRow(grid, 1, 0, Indented(CheckBox8));
        CheckBox4 = new QCheckBox(QStringLiteral("Stats Official Order File"));
        Edit4 = AddFileRow(grid, 2, 0, CheckBox4);
        Edit6 = AddFileRow(grid, 3, 0, new QLabel(QStringLiteral("New Order File No Flag(Short)")));
        Edit12 = AddFileRow(grid, 4, 0, new QLabel(QStringLiteral("New Order File No Flag(Long)")));
        Edit13 = AddFileRow(grid, 5, 0, new QLabel(QStringLiteral("New Order File With Flag(Short)")));
        Edit7 = AddFileRow(grid, 6, 0, new QLabel(QStringLiteral("New Order File With Flag(Long)")));
        Edit8 = AddFileRow(grid, 7, 0, new QLabel(QStringLiteral("Short Reportable Code File")));
        Edit14 = AddFileRow(grid, 8, 0, new QLabel(QStringLiteral("Long Reportable Code File")));
        CheckBox5 = new QCheckBox(QStringLiteral("Stat Distinct KW File"));
        Edit5 = AddFileRow(grid, 9, 0, CheckBox5);
        Memo1 = MakeMemo(page);
        Memo2 = MakeMemo(page);
        Memo3 = MakeMemo(page);
        grid->addWidget(Memo1, 10, 0, 1, 3);
        grid->addWidget(Memo2, 11, 0, 1, 3);
        grid->addWidget(Memo3, 12, 0, 1, 3);
        Button7 = MakeButton(QStringLiteral("Stat"), page);
        grid->addWidget(Button7, 13, 0, Qt::AlignLeft);
        grid->setRowStretch(14, 1);
        grid->setColumnStretch(1, 1);
        PageControl1->addTab(page, QStringLiteral("Statistics"));
    }

    // "Zip File Resource"
    {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        Button10 = MakeButton(QStringLiteral("Zip Resource Files"), page);
        layout->addWidget(Button10, 0, Qt::AlignLeft);
        layout->addStretch();
        PageControl1->addTab(page, QStringLiteral("Zip File Resource"));
    }

    // "Verify && Gen SQL"
    {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        Button11 = MakeButton(QStringLiteral("Verify && Gen SQL File"), page);
        layout->addWidget(Button11, 0, Qt::AlignLeft);
        layout->addStretch();
        PageControl1->addTab(page, QStringLiteral("Verify && Gen SQL"));
    }

    // "Others"
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        CheckBox6 = new QCheckBox(QStringLiteral("Add Comma"));
        grid->addWidget(CheckBox6, 0, 0, 1, 3);
        Button13 = MakeButton(QStringLiteral("Generate Code Text File for Extracting KWs"), page);
        Edit9 = AddFileRow(grid, 1, 0, Button13);
        Label7 = new QLabel(QStringLiteral("UnArrangedKW number: 0"), page);
        grid->addWidget(Label7, 2, 0, 1, 3);
        Button14 = MakeButton(QStringLiteral("Generate All Code Text for Verifing"), page);
        Edit10 = AddFileRow(grid, 3, 0, Button14);
        grid->setRowStretch(4, 1);
        grid->setColumnStretch(1, 1);
        PageControl1->addTab(page, QStringLiteral("Others"));
    }

    connect(Button4, &QPushButton::clicked, this, &TfrmAdministratorTool::Button4Click);
    connect(Button7, &QPushButton::clicked, this, &TfrmAdministratorTool::Button7Click);
    connect(Button10, &QPushButton::clicked, this, &TfrmAdministratorTool::Button10Click);
    connect(Button11, &QPushButton::clicked, this, &TfrmAdministratorTool::Button11Click);
    connect(Button13, &QPushButton::clicked, this, &TfrmAdministratorTool::Button13Click);
    connect(Button14, &QPushButton::clicked, this, &TfrmAdministratorTool::Button14Click);
    connect(Button15, &QPushButton::clicked, this, &TfrmAdministratorTool::Button15Click);
    connect(Button16, &QPushButton::clicked, this, &TfrmAdministratorTool::Button16Click);
}

QLineEdit* TfrmAdministratorTool::AddFileRow(QGridLayout* ALayout, int ARow, int AColumn, QWidget* ALabel) {
    auto* edit = new QLineEdit;
    auto* browse = MakeButton(QStringLiteral("..."), nullptr);
    browse->setFixedWidth(32);
    ALayout->addWidget(ALabel, ARow, AColumn);
    ALayout->addWidget(edit, ARow, AColumn + 1);
    ALayout->addWidget(browse, ARow, AColumn + 2);
    FBrowseButtons.insert(edit, browse);
    connect(browse, &QPushButton::clicked, this, [this, edit] { Browse(edit); });
    return edit;
}

void TfrmAdministratorTool::Browse(QLineEdit* AEdit) {
    const QFileInfo current(AEdit->text());
    if (!AEdit->text().isEmpty()) {
        OpenDialog1->setDirectory(current.absolutePath());
        OpenDialog1->selectFile(current.fileName());
    }
    if (OpenDialog1->exec() != QDialog::Accepted) return;
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (!chosen.isEmpty()) AEdit->setText(chosen.front());
}

void TfrmAdministratorTool::showEvent(QShowEvent* event) {
    if (!FDefaultsSet) {
        FDefaultsSet = true;
        SetDefaultFileNames();
    }
    QDialog::showEvent(event);
}

void TfrmAdministratorTool::SetDefaultFileNames() {
    Edit1->setText(DefaultName(QStringLiteral("UnArrangedCodeKeywords_"), QStringLiteral(".txt")));
    Edit2->setText(DefaultName(QStringLiteral("ArrangedICD10KW_"), QStringLiteral(".txt")));
    Edit3->setText(DefaultName(QStringLiteral("DistinctICD10KW_"), QStringLiteral(".txt")));
    Edit4->setText(DefaultName(QStringLiteral("icd10cm_order_"), QStringLiteral(".txt")));
    Edit5->setText(DefaultName(QStringLiteral("Distinct_ICD10_KW_"), QStringLiteral(".txt")));
    Edit6->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_ShortDesc.txt")));
    Edit12->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_LongDesc.txt")));
    Edit13->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_ShortDesc_WithFlag.txt")));
    Edit7->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_LongDesc_WithFlag.txt")));
    Edit8->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_ReportableCodesShort.txt")));
    Edit14->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_ReportableCodesLong.txt")));
    Edit11->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_My_Order_WithFlag.txt")));
    Edit9->setText(Edit1->text());
    Edit10->setText(DefaultName(QStringLiteral("AllCodesTextForVerify_"), QStringLiteral(".txt")));
}

void TfrmAdministratorTool::AfterLoading(std::vector<TDataSet> ASets, std::function<void()> AOperation) {
    // No waiting window: the tool shows a busy cursor and takes no input until the sets have loaded
    // and the operation has run. The cursor goes with the call back, also when the tool is closed first.
    setEnabled(false);
    auto busy = std::make_shared<TBusyCursor>();
    WhenDataSetsSettled(
        this, std::move(ASets),
        [this, busy, operation = std::move(AOperation)] {
            setEnabled(true);
            operation();
        },
        TWaitDisplay::Quietly);
}

void TfrmAdministratorTool::Button4Click() {
    AfterLoading({TDataSet::CodeKeywords}, [this] {
        ArrangeKeywordFile(PathOf(Edit1), CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox7->isChecked(),
                           PathOf(Edit2), PathOf(Edit3), LoadedData().Keywords, CodeKeywordsStatus);
    });
}

void TfrmAdministratorTool::Button7Click() {
    if (CheckBox3->isChecked()) {
        AfterLoading({TDataSet::DiseaseIndex, TDataSet::ExternalIndex, TDataSet::DrugTable, TDataSet::NeoplasmTable,
                      TDataSet::Tabular},
                     [this] {
                         if (const auto lines = StatisticsOfLoadedData(CheckBox8->isChecked(), PathOf(Edit11))) {
                             Memo1->appendPlainText(QString::fromStdString(lines->IndexLine));
                             Memo1->appendPlainText(QString::fromStdString(lines->TabularLine));
                         }
                         StatisticsOfFiles();
                     });
    } else {
        AfterLoading({}, [this] { StatisticsOfFiles(); });
    }
}

void TfrmAdministratorTool::StatisticsOfFiles() {
    if (CheckBox4->isChecked()) {
        std::string memoLine;
        if (StatisticsOrderFile(PathOf(Edit4), PathOf(Edit6), PathOf(Edit12), PathOf(Edit13), PathOf(Edit7),
                                PathOf(Edit8), PathOf(Edit14), memoLine))
            Memo2->appendPlainText(QString::fromStdString(memoLine));
    }
    if (CheckBox5->isChecked()) {
        if (const auto memoLine = StatisticsDistinctKW(PathOf(Edit5)))
            Memo3->appendPlainText(QString::fromStdString(*memoLine));
    }
}

void TfrmAdministratorTool::Button10Click() {
    TBusyCursor busy;
    ZipResourceFiles(ProgramFiles().FWorkDir);
}

void TfrmAdministratorTool::Button11Click() {
    ShowMessage("ICD_GEN_DB is not defined!");
}

void TfrmAdministratorTool::Button13Click() {
    const QString fileName = Edit9->text();
    // By default this file is also the one keywords are edited in by hand ("Original KW File"):
    // regenerating it must not wipe that work unasked.
    if (QFileInfo::exists(fileName) &&
        !Messages().AskYesNo("The file " + fileName.toStdString() + " already exists. Do you want to replace it?",
                             "Administrator Tool", false))
        return;
    AfterLoading({TDataSet::Tabular}, [this, fileName] {
        int total = 0;
        if (GenerateCodeTextFile(ChapterList, CheckBox6->isChecked(), fileName.toStdString(), total))
            Label7->setText(QStringLiteral("UnArrangedKW number: %1").arg(total));
    });
}

void TfrmAdministratorTool::Button14Click() {
    AfterLoading({TDataSet::Tabular}, [this] { GenerateAllCodeText(ChapterList, PathOf(Edit10)); });
}

void TfrmAdministratorTool::Button15Click() {
    TBusyCursor busy;
    NormalizeKeywordFile(PathOf(Edit1));
}

void TfrmAdministratorTool::Button16Click() {
    AfterLoading({TDataSet::CodeKeywords}, [this] {
        ExtractKeywordsForVerify(PathOf(Edit2), PathOf(Edit3), CheckBox7->isChecked(), LoadedData().Keywords,
                                 CodeKeywordsStatus);
    });
}
