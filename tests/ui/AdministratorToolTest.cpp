// The Administrator Tool window: default file names and the file dialog, "Stat" on the real data
// filling the three memos, the code-text files, zipping, the keyword-file buttons on small
// hand-written files, the SQL button's message and waiting for a loading data set without
// blocking the UI thread's events.
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "admin/DataPipeline.h"
#include "keywords/KeywordData.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AdministratorTool.h"

class AdministratorToolTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EnsureRealDataLoaded(); }
    void defaultFileNamesPagesAndCaptions();
    void browseButtonPutsTheChosenFileIntoItsBox();
    void statFillsTheMemosFromTheRealData();
    void codeTextFilesAndTheReplaceQuestion();
    void zipCompressesTheDataFilesOfTheProgramFolder();
    void sqlButtonOnlyShowsItsMessage();
    void waitingForALoadingSetKeepsEventsFlowing();
    // Refills the shared keyword tables with a tiny file: keep it last.
    void keywordFileButtonsOnSmallFiles();
};

static std::unique_ptr<TfrmAdministratorTool> OpenTool() {
    auto tool = std::make_unique<TfrmAdministratorTool>();
    tool->show();
    return tool;
}

static void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

static QByteArray ReadFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static QString SourceFile(const char* relative) {
    return QStringLiteral(ZENDRA_SOURCE_DIR "/") + QString::fromLatin1(relative);
}

// The number after "ALabel: " in a memo line.
static long long NumberAfter(const QString& ALine, const QString& ALabel) {
    const QRegularExpression pattern(QRegularExpression::escape(ALabel) + QStringLiteral(":\\s*(\\d+)"));
    const auto match = pattern.match(ALine);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

void AdministratorToolTest::defaultFileNamesPagesAndCaptions() {
    TScopedDataFolders folders;
    auto tool = OpenTool();
    const QString dir = QString::fromStdString(UserData().Folders.Program);
    const std::pair<QLineEdit*, const char*> defaults[] = {
        {Named<QLineEdit>(*tool, "originalKeywordFileEdit"), "UnArrangedCodeKeywords_2021.txt"},
        {Named<QLineEdit>(*tool, "arrangedKeywordFileEdit"), "ArrangedICD10KW_2021.txt"},
        {Named<QLineEdit>(*tool, "distinctKeywordFileEdit"), "DistinctICD10KW_2021.txt"},
        {Named<QLineEdit>(*tool, "officialOrderFileEdit"), "icd10cm_order_2021.txt"},
        {Named<QLineEdit>(*tool, "distinctKeywordStatFileEdit"), "Distinct_ICD10_KW_2021.txt"},
        {Named<QLineEdit>(*tool, "shortNoFlagFileEdit"), "ICD_10_2021_New_ShortDesc.txt"},
        {Named<QLineEdit>(*tool, "longNoFlagFileEdit"), "ICD_10_2021_New_LongDesc.txt"},
        {Named<QLineEdit>(*tool, "shortWithFlagFileEdit"), "ICD_10_2021_New_ShortDesc_WithFlag.txt"},
        {Named<QLineEdit>(*tool, "longWithFlagFileEdit"), "ICD_10_2021_New_LongDesc_WithFlag.txt"},
        {Named<QLineEdit>(*tool, "shortReportableFileEdit"), "ICD_10_2021_ReportableCodesShort.txt"},
        {Named<QLineEdit>(*tool, "longReportableFileEdit"), "ICD_10_2021_ReportableCodesLong.txt"},
        {Named<QLineEdit>(*tool, "generatedOrderFileEdit"), "ICD_10_2021_My_Order_WithFlag.txt"},
        {Named<QLineEdit>(*tool, "codeTextFileEdit"), "UnArrangedCodeKeywords_2021.txt"},
        {Named<QLineEdit>(*tool, "allCodesTextFileEdit"), "AllCodesTextForVerify_2021.txt"},
    };
    for (const auto& [edit, name] : defaults) {
        QCOMPARE(edit->text(), dir + QString::fromLatin1(name));
        QVERIFY(tool->BrowseButtonOf(edit) != nullptr);
        QCOMPARE(tool->BrowseButtonOf(edit)->text(), QStringLiteral("..."));
    }

    QCOMPARE(tool->windowTitle(), QStringLiteral("Administrator Tool"));
    QCOMPARE(Named<QTabWidget>(*tool, "pageTabs")->count(), 5);
    const QStringList pages = {QStringLiteral("Arrange KW"), QStringLiteral("Statistics"),
                               QStringLiteral("Zip File Resource"), QStringLiteral("Verify && Gen SQL"),
                               QStringLiteral("Others")};
    for (int i = 0; i < pages.size(); ++i) QCOMPARE(Named<QTabWidget>(*tool, "pageTabs")->tabText(i), pages[i]);
    QCOMPARE(Named<QLabel>(*tool, "unarrangedCountLabel")->text(), QStringLiteral("UnArrangedKW number: 0"));
    QCOMPARE(Named<QPushButton>(*tool, "sqlButton")->text(), QStringLiteral("Verify && Gen SQL File"));
    QCOMPARE(Named<QPushButton>(*tool, "arrangeButton")->text(),
             QStringLiteral("Arrange (need undefine ICD_USE_FILERES)"));
    QCOMPARE(Named<QCheckBox>(*tool, "threeCharacterCodesBox")->text(), QStringLiteral("Gen 3 Characters Codes Only "));
    // Every button and box sits on one of the pages.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             Named<QPushButton>(*tool, "arrangeButton"), Named<QPushButton>(*tool, "statButton"),
             Named<QPushButton>(*tool, "zipButton"), Named<QPushButton>(*tool, "sqlButton"),
             Named<QPushButton>(*tool, "codeTextButton"), Named<QPushButton>(*tool, "allCodesTextButton"),
             Named<QPushButton>(*tool, "preliminaryButton"), Named<QPushButton>(*tool, "extractButton"),
             Named<QPlainTextEdit>(*tool, "loadedDataMemo"), Named<QPlainTextEdit>(*tool, "orderFileMemo"),
             Named<QPlainTextEdit>(*tool, "distinctKeywordMemo"), Named<QCheckBox>(*tool, "addCommaBox")})
        QVERIFY(Named<QTabWidget>(*tool, "pageTabs")->isAncestorOf(widget));
}

