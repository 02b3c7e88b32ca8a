#include "ui/AdministratorTool.h"

#include <QAbstractButton>
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
#include <QTabBar>
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
    return QString::fromStdString(ProgramFiles(UserData().Folders).FWorkDir) + APrefix +
           QString::fromLatin1(EditionYear) + ASuffix;
}

QPushButton* MakeButton(const QString& ACaption, QWidget* AParent) {
    auto* button = new QPushButton(ACaption, AParent);
    button->setAutoDefault(false);
    return button;
}

QPlainTextEdit* MakeMemo(QWidget* AParent, const QString& AName) {
    auto* memo = new QPlainTextEdit(AParent);
    memo->setAccessibleName(AName);
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

    fileDialog = new QFileDialog(this);
    fileDialog->setOption(QFileDialog::DontUseNativeDialog);
    fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Output files are chosen here too, so a name that does not exist yet may be typed.
    fileDialog->setFileMode(QFileDialog::AnyFile);
    fileDialog->setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});

    pageTabs = new QTabWidget(this);
    pageTabs->setAccessibleName(QStringLiteral("Pages"));
    pageTabs->tabBar()->setAccessibleName(QStringLiteral("Pages"));
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(pageTabs);

    // "Arrange KW"
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        originalKeywordFileEdit = AddFileRow(grid, 0, 0, new QLabel(QStringLiteral("Original KW File: ")));
        arrangedKeywordFileEdit = AddFileRow(grid, 1, 0, new QLabel(QStringLiteral("New KW File: ")));
        distinctKeywordFileEdit = AddFileRow(grid, 2, 0, new QLabel(QStringLiteral("Distinct KW File: ")));
        threeCharacterCodesBox = new QCheckBox(QStringLiteral("Gen 3 Characters Codes Only "));
        multiWordKeywordsBox = new QCheckBox(QStringLiteral("KW has multi-words only"));
        upperCaseFirstBox = new QCheckBox(QStringLiteral("Upper Case First Character"));
        // The shipped keyword set holds categories with capitalised keywords.
        threeCharacterCodesBox->setChecked(true);
        upperCaseFirstBox->setChecked(true);
        auto* options = new QHBoxLayout;
        for (QCheckBox* box : {threeCharacterCodesBox, multiWordKeywordsBox, upperCaseFirstBox})
            options->addWidget(box);
        options->addStretch();
        grid->addLayout(options, 3, 0, 1, 3);
        arrangeButton = MakeButton(QStringLiteral("Arrange (need undefine ICD_USE_FILERES)"), page);
        preliminaryButton = MakeButton(QStringLiteral("Preliminary handle"), page);
        extractButton = MakeButton(QStringLiteral("Extract 2+ KW For Verify"), page);
        auto* buttons = new QHBoxLayout;
        for (QPushButton* button : {arrangeButton, preliminaryButton, extractButton}) buttons->addWidget(button);
        buttons->addStretch();
        grid->addLayout(buttons, 4, 0, 1, 3);
        grid->setRowStretch(5, 1);
        grid->setColumnStretch(1, 1);
        pageTabs->addTab(page, QStringLiteral("Arrange KW"));
    }

    // "Statistics"
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        statAllCodesBox =
            new QCheckBox(QStringLiteral("Stat All Codes (Refer to special-7-rules.txt for special rules)"));
        statAllCodesBox->setChecked(true);
        grid->addWidget(statAllCodesBox, 0, 0, 1, 3);
        generateOrderFileBox = new QCheckBox(QStringLiteral("Generate Order File"));
        generatedOrderFileEdit = AddFileRow(grid, 1, 0, Indented(generateOrderFileBox));
        officialOrderFileBox = new QCheckBox(QStringLiteral("Stats Official Order File"));
        officialOrderFileEdit = AddFileRow(grid, 2, 0, officialOrderFileBox);
        shortNoFlagFileEdit = AddFileRow(grid, 3, 0, new QLabel(QStringLiteral("New Order File No Flag(Short)")));
        longNoFlagFileEdit = AddFileRow(grid, 4, 0, new QLabel(QStringLiteral("New Order File No Flag(Long)")));
        shortWithFlagFileEdit = AddFileRow(grid, 5, 0, new QLabel(QStringLiteral("New Order File With Flag(Short)")));
        longWithFlagFileEdit = AddFileRow(grid, 6, 0, new QLabel(QStringLiteral("New Order File With Flag(Long)")));
        shortReportableFileEdit = AddFileRow(grid, 7, 0, new QLabel(QStringLiteral("Short Reportable Code File")));
        longReportableFileEdit = AddFileRow(grid, 8, 0, new QLabel(QStringLiteral("Long Reportable Code File")));
        distinctKeywordStatBox = new QCheckBox(QStringLiteral("Stat Distinct KW File"));
        distinctKeywordStatFileEdit = AddFileRow(grid, 9, 0, distinctKeywordStatBox);
        loadedDataMemo = MakeMemo(page, QStringLiteral("Statistics of the loaded data"));
        orderFileMemo = MakeMemo(page, QStringLiteral("Statistics of the order file"));
        distinctKeywordMemo = MakeMemo(page, QStringLiteral("Statistics of the distinct keyword file"));
        grid->addWidget(loadedDataMemo, 10, 0, 1, 3);
        grid->addWidget(orderFileMemo, 11, 0, 1, 3);
        grid->addWidget(distinctKeywordMemo, 12, 0, 1, 3);
        statButton = MakeButton(QStringLiteral("Stat"), page);
        grid->addWidget(statButton, 13, 0, Qt::AlignLeft);
        grid->setRowStretch(14, 1);
        grid->setColumnStretch(1, 1);
        pageTabs->addTab(page, QStringLiteral("Statistics"));
    }

    // "Zip File Resource"
    {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        zipButton = MakeButton(QStringLiteral("Zip Resource Files"), page);
        layout->addWidget(zipButton, 0, Qt::AlignLeft);
        layout->addStretch();
        pageTabs->addTab(page, QStringLiteral("Zip File Resource"));
    }

    // "Verify && Gen SQL"
    {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        sqlButton = MakeButton(QStringLiteral("Verify && Gen SQL File"), page);
        layout->addWidget(sqlButton, 0, Qt::AlignLeft);
        layout->addStretch();
        pageTabs->addTab(page, QStringLiteral("Verify && Gen SQL"));
    }

    // "Others"
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        addCommaBox = new QCheckBox(QStringLiteral("Add Comma"));
        grid->addWidget(addCommaBox, 0, 0, 1, 3);
        codeTextButton = MakeButton(QStringLiteral("Generate Code Text File for Extracting KWs"), page);
        codeTextFileEdit = AddFileRow(grid, 1, 0, codeTextButton);
        unarrangedCountLabel = new QLabel(QStringLiteral("UnArrangedKW number: 0"), page);
        grid->addWidget(unarrangedCountLabel, 2, 0, 1, 3);
        allCodesTextButton = MakeButton(QStringLiteral("Generate All Code Text for Verifing"), page);
        allCodesTextFileEdit = AddFileRow(grid, 3, 0, allCodesTextButton);
        grid->setRowStretch(4, 1);
        grid->setColumnStretch(1, 1);
        pageTabs->addTab(page, QStringLiteral("Others"));
    }

    for (const auto& [object, name] : std::initializer_list<std::pair<QObject*, const char*>>{
             {pageTabs, "pageTabs"},
             {fileDialog, "fileDialog"},
             {originalKeywordFileEdit, "originalKeywordFileEdit"},
             {arrangedKeywordFileEdit, "arrangedKeywordFileEdit"},
             {distinctKeywordFileEdit, "distinctKeywordFileEdit"},
             {threeCharacterCodesBox, "threeCharacterCodesBox"},
             {multiWordKeywordsBox, "multiWordKeywordsBox"},
             {upperCaseFirstBox, "upperCaseFirstBox"},
             {arrangeButton, "arrangeButton"},
             {preliminaryButton, "preliminaryButton"},
             {extractButton, "extractButton"},
             {statAllCodesBox, "statAllCodesBox"},
             {generateOrderFileBox, "generateOrderFileBox"},
             {generatedOrderFileEdit, "generatedOrderFileEdit"},
             {officialOrderFileBox, "officialOrderFileBox"},
             {officialOrderFileEdit, "officialOrderFileEdit"},
             {shortNoFlagFileEdit, "shortNoFlagFileEdit"},
             {longNoFlagFileEdit, "longNoFlagFileEdit"},
             {shortWithFlagFileEdit, "shortWithFlagFileEdit"},
             {longWithFlagFileEdit, "longWithFlagFileEdit"},
             {shortReportableFileEdit, "shortReportableFileEdit"},
             {longReportableFileEdit, "longReportableFileEdit"},
             {distinctKeywordStatBox, "distinctKeywordStatBox"},
             {distinctKeywordStatFileEdit, "distinctKeywordStatFileEdit"},
             {loadedDataMemo, "loadedDataMemo"},
             {orderFileMemo, "orderFileMemo"},
             {distinctKeywordMemo, "distinctKeywordMemo"},
             {statButton, "statButton"},
             {zipButton, "zipButton"},
             {sqlButton, "sqlButton"},
             {codeTextButton, "codeTextButton"},
             {allCodesTextButton, "allCodesTextButton"},
             {codeTextFileEdit, "codeTextFileEdit"},
             {allCodesTextFileEdit, "allCodesTextFileEdit"},
             {addCommaBox, "addCommaBox"},
             {unarrangedCountLabel, "unarrangedCountLabel"}})
        object->setObjectName(QString::fromLatin1(name));

    connect(arrangeButton, &QPushButton::clicked, this, &TfrmAdministratorTool::ArrangeKeywords);
    connect(statButton, &QPushButton::clicked, this, &TfrmAdministratorTool::RunStatistics);
    connect(zipButton, &QPushButton::clicked, this, &TfrmAdministratorTool::ZipResources);
    connect(sqlButton, &QPushButton::clicked, this, &TfrmAdministratorTool::GenerateSql);
    connect(codeTextButton, &QPushButton::clicked, this, &TfrmAdministratorTool::MakeCodeTextFile);
    connect(allCodesTextButton, &QPushButton::clicked, this, &TfrmAdministratorTool::MakeAllCodesText);
    connect(preliminaryButton, &QPushButton::clicked, this, &TfrmAdministratorTool::PrepareKeywordFile);
    connect(extractButton, &QPushButton::clicked, this, &TfrmAdministratorTool::ExtractMultiWordKeywords);
}

