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
    const QString dir = QString::fromStdString(ProgramDir);
    const std::pair<QLineEdit*, const char*> defaults[] = {
        {tool->Edit1, "UnArrangedCodeKeywords_2021.txt"},
        {tool->Edit2, "ArrangedICD10KW_2021.txt"},
        {tool->Edit3, "DistinctICD10KW_2021.txt"},
        {tool->Edit4, "icd10cm_order_2021.txt"},
        {tool->Edit5, "Distinct_ICD10_KW_2021.txt"},
        {tool->Edit6, "ICD_10_2021_New_ShortDesc.txt"},
        {tool->Edit12, "ICD_10_2021_New_LongDesc.txt"},
        {tool->Edit13, "ICD_10_2021_New_ShortDesc_WithFlag.txt"},
        {tool->Edit7, "ICD_10_2021_New_LongDesc_WithFlag.txt"},
        {tool->Edit8, "ICD_10_2021_ReportableCodesShort.txt"},
        {tool->Edit14, "ICD_10_2021_ReportableCodesLong.txt"},
        {tool->Edit11, "ICD_10_2021_My_Order_WithFlag.txt"},
        {tool->Edit9, "UnArrangedCodeKeywords_2021.txt"},
        {tool->Edit10, "AllCodesTextForVerify_2021.txt"},
    };
    for (const auto& [edit, name] : defaults) {
        QCOMPARE(edit->text(), dir + QString::fromLatin1(name));
        QVERIFY(tool->BrowseButtonOf(edit) != nullptr);
        QCOMPARE(tool->BrowseButtonOf(edit)->text(), QStringLiteral("..."));
    }

    QCOMPARE(tool->windowTitle(), QStringLiteral("Administrator Tool"));
    QCOMPARE(tool->PageControl1->count(), 5);
    const QStringList pages = {QStringLiteral("Arrange KW"), QStringLiteral("Statistics"),
                               QStringLiteral("Zip File Resource"), QStringLiteral("Verify && Gen SQL"),
                               QStringLiteral("Others")};
    for (int i = 0; i < pages.size(); ++i) QCOMPARE(tool->PageControl1->tabText(i), pages[i]);
    QCOMPARE(tool->Label7->text(), QStringLiteral("UnArrangedKW number: 0"));
    QCOMPARE(tool->Button11->text(), QStringLiteral("Verify && Gen SQL File"));
    QCOMPARE(tool->Button4->text(), QStringLiteral("Arrange (need undefine ICD_USE_FILERES)"));
    QCOMPARE(tool->CheckBox1->text(), QStringLiteral("Gen 3 Characters Codes Only "));
    // Every button and box sits on one of the pages.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             tool->Button4, tool->Button7, tool->Button10, tool->Button11, tool->Button13, tool->Button14,
             tool->Button15, tool->Button16, tool->Memo1, tool->Memo2, tool->Memo3, tool->CheckBox6})
        QVERIFY(tool->PageControl1->isAncestorOf(widget));
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
        QCOMPARE(dialog->directory().absolutePath(), QDir(QString::fromStdString(ProgramDir)).absolutePath());
        // Typed as a user would: the file name box has the focus.
        auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(fileName != nullptr);
        fileName->setText(chosen);
        static_cast<QDialog*>(dialog)->accept();  // public in QDialog, protected in QFileDialog
    });
    tool->BrowseButtonOf(tool->Edit5)->click();
    QVERIFY(dialogSeen);
    QCOMPARE(tool->Edit5->text(), chosen);
    QCOMPARE(tool->Edit4->text(), QString::fromStdString(ProgramDir) + QStringLiteral("icd10cm_order_2021.txt"));

    // Cancelling leaves the box as it was.
    WhenWindowShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    tool->BrowseButtonOf(tool->Edit11)->click();
    QCOMPARE(tool->Edit11->text(),
             QString::fromStdString(ProgramDir) + QStringLiteral("ICD_10_2021_My_Order_WithFlag.txt"));
}