void AdministratorToolTest::browseButtonPutsTheChosenFileIntoItsBox() {
    TScopedDataFolders folders;
    const QString chosen = folders.File(QStringLiteral("chosen.txt"));
    WriteFile(chosen, "x");
    auto tool = OpenTool();

    bool dialogSeen = false;
    WhenWindowShown<QFileDialog>([&](QFileDialog* dialog) {
        dialogSeen = true;
        QCOMPARE(dialog->nameFilters(),
                 QStringList({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")}));
        // The dialog starts in the folder of the name already in the box.
        QCOMPARE(dialog->directory().absolutePath(),
                 QDir(QString::fromStdString(UserData().Folders.Program)).absolutePath());
        // Typed as a user would: the file name box has the focus.
        auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(fileName != nullptr);
        fileName->setText(chosen);
        static_cast<QDialog*>(dialog)->accept();  // public in QDialog, protected in QFileDialog
    });
    tool->BrowseButtonOf(Named<QLineEdit>(*tool, "distinctKeywordStatFileEdit"))->click();
    QVERIFY(dialogSeen);
    QCOMPARE(Named<QLineEdit>(*tool, "distinctKeywordStatFileEdit")->text(), chosen);
    QCOMPARE(Named<QLineEdit>(*tool, "officialOrderFileEdit")->text(),
             QString::fromStdString(UserData().Folders.Program) + QStringLiteral("icd10cm_order_2021.txt"));

    // Cancelling leaves the box as it was.
    WhenWindowShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    tool->BrowseButtonOf(Named<QLineEdit>(*tool, "generatedOrderFileEdit"))->click();
    QCOMPARE(Named<QLineEdit>(*tool, "generatedOrderFileEdit")->text(),
             QString::fromStdString(UserData().Folders.Program) + QStringLiteral("ICD_10_2021_My_Order_WithFlag.txt"));
}

void AdministratorToolTest::statFillsTheMemosFromTheRealData() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    auto tool = OpenTool();

    // Nothing checked: nothing counted.
    for (QCheckBox* box : {Named<QCheckBox>(*tool, "statAllCodesBox"), Named<QCheckBox>(*tool, "officialOrderFileBox"),
                           Named<QCheckBox>(*tool, "distinctKeywordStatBox")})
        box->setChecked(false);
    Named<QPushButton>(*tool, "statButton")->click();
    QVERIFY(Named<QPlainTextEdit>(*tool, "loadedDataMemo")->toPlainText().isEmpty());
    QVERIFY(Named<QPlainTextEdit>(*tool, "orderFileMemo")->toPlainText().isEmpty());
    QVERIFY(Named<QPlainTextEdit>(*tool, "distinctKeywordMemo")->toPlainText().isEmpty());

    WriteFile(folders.File(QStringLiteral("distinct.txt")),
              "Cholera\r\nTyphoid Fever\r\n\r\nAcute Kidney Failure With\r\nOne Two Three Four Five\r\n");
    Named<QLineEdit>(*tool, "distinctKeywordStatFileEdit")->setText(folders.File(QStringLiteral("distinct.txt")));
    Named<QLineEdit>(*tool, "officialOrderFileEdit")->setText(SourceFile("data/icd10cm_order_2021.txt.gz"));
    for (QCheckBox* box :
         {Named<QCheckBox>(*tool, "statAllCodesBox"), Named<QCheckBox>(*tool, "generateOrderFileBox"),
          Named<QCheckBox>(*tool, "officialOrderFileBox"), Named<QCheckBox>(*tool, "distinctKeywordStatBox")})
        box->setChecked(true);
    Named<QPushButton>(*tool, "statButton")->click();

    const QStringList memo1 = Named<QPlainTextEdit>(*tool, "loadedDataMemo")->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(memo1.size(), 2);
    QVERIFY2(memo1[0].startsWith(QStringLiteral("DLines : ")), qPrintable(memo1[0]));
    QVERIFY2(memo1[1].startsWith(QStringLiteral("ChpNum : ")), qPrintable(memo1[1]));
    const long long indexTotal = NumberAfter(memo1[0], QStringLiteral("Total"));
    QCOMPARE(indexTotal,
             NumberAfter(memo1[0], QStringLiteral("DLines ")) + NumberAfter(memo1[0], QStringLiteral("ELines")) +
                 NumberAfter(memo1[0], QStringLiteral("DTLines")) + NumberAfter(memo1[0], QStringLiteral("NTLines")));
    QVERIFY(NumberAfter(memo1[0], QStringLiteral("NTLines")) > 0);
    QCOMPARE(NumberAfter(memo1[1], QStringLiteral("ChpNum ")), 22);

    // The valid codes counted from the model agree with the reportable codes of the published
    // order file, and the generated order file lists exactly that many codes with flag 1.
    const QStringList memo2 = Named<QPlainTextEdit>(*tool, "orderFileMemo")->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(memo2.size(), 1);
    QVERIFY2(memo2[0].startsWith(QStringLiteral("Total: ")), qPrintable(memo2[0]));
    const long long validCodes = NumberAfter(memo2[0], QStringLiteral("Valide Code"));
    QVERIFY(validCodes > 70000);
    QCOMPARE(NumberAfter(memo1[1], QStringLiteral("total")), validCodes);
    const QByteArray generated = ReadFile(Named<QLineEdit>(*tool, "generatedOrderFileEdit")->text());
    long long flaggedLines = 0;
    for (const QByteArray& line : generated.split('\n'))
        if (line.size() > 10 && line[9] == '1') ++flaggedLines;
    QCOMPARE(flaggedLines, validCodes);

    // The short reportable-code file is the shipped short-description set.
    QCOMPARE(ReadFile(Named<QLineEdit>(*tool, "shortReportableFileEdit")->text()),
             ReadFile(SourceFile("data/ReportableCodesShort2021.txt")));
    for (QLineEdit* output :
         {Named<QLineEdit>(*tool, "shortNoFlagFileEdit"), Named<QLineEdit>(*tool, "longNoFlagFileEdit"),
          Named<QLineEdit>(*tool, "shortWithFlagFileEdit"), Named<QLineEdit>(*tool, "longWithFlagFileEdit"),
          Named<QLineEdit>(*tool, "longReportableFileEdit")})
        QVERIFY2(QFileInfo(output->text()).size() > 1000000, qPrintable(output->text()));

    QCOMPARE(Named<QPlainTextEdit>(*tool, "distinctKeywordMemo")->toPlainText(),
             QStringLiteral("Total: 3, 1: 1, 2: 1, 3: 0, 4: 1"));
    QCOMPARE(messages.Messages(), std::vector<std::string>{"One Two Three Four Five"});

    // A second run adds its lines below the first ones; an order file that cannot be read adds none.
    Named<QCheckBox>(*tool, "statAllCodesBox")->setChecked(false);
    Named<QCheckBox>(*tool, "distinctKeywordStatBox")->setChecked(false);
    Named<QLineEdit>(*tool, "officialOrderFileEdit")->setText(folders.File(QStringLiteral("missing_order.txt")));
    Named<QPushButton>(*tool, "statButton")->click();
    QCOMPARE(Named<QPlainTextEdit>(*tool, "orderFileMemo")->toPlainText().split(QLatin1Char('\n')).size(), 1);
    QCOMPARE(Named<QPlainTextEdit>(*tool, "loadedDataMemo")->toPlainText().split(QLatin1Char('\n')).size(), 2);
}

void AdministratorToolTest::codeTextFilesAndTheReplaceQuestion() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    auto tool = OpenTool();
    const QString codeText = folders.File(QStringLiteral("codetext.txt"));
    Named<QLineEdit>(*tool, "codeTextFileEdit")->setText(codeText);

    Named<QCheckBox>(*tool, "addCommaBox")->setChecked(false);
    Named<QPushButton>(*tool, "codeTextButton")->click();
    const QByteArray plain = ReadFile(codeText);
    QVERIFY(plain.contains("\r\nA00.0    Cholera due to Vibrio cholerae 01, biovar cholerae\r\n"));
    const long long plainCount =
        NumberAfter(Named<QLabel>(*tool, "unarrangedCountLabel")->text(), QStringLiteral("UnArrangedKW number"));
    // Without commas every line counts 1, except the lines that only name a note's type.
    const QList<QByteArray> plainLines = plain.split('\n');
    const auto codeLines = std::count_if(plainLines.begin(), plainLines.end(),
                                         [](const QByteArray& line) { return !line.isEmpty() && line[0] != ' '; });
    QVERIFY2(plainCount >= codeLines && plainCount <= plainLines.size() - 1,
             qPrintable(Named<QLabel>(*tool, "unarrangedCountLabel")->text()));
    QVERIFY(codeLines > 40000);
    QVERIFY(messages.Questions().empty());

    // The file exists now: declining the question keeps it as it is.
    WriteFile(codeText, "hand-edited keywords\r\n");
    Named<QCheckBox>(*tool, "addCommaBox")->setChecked(true);
    Named<QPushButton>(*tool, "codeTextButton")->click();
    QCOMPARE(messages.Questions().size(), std::size_t{1});
    QVERIFY(messages.Questions()[0].find(codeText.toStdString()) != std::string::npos);
    QCOMPARE(ReadFile(codeText), QByteArray("hand-edited keywords\r\n"));
    QCOMPARE(NumberAfter(Named<QLabel>(*tool, "unarrangedCountLabel")->text(), QStringLiteral("UnArrangedKW number")),
             plainCount);

    messages.QueueAnswer(true);
    Named<QPushButton>(*tool, "codeTextButton")->click();
    const QByteArray withCommas = ReadFile(codeText);
    QVERIFY(withCommas.contains("\r\nA00.0    Cholera, due, to, Vibrio, cholerae, 01, biovar, cholerae\r\n"));
    QVERIFY(NumberAfter(Named<QLabel>(*tool, "unarrangedCountLabel")->text(), QStringLiteral("UnArrangedKW number")) >
            plainCount);

    // Every reportable code of the published order file, once, with its description.
    const QString allCodes = folders.File(QStringLiteral("allcodes.txt"));
    Named<QLineEdit>(*tool, "allCodesTextFileEdit")->setText(allCodes);
    Named<QPushButton>(*tool, "allCodesTextButton")->click();
    const QList<QByteArray> lines = ReadFile(allCodes).split('\n');
    const std::string order = ReadDataFile(SourceFile("data/icd10cm_order_2021.txt.gz").toStdString());
    const auto listed = ListedCodesOfOrderFile(order);
    QCOMPARE(static_cast<std::size_t>(lines.size() - 1), listed.size());  // the last line end leaves one empty piece
    QVERIFY(lines.contains("A00.0    Cholera due to Vibrio cholerae 01, biovar cholerae\r"));
    // Seven-character codes are completed with their placeholder and character.
    QVERIFY(
        std::any_of(lines.begin(), lines.end(), [](const QByteArray& line) { return line.startsWith("S52.521A "); }));
}

void AdministratorToolTest::zipCompressesTheDataFilesOfTheProgramFolder() {
    TScopedDataFolders folders;
    const QByteArray plurals = ReadFile(SourceFile("data/SpecialKWs2021.txt"));
    QVERIFY(!plurals.isEmpty());
    WriteFile(folders.File(QStringLiteral("SpecialKWs2021.txt")), plurals);
    auto tool = OpenTool();
    Named<QPushButton>(*tool, "zipButton")->click();

    const QByteArray packed = ReadFile(folders.File(QStringLiteral("SpecialKWs2021.dzip")));
    QVERIFY(packed.size() > 2);
    QCOMPARE(static_cast<unsigned char>(packed[0]), 0x78);
    QCOMPARE(static_cast<unsigned char>(packed[1]), 0xDA);  // highest compression level
    // qUncompress wants the inflated size first, big-endian.
    QByteArray sized(4, '\0');
    const auto size = static_cast<quint32>(plurals.size());
    for (int i = 0; i < 4; ++i) sized[i] = static_cast<char>((size >> (24 - 8 * i)) & 0xFF);
    QCOMPARE(qUncompress(sized + packed), plurals);
    // Data files that are not there give no compressed file.
    QVERIFY(!QFile::exists(folders.File(QStringLiteral("icd10cm_tabular_2021.dzip"))));
}

void AdministratorToolTest::sqlButtonOnlyShowsItsMessage() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    auto tool = OpenTool();
    Named<QTabWidget>(*tool, "pageTabs")->setCurrentIndex(3);
    Named<QPushButton>(*tool, "sqlButton")->click();
    QCOMPARE(messages.Messages(), std::vector<std::string>{"ICD_GEN_DB is not defined!"});
    QVERIFY(QDir(QString::fromStdString(UserData().Folders.Program)).entryList(QDir::Files).isEmpty());
}