QLineEdit* TfrmAdministratorTool::AddFileRow(QGridLayout* ALayout, int ARow, int AColumn, QWidget* ALabel) {
    auto* edit = new QLineEdit;
    auto* browse = MakeButton(QStringLiteral("..."), nullptr);
    browse->setFixedWidth(32);
    // The row's caption names the box and its "..." button for a screen reader.
    QString caption;
    if (auto* label = qobject_cast<QLabel*>(ALabel)) {
        label->setBuddy(edit);
        caption = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(ALabel)) {
        caption = button->text();
    } else if (auto* inner = ALabel->findChild<QAbstractButton*>()) {
        caption = inner->text();
    }
    caption = caption.trimmed().remove(QLatin1Char(':'));
    edit->setAccessibleName(caption);
    browse->setAccessibleName(QStringLiteral("Choose %1").arg(caption));
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
        fileDialog->setDirectory(current.absolutePath());
        fileDialog->selectFile(current.fileName());
    }
    if (fileDialog->exec() != QDialog::Accepted) return;
    const QStringList chosen = fileDialog->selectedFiles();
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
    originalKeywordFileEdit->setText(DefaultName(QStringLiteral("UnArrangedCodeKeywords_"), QStringLiteral(".txt")));
    arrangedKeywordFileEdit->setText(DefaultName(QStringLiteral("ArrangedICD10KW_"), QStringLiteral(".txt")));
    distinctKeywordFileEdit->setText(DefaultName(QStringLiteral("DistinctICD10KW_"), QStringLiteral(".txt")));
    officialOrderFileEdit->setText(DefaultName(QStringLiteral("icd10cm_order_"), QStringLiteral(".txt")));
    distinctKeywordStatFileEdit->setText(DefaultName(QStringLiteral("Distinct_ICD10_KW_"), QStringLiteral(".txt")));
    shortNoFlagFileEdit->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_ShortDesc.txt")));
    longNoFlagFileEdit->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_LongDesc.txt")));
    shortWithFlagFileEdit->setText(
        DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_ShortDesc_WithFlag.txt")));
    longWithFlagFileEdit->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_New_LongDesc_WithFlag.txt")));
    shortReportableFileEdit->setText(
        DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_ReportableCodesShort.txt")));
    longReportableFileEdit->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_ReportableCodesLong.txt")));
    generatedOrderFileEdit->setText(DefaultName(QStringLiteral("ICD_10_"), QStringLiteral("_My_Order_WithFlag.txt")));
    codeTextFileEdit->setText(originalKeywordFileEdit->text());
    allCodesTextFileEdit->setText(DefaultName(QStringLiteral("AllCodesTextForVerify_"), QStringLiteral(".txt")));
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

void TfrmAdministratorTool::ArrangeKeywords() {
    AfterLoading({TDataSet::CodeKeywords}, [this] {
        ArrangeKeywordFile(PathOf(originalKeywordFileEdit), threeCharacterCodesBox->isChecked(),
                           multiWordKeywordsBox->isChecked(), upperCaseFirstBox->isChecked(),
                           PathOf(arrangedKeywordFileEdit), PathOf(distinctKeywordFileEdit), LoadedData().Keywords,
                           LoadedData().Status[TDataSet::CodeKeywords]);
    });
}

void TfrmAdministratorTool::RunStatistics() {
    if (statAllCodesBox->isChecked()) {
        AfterLoading({TDataSet::DiseaseIndex, TDataSet::ExternalIndex, TDataSet::DrugTable, TDataSet::NeoplasmTable,
                      TDataSet::Tabular},
                     [this] {
                         if (const auto lines = StatisticsOfLoadedData(
                                 LoadedData().Tabular.Chapters, LoadedData().Index, LoadedData().Status,
                                 generateOrderFileBox->isChecked(), PathOf(generatedOrderFileEdit))) {
                             loadedDataMemo->appendPlainText(QString::fromStdString(lines->IndexLine));
                             loadedDataMemo->appendPlainText(QString::fromStdString(lines->TabularLine));
                         }
                         StatisticsOfFiles();
                     });
    } else {
        AfterLoading({}, [this] { StatisticsOfFiles(); });
    }
}

void TfrmAdministratorTool::StatisticsOfFiles() {
    if (officialOrderFileBox->isChecked()) {
        std::string memoLine;
        if (StatisticsOrderFile(PathOf(officialOrderFileEdit), PathOf(shortNoFlagFileEdit), PathOf(longNoFlagFileEdit),
                                PathOf(shortWithFlagFileEdit), PathOf(longWithFlagFileEdit),
                                PathOf(shortReportableFileEdit), PathOf(longReportableFileEdit), memoLine))
            orderFileMemo->appendPlainText(QString::fromStdString(memoLine));
    }
    if (distinctKeywordStatBox->isChecked()) {
        if (const auto memoLine = StatisticsDistinctKW(PathOf(distinctKeywordStatFileEdit)))
            distinctKeywordMemo->appendPlainText(QString::fromStdString(*memoLine));
    }
}

void TfrmAdministratorTool::ZipResources() {
    TBusyCursor busy;
    ZipResourceFiles(ProgramFiles(UserData().Folders).FWorkDir);
}

void TfrmAdministratorTool::GenerateSql() {
    ShowMessage("ICD_GEN_DB is not defined!");
}

void TfrmAdministratorTool::MakeCodeTextFile() {
    const QString fileName = codeTextFileEdit->text();
    // By default this file is also the one keywords are edited in by hand ("Original KW File"):
    // regenerating it must not wipe that work unasked.
    if (QFileInfo::exists(fileName) &&
        !Messages().AskYesNo("The file " + fileName.toStdString() + " already exists. Do you want to replace it?",
                             "Administrator Tool", false))
        return;
    AfterLoading({TDataSet::Tabular}, [this, fileName] {
        int total = 0;
        if (GenerateCodeTextFile(LoadedData().Tabular.Chapters, addCommaBox->isChecked(), fileName.toStdString(),
                                 total))
            unarrangedCountLabel->setText(QStringLiteral("UnArrangedKW number: %1").arg(total));
    });
}

void TfrmAdministratorTool::MakeAllCodesText() {
    AfterLoading({TDataSet::Tabular},
                 [this] { GenerateAllCodeText(LoadedData().Tabular.Chapters, PathOf(allCodesTextFileEdit)); });
}

void TfrmAdministratorTool::PrepareKeywordFile() {
    TBusyCursor busy;
    NormalizeKeywordFile(PathOf(originalKeywordFileEdit));
}

void TfrmAdministratorTool::ExtractMultiWordKeywords() {
    AfterLoading({TDataSet::CodeKeywords}, [this] {
        ExtractKeywordsForVerify(PathOf(arrangedKeywordFileEdit), PathOf(distinctKeywordFileEdit),
                                 upperCaseFirstBox->isChecked(), LoadedData().Keywords,
                                 LoadedData().Status[TDataSet::CodeKeywords]);
    });
}