void AdministratorToolTest::statFillsTheMemosFromTheRealData() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    auto tool = OpenTool();

    // Nothing checked: nothing counted.
    for (QCheckBox* box : {tool->CheckBox3, tool->CheckBox4, tool->CheckBox5}) box->setChecked(false);
    tool->Button7->click();
    QVERIFY(tool->Memo1->toPlainText().isEmpty());
    QVERIFY(tool->Memo2->toPlainText().isEmpty());
    QVERIFY(tool->Memo3->toPlainText().isEmpty());

    WriteFile(folders.File(QStringLiteral("distinct.txt")),
              "Cholera\r\nTyphoid Fever\r\n\r\nAcute Kidney Failure With\r\nOne Two Three Four Five\r\n");
    tool->Edit5->setText(folders.File(QStringLiteral("distinct.txt")));
    tool->Edit4->setText(SourceFile("data/icd10cm_order_2021.txt.gz"));
    for (QCheckBox* box : {tool->CheckBox3, tool->CheckBox8, tool->CheckBox4, tool->CheckBox5}) box->setChecked(true);
    tool->Button7->click();

    const QStringList memo1 = tool->Memo1->toPlainText().split(QLatin1Char('\n'));
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
    const QStringList memo2 = tool->Memo2->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(memo2.size(), 1);
    QVERIFY2(memo2[0].startsWith(QStringLiteral("Total: ")), qPrintable(memo2[0]));
    const long long validCodes = NumberAfter(memo2[0], QStringLiteral("Valide Code"));
    QVERIFY(validCodes > 70000);
    QCOMPARE(NumberAfter(memo1[1], QStringLiteral("total")), validCodes);
    const QByteArray generated = ReadFile(tool->Edit11->text());
    long long flaggedLines = 0;
    for (const QByteArray& line : generated.split('\n'))
        if (line.size() > 10 && line[9] == '1') ++flaggedLines;
    QCOMPARE(flaggedLines, validCodes);

    // The short reportable-code file is the shipped short-description set.
    QCOMPARE(ReadFile(tool->Edit8->text()), ReadFile(SourceFile("data/ReportableCodesShort2021.txt")));
    for (QLineEdit* output : {tool->Edit6, tool->Edit12, tool->Edit13, tool->Edit7, tool->Edit14})
        QVERIFY2(QFileInfo(output->text()).size() > 1000000, qPrintable(output->text()));

    QCOMPARE(tool->Memo3->toPlainText(), QStringLiteral("Total: 3, 1: 1, 2: 1, 3: 0, 4: 1"));
    QCOMPARE(messages.Messages(), std::vector<std::string>{"One Two Three Four Five"});

    // A second run adds its lines below the first ones; an order file that cannot be read adds none.
    tool->CheckBox3->setChecked(false);
    tool->CheckBox5->setChecked(false);
    tool->Edit4->setText(folders.File(QStringLiteral("missing_order.txt")));
    tool->Button7->click();
    QCOMPARE(tool->Memo2->toPlainText().split(QLatin1Char('\n')).size(), 1);
    QCOMPARE(tool->Memo1->toPlainText().split(QLatin1Char('\n')).size(), 2);
}

void AdministratorToolTest::codeTextFilesAndTheReplaceQuestion() {
    TScopedDataFolders folders;
    TRecordingMessages messages;
    auto tool = OpenTool();
    const QString codeText = folders.File(QStringLiteral("codetext.txt"));
    tool->Edit9->setText(codeText);

    tool->CheckBox6->setChecked(false);
    tool->Button13->click();
    const QByteArray plain = ReadFile(codeText);
    QVERIFY(plain.contains("\r\nA00.0    Cholera due to Vibrio cholerae 01, biovar cholerae\r\n"));
    const long long plainCount = NumberAfter(tool->Label7->text(), QStringLiteral("UnArrangedKW number"));
    // Without commas every line counts 1, except the lines that only name a note's type.
    const QList<QByteArray> plainLines = plain.split('\n');
    const auto codeLines = std::count_if(plainLines.begin(), plainLines.end(),
                                         [](const QByteArray& line) { return !line.isEmpty() && line[0] != ' '; });
    QVERIFY2(plainCount >= codeLines && plainCount <= plainLines.size() - 1, qPrintable(tool->Label7->text()));
    QVERIFY(codeLines > 40000);
    QVERIFY(messages.Questions().empty());

    // The file exists now: declining the question keeps it as it is.
    WriteFile(codeText, "hand-edited keywords\r\n");
    tool->CheckBox6->setChecked(true);
    tool->Button13->click();
    QCOMPARE(messages.Questions().size(), std::size_t{1});
    QVERIFY(messages.Questions()[0].find(codeText.toStdString()) != std::string::npos);
    QCOMPARE(ReadFile(codeText), QByteArray("hand-edited keywords\r\n"));
    QCOMPARE(NumberAfter(tool->Label7->text(), QStringLiteral("UnArrangedKW number")), plainCount);

    messages.QueueAnswer(true);
    tool->Button13->click();
    const QByteArray withCommas = ReadFile(codeText);
    QVERIFY(withCommas.contains("\r\nA00.0    Cholera, due, to, Vibrio, cholerae, 01, biovar, cholerae\r\n"));
    QVERIFY(NumberAfter(tool->Label7->text(), QStringLiteral("UnArrangedKW number")) > plainCount);

    // Every reportable code of the published order file, once, with its description.
    const QString allCodes = folders.File(QStringLiteral("allcodes.txt"));
    tool->Edit10->setText(allCodes);
    tool->Button14->click();
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
    tool->Button10->click();

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
    tool->PageControl1->setCurrentIndex(3);
    tool->Button11->click();
    QCOMPARE(messages.Messages(), std::vector<std::string>{"ICD_GEN_DB is not defined!"});
    QVERIFY(QDir(QString::fromStdString(ProgramDir)).entryList(QDir::Files).isEmpty());
}