void AdministratorToolTest::waitingForALoadingSetKeepsEventsFlowing() {
    TScopedDataFolders folders;
    auto tool = OpenTool();
    Named<QLineEdit>(*tool, "originalKeywordFileEdit")->setText(folders.File(QStringLiteral("absent.txt")));
    const TLoadState before = LoadedData().Status[TDataSet::CodeKeywords].load();
    const uint32_t generation = LoadedData().Keywords.Generation.load();
    LoadedData().Status[TDataSet::CodeKeywords].store(TLoadState::Loading);

    // The "loader" finishes from a UI-thread timer: it can only fire when the wait handles events.
    bool timerRan = false;
    QTimer::singleShot(250, [&] {
        timerRan = true;
        LoadedData().Status[TDataSet::CodeKeywords].store(before);
    });
    // Should the wait not handle events, a thread ends it after 5 s so the test fails instead of hanging.
    std::atomic<bool> done = false;
    std::thread rescue([&] {
        for (int i = 0; i < 50 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        TLoadState expected = TLoadState::Loading;
        LoadedData().Status[TDataSet::CodeKeywords].compare_exchange_strong(expected, before);
    });
    Named<QPushButton>(*tool, "arrangeButton")->click();
    QVERIFY(!tool->isEnabled());  // no input while the keyword tables load
    QTRY_VERIFY_WITH_TIMEOUT(tool->isEnabled(), 10000);
    done = true;
    rescue.join();
    QVERIFY(timerRan);
    QCOMPARE(LoadedData().Status[TDataSet::CodeKeywords].load(), before);
    // The keyword file is missing: the tables are left as they were.
    QCOMPARE(LoadedData().Keywords.Generation.load(), generation);
    QVERIFY(!LoadedData().Keywords.Codes.empty());
}

void AdministratorToolTest::keywordFileButtonsOnSmallFiles() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    auto tool = OpenTool();
    const QString original = folders.File(QStringLiteral("unarranged.txt"));
    const QString arranged = folders.File(QStringLiteral("arranged.txt"));
    const QString distinct = folders.File(QStringLiteral("distinct.txt"));
    Named<QLineEdit>(*tool, "originalKeywordFileEdit")->setText(original);
    Named<QLineEdit>(*tool, "arrangedKeywordFileEdit")->setText(arranged);
    Named<QLineEdit>(*tool, "distinctKeywordFileEdit")->setText(distinct);

    // "Preliminary handle": items cleaned, a damaged code line reported and dropped.
    WriteFile(original,
              "A00 Cholera ,  vibrio\t\tcholerae,,\r\n"
              " \t eltor ,  biovar\t cholerae\r\n"
              "\r\n"
              "A0012 bad code line\r\n"
              "A01 typhoid  fever, paratyphoid, enteric fever, abscess, salmonella\r\n");
    Named<QPushButton>(*tool, "preliminaryButton")->click();
    QCOMPARE(ReadFile(original + QStringLiteral("-New.txt")),
             QByteArray("A00      Cholera, vibrio cholerae,\r\n"
                        "         eltor, biovar cholerae,\r\n"
                        "A01      typhoid fever, paratyphoid, enteric fever, abscess, salmonella,\r\n"));
    QCOMPARE(messages.Messages(),
             std::vector<std::string>{"Invalid line 4 (error code definition): A0012 bad code line"});

    // "Arrange": the normalised file read with the boxes' options, four keywords a line.
    Named<QLineEdit>(*tool, "originalKeywordFileEdit")->setText(original + QStringLiteral("-New.txt"));
    const uint32_t generation = LoadedData().Keywords.Generation.load();
    Named<QCheckBox>(*tool, "threeCharacterCodesBox")->setChecked(true);
    Named<QCheckBox>(*tool, "multiWordKeywordsBox")->setChecked(false);
    Named<QCheckBox>(*tool, "upperCaseFirstBox")->setChecked(true);
    Named<QPushButton>(*tool, "arrangeButton")->click();
    QCOMPARE(ReadFile(arranged), QByteArray("A00      Biovar Cholerae, Cholera, Eltor, Vibrio Cholerae,\r\n"
                                            "A01      Abscess, Enteric Fever, Paratyphoid, Salmonella,\r\n"
                                            "         Typhoid Fever,\r\n"));
    QCOMPARE(ReadFile(distinct), QByteArray("Abscess\r\nBiovar Cholerae\r\nCholera\r\nEltor\r\nEnteric Fever\r\n"
                                            "Paratyphoid\r\nSalmonella\r\nTyphoid Fever\r\nVibrio Cholerae\r\n"));
    QVERIFY(LoadedData().Keywords.Generation.load() != generation);
    QCOMPARE(LoadedData().Keywords.Codes.size(), std::size_t{2});
    QCOMPARE(LoadedData().Status[TDataSet::CodeKeywords].load(), TLoadState::Done);

    // "KW has multi-words only" reaches the loader; without capitals the spelling stays.
    Named<QCheckBox>(*tool, "multiWordKeywordsBox")->setChecked(true);
    Named<QCheckBox>(*tool, "upperCaseFirstBox")->setChecked(false);
    Named<QPushButton>(*tool, "arrangeButton")->click();
    QCOMPARE(ReadFile(arranged), QByteArray("A00      biovar cholerae, vibrio cholerae,\r\n"
                                            "A01      enteric fever, typhoid fever,\r\n"));

    // "Extract 2+ KW For Verify": the codes carrying each listed keyword, a hyphen equal to a blank.
    Named<QCheckBox>(*tool, "multiWordKeywordsBox")->setChecked(false);
    Named<QCheckBox>(*tool, "upperCaseFirstBox")->setChecked(true);
    Named<QPushButton>(*tool, "arrangeButton")->click();
    const QString list = folders.File(QStringLiteral("list.txt"));
    WriteFile(list, "Typhoid-Fever\r\nEltor\r\nNowhere\r\n");
    Named<QLineEdit>(*tool, "distinctKeywordFileEdit")->setText(list);
    Named<QPushButton>(*tool, "extractButton")->click();
    QCOMPARE(ReadFile(arranged + QStringLiteral("-Verify.txt")),
             QByteArray("Typhoid-Fever\r\n         A01\r\nEltor\r\n         A00\r\nNowhere\r\n"));
}

QTEST_MAIN(AdministratorToolTest)
#include "AdministratorToolTest.moc"