void AdministratorToolTest::waitingForALoadingSetKeepsEventsFlowing() {
    TScopedDataFolders folders;
    auto tool = OpenTool();
    tool->Edit1->setText(folders.File(QStringLiteral("absent.txt")));
    const TLoadState before = CodeKeywordsStatus.load();
    const uint32_t generation = LoadedData().Keywords.Generation.load();
    CodeKeywordsStatus.store(TLoadState::Loading);

    // The "loader" finishes from a UI-thread timer: it can only fire when the wait handles events.
    bool timerRan = false;
    QTimer::singleShot(250, [&] {
        timerRan = true;
        CodeKeywordsStatus.store(before);
    });
    // Should the wait not handle events, a thread ends it after 5 s so the test fails instead of hanging.
    std::atomic<bool> done = false;
    std::thread rescue([&] {
        for (int i = 0; i < 50 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        TLoadState expected = TLoadState::Loading;
        CodeKeywordsStatus.compare_exchange_strong(expected, before);
    });
    tool->Button4->click();
    QVERIFY(!tool->isEnabled());  // no input while the keyword tables load
    QTRY_VERIFY_WITH_TIMEOUT(tool->isEnabled(), 10000);
    done = true;
    rescue.join();
    QVERIFY(timerRan);
    QCOMPARE(CodeKeywordsStatus.load(), before);
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
    tool->Edit1->setText(original);
    tool->Edit2->setText(arranged);
    tool->Edit3->setText(distinct);

    // "Preliminary handle": items cleaned, a damaged code line reported and dropped.
    WriteFile(original,
              "A00 Cholera ,  vibrio\t\tcholerae,,\r\n"
              " \t eltor ,  biovar\t cholerae\r\n"
              "\r\n"
              "A0012 bad code line\r\n"
              "A01 typhoid  fever, paratyphoid, enteric fever, abscess, salmonella\r\n");
    tool->Button15->click();
    QCOMPARE(ReadFile(original + QStringLiteral("-New.txt")),
             QByteArray("A00      Cholera, vibrio cholerae,\r\n"
                        "         eltor, biovar cholerae,\r\n"
                        "A01      typhoid fever, paratyphoid, enteric fever, abscess, salmonella,\r\n"));
    QCOMPARE(messages.Messages(),
             std::vector<std::string>{"Invalid line 4 (error code definition): A0012 bad code line"});

    // "Arrange": the normalised file read with the boxes' options, four keywords a line.
    tool->Edit1->setText(original + QStringLiteral("-New.txt"));
    const uint32_t generation = LoadedData().Keywords.Generation.load();
    tool->CheckBox1->setChecked(true);
    tool->CheckBox2->setChecked(false);
    tool->CheckBox7->setChecked(true);
    tool->Button4->click();
    QCOMPARE(ReadFile(arranged), QByteArray("A00      Biovar Cholerae, Cholera, Eltor, Vibrio Cholerae,\r\n"
                                            "A01      Abscess, Enteric Fever, Paratyphoid, Salmonella,\r\n"
                                            "         Typhoid Fever,\r\n"));
    QCOMPARE(ReadFile(distinct), QByteArray("Abscess\r\nBiovar Cholerae\r\nCholera\r\nEltor\r\nEnteric Fever\r\n"
                                            "Paratyphoid\r\nSalmonella\r\nTyphoid Fever\r\nVibrio Cholerae\r\n"));
    QVERIFY(LoadedData().Keywords.Generation.load() != generation);
    QCOMPARE(LoadedData().Keywords.Codes.size(), std::size_t{2});
    QCOMPARE(CodeKeywordsStatus.load(), TLoadState::Done);

    // "KW has multi-words only" reaches the loader; without capitals the spelling stays.
    tool->CheckBox2->setChecked(true);
    tool->CheckBox7->setChecked(false);
    tool->Button4->click();
    QCOMPARE(ReadFile(arranged), QByteArray("A00      biovar cholerae, vibrio cholerae,\r\n"
                                            "A01      enteric fever, typhoid fever,\r\n"));

    // "Extract 2+ KW For Verify": the codes carrying each listed keyword, a hyphen equal to a blank.
    tool->CheckBox2->setChecked(false);
    tool->CheckBox7->setChecked(true);
    tool->Button4->click();
    const QString list = folders.File(QStringLiteral("list.txt"));
    WriteFile(list, "Typhoid-Fever\r\nEltor\r\nNowhere\r\n");
    tool->Edit3->setText(list);
    tool->Button16->click();
    QCOMPARE(ReadFile(arranged + QStringLiteral("-Verify.txt")),
             QByteArray("Typhoid-Fever\r\n         A01\r\nEltor\r\n         A00\r\nNowhere\r\n"));
}

QTEST_MAIN(AdministratorToolTest)
#include "AdministratorToolTest.moc"
